#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "sheets/SheetTable.h"

// The HTML table the program exports and spreadsheet programs open as a sheet: written in Windows-1252
// on one line, and read back (also as a spreadsheet program saves it again) into a table of UTF-8 cells.
namespace scortavia {

// ---- Writing ----

// What a spreadsheet program is to make of a column's cells: text kept as written (codes, telephone
// numbers, a note starting with "="), or amounts and stock, numbers it can sum.
enum class CellKind { Text, Number };

struct HtmlColumn {
    std::string_view header;
    int width;  // written to the header cell
    CellKind kind;
};

// The text of a cell, UTF-8.
using CellSource = std::function<std::string_view(std::size_t row, std::size_t column)>;

// What a cell's text becomes in the file: trimmed; "<" and ">" as "&lt;" "&gt;" so no spreadsheet program
// reads a note such as "vite <M6>" as markup; "&" as "&amp;" only where it would start a character
// reference (followed by a letter or "#"), so "Viti & bulloni" keeps its bare "&"; a line break inside as
// "&#10;" / "&#13;", so the file stays one line. UTF-8 in and out.
std::string exportCellText(std::string_view text);

// The start tag of a data cell holding `text` (as exportCellText gives it) in a column of `kind`. A text
// cell carries the text number format, which LibreOffice (sdnum) and Excel (mso-number-format) honour, so
// "00123" keeps its zeros and "=1+1" stays text; a number cell that holds a number in the card's form
// ("-1250,50") carries its value and the card's decimals (sdval, sdnum), so it reads as the same number in
// any language setting. An amount in any other form is text like the rest; an empty one is left unmarked,
// so a number typed there later is a number.
std::string_view exportCellTag(CellKind kind, std::string_view text, std::string& scratch);

// The one producer of the file's bytes (Windows-1252, "?" for a character it has no place for): they go
// to `write` in chunks of about 256 KiB, and `rowsDone` hears every thousand rows and after the last.
// Either returning false stops it (false).
bool writeHtmlTable(std::string_view worksheet, std::span<const HtmlColumn> columns, std::size_t rows,
                    const CellSource& cell, const std::function<bool(std::string_view)>& write,
                    const std::function<bool(std::size_t)>& rowsDone);

// ---- Reading ----

// Whether decoded text is an HTML table (markup first, a "<table" in its first MiB).
bool isHtmlTable(std::string_view text);

// Every row of the table into `table`: entities decoded, "<br>" as a line break, a line break in the
// markup as one space.
void readHtmlTable(std::string_view text, SheetTable& table);

}  // namespace scortavia
