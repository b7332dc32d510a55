#pragma once

#include <cstddef>
#include <string>

#include "sheets/SheetTable.h"

// The bytes of a spreadsheet file as UTF-8 text: UTF-8 with or without BOM, UTF-16 with BOM (Excel's
// "Unicode text"), otherwise Windows-1252. A spreadsheet program's own format and binary bytes are no text.
namespace scortavia {

struct DecodedText {
    std::string text;
    SheetEncoding encoding = SheetEncoding::Utf8;
    SheetProblem problem = SheetProblem::None;  // Workbook or NotText
    std::size_t line = 0;                       // of a NUL character, when that is what makes it NotText
};

// Takes the bytes over, so a UTF-8 file is never held twice.
DecodedText decodeSheetText(std::string&& bytes);

// The line of the text at `at`, as the CSV reader counts them (CRLF, LF or a lone CR end a line).
std::size_t lineAt(std::string_view text, std::size_t at);

}  // namespace scortavia
