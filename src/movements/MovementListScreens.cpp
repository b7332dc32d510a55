#include "movements/MovementListScreens.h"

#include <QLabel>
#include <QLineEdit>

#include "movements/MovementCardScreen.h"
#include "movements/MovementLists.h"
#include "ui/RecordTarget.h"
#include "ui/ScreenRegistry.h"

namespace scortavia {
namespace {

// The year archive open on the card, read when it is needed: the card's lblFile.
ListScreen::Find movementOfRow(const MovementCardScreen& card) {
    return [&card](std::string_view row) { return findMovementByRow(card.archivePath(), row); };
}

RecordTarget* cardOf(const ScreenRegistry& registry, const MovementDirection& direction) {
    return registry.handOver().receiver<HandOver::RecordLoad>(toQString(direction.token));
}

}  // namespace

MovementSearch::MovementSearch(ScreenRegistry& registry, MovementCardScreen& card, const MovementDirection& direction)
    : SearchScreen(&card,
                   {.name = direction.searchName.data(),
                    .caption = direction.searchCaption.data(),
                    .printTitle = direction.searchPrintTitle.data()},
                   std::initializer_list<Field>{
                       {"txtNumDoc", "Documento n.", "effNumDoc"},
                       {"txtDataDoc", "Data emissione (gg/mm/aaaa):", "effDataDoc"},
                       {"txtData", direction.searchDateLabel.data(), "effData"},
                       {"txtCodice", "Codice articolo:", "effCodice"},
                       {"txtTipologia", "Tipologia:", "effTipologia"},
                       {"txtMarca", "Marca e modello:", "effMarca"},
                       {"txtDescrizione", "Descrizione:", "effDescrizione"},
                       {"txtCostoUni", direction.searchUnitLabel.data(), "effCostoUni"},
                       {"txtFornitore", direction.partyCaption.data(), "effFornitore"},
                       {"txtNote", "Note:", "effNote"},
                   },
                   [&card](const std::vector<std::string>& typed, RowList& rows) {
                       MovementSearchTexts texts;
                       std::copy_n(typed.begin(), std::min(typed.size(), texts.size()), texts.begin());
                       return fillMovementSearchList(card.archivePath(), texts, rows);
                   }) {
    const auto& f = fields();
    txtNumDoc = f[0], txtDataDoc = f[1], txtData = f[2], txtCodice = f[3], txtTipologia = f[4];
    txtMarca = f[5], txtDescrizione = f[6], txtCostoUni = f[7], txtFornitore = f[8], txtNote = f[9];
    // Only the card that opened the search with its own key receives the movement.
    openRowsIn(movementOfRow(card), [this, &registry, &direction]() -> RecordTarget* {
        if (lblMemory->text().trimmed() != toQString(direction.token)) return nullptr;
        return cardOf(registry, direction);
    });
    showHeadings(listHeadings(kMovementRow));
}

OpenAccounts::OpenAccounts(ScreenRegistry& registry, MovementCardScreen& card, const MovementDirection& direction)
    : ListScreen(&card, {.name = direction.openAccountsName.data(),
                         .caption = " Riepilogo conti da saldare",
                         .printTitle = "Riepilogo conti da saldare"}) {
    fillWhenShown([&card](RowList& rows) { return fillOpenAccountsList(card.archivePath(), rows); });
    openRowsIn(movementOfRow(card), [&registry, &direction] { return cardOf(registry, direction); });
    showHeadings(listHeadings(kMovementRow));
}

std::unique_ptr<MovementSearch> makeMovementSearch(ScreenRegistry& registry, MovementCardScreen& card) {
    if (card.direction().direction == Direction::GoodsIn) return std::make_unique<TfrmTrovaCarichi>(registry, card);
    return std::make_unique<TfrmTrovaScarichi>(registry, card);
}

std::unique_ptr<OpenAccounts> makeOpenAccounts(ScreenRegistry& registry, MovementCardScreen& card) {
    if (card.direction().direction == Direction::GoodsIn) return std::make_unique<TfrmSospese>(registry, card);
    return std::make_unique<TfrmSospeseSca>(registry, card);
}

}  // namespace scortavia
