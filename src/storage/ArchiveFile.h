#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "common/Result.h"
#include "storage/Archive.h"
#include "storage/FileAccess.h"
#include "storage/RangeLock.h"

namespace scortavia {

// One archive file of fixed-size records, opened for a single user action and closed at its end.
// Several copies of the program may share the folder: appends and rewrites hold advisory locks,
// reads hold shared ones, and every write reaches the disk before it returns.
//
// A record rewritten in place is all or nothing, though a disk may take the write in pieces and the
// program may die at any point of it (the archives themselves stay plain concatenations of records):
// - The writer holds the record's lock (F_WRLCK on its bytes) throughout. Under it, and under the lock
//   of the archive's side file ".<archive>.rewrite" beside it, it writes there the record as it was and
//   as it will be, with its index and a checksum, and flushes; then it rewrites the record, flushes, and
//   marks the entry settled by clearing its checksum. The side file keeps its size once made, so its
//   flush is one of data alone; copies rewriting two records of one archive take turns at it.
// - An entry with a valid checksum that someone holding its record's lock finds was left by a writer
//   that died, since a live writer settles its own before it lets go: it is replayed (the new record
//   written again, which changes nothing when it is already there) and settled. A half-written entry
//   fails its checksum: its rewrite never started. A record that is neither the old one, the new one
//   nor a mix of the two was rewritten meanwhile by a copy that knows nothing of side files, and stays.
// - Opening an archive replays an entry left for it (one whose record is locked is a live writer's,
//   and is left to it, not waited for). Readers take a shared lock (F_RDLCK) on the record or scan
//   block they read, so a rewrite in progress is waited for and shows whole; an entry left by a dead
//   writer in what they read is replayed first, so they never see its torn bytes.
// - Appends keep no entry: a partial record at the end never counts.
// Where the filesystem has no locks, all of this still runs, unlocked: a reader may then meet a rewrite
// half done.
class ArchiveFile final : public Archive {
public:
    // Opens the file for reading and writing, creating it empty when missing; never truncates.
    static Result<ArchiveFile> openOrCreate(const std::filesystem::path& path, std::size_t recordSize);

    ArchiveFile(ArchiveFile&& other) noexcept;
    ArchiveFile& operator=(ArchiveFile&& other) noexcept;
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;
    ~ArchiveFile() override;

    // Whole records in the file; a partial record at the end does not count.
    Result<std::int64_t> recordCount() const override;

    // Reads the record at a 0-based index (which must exist) into `record` (one record long).
    // Afterwards the current position, 1-based, is index + 1.
    Status readAt(std::int64_t index, std::span<std::uint8_t> record) override;

    // Reads the whole records from a 0-based index into `records` (a multiple of the record size) under a
    // shared lock on them, and returns how many bytes it read: fewer at the end of the file.
    Result<std::size_t> readRecords(std::int64_t first, std::span<std::uint8_t> records) override;

    // Rewrites the record at a 0-based index, all or nothing, under the lock on that record, and flushes
    // it to disk. An index past the last record is refused: it would leave a hole of zero records.
    // Index = recordCount appends, but new records should go through append, which counts under a lock.
    Status writeAt(std::int64_t index, std::span<const std::uint8_t> record) override;

    // Appends one record at the end and returns its 0-based index. Counting and writing happen under
    // an advisory lock, so concurrent appends from several processes never overwrite each other;
    // a partial record left at the end by a failed write is overwritten.
    Result<std::int64_t> append(std::span<const std::uint8_t> record) override;

    // Appends whole records (`records` holds a multiple of the record size) in one write under the
    // same lock, flushed once, and returns the 0-based index of the first. A failed write takes the
    // file back to its old end, so the batch is added whole or not at all.
    Result<std::int64_t> appendBatch(std::span<const std::uint8_t> records) override;

