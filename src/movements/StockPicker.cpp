#include "movements/StockPicker.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "common/Numbers.h"
#include "common/TextRules.h"
#include "products/ProductCard.h"
#include "products/ProductRows.h"
#include "storage/Archive.h"
#include "storage/MovementRecord.h"

namespace scortavia {
namespace {

using P = ProductLayout;

// A blank stock or quantity counts as 0.
std::optional<double> readCount(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    return t.empty() ? 0.0 : parseDecimalComma(t);
}

// Decides the move from the record as it is stored now; the record changes only when the move is made.
StockMoveOutcome applyMove(ProductRecord& record, std::string_view pickedCode, std::string_view quantity, int stockSign,
                           std::string& newStock) {
    if (record.text(P::Codice) != trimBlanks(pickedCode)) return StockMoveOutcome::CodeChanged;
    const auto stored = readCount(record.text(P::Giacenza));
    const auto moved = readCount(quantity);
    if (!stored || !moved) return StockMoveOutcome::NotANumber;
    std::string stock = formatGeneral(*stored + stockSign * *moved);
    if (!stockFitsField(stock)) return StockMoveOutcome::DoesNotFit;
    record.field(P::Giacenza).assignText(stock);
    newStock = std::move(stock);
    return StockMoveOutcome::Moved;
}

// Where a picker row shows a product field: the characters before it, and its width.
struct RowSpan {
    std::size_t from;
    std::size_t width;
};

RowSpan columnOf(ProductLayout::Field field, const MovementDirection& direction) {
    std::size_t at = 0;
    for (const ProductColumn& column : productRowAEndingWith(direction.rowValueLiteral, direction.copiedValue)) {
        at += countCharacters(column.literal);
        if (column.field == field) return {at, column.width};
        at += column.width;
    }
    return {at, 0};
}

// The last product of the scan that met a test, kept whole: the scan's block moves on.
struct Candidate {
    std::int64_t position = 0;
    ProductRecord record;
    int count = 0;

