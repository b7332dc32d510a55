#include "products/ImportWrite.h"

#include <algorithm>
#include <span>
#include <unordered_map>

#include "storage/Archive.h"
#include "storage/ArchivePaths.h"
#include "storage/CardFiles.h"
#include "storage/FileAccess.h"

namespace scortavia {
namespace {

using P = ProductLayout;

}  // namespace

ImportOutcome writeImport(const std::filesystem::path& archive, const ImportPreview& preview, ArchiveDuplicates choice,
                          const ImportProgress& progress, std::size_t batchRecords) {
    ImportOutcome outcome;
    std::size_t total = preview.importedRows(choice);
    outcome.skipped = preview.rowCount();
    if (total == 0) return outcome;
    auto opened = openArchive(archive, ProductRecord::kSize);
    if (!opened) {
        outcome.status = opened.status();
        return outcome;
    }
    Archive& file = **opened;
    batchRecords = std::max<std::size_t>(batchRecords, 1);
    const std::filesystem::path folder = archive.has_parent_path() ? archive.parent_path() : ".";
    // Codes of the cards other copies appended since the preview, with the position of the first card
    // holding each. Only those cards are read, under the append lock: when no one else appended, the
    // check reads nothing, whatever the size of the archive.
    const bool skipArchived = choice == ArchiveDuplicates::Skip;
    std::unordered_map<std::string, std::int64_t> arrived;
    std::int64_t seen = preview.archiveRecords();
    const auto noteArrived = [&](std::span<const std::uint8_t> records, std::int64_t firstIndex) {
        for (std::size_t i = 0; i * ProductRecord::kSize < records.size(); ++i) {
            const ProductView card(records.data() + i * ProductRecord::kSize);
            arrived.try_emplace(importCodeKey(card.text(P::Codice)), firstIndex + static_cast<std::int64_t>(i) + 1);
        }
    };
    std::vector<std::uint8_t> batch;
    batch.reserve(std::min(batchRecords, total) * ProductRecord::kSize);
    std::size_t row = 0;
    while (row < preview.rowCount()) {
        std::size_t inBatch = 0;
        const auto compose = [&]() -> std::span<const std::uint8_t> {
            batch.clear();
            for (; row < preview.rowCount() && inBatch < batchRecords; ++row) {
                if (!preview.imported(row, choice)) continue;
                if (!arrived.empty()) {
                    const auto found = arrived.find(importCodeKey(preview.text(row, P::Codice)));
                    if (found != arrived.end()) {
                        outcome.arrived.push_back({row, found->second});
                        continue;
                    }
                }
                const ProductRecord record = preview.record(row);
                batch.insert(batch.end(), record.bytes().begin(), record.bytes().end());
                ++inBatch;
            }
            return batch;
        };
        // Rows imported as new cards whatever the archive holds need no look at what others appended.
        const auto first = skipArchived ? file.appendBatchChecked(seen, noteArrived, compose) : [&] {
            const std::span<const std::uint8_t> records = compose();
            return records.empty() ? Result<std::int64_t>(0) : file.appendBatch(records);
        }();
        total = preview.importedRows(choice) - outcome.arrived.size();
        if (!first) {
            outcome.status = first.status();
            break;
        }
        if (inBatch == 0) break;
        if (outcome.added == 0) outcome.firstPosition = *first + 1;
        outcome.added += inBatch;
        // A card's photo is the file named after its position. One lying at a new card's position was
        // left by an archive that is gone (a new card's save would replace it): it is no photo of this
        // product. Other copies appending meanwhile get other positions, so nothing of theirs is touched.
        for (std::int64_t position = *first + 1; position <= *first + static_cast<std::int64_t>(inBatch); ++position) {
            (void)removeCardFile(paths::productPhoto(folder, position));
        }
        if (progress && outcome.added < total && !progress(outcome.added, total)) {
            outcome.cancelled = true;
            break;
        }
    }
    if (progress && outcome.status.ok() && !outcome.cancelled) progress(outcome.added, total);
    outcome.skipped = preview.rowCount() - outcome.added;
    return outcome;
}

std::string arrivedCodesLine(const ImportOutcome& outcome) {
    if (outcome.arrived.empty()) return {};
    return "Righe non importate perché nel frattempo un'altra postazione ha aggiunto lo stesso codice articolo: " +
           std::to_string(outcome.arrived.size());
}

std::string importLogText(std::string_view when, std::string_view file, const ImportPreview& preview,
                          ArchiveDuplicates choice, const ImportOutcome& outcome) {
    std::string out;
    out += "==== Importazione prodotti del ";
    out += when;
    out += " ====\n";
    out += "File: ";
    out += file;
    out += "\nRighe lette: " + std::to_string(preview.rowCount());
    out += "\nSchede aggiunte al magazzino: " + std::to_string(outcome.added);
    if (outcome.added > 0) {
        out += " (schede n. " + std::to_string(outcome.firstPosition) + " e seguenti)";
    }
    out += "\nRighe non importate: " + std::to_string(outcome.skipped);
    if (!outcome.arrived.empty()) out += "\n" + arrivedCodesLine(outcome);
    if (outcome.cancelled) out += "\nImportazione interrotta dall'utente.";
    if (!outcome.status.ok()) out += "\nImportazione interrotta da un errore di scrittura: " + outcome.status.error();

    std::string refused;
    std::string duplicates;
    for (std::size_t row = 0; row < preview.rowCount(); ++row) {
        const bool refusedRow = preview.status(row) == RowStatus::Refused;
        const bool skippedRow = !refusedRow && !preview.imported(row, choice);
        if (!refusedRow && !skippedRow) continue;
        std::string& list = refusedRow ? refused : duplicates;
        list += "  Riga " + std::to_string(preview.sheetRow(row)) + " (codice \"" +
                std::string(preview.text(row, ProductLayout::Codice)) + "\"):";
        for (const RowProblem& problem : preview.problems(row)) {
            if (refusedRow ? refuses(problem.kind) : problem.kind == ProblemKind::InArchive) {
                list += ' ';
                list += problemText(problem, preview, row, choice);
            }
        }
        list += '\n';
    }
    std::string arrived;
    for (const ArrivedCode& late : outcome.arrived) {
        arrived += "  Riga " + std::to_string(preview.sheetRow(late.row)) + " (codice \"" +
                   std::string(preview.text(late.row, ProductLayout::Codice)) +
                   "\"): Il codice articolo è stato aggiunto al magazzino da un'altra postazione dopo l'anteprima "
                   "(scheda n. " +
                   std::to_string(late.position) + "): la riga non viene importata.\n";
    }
    if (!refused.empty()) out += "\nRighe rifiutate:\n" + refused;
    if (!duplicates.empty()) out += "\nRighe con un codice già presente in magazzino, non importate:\n" + duplicates;
    if (!arrived.empty()) {
        out += "\nRighe con un codice aggiunto al magazzino da un'altra postazione dopo l'anteprima, non importate:\n" +
               arrived;
    }
    out += "\n\n";
    return out;
}

Status appendImportLog(const std::filesystem::path& programFolder, std::string_view text) {
    // Appended, never rewritten, so two copies of the program logging at once keep both accounts.
    return appendLocked(programFolder / std::string(kImportLogName), text);
}

}  // namespace scortavia
