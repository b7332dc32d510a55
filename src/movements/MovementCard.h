#pragma once

#include <array>
#include <string>
#include <string_view>

#include "movements/MovementDirection.h"
#include "storage/MovementRecord.h"

namespace scortavia {

// The texts of the movement card's controls, one per record field: the 13 edit boxes, the
// still-to-be-paid flag as "Sì" or "No", the six hidden attachment labels.
using MovementTexts = std::array<std::string, MovementLayout::FieldCount>;

MovementRecord movementRecordFrom(const MovementTexts& texts);
MovementTexts movementTextsOf(const MovementView& record);

struct MovementMandatory {
    MovementLayout::Field field;
    std::string_view warning;
};

// Checked on save in this order; the first blank one stops the save.
std::array<MovementMandatory, 5> movementMandatory(const MovementDirection& direction);

// "Calcola": the new texts of the unit value, quantity and total boxes. Blank boxes count as
// "0,00" and "0"; the total is unit × quantity in double precision, written in the general number
// format and then as money with two decimals. An unreadable unit value or quantity resets all three.
// A total that does not fit its box is computed all the same, and said so by `fits`.
struct MovementTotal {
    std::string unit;
    std::string quantity;
    std::string total;
    bool fits = true;
};
MovementTotal computeMovementTotal(std::string_view unit, std::string_view quantity);

// Whether a total fits the card's total box whole, which holds what the record's field holds: a longer one would
// be cut there and stored as another number.
bool totalFitsCard(std::string_view total);

}  // namespace scortavia
