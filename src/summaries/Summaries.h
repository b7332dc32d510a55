#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ListRows.h"
#include "common/Result.h"
#include "common/SkippedRecords.h"
#include "storage/ProductRecord.h"
#include "summaries/Period.h"

// The period summaries of the movement archives and the inventory of the product archive.
namespace scortavia {

// SkippedRecords and skippedRecordsWarning (common/SkippedRecords.h) report the records a summary left out.

// ---- Movement summary ----

struct MovementSummaryFilter {
    std::string code;  // the product code filter as typed; blank: every movement
    CalendarDate start;
    CalendarDate end;
};

struct MovementSummary {
    RowList rows;  // movement rows, archive order
    // "Tutti gli articoli" (no filter), the trimmed filter once a record with a code was met, or nothing
    // when no record set it (the screen keeps "- - -").
    std::optional<std::string> codeTitle;
    std::string total;  // "€ 19,75": the exact sum of the listed totals, see ExactSum::moneyText
    SkippedRecords skipped;
};

// A movement is listed when it passes the code filter (a blank filter passes all; otherwise its code,
// trimmed, is not empty and contains the filter as typed, A to Z folded) and its date lies in the period,
// both ends included. Records whose date or total cannot be read are skipped and counted. A failure to
// open or read the archive stops the filling: what was gathered stays and the status says why.
Status fillMovementSummary(const std::filesystem::path& archive, const MovementSummaryFilter& filter,
                           MovementSummary& out);

// "Dal   07/03/2024   al   31/03/2024"
std::string intervalText(std::string_view start, std::string_view end);

// The lines printed under the summary's rows: the sixteen dashes, then the period, the number of
// operations and the total (each trimmed), their captions padded to 27 characters.
std::vector<std::string> summaryFooterLines(std::string_view interval, std::string_view operations,
                                            std::string_view total);

// ---- Inventory ----

// Code (25), name (42), due date (10), cost (12), stock (10), then the stock value stock × cost in double
// precision in the general number format ("Valore: € 7,5"). The value is no stored field: its column names
// none (FieldCount). Nothing is appended, and false returned, when the stock or the cost is not a number.
inline constexpr std::array<RowColumn<ProductLayout::Field>, 6> kInventoryRow = {{
    {"", ProductLayout::Codice, 25, "Codice"},
    {"  ", ProductLayout::Nome, 42, "Nome prodotto"},
    {"  Scad. ", ProductLayout::DataSca, 10, "Scadenza"},
    {"  Costo: € ", ProductLayout::Costo, 12, "Costo"},
    {"  Giacenza: ", ProductLayout::Giacenza, 10, "Giacenza"},
    {"  Valore: € ", ProductLayout::FieldCount, kWholeValue, "Valore"},
}};
bool appendInventoryRow(std::string& out, const ProductView& product);

struct Inventory {
    RowList rows;  // sorted as every product list
    // "Tutti gli articoli in magazzino." (no filter), the trimmed filter once a product with a category
    // was met, or nothing when no product set it.
    std::optional<std::string> categoryTitle;
    std::string total;  // "€ 7,50": the exact sum of the listed values, see ExactSum::moneyText
    // After a failed filling: the values added so far in the general number format, "0,00" when none.
    std::string partialTotal = "0,00";
    SkippedRecords skipped;
};

// Every product whose category passes the filter (the code filter's rule applied to Tipologia), sorted.
// Products whose stock or cost cannot be read are skipped and counted. A failure to open or read the
// archive stops the filling: what was gathered stays and the status says why.
Status fillInventory(const std::filesystem::path& archive, std::string_view categoryFilter, Inventory& out);

}  // namespace scortavia
