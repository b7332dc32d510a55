#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "sheets/SheetTable.h"

// The spreadsheet file read for the import's preview, when this machine's memory can hold the preview.
namespace scortavia {

// The most memory the preview of `rows` rows whose cells hold `textBytes` of text takes while it is
// built and shown, the table it is built from aside.
std::uint64_t previewBytes(std::uint64_t rows, std::uint64_t textBytes);

// What a file's preview may take on this machine: half the memory it has available now, never more
// than the ceiling (and half an address-space limit, where one is set).
std::uint64_t importMemoryBudget();
inline constexpr std::uint64_t kImportMemoryCeiling = std::uint64_t{sizeof(void*) >= 8 ? 4096 : 1024} << 20;
// Tests and benchmarks set the budget; nullopt gives the machine's back.
void setImportMemoryBudgetForTesting(std::optional<std::uint64_t> budget);

// The file read for the preview, or the text that tells the user why not. One quick pass over the file
// comes first: a file whose preview would not fit in `budget` bytes is refused before it is read whole.
struct ImportFile {
    std::optional<SheetTable> table;
    std::string refusal;
};
ImportFile readImportFile(const std::filesystem::path& file, std::uint64_t budget);

// The refusal of a file whose preview needs `need` bytes of `budget`.
std::string importMemoryText(std::uint64_t need, std::uint64_t budget);
// When the memory runs out all the same while the preview is built.
inline constexpr std::string_view kPreviewNoMemoryText =
    "Attenzione: la memoria del computer non è bastata per preparare l'anteprima del file scelto.\n\n"
    "Chiudere gli altri programmi aperti e riprovare, oppure dividere il file in più parti e importarle una "
    "alla volta.";

}  // namespace scortavia
