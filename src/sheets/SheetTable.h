#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/PackedTexts.h"

// A spreadsheet read into memory: a table of UTF-8 cells, and what can be wrong with a file that is
// to become one.
namespace scortavia {

enum class SheetFormat { Csv, ExportTable };
enum class SheetEncoding { Utf8, Utf8Bom, Utf16, Windows1252 };

class SheetTable final {
public:
    SheetFormat format = SheetFormat::Csv;
    SheetEncoding encoding = SheetEncoding::Utf8;
    char delimiter = ';';  // CSV only

    std::size_t rowCount() const { return rowFirstCell_.size(); }
    std::size_t columnCount() const { return columns_; }
    std::size_t cellCount(std::size_t row) const;
    // Empty past the end of a short row.
    std::string_view cell(std::size_t row, std::size_t column) const;
    // The row's number as a spreadsheet program shows it (1 = the first row of the file, blank rows
    // counted), so the shop finds it in its own sheet.
    std::size_t sheetRow(std::size_t row) const { return sheetRows_[row]; }

    // Building, for the readers. The cells' text never outgrows the decoded file, so that is reserved once.
    void reserveText(std::size_t bytes) { cells_.reserve(0, bytes); }
    void startRow(std::size_t sheetRow);
    void addCell(std::string_view text);
    // Drops the row being built when every cell of it is blank, and its blank cells after the last
    // one that holds something: a sheet saved out to its last column has thousands of them.
    void finishRow();

    // Bytes of cell text held, for the memory the preview will need.
    std::size_t textBytes() const { return cells_.bytes(); }

private:
    PackedTexts<std::uint32_t> cells_;  // row after row
    std::vector<std::uint32_t> rowFirstCell_;
    std::vector<std::uint32_t> sheetRows_;
    std::size_t columns_ = 0;
    std::size_t emptyCells_ = 0;  // empty cells not stored yet: stored only when a cell with text follows
};

enum class SheetProblem {
    None,
    Unreadable,  // missing, not a regular file, or an input error
    TooLarge,    // beyond what a product list could be
    Empty,       // nothing but blanks
    Workbook,    // a spreadsheet program's own format (xlsx, ods, xls): it must be saved as CSV first
    NotText,     // binary bytes, or a NUL character (`line` tells where, when it is one in a text)
    OpenQuote,   // a quoted field never closed
    AfterQuote,  // something other than a delimiter or a line break after a closing quote
    NoMemory,    // the machine ran out of memory while reading it
};

}  // namespace scortavia
