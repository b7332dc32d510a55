#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "sheets/SheetTable.h"

// Reading a spreadsheet the shop already keeps: a CSV file as spreadsheet programs write it, or the
// program's own export (an HTML table). Either becomes a table of UTF-8 cells (SheetTable); the text
// decoding, the CSV reader and the HTML table have files of their own.
namespace scortavia {

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
