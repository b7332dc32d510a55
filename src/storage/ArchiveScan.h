#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/Result.h"
#include "storage/ArchiveFile.h"

namespace scortavia {

// Sequential reading of an archive from its first record, for lists, summaries and exports.
// The file is read in large blocks and each record is handed out in place, never copied;
// the records counted when the scan starts are the ones it returns.
class ArchiveScan final {
public:
    explicit ArchiveScan(ArchiveFile& file, std::size_t blockBytes = std::size_t{1} << 20);

    // The next whole record, or nullptr at the end or after a failure (see status()).
    // The pointer stays valid until the next call.
    const std::uint8_t* next();

    // 0-based index of the record last returned by next.
    std::int64_t index() const { return next_ - 1; }
    const Status& status() const { return status_; }

private:
    bool fill();

    ArchiveFile& file_;
    std::vector<std::uint8_t> block_;
    std::size_t recordSize_;
    std::int64_t total_ = 0;
    std::int64_t next_ = 0;
    std::int64_t blockFirst_ = 0;
    std::int64_t blockCount_ = 0;
    Status status_ = Status::success();
};

}  // namespace scortavia
