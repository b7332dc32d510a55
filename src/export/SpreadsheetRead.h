#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading a spreadsheet the shop already keeps: a CSV file as spreadsheet programs write it, or the
// program's own export (an HTML table). Either becomes a table of UTF-8 cells.
//
// The CSV reader is strict about structure (a quote left open, text after a closing quote) so a broken
// file is refused with its line rather than read into shifted columns, and lenient about what
// spreadsheet programs really write: ";", "," or tab, a "sep=" first line, CRLF or LF, UTF-8 with or
// without BOM, UTF-16 with BOM (Excel's "Unicode text"), otherwise Windows-1252.
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
    void reserveText(std::size_t bytes) { text_.reserve(bytes); }
    void startRow(std::size_t sheetRow);
    void addCell(std::string_view text);
    // Drops the row being built when every cell of it is blank, and its blank cells after the last
    // one that holds something: a sheet saved out to its last column has thousands of them.
    void finishRow();

    // Bytes of cell text held, for the memory the preview will need.
    std::size_t textBytes() const { return text_.size(); }

private:
    std::string text_;
    std::vector<std::uint32_t> cellEnds_;
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

struct SheetReading {
    std::optional<SheetTable> table;
    SheetProblem problem = SheetProblem::None;
    std::size_t line = 0;  // of the file, for the quote problems and a NUL
};

// Files larger than this are refused before they are read.
inline constexpr std::size_t kMaxSheetBytes = std::size_t{512} << 20;

SheetReading readSheetFile(const std::filesystem::path& path);
SheetReading readSheetBytes(std::string_view bytes);

// What one quick pass over a file tells before it is read whole: enough to know the most it can
// cost in memory. Counts are upper bounds of what the reader will find.
struct SheetCensus {
    std::uint64_t bytes = 0;
    std::uint64_t textBytes = 0;  // of its cell text once decoded to UTF-8
    std::uint64_t records = 0;
    std::uint64_t cells = 0;
};
// Fails (Unreadable or TooLarge) as readSheetFile would, without reading the file whole.
SheetProblem censusSheetFile(const std::filesystem::path& path, SheetCensus& census);

// The most memory reading a file so described may take at once, the table it leaves included.
std::uint64_t sheetReadingBytes(const SheetCensus& census);
// What the table read from it keeps.
std::uint64_t sheetTableBytes(const SheetCensus& census);

// What the import screen tells the user about a file it cannot read.
std::string sheetProblemText(SheetProblem problem, std::size_t line);

// The text of an encoding or a delimiter for the line that describes the file.
std::string_view sheetEncodingName(SheetEncoding encoding);
std::string_view sheetDelimiterName(char delimiter);

}  // namespace scortavia
