#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "storage/Archive.h"

namespace scortavia {

// Sequential reading of an archive from its first record, for lists, summaries and exports.
// The file is read in large blocks and each record is handed out in place, never copied;
// the records counted when the scan starts are the ones it returns.
class ArchiveScan final {
public:
    explicit ArchiveScan(Archive& archive, std::size_t blockBytes = std::size_t{1} << 20);

    // The next whole record, or nullptr at the end or after a failure (see status()).
    // The pointer stays valid until the next call.
    const std::uint8_t* next();

    // 0-based index of the record last returned by next.
    std::int64_t index() const { return next_ - 1; }
    const Status& status() const { return status_; }

private:
    bool fill();

    Archive& file_;
    std::vector<std::uint8_t> block_;
    std::size_t recordSize_;
    std::int64_t total_ = 0;
    std::int64_t next_ = 0;
    std::int64_t blockFirst_ = 0;
    std::int64_t blockCount_ = 0;
    Status status_ = Status::success();
};

// Every record of an archive in order, the file opened (and created empty when missing) for this
// one scan: `visit` sees each record in place and returns false to stop early. `counted` hears the
// number of records before the first one, so a list can make room for its rows up front.
Status scanArchive(const std::filesystem::path& archive, std::size_t recordSize,
                   const std::function<bool(const std::uint8_t* record, std::int64_t index)>& visit,
                   const std::function<void(std::int64_t count)>& counted = {});

// The same, handing `visit` only the records that may meet `filter` where the engine can tell, and maybe
// only the fields in `fieldsRead` (see Archive::scanWhere); `counted` is told the count only when every
// record comes.
Status scanArchiveWhere(const std::filesystem::path& archive, std::size_t recordSize, const RecordFilter& filter,
                        const std::function<bool(const std::uint8_t* record, std::int64_t index)>& visit,
                        const std::function<void(std::int64_t count)>& counted = {},
                        std::span<const std::size_t> fieldsRead = {});

// The record behind a row of a list: the one whose row, built by `buildRow` and trimmed, equals
// `row` trimmed. When several records give the same row, the last one in the archive.
struct FoundRecord {
    std::int64_t position;  // 1-based
    std::vector<std::uint8_t> bytes;
};
using RowBuilder = std::function<void(std::string& row, const std::uint8_t* record)>;
Result<std::optional<FoundRecord>> findRecordByRow(const std::filesystem::path& archive, std::size_t recordSize,
                                                   std::string_view row, const RowBuilder& buildRow);

// The same for several rows in one reading of the archive: the record behind each, in the order of `rows`.
Result<std::vector<std::optional<FoundRecord>>> findRecordsByRows(const std::filesystem::path& archive,
                                                                  std::size_t recordSize,
                                                                  const std::vector<std::string_view>& rows,
                                                                  const RowBuilder& buildRow);

}  // namespace scortavia