    // Read-modify-write of one record under a lock on that record (a product's stock, moved by a
    // movement): reads it, lets `change` edit the buffer, and rewrites it as writeAt does when `change`
    // returns true.
    // When it returns false (what it read forbids the change) nothing is written and the result is
    // LeftAsItWas; the buffer still holds whatever `change` left in it. The lock is released either way.
    Result<Update> updateAt(std::int64_t index, std::span<std::uint8_t> record,
                            const std::function<bool(std::span<std::uint8_t>)>& change) override;

    // For sequential reads with readAt from index 0: true when no whole record follows the current position.
    bool atEnd() const;
    std::int64_t position() const { return position_; }

    std::size_t recordSize() const override { return recordSize_; }
    void willReadInOrder() override;
    const std::filesystem::path& path() const { return path_; }
    int descriptor() const { return fd_.get(); }

    void close();

    // Called between counting and writing in append, and between reading and writing in updateAt;
    // tests use it to widen the window in which other processes would interfere.
    static void setRaceHookForTesting(void (*hook)());

    // Where a rewrite (or a replay) stands when the pieces hook is called.
    enum class RewriteStep { SideFileLocked, SideFilePiece, SideFileFlushed, RecordPiece, RecordFlushed };

    // Makes rewrites and replays write the side file and the record in pieces of `pieceBytes`, as a slow
    // or network disk may take them, and call `between` after each piece (numbered from 1) and each step,
    // so that tests can stop or kill the writer there. A null `between` turns it off.
    static void setRewritePiecesForTesting(std::size_t pieceBytes, void (*between)(RewriteStep step, int piece));

    // The side file of the archive at `path` (see above).
    static std::filesystem::path sideFileOf(const std::filesystem::path& path);

    // The index of the record whose rewrite the side file of `path` holds unsettled, if any: what a
    // writer that died left to replay.
    static std::optional<std::int64_t> unsettledRewriteOf(const std::filesystem::path& path, std::size_t recordSize);

private:
    ArchiveFile(UniqueFd fd, std::filesystem::path path, std::size_t recordSize);
    // A lock of `type` on a byte range of the archive, held until the guard goes. With `busy`, does not
    // wait: sets it when another holds a lock in the way, and holds nothing.
    Result<RangeLock> lockRange(short type, std::int64_t offset, std::int64_t length, bool* busy = nullptr) const;
    Status writeRecord(std::int64_t index, std::span<const std::uint8_t> record);
    Status failure(const char* what, int error) const;

    Result<std::size_t> readRaw(std::int64_t first, std::span<std::uint8_t> records) const;
    Status readWhole(std::int64_t index, std::span<std::uint8_t> record) const;
    Status writePieces(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset, RewriteStep step,
                       const std::filesystem::path& name) const;
    // The side file, opened once it exists (made when `create`); -1 while it does not.
    Result<int> sideFile(bool create);
    // The side file's lock, over the whole of it: taken after the record's, never before.
    Result<RangeLock> lockSideFile() const;
    // The unsettled entry of the side file (under its lock or not), if one is whole.
    Result<std::optional<std::int64_t>> unsettledEntry(std::vector<std::uint8_t>& entry);
    Status replayLeftover(std::int64_t index, bool wait = true);
    // Both under the record's lock and the side file's.
    Status replayEntry(std::int64_t index, std::span<const std::uint8_t> entry);
    Status settleDeadEntry(std::int64_t index);
    Status rewriteLocked(std::int64_t index, std::span<const std::uint8_t> before, std::span<const std::uint8_t> after);

    UniqueFd fd_;
    std::filesystem::path path_;
    std::filesystem::path sidePath_;
    UniqueFd sideFd_;
    std::size_t recordSize_ = 0;
    std::int64_t position_ = 0;

public:
    // See Archive::appendBatchChecked.
    Result<std::int64_t> appendBatchChecked(std::int64_t& seen, const UnseenRecords& unseen,
                                            const ComposeRecords& compose) override;
};

}  // namespace scortavia
