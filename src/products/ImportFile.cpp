#include "products/ImportFile.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "products/ImportPreview.h"
#include "sheets/SheetRead.h"

namespace scortavia {

namespace {

std::optional<std::uint64_t> budgetForTesting;

// Bytes the kernel says can be given without swapping; the free pages where it does not say.
std::uint64_t availableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes) {
        if (key == "MemAvailable:") return kilobytes * 1024;
        std::getline(meminfo, unit);
    }
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0) return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
    return kImportMemoryCeiling;
}

std::uint64_t megabytes(std::uint64_t bytes) { return (bytes + (1u << 20) - 1) >> 20; }

}  // namespace

std::uint64_t previewBytes(std::uint64_t rows, std::uint64_t textBytes) {
    // Kept for each row: where its text starts, the lengths of its fields, its sheet row, status,
    // flags and where its problems end (53 bytes), a few problems of 8 bytes in a list that may hold
    // twice what it uses, up to 16 bytes of defaults in the text, and the grid's row (its header's
    // section, 8 bytes, and its place in the list of rows to check). While building, each code's entry
    // in the map of codes seen (80 bytes).
    constexpr std::uint64_t kPerRow =
        53 + std::uint64_t{2} * 6 * sizeof(RowProblem) + 16 + std::uint64_t{2} * 8 + 4 + 80;
    return rows * kPerRow + textBytes;
}

void setImportMemoryBudgetForTesting(std::optional<std::uint64_t> budget) { budgetForTesting = budget; }

std::uint64_t importMemoryBudget() {
    if (budgetForTesting) return *budgetForTesting;
    std::uint64_t budget = std::min(availableMemory() / 2, kImportMemoryCeiling);
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        budget = std::min<std::uint64_t>(budget, limit.rlim_cur / 2);
    }
    return budget;
}

std::string importMemoryText(std::uint64_t need, std::uint64_t budget) {
    return "Attenzione: il file scelto è troppo grande per la memoria di questo computer: per mostrarne "
           "l'anteprima servirebbero circa " +
           std::to_string(megabytes(need)) + " MB, mentre se ne possono usare " + std::to_string(budget >> 20) +
           ".\n\nDividere il file in più parti con il programma per fogli di calcolo e importarle una alla volta.";
}

ImportFile readImportFile(const std::filesystem::path& file, std::uint64_t budget) {
    ImportFile out;
    SheetCensus census;
    if (const SheetProblem problem = censusSheetFile(file, census); problem != SheetProblem::None) {
        out.refusal = sheetProblemText(problem, 0);
        return out;
    }
    // The most the file can cost: reading it, then its table and the preview built from it.
    const std::uint64_t need =
        std::max(sheetReadingBytes(census), sheetTableBytes(census) + previewBytes(census.records, census.textBytes));
    if (need > budget) {
        out.refusal = importMemoryText(need, budget);
        return out;
    }
    SheetReading reading = readSheetFile(file);
    if (!reading.table) {
        out.refusal = sheetProblemText(reading.problem, reading.line);
        return out;
    }
    out.table = std::move(reading.table);
    return out;
}

}  // namespace scortavia
