#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/ListRows.h"
#include "common/Result.h"
#include "movements/MovementDirection.h"
#include "storage/ArchiveScan.h"
#include "storage/ProductRecord.h"

// The product picker of the movement cards: the list of the products and the one place where a
// movement moves a product's stock.
namespace scortavia {

// A picker row: for goods-in the product search's row format A; for goods-out the same with the
// selling price at the end instead of the cost.
void appendPickerRow(std::string& out, const ProductView& product, const MovementDirection& direction);

// Every product whose stock, trimmed, is not empty, in list order. A failure keeps the rows so far.
Status fillPickerList(const std::filesystem::path& archive, const MovementDirection& direction, RowList& rows);

// The product behind a picker row; the last of several identical rows.
Result<std::optional<FoundRecord>> findPickedProduct(const std::filesystem::path& archive, std::string_view row,
                                                     const MovementDirection& direction);

enum class PickOutcome {
    Found,         // a product gives exactly this row
    Refreshed,     // the row is out of date (another copy changed the product): `row` is the product's row now
    Gone,          // no listed product has the row's code any more
    Ambiguous,     // several listed products have the row's code, and the rest of the row singles out none
    AccessFailed,  // the archive could not be read
};

struct PickedProduct {
    PickOutcome outcome = PickOutcome::AccessFailed;
    std::int64_t position = 0;  // 1-based, when found or refreshed
    ProductRecord record;       // as stored now, when found or refreshed
    std::string row;            // its picker row as stored now, when refreshed
};

// The product behind a clicked picker row, in one scan. A row that no product gives any more (another copy of the
// program moved its stock or changed its card since the list was filled) is matched by its code among the
// products the list would show; when several share that code, by the rest of the row with only the stock set
// aside.
PickedProduct pickProduct(const std::filesystem::path& archive, std::string_view row,
                          const MovementDirection& direction);

// The quantity as the picker hands it to the movement card: trimmed.
std::string quantityForCard(std::string_view quantity);

// Whether that text fits the card's quantity box, which holds what the record's field holds: a longer one would
// be cut there, and the movement saved with another quantity than the stock moved by.
bool quantityFitsCard(std::string_view quantity);

enum class StockMoveOutcome {
    Moved,            // the record was rewritten with the new stock
    NotANumber,       // the quantity (or the stored stock) is not a number: nothing written
    QuantityTooLong,  // the quantity does not fit the card's quantity box: nothing written
    DoesNotFit,       // the new stock needs more than the field's 4 characters: nothing written
    CodeChanged,      // the record at that position no longer holds the picked code: nothing written
    AccessFailed,     // the archive could not be opened, read or written: nothing written
};

struct StockMove {
    StockMoveOutcome outcome = StockMoveOutcome::AccessFailed;
    std::string newStock;  // the stock now stored, when moved
    ProductRecord record;  // the product as now stored, when moved
};

// Moves the stock of the product at `position` (1-based) by `quantity` in the direction's sense.
// The record is read and rewritten under the lock on that record, and the new stock is computed from
// the stock stored at that moment, so two copies of the program moving the same product at the same
// time both count. A blank quantity or a blank stored stock counts as 0.
StockMove moveProductStock(const std::filesystem::path& archive, std::int64_t position, std::string_view pickedCode,
                           std::string_view quantity, const MovementDirection& direction);

}  // namespace scortavia
