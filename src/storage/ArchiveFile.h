#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

#include "common/Result.h"

namespace scortavia {

// One archive file of fixed-size records, opened for a single user action and closed at its end.
// Several copies of the program may share the folder: appends and read-modify-writes of one record
// hold advisory locks, plain reads take none, and every write reaches the disk before it returns.
class ArchiveFile final {
public:
    // Opens the file for reading and writing, creating it empty when missing; never truncates.
    static Result<ArchiveFile> openOrCreate(const std::filesystem::path& path, std::size_t recordSize);

    ArchiveFile(ArchiveFile&& other) noexcept;
    ArchiveFile& operator=(ArchiveFile&& other) noexcept;
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;
    ~ArchiveFile();

    // Whole records in the file; a partial record at the end does not count.
    Result<std::int64_t> recordCount() const;

    // Reads the record at a 0-based index (which must exist) into `record` (one record long).
    // Afterwards the current position, 1-based, is index + 1.
    Status readAt(std::int64_t index, std::span<std::uint8_t> record);

    // Writes a whole record at a 0-based index in one positioned write and flushes it to disk.
    // An index past the last record is refused: it would leave a hole of zero records.
    // Index = recordCount appends, but new records should go through append, which counts under a lock.
    Status writeAt(std::int64_t index, std::span<const std::uint8_t> record);

    // Appends one record at the end and returns its 0-based index. Counting and writing happen under
    // an advisory lock, so concurrent appends from several processes never overwrite each other;
    // a partial record left at the end by a failed write is overwritten.
    Result<std::int64_t> append(std::span<const std::uint8_t> record);

    // Appends whole records (`records` holds a multiple of the record size) in one write under the
    // same lock, flushed once, and returns the 0-based index of the first. A failed write takes the
    // file back to its old end, so the batch is added whole or not at all.
    Result<std::int64_t> appendBatch(std::span<const std::uint8_t> records);

    // Read-modify-write of one record under a lock on that record (a product's stock, moved by a
    // movement): reads it, lets `change` edit the buffer, and writes it back when `change` returns true.
    // When it returns false (what it read forbids the change) nothing is written and the result is
    // LeftAsItWas; the buffer still holds whatever `change` left in it. The lock is released either way.
    enum class Update { Written, LeftAsItWas };
    Result<Update> updateAt(std::int64_t index, std::span<std::uint8_t> record,
                            const std::function<bool(std::span<std::uint8_t>)>& change);

    // For sequential reads with readAt from index 0: true when no whole record follows the current position.
    bool atEnd() const;
    std::int64_t position() const { return position_; }

    std::size_t recordSize() const { return recordSize_; }
    const std::filesystem::path& path() const { return path_; }
    int descriptor() const { return fd_; }

    void close();

    // Called between counting and writing in append, and between reading and writing in updateAt;
    // tests use it to widen the window in which other processes would interfere.
    static void setRaceHookForTesting(void (*hook)());

private:
    ArchiveFile(int fd, std::filesystem::path path, std::size_t recordSize);
    Status lockRange(std::int64_t offset, std::int64_t length, bool lock) const;
    Status writeRecord(std::int64_t index, std::span<const std::uint8_t> record);
    Status failure(const char* what, int error) const;

    int fd_ = -1;
    std::filesystem::path path_;
    std::size_t recordSize_ = 0;
    std::int64_t position_ = 0;

public:
    // An append that first looks at what other copies appended. Under the append lock it hands
    // `unseen` every whole record from index `seen` to the end, in blocks of up to 1 MiB (`firstIndex`
    // is the 0-based index of the block's first record), so a caller that read the archive earlier
    // reads only what came since; then `compose` gives the records to append, which may depend on
    // what `unseen` saw and may be none, and they are appended as appendBatch does. `seen` moves past
    // the records read and those appended. Returns the index the first record went to (or would have).
    using UnseenRecords = std::function<void(std::span<const std::uint8_t> records, std::int64_t firstIndex)>;
    using ComposeRecords = std::function<std::span<const std::uint8_t>()>;
    Result<std::int64_t> appendBatchChecked(std::int64_t& seen, const UnseenRecords& unseen,
                                            const ComposeRecords& compose);
};

}  // namespace scortavia
