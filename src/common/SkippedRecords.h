#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace scortavia {

// Records a list left out because they could not be read as expected (a date that is no date, a total,
// stock or cost that is no number: only damaged or foreign files hold them).
struct SkippedRecords {
    std::size_t count = 0;
    std::vector<std::int64_t> firstPositions;  // 1-based, the first kShownPositions of them

    static constexpr std::size_t kShownPositions = 5;
    void add(std::int64_t position);
    bool empty() const { return count == 0; }
};

// One warning after filling: how many cards were left out, the positions of the first few, and, for a list
// with a total under it, that the total covers only the rows shown.
std::string skippedRecordsWarning(const SkippedRecords& skipped, bool listHasTotal = true);

}  // namespace scortavia
