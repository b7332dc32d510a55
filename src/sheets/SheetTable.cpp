#include "sheets/SheetTable.h"

#include <algorithm>

#include "common/TextRules.h"

namespace scortavia {

std::size_t SheetTable::cellCount(std::size_t row) const {
    const std::size_t end = row + 1 < rowFirstCell_.size() ? rowFirstCell_[row + 1] : cellEnds_.size();
    return end - rowFirstCell_[row];
}

std::string_view SheetTable::cell(std::size_t row, std::size_t column) const {
    if (row >= rowCount() || column >= cellCount(row)) return {};
    const std::size_t index = rowFirstCell_[row] + column;
    const std::size_t begin = index == 0 ? 0 : cellEnds_[index - 1];
    return std::string_view(text_).substr(begin, cellEnds_[index] - begin);
}

void SheetTable::startRow(std::size_t row) {
    rowFirstCell_.push_back(static_cast<std::uint32_t>(cellEnds_.size()));
    sheetRows_.push_back(static_cast<std::uint32_t>(row));
    emptyCells_ = 0;
}

void SheetTable::addCell(std::string_view text) {
    if (text.empty()) {
        ++emptyCells_;
        return;
    }
    for (; emptyCells_ > 0; --emptyCells_) cellEnds_.push_back(static_cast<std::uint32_t>(text_.size()));
    text_.append(text);
    cellEnds_.push_back(static_cast<std::uint32_t>(text_.size()));
}

void SheetTable::finishRow() {
    emptyCells_ = 0;
    const std::size_t row = rowFirstCell_.size() - 1;
    std::size_t cells = cellCount(row);
    while (cells > 0 && trimBlanks(cell(row, cells - 1)).empty()) --cells;
    const std::size_t first = rowFirstCell_[row];
    cellEnds_.resize(first + cells);
    text_.resize(cellEnds_.empty() ? 0 : cellEnds_.back());
    if (cells > 0) {
        columns_ = std::max(columns_, cells);
        return;
    }
    rowFirstCell_.pop_back();
    sheetRows_.pop_back();
}

}  // namespace scortavia
