#include "storage/ArchiveScan.h"

#include <algorithm>
#include <span>
#include <string>
#include <unordered_map>

#include "common/TextRules.h"

namespace scortavia {

ArchiveScan::ArchiveScan(Archive& archive, std::size_t blockBytes) : file_(archive), recordSize_(archive.recordSize()) {
    const std::size_t perBlock = std::max<std::size_t>(1, blockBytes / recordSize_);
    block_.resize(perBlock * recordSize_);
    auto count = file_.recordCount();
    if (count) {
        total_ = *count;
        file_.willReadInOrder();
    } else {
        status_ = count.status();
    }
}

bool ArchiveScan::fill() {
    const auto perBlock = static_cast<std::int64_t>(block_.size() / recordSize_);
    const std::int64_t wanted = std::min(perBlock, total_ - next_);
    const std::size_t bytes = static_cast<std::size_t>(wanted) * recordSize_;
    if (wanted <= 0) return false;
    // Under a shared lock on the block, so a record being rewritten is read whole, before or after.
    auto read = file_.readRecords(next_, std::span(block_.data(), bytes));
    if (!read) {
        status_ = read.status();
        return false;
    }
    const std::size_t done = *read;  // fewer when shortened meanwhile by another tool: keep the whole records
    blockFirst_ = next_;
    blockCount_ = static_cast<std::int64_t>(done / recordSize_);
    if (blockCount_ < wanted) total_ = next_ + blockCount_;
    return blockCount_ > 0;
}

const std::uint8_t* ArchiveScan::next() {
    if (!status_ || next_ >= total_) return nullptr;
    if (next_ >= blockFirst_ + blockCount_ && !fill()) return nullptr;
    const std::uint8_t* record = block_.data() + static_cast<std::size_t>(next_ - blockFirst_) * recordSize_;
    ++next_;
    return record;
}

Status Archive::scanWhere(const RecordFilter&, const RecordVisit& visit, std::span<const std::size_t>) {
    ArchiveScan scan(*this);
    while (const std::uint8_t* bytes = scan.next()) {
        if (!visit(bytes, scan.index())) break;
    }
    return scan.status();
}

Status scanArchive(const std::filesystem::path& archive, std::size_t recordSize,
                   const std::function<bool(const std::uint8_t* record, std::int64_t index)>& visit,
                   const std::function<void(std::int64_t count)>& counted) {
    return scanArchiveWhere(archive, recordSize, {}, visit, counted);
}

Status scanArchiveWhere(const std::filesystem::path& archive, std::size_t recordSize, const RecordFilter& filter,
                        const std::function<bool(const std::uint8_t* record, std::int64_t index)>& visit,
                        const std::function<void(std::int64_t count)>& counted,
                        std::span<const std::size_t> fieldsRead) {
    auto file = openArchive(archive, recordSize);
    if (!file) return file.status();
    // Room for every record is made only where every record comes.
    if (counted && (filter.empty() || !(*file)->filtersRecords())) {
        if (auto count = (*file)->recordCount()) counted(*count);
    }
    return (*file)->scanWhere(filter, visit, fieldsRead);
}

Result<std::optional<FoundRecord>> findRecordByRow(const std::filesystem::path& archive, std::size_t recordSize,
                                                   std::string_view row, const RowBuilder& buildRow) {
    auto found = findRecordsByRows(archive, recordSize, {row}, buildRow);
    if (!found) return found.status();
    return std::move(found->front());
}

Result<std::vector<std::optional<FoundRecord>>> findRecordsByRows(const std::filesystem::path& archive,
                                                                  std::size_t recordSize,
                                                                  const std::vector<std::string_view>& rows,
                                                                  const RowBuilder& buildRow) {
    // Each wanted row, trimmed, with the places in `rows` that ask for it.
    std::unordered_map<std::string_view, std::vector<std::size_t>> wanted;
    for (std::size_t i = 0; i < rows.size(); ++i) wanted[trimBlanks(rows[i])].push_back(i);
    std::vector<std::optional<FoundRecord>> found(rows.size());
    std::string composed;
    Status scanned = scanArchive(archive, recordSize, [&](const std::uint8_t* record, std::int64_t index) {
        composed.clear();
        buildRow(composed, record);
        const auto it = wanted.find(trimBlanks(composed));
        if (it == wanted.end()) return true;
        for (const std::size_t place : it->second) found[place] = FoundRecord{index + 1, {record, record + recordSize}};
        return true;
    });
    if (!scanned) return scanned;
    return found;
}

}  // namespace scortavia
