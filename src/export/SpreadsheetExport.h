#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/PackedTexts.h"
#include "common/Result.h"
#include "sheets/HtmlTable.h"

// The spreadsheet export of an archive: what each export shows and writes, the cells of the archive as
// the grid shows them, and the file a spreadsheet program opens (an HTML table in Windows-1252, written
// by sheets/HtmlTable).
namespace scortavia {

enum class ExportKind { Products, GoodsIn, GoodsOut };

struct ExportColumn {
    std::string_view header;        // written to the file
    std::string_view screenHeader;  // over the grid's column
    int width;                      // written to the file's header cell
    std::size_t field;              // the record field (ProductLayout or MovementLayout)
    bool editable;                  // on screen; an edit is exported, never stored
    CellKind kind = CellKind::Text;
};

struct ExportDesign {
    ExportKind kind;
    std::string_view name;  // the screen: "frmExpMagazzino"
    std::string_view caption;
    std::string_view fileName;  // in the program folder: "Magazzino.xls"
    std::string_view worksheet;
    std::string_view helpTitle;
    std::size_t recordSize;
    std::span<const ExportColumn> columns;
};

const ExportDesign& exportDesign(ExportKind kind);

// Rows the grid shows for an empty archive, each of empty cells.
inline constexpr std::size_t kEmptyExportRows = 10;

// Every exported field of every record, trimmed and decoded, in one buffer: 100,000 records must not cost
// a string (let alone a widget item) per cell.
class ExportCells final {
public:
    // Reads the archive (created empty when missing) in archive order. A failure (anything but a regular
    // file in its place, a file that cannot be read) stops the reading and keeps the rows read so far;
    // an archive still missing because it could not be created reads as empty.
    Status load(const std::filesystem::path& archive, const ExportDesign& design);

    std::size_t rowCount() const;
    std::size_t columnCount() const { return columns_; }
    std::string_view cell(std::size_t row, std::size_t column) const;  // UTF-8

private:
    std::size_t columns_ = 0;
    PackedTexts<std::uint32_t> cells_;  // row after row
};

// Told the rows written so far now and then (every thousand rows and after the last); false cancels the export.
using ExportProgress = std::function<bool(std::size_t rowsWritten)>;

// The whole file, as bytes (Windows-1252, "?" for a character it has no place for): one line.
std::string spreadsheetBytes(const ExportDesign& design, std::size_t rows, const CellSource& cell);

enum class ExportOutcome { Written, Cancelled, Failed };

// Writes the file beside `target` and renames it over `target` only when complete (a link there is
// replaced, never written through): a failure or a cancel leaves the previous file as it was and no
// temporary file behind. What an export killed half-way left beside `target` goes (writeFileReplacing).
ExportOutcome writeSpreadsheetFile(const std::filesystem::path& target, const ExportDesign& design, std::size_t rows,
                                   const CellSource& cell, const ExportProgress& progress = {});

}  // namespace scortavia
