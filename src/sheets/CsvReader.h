#pragma once

#include <cstddef>
#include <string_view>

#include "sheets/SheetTable.h"

// CSV as spreadsheet programs write it. Strict about structure (a quote left open, text after a closing
// quote) so a broken file is refused with its line rather than read into shifted columns, and lenient about
// the rest: ";", "," or tab, a "sep=" first line, CRLF, LF or a lone CR.
namespace scortavia {

struct CsvReading {
    SheetProblem problem = SheetProblem::None;  // OpenQuote or AfterQuote
    std::size_t line = 0;                       // of the file, where the problem is
};

// Reads every record of `text` (decoded, not blank) into `table`, and sets its delimiter: the one a
// "sep=" first line names, otherwise the one that splits the first records alike.
CsvReading readCsv(std::string_view text, SheetTable& table);

}  // namespace scortavia