    void keep(const std::uint8_t* bytes, std::int64_t index) {
        std::copy(bytes, bytes + ProductRecord::kSize, record.bytes().begin());
        position = index + 1;
        ++count;
    }
};

}  // namespace

void appendPickerRow(std::string& out, const ProductView& product, const MovementDirection& direction) {
    if (direction.direction == Direction::GoodsIn) {
        appendProductRowA(out, product);
    } else {
        appendProductRowAEndingWith(out, product, direction.rowValueLiteral, direction.copiedValue);
    }
}

Status fillPickerList(const std::filesystem::path& archive, const MovementDirection& direction, RowList& rows) {
    rows.clear();
    // The fields of the rows (both directions' rows: row A, and the price that ends a goods-out row) and the
    // stock that picks them: a server sends no more.
    const std::vector<std::size_t> fields =
        fieldsOfList(kProductRowA, std::span<const P::Field>({P::Giacenza, P::Prezzo}));
    Status scanned = scanArchiveWhere(
        archive, ProductRecord::kSize, {},
        [&](const std::uint8_t* record, std::int64_t) {
            const ProductView product(record);
            if (!trimBlanks(product.stored(P::Giacenza)).empty()) {
                appendPickerRow(rows.startRow(), product, direction);
                rows.endRow();
            }
            return true;
        },
        [&rows](std::int64_t count) {
            // Room for a row per record up front: growing a buffer of megabytes copies it again and again.
            rows.reserve(static_cast<std::size_t>(count), 160);
        },
        fields);
    rows.sort();
    return scanned;
}

Result<std::optional<FoundRecord>> findPickedProduct(const std::filesystem::path& archive, std::string_view row,
                                                     const MovementDirection& direction) {
    return findRecordByRow(archive, ProductRecord::kSize, row,
                           [&direction](std::string& out, const std::uint8_t* record) {
                               appendPickerRow(out, ProductView(record), direction);
                           });
}

PickedProduct pickProduct(const std::filesystem::path& archive, std::string_view row,
                          const MovementDirection& direction) {
    const std::string_view wanted = trimBlanks(row);
    const RowSpan code = columnOf(P::Codice, direction);
    const RowSpan stock = columnOf(P::Giacenza, direction);
    // The row's text up to the end of its code column, and the stock it shows.
    const std::string_view codePrefix = wanted.substr(0, prefixBytes(wanted, code.from + code.width));
    const std::size_t stockStart = prefixBytes(wanted, stock.from);
    const std::string shownStock(
        trimBlanks(wanted.substr(stockStart, prefixBytes(wanted, stock.from + stock.width) - stockStart)));

    Candidate exact;
    Candidate sameCode;
    Candidate sameButStock;
    std::string built;
    ProductRecord asShown;
    const Status scanned =
        scanArchive(archive, ProductRecord::kSize, [&](const std::uint8_t* bytes, std::int64_t index) {
            const ProductView product(bytes);
            built.clear();
            appendPickerRow(built, product, direction);
            if (trimBlanks(built) == wanted) {
                exact.keep(bytes, index);
                return true;
            }
            // A row out of date: only a product the list would show, under the same code, may be the one behind it.
            if (!built.starts_with(codePrefix) || trimBlanks(product.stored(P::Giacenza)).empty()) return true;
            sameCode.keep(bytes, index);
            std::copy(bytes, bytes + ProductRecord::kSize, asShown.bytes().begin());
            asShown.setText(P::Giacenza, shownStock);
            built.clear();
            appendPickerRow(built, asShown.view(), direction);
            if (trimBlanks(built) == wanted) sameButStock.keep(bytes, index);
            return true;
        });

    PickedProduct picked;
    if (!scanned) return picked;
    const Candidate* chosen = nullptr;
    if (exact.count > 0) {
        chosen = &exact;
        picked.outcome = PickOutcome::Found;
    } else if (sameCode.count == 0) {
        picked.outcome = PickOutcome::Gone;
    } else if (sameCode.count == 1 || sameButStock.count == 1) {
        chosen = sameCode.count == 1 ? &sameCode : &sameButStock;
        picked.outcome = PickOutcome::Refreshed;
        appendPickerRow(picked.row, chosen->record.view(), direction);
    } else {
        picked.outcome = PickOutcome::Ambiguous;
    }
    if (chosen) {
        picked.position = chosen->position;
        picked.record = chosen->record;
    }
    return picked;
}

std::string quantityForCard(std::string_view quantity) { return std::string(trimBlanks(quantity)); }

bool quantityFitsCard(std::string_view quantity) {
    return countCharacters(trimBlanks(quantity)) <= MovementRecord::Info::capacity(MovementLayout::Quant);
}

StockMove moveProductStock(const std::filesystem::path& archive, std::int64_t position, std::string_view pickedCode,
                           std::string_view quantity, const MovementDirection& direction) {
    StockMove move;
    // Decided before the archive is opened; a quantity that is no number is refused as such below.
    if (readCount(quantity) && !quantityFitsCard(quantity)) {
        move.outcome = StockMoveOutcome::QuantityTooLong;
        return move;
    }
    auto opened = openArchive(archive, ProductRecord::kSize);
    if (!opened) return move;
    Archive& file = **opened;
    const auto count = file.recordCount();
    if (!count || position < 1 || position > *count) return move;

    ProductRecord record;
    StockMoveOutcome decided = StockMoveOutcome::AccessFailed;
    std::string newStock;
    // updateAt reads into `record` and writes `record` back, so the change is made on it directly.
    const auto update = file.updateAt(position - 1, record.bytes(), [&](std::span<std::uint8_t>) {
        decided = applyMove(record, pickedCode, quantity, direction.stockSign, newStock);
        return decided == StockMoveOutcome::Moved;
    });
    if (!update) return move;
    move.outcome = decided;
    if (decided == StockMoveOutcome::Moved) {
        move.newStock = std::move(newStock);
        move.record = record;
    }
    return move;
}

}  // namespace scortavia
