#include "sheets/SheetTable.h"

#include <algorithm>

#include "common/TextRules.h"

namespace scortavia {

std::size_t SheetTable::cellCount(std::size_t row) const {
    const std::size_t end = row + 1 < rowFirstCell_.size() ? rowFirstCell_[row + 1] : cells_.size();
    return end - rowFirstCell_[row];
}

std::string_view SheetTable::cell(std::size_t row, std::size_t column) const {
    if (row >= rowCount() || column >= cellCount(row)) return {};
    return cells_[rowFirstCell_[row] + column];
}

void SheetTable::startRow(std::size_t row) {
    rowFirstCell_.push_back(static_cast<std::uint32_t>(cells_.size()));
    sheetRows_.push_back(static_cast<std::uint32_t>(row));
    emptyCells_ = 0;
}

void SheetTable::addCell(std::string_view text) {
    if (text.empty()) {
        ++emptyCells_;
        return;
    }
    for (; emptyCells_ > 0; --emptyCells_) cells_.close();
    cells_.add(text);
}

void SheetTable::finishRow() {
    emptyCells_ = 0;
    const std::size_t row = rowFirstCell_.size() - 1;
    std::size_t cells = cellCount(row);
    while (cells > 0 && trimBlanks(cell(row, cells - 1)).empty()) --cells;
    const std::size_t first = rowFirstCell_[row];
    cells_.truncate(first + cells);
    if (cells > 0) {
        columns_ = std::max(columns_, cells);
        return;
    }
    rowFirstCell_.pop_back();
    sheetRows_.pop_back();
}

}  // namespace scortavia
