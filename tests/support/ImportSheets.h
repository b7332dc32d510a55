#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "products/ImportPreview.h"
#include "sheets/SheetRead.h"
#include "support/ProductArchiveFixture.h"

// Spreadsheets for the import's tests: a CSV header naming ten of the card's fields, rows below it, and
// the preview a CSV file gives.
namespace scortavia::test {

inline constexpr std::string_view kHeader =
    "Codice articolo;Costo unitario;Nome prodotto;Giacenza;Aspetto esteriore del bene;Categoria merceologica;"
    "Caratteristiche;Data scadenza;Prezzo di vendita;Pagato\n";

// One sheet row below kHeader, in its columns.
inline std::string csvRow(std::string code = "A1", std::string cost = "1,50", std::string name = "Vite",
                          std::string stock = "10", std::string um = "Scatola", std::string category = "Ferramenta",
                          std::string features = "M6 zincata", std::string due = "", std::string price = "2,00",
                          std::string paid = "No") {
    return code + ";" + cost + ";" + name + ";" + stock + ";" + um + ";" + category + ";" + features + ";" + due + ";" +
           price + ";" + paid + "\n";
}

inline ImportPreview previewOf(const std::string& csv, const ArchiveCodes& codes = {}) {
    const SheetReading reading = readSheetBytes(csv);
    EXPECT_TRUE(reading.table) << sheetProblemText(reading.problem, reading.line);
    if (!reading.table) return ImportPreview::build(SheetTable(), {}, codes);
    bool matched = false;
    ImportOptions options{mappingFromHeaders(*reading.table, matched), true};
    return ImportPreview::build(*reading.table, options, codes);
}

inline std::vector<ProblemKind> kindsOf(const ImportPreview& preview, std::size_t row) {
    std::vector<ProblemKind> kinds;
    for (const RowProblem& p : preview.problems(row)) kinds.push_back(p.kind);
    return kinds;
}

// Rows with the codes prefix0, prefix1, ...
inline std::string numberedCsv(int rows, const std::string& prefix = "C") {
    std::string csv(kHeader);
    for (int i = 0; i < rows; ++i) csv += csvRow(prefix + std::to_string(i));
    return csv;
}

// A program folder with a product archive, for the import's tests of every file.
class ImportArchive : public ProductArchiveFixture {};

}  // namespace scortavia::test
