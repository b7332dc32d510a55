#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>

#include "common/Result.h"
#include "storage/RecordFilter.h"

namespace scortavia {

// One archive of fixed-size records as the screens use it, whatever keeps it: the program folder's own
// file (ArchiveFile, with its locks and its rewrite side file) or the tables of a database server (see
// ArchiveEngine.h). Records are addressed by 0-based index; indexes are gapless and never reused, and a
// card's position is its index + 1.
class Archive {
public:
    Archive() = default;
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;
    virtual ~Archive() = default;

protected:
    // An archive that is a value of its own (an open file) moves with it.
    Archive(Archive&&) = default;
    Archive& operator=(Archive&&) = default;

public:
    virtual std::size_t recordSize() const = 0;

    // Whole records in the archive.
    virtual Result<std::int64_t> recordCount() const = 0;

    // Reads the record at an index (which must exist) into `record` (one record long).
    virtual Status readAt(std::int64_t index, std::span<std::uint8_t> record) = 0;

    // Reads the whole records from an index into `records` (a multiple of the record size), each read
    // whole even while another copy rewrites it; returns how many bytes it read: fewer at the end.
    virtual Result<std::size_t> readRecords(std::int64_t first, std::span<std::uint8_t> records) = 0;

    // Rewrites the record at an index, all or nothing, under the lock on that record. An index past the
    // last record is refused.
    virtual Status writeAt(std::int64_t index, std::span<const std::uint8_t> record) = 0;

    // Appends one record and returns its index; two copies appending at once never get the same one.
    virtual Result<std::int64_t> append(std::span<const std::uint8_t> record) = 0;

    // Appends whole records (a multiple of the record size), all or none, and returns the first index.
    virtual Result<std::int64_t> appendBatch(std::span<const std::uint8_t> records) = 0;

    // Read-modify-write of one record under its lock: `change` edits the buffer read into `record` and
    // says whether to write it back. When it says no, nothing is written and the result is LeftAsItWas.
    enum class Update { Written, LeftAsItWas };
    virtual Result<Update> updateAt(std::int64_t index, std::span<std::uint8_t> record,
                                    const std::function<bool(std::span<std::uint8_t>)>& change) = 0;

    // An append that first looks at what other copies appended: under the append lock, `unseen` is handed
    // every whole record from index `seen` to the end (in blocks; `firstIndex` is the index of a block's
    // first record), then `compose` gives the records to append (maybe none), appended as appendBatch
    // does. `seen` moves past the records read and those appended. Returns the index the first record went
    // to (or would have).
    using UnseenRecords = std::function<void(std::span<const std::uint8_t> records, std::int64_t firstIndex)>;
    using ComposeRecords = std::function<std::span<const std::uint8_t>()>;
    virtual Result<std::int64_t> appendBatchChecked(std::int64_t& seen, const UnseenRecords& unseen,
                                                    const ComposeRecords& compose) = 0;

    // The archive will now be read from the start to the end, in large blocks.
    virtual void willReadInOrder() {}

    // Every record that may meet `filter`, in archive order, each seen in place by `visit` (which returns
    // false to stop). The folder's files hand every record; a server hands only those its conditions let
    // through (see RecordFilter). With `fieldsRead`, `visit` reads only those fields, and a server may send
    // only them (the others come empty); none: every field.
    using RecordVisit = std::function<bool(const std::uint8_t* record, std::int64_t index)>;
    virtual Status scanWhere(const RecordFilter& filter, const RecordVisit& visit,
                             std::span<const std::size_t> fieldsRead = {});
    // Whether scanWhere leaves out records that fail the filter.
    virtual bool filtersRecords() const { return false; }
};

// Opens the archive named by its path in the program folder ("Magazzino.pro", "2024.odc", …) for one
// user action, creating it empty when missing, through the engine in charge of that folder.
Result<std::unique_ptr<Archive>> openArchive(const std::filesystem::path& archive, std::size_t recordSize);

// Whether the archive named by its path in the program folder has been made, so that a look at one that
// never was (a year with no goods-in) does not make it.
Result<bool> archiveExists(const std::filesystem::path& archive);

}  // namespace scortavia
