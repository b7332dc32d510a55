#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "products/ImportPreview.h"

// The rows of an import's preview appended to the archive as new cards, and the import's account in a log.
namespace scortavia {

// Told the cards written so far and the cards to write; false stops after the batch just written.
using ImportProgress = std::function<bool(std::size_t written, std::size_t total)>;

// A row left out at writing time: its code reached the archive after the preview, on the card at `position`.
struct ArrivedCode {
    std::size_t row;  // of the preview
    std::int64_t position;
};

struct ImportOutcome {
    std::size_t added = 0;
    std::size_t skipped = 0;  // refused, skipped as duplicates, or left out by a cancel or a failure
    bool cancelled = false;
    Status status = Status::success();
    std::int64_t firstPosition = 0;  // 1-based, of the first card added
    // Rows skipped (and counted in `skipped`) because another copy of the program added their code
    // after the preview: two copies importing the same file one after the other.
    std::vector<ArrivedCode> arrived;
};

// Appends the imported rows to the archive in batches, each written whole under the append lock and
// flushed once, so other copies of the program appending at the same time lose nothing and a cancel
// or a failure leaves only whole cards. When rows whose code is already there are skipped, the cards
// appended since the preview are read under the same lock before each batch, and rows whose code they
// hold are skipped too.
ImportOutcome writeImport(const std::filesystem::path& archive, const ImportPreview& preview, ArchiveDuplicates choice,
                          const ImportProgress& progress = {}, std::size_t batchRecords = 1000);

// The import's account for the log file: when, from which file, the counts, and every row left out
// with its reasons.
std::string importLogText(std::string_view when, std::string_view file, const ImportPreview& preview,
                          ArchiveDuplicates choice, const ImportOutcome& outcome);

// The line that counts the rows skipped because their code arrived after the preview (for the log and
// the final message); empty when there were none.
std::string arrivedCodesLine(const ImportOutcome& outcome);

// The log beside the archive, each import appended to the earlier ones.
inline constexpr std::string_view kImportLogName = "Importazione_Prodotti.txt";
Status appendImportLog(const std::filesystem::path& programFolder, std::string_view text);

}  // namespace scortavia
