#include "movements/MovementCard.h"

#include "common/Numbers.h"
#include "common/TextRules.h"

namespace scortavia {

using M = MovementLayout;

MovementRecord movementRecordFrom(const MovementTexts& texts) {
    MovementRecord record;
    for (std::size_t i = 0; i < M::FieldCount; ++i) record.field(static_cast<M::Field>(i)).assignText(texts[i]);
    return record;
}

MovementTexts movementTextsOf(const MovementView& record) {
    MovementTexts texts;
    for (std::size_t i = 0; i < M::FieldCount; ++i) texts[i] = record.text(static_cast<M::Field>(i));
    return texts;
}

std::array<MovementMandatory, 5> movementMandatory(const MovementDirection& direction) {
    return {{
        {M::Fornitore, direction.partyMissing},
        {M::Data, direction.dateMissing},
        {M::Codice, "Attenzione: per salvare la scheda è necessario indicare il codice articolo."},
        {M::Tipologia, "Attenzione: per salvare la scheda è necessario indicare la tipologia di merce."},
        {M::Descrizione, "Attenzione: per salvare la scheda è necessario indicare la descrizione dell'articolo."},
    }};
}

MovementTotal computeMovementTotal(std::string_view unit, std::string_view quantity) {
    // A blank box counts as zero, and the card shows it so.
    MovementTotal out;
    out.unit = trimBlanks(unit).empty() ? std::string("0,00") : std::string(unit);
    out.quantity = trimBlanks(quantity).empty() ? std::string("0") : std::string(quantity);
    const auto a = parseDecimalComma(out.unit);
    const auto b = parseDecimalComma(out.quantity);
    if (!a || !b) return {"0,00", "0", "0,00"};
    // Through the general format first: 1,15 × 3 is 3.4499999999999997 as a double, 3,45 at 15 digits.
    out.total = formatMoneyText(formatGeneral(*a * *b), 2);
    out.fits = totalFitsCard(out.total);
    return out;
}

bool totalFitsCard(std::string_view total) {
    return countCharacters(total) <= MovementRecord::Info::capacity(M::CostoTot);
}

}  // namespace scortavia
