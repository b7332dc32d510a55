#include "summaries/Summaries.h"

#include <algorithm>
#include <vector>

#include "common/ExactSum.h"
#include "common/Numbers.h"
#include "common/TextRules.h"
#include "movements/MovementLists.h"
#include "storage/ArchiveScan.h"
#include "storage/MovementRecord.h"

namespace scortavia {
namespace {

using M = MovementLayout;
using P = ProductLayout;

// Room for a row per record up front costs less than growing a buffer of megabytes again and again.
constexpr std::size_t kMovementRowBytes = 168;   // 151 characters of columns, the euro sign and a total
constexpr std::size_t kInventoryRowBytes = 160;  // 144 characters, two euro signs of three bytes, a value

constexpr std::string_view kAllMovements = "Tutti gli articoli";
constexpr std::string_view kAllProducts = "Tutti gli articoli in magazzino.";

// The filter of both summaries on one field (the movement's code, the product's category): a blank filter
// passes everything; otherwise the field, trimmed, must not be empty and must contain the filter as typed,
// A to Z folded. The title is set by the first record there is something to judge in: any record under a
// blank filter, one whose field is not empty under another.
class FieldFilter final {
public:
    FieldFilter(std::string_view typed, std::string_view allTitle)
        : typed_(typed), blank_(trimBlanks(typed).empty()), title_(blank_ ? allTitle : trimBlanks(typed)) {}

    // Sets `title` the first time a record's field is judged; true when the record passes.
    template <class View, class Field>
    bool passes(const View& record, Field field, std::optional<std::string>& title) {
        if (blank_) {
            if (!title) title.emplace(title_);
            return true;
        }
        if (trimBlanks(record.stored(field)).empty()) return false;
        if (!title) title.emplace(title_);
        value_.clear();
        record.appendText(field, value_);
        return containsFoldedAZ(value_, typed_);
    }

private:
    std::string_view typed_;
    bool blank_;
    std::string_view title_;
    std::string value_;  // one buffer for every record
};

std::string euros(const ExactSum& sum) { return "€ " + sum.moneyText(); }

}  // namespace

Status fillMovementSummary(const std::filesystem::path& archive, const MovementSummaryFilter& filter,
                           MovementSummary& out) {
    out.rows.clear();
    out.codeTitle.reset();
    out.skipped = {};
    FieldFilter code(filter.code, kAllMovements);
    ExactSum total;
    Status scanned = scanArchiveWhere(
        archive, MovementRecord::kSize, {},
        [&](const std::uint8_t* record, std::int64_t index) {
            const MovementView movement(record);
            if (!code.passes(movement, M::Codice, out.codeTitle)) return true;
            // Dates and totals are plain ASCII, so the stored bytes read as the decoded text would.
            const std::optional<CalendarDate> date = parseDate(movement.stored(M::Data));
            if (!date) {
                out.skipped.add(index + 1);
                return true;
            }
            if (*date < filter.start || filter.end < *date) return true;
            if (!total.add(movement.stored(M::CostoTot))) {
                out.skipped.add(index + 1);
                return true;
            }
            appendMovementRow(out.rows.startRow(), movement);
            out.rows.endRow();
            return true;
        },
        [&out](std::int64_t count) { out.rows.reserve(static_cast<std::size_t>(count), kMovementRowBytes); },
        fieldsOfList(kMovementRow, std::span<const M::Field>({M::Codice, M::Data, M::CostoTot})));
    out.total = euros(total);
    return scanned;
}

std::string intervalText(std::string_view start, std::string_view end) {
    return "Dal   " + std::string(start) + "   al   " + std::string(end);
}

std::vector<std::string> summaryFooterLines(std::string_view interval, std::string_view operations,
                                            std::string_view total) {
    return {"- - - - - - - - - - - - - - - -", "INTERVALLO SELEZIONATO:    " + std::string(trimBlanks(interval)),
            "NUMERO OPERAZIONI:         " + std::string(trimBlanks(operations)),
            "IMPORTO TOTALE:            " + std::string(trimBlanks(total))};
}

namespace {

// The inventory row of a product whose stock and cost read as these values.
void appendInventoryRowOf(std::string& out, const ProductView& product, double stock, double cost) {
    const std::size_t start = out.size();
    appendColumns<kInventoryRow, kInventoryRow.size() - 1>(out, product);
    out += kInventoryRow.back().literal;
    appendGeneral(stock * cost, out);
    blankControls(out, start);
}

}  // namespace

bool appendInventoryRow(std::string& out, const ProductView& product) {
    const std::optional<double> stock = parseDecimalComma(product.stored(P::Giacenza));
    const std::optional<double> cost = parseDecimalComma(product.stored(P::Costo));
    if (!stock || !cost) return false;
    appendInventoryRowOf(out, product, *stock, *cost);
    return true;
}

Status fillInventory(const std::filesystem::path& archive, std::string_view categoryFilter, Inventory& out) {
    out.rows.clear();
    out.categoryTitle.reset();
    out.skipped = {};
    FieldFilter category(categoryFilter, kAllProducts);
    ExactSum total;
    Status scanned = scanArchiveWhere(
        archive, ProductRecord::kSize, {},
        [&](const std::uint8_t* record, std::int64_t index) {
            const ProductView product(record);
            if (!category.passes(product, P::Tipologia, out.categoryTitle)) return true;
            // Stock and cost are plain ASCII when they are numbers, so the stored bytes read as the text would.
            // Each is scanned once, for the total and for the row's value.
            const std::optional<DecimalCommaText> stockText = scanDecimalComma(product.stored(P::Giacenza));
            const std::optional<DecimalCommaText> costText = scanDecimalComma(product.stored(P::Costo));
            const std::optional<double> stock = stockText ? decimalCommaValue(*stockText) : std::nullopt;
            const std::optional<double> cost = costText ? decimalCommaValue(*costText) : std::nullopt;
            if (!stock || !cost || !total.addProduct(*stockText, *costText)) {
                out.skipped.add(index + 1);
                return true;
            }
            appendInventoryRowOf(out.rows.startRow(), product, *stock, *cost);
            out.rows.endRow();
            return true;
        },
        [&out](std::int64_t count) { out.rows.reserve(static_cast<std::size_t>(count), kInventoryRowBytes); },
        fieldsOfList(kInventoryRow, std::span<const P::Field>({P::Tipologia, P::Giacenza, P::Costo})));
    out.rows.sort();
    out.total = euros(total);
    out.partialTotal = out.rows.empty() ? "0,00" : total.generalText();
    return scanned;
}

}  // namespace scortavia
