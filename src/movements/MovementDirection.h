#pragma once

#include <string_view>

#include "storage/ArchivePaths.h"
#include "storage/ProductRecord.h"
#include "ui/ScreenNames.h"

namespace scortavia {

using Direction = paths::Direction;

// Everything that tells goods-in from goods-out: the year menus, the movement cards and the product
// pickers are one implementation each, given one of these two descriptions.
struct MovementDirection {
    Direction direction;     // also names the year archive: see paths::movementArchive
    std::string_view token;  // hand-over key of the card: "carichi", "scarichi"

    // Year menu.
    std::string_view menuName;
    std::string_view menuCaption;
    std::string_view menuWorkHeading;
    std::string_view menuSummaryHeading;
    std::string_view menuInformation;
    std::string_view summaryToken;  // "riepcarichi"
    std::string_view summaryName;   // the summary period screen
    std::string_view summaryYearCaption;
    std::string_view helpTitle;

    // Movement card.
    std::string_view cardName;
    std::string_view cardCaption;
    std::string_view cardYearCaption;  // followed by the year
    std::string_view partyCaption;
    std::string_view contactCaption;
    std::string_view dateCaption;
    std::string_view unitCaption;
    std::string_view quantityCaption;
    std::string_view totalCaption;
    std::string_view partyMissing;
    std::string_view dateMissing;
    std::string_view totalTooLong;  // Calcola and Save, when the total does not fit its box
    std::string_view calcolaHint;
    std::string_view dateKey;     // calendar key of txtData
    std::string_view docDateKey;  // calendar key of txtDataDoc

    // Product picker.
    std::string_view pickerName;
    std::string_view pickerQuantityCaption;
    int stockSign;                     // +1: the quantity comes in, -1: it goes out
    ProductLayout::Field copiedValue;  // into the card's unit value: the cost, or the selling price
    std::string_view rowValueLiteral;  // before that value at the end of a picker row

    // Movement search and open accounts.
    std::string_view searchName;
    std::string_view searchCaption;
    std::string_view searchDateLabel;
    std::string_view searchUnitLabel;
    std::string_view searchPrintTitle;
    std::string_view openAccountsName;

    // Card printing; the party, contact, date and quantity rows print the card's own captions.
    std::string_view printName;
    std::string_view printTemplate;
    std::string_view printTitle;
    std::string_view printUnitCaption;
    std::string_view printTotalCaption;

    // Summary over a period: the period screen is summaryName.
    std::string_view periodCaption;
    std::string_view periodAllGoods;  // how to summarise every product
    std::string_view summaryListName;
    std::string_view summaryListCaption;
    std::string_view summaryPrintTitle;  // followed by the code filter
    std::string_view summaryHelpTitle;
};

inline constexpr MovementDirection kGoodsIn{
    .direction = Direction::GoodsIn,
    .token = "carichi",
    .menuName = screen::kMenuCarico,
    .menuCaption = " Scortavia - Operazioni di carico",
    .menuWorkHeading = "Inserimento schede di carico:",
    .menuSummaryHeading = "Riepilogo movimenti di carico:",
    .menuInformation =
        "In questo ambiente è possibile registrare le schede di carico merce e riepilogare le operazioni.",
    .summaryToken = "riepcarichi",
    .summaryName = screen::kMenuRiepilogoCarico,
    .summaryYearCaption = " Scortavia - Riepilogo operazioni di carico anno ",
    .helpTitle = "App Operazioni di Carico",
    .cardName = screen::kCarichi,
    .cardCaption = " Scortavia - Operazioni di carico",
    .cardYearCaption = " Scortavia - Operazioni di carico anno ",
    .partyCaption = "Fornitore:",
    .contactCaption = "Recapito preferenziale:",
    .dateCaption = "Data carico:",
    .unitCaption = "Costo unitario: €",
    .quantityCaption = "Quantità caricata:",
    .totalCaption = "Costo totale: €",
    .partyMissing = "Attenzione: per salvare la scheda è necessario indicare il nome del fornitore.",
    .dateMissing = "Attenzione: per salvare la scheda è necessario indicare la data di carico.",
    .totalTooLong =
        "Attenzione: il costo totale risultante non può essere registrato nella scheda.\n\n"
        "Il costo totale deve essere compreso tra -99999999999,99 e 999999999999,99 (al massimo 15 caratteri): "
        "correggere il costo unitario o la quantità.",
    .calcolaHint = "Calcola il costo totale moltiplicando il costo unitario per la quantità caricata.",
    .dateKey = "carichi_data",
    .docDateKey = "carichi_datadoc",
    .pickerName = "frmImportaMagazzinoCar",
    .pickerQuantityCaption = "Quantità da caricare:",
    .stockSign = +1,
    .copiedValue = ProductLayout::Costo,
    .rowValueLiteral = "  Costo: € ",
    .searchName = "frmTrovaCarichi",
    .searchCaption = " Trova operazioni di carico in archivio",
    .searchDateLabel = "Data carico (gg/mm/aaaa):",
    .searchUnitLabel = "Costo unitario: €",
    .searchPrintTitle = "Riepilogo operazioni di carico",
    .openAccountsName = "frmSospese",
    .printName = "frmStampaCarico",
    .printTemplate = "Scheda Carico Merce",
    .printTitle = "SCHEDA CARICO MERCE",
    .printUnitCaption = "Costo unitario:",
    .printTotalCaption = "Costo totale:",
    .periodCaption = " Scortavia - Riepilogo movimenti di carico merce",
    .periodAllGoods =
        "Per ottenere il riepilogo dei movimenti di carico riguardanti tutta la merce, non indicare "
        "nessun codice articolo.",
    .summaryListName = "frmRiepilogoCarico",
    .summaryListCaption = " Scortavia - Riepilogo movimenti di carico merce",
    .summaryPrintTitle = "Movimenti di carico merce - Codice articolo: ",
    .summaryHelpTitle = "App Riepilogo movimenti di carico merce",
};

inline constexpr MovementDirection kGoodsOut{
    .direction = Direction::GoodsOut,
    .token = "scarichi",
    .menuName = screen::kMenuScarico,
    .menuCaption = " Scortavia - Operazioni di scarico",
    .menuWorkHeading = "Inserimento schede di scarico:",
    .menuSummaryHeading = "Riepilogo movimenti di scarico:",
    .menuInformation =
        "In questo ambiente è possibile registrare le schede di scarico merce e riepilogare le operazioni.",
    .summaryToken = "riepscarichi",
    .summaryName = screen::kMenuRiepilogoScarico,
    .summaryYearCaption = " Scortavia - Riepilogo operazioni di scarico anno ",
    .helpTitle = "App Operazioni di Scarico",
    .cardName = screen::kScarichi,
    .cardCaption = " Scortavia - Operazioni di scarico",
    .cardYearCaption = " Scortavia - Operazioni di scarico anno ",
    .partyCaption = "Cliente:",
    .contactCaption = "Telefono preferenziale:",
    .dateCaption = "Data scarico:",
    .unitCaption = "Prezzo unitario:",
    .quantityCaption = "Quantità scaricata:",
    .totalCaption = "Prezzo totale:",
    .partyMissing = "Attenzione: per salvare la scheda è necessario indicare il nome del cliente.",
    .dateMissing = "Attenzione: per salvare la scheda è necessario indicare la data di scarico.",
    .totalTooLong =
        "Attenzione: il prezzo totale risultante non può essere registrato nella scheda.\n\n"
        "Il prezzo totale deve essere compreso tra -99999999999,99 e 999999999999,99 (al massimo 15 caratteri): "
        "correggere il prezzo unitario o la quantità.",
    .calcolaHint = "Calcola il prezzo totale moltiplicando il prezzo unitario per la quantità scaricata.",
    .dateKey = "scarichi_data",
    .docDateKey = "scarichi_datadoc",
    .pickerName = "frmImportaMagazzinoSca",
    .pickerQuantityCaption = "Quantità da scaricare:",
    .stockSign = -1,
    .copiedValue = ProductLayout::Prezzo,
    .rowValueLiteral = "  Prezzo: € ",
    .searchName = "frmTrovaScarichi",
    .searchCaption = " Trova operazioni di scarico in archivio",
    .searchDateLabel = "Data scarico (gg/mm/aaaa):",
    .searchUnitLabel = "Prezzo unitario: €",
    .searchPrintTitle = "Riepilogo operazioni di scarico",
    .openAccountsName = "frmSospeseSca",
    .printName = "frmStampaScarico",
    .printTemplate = "Scheda Scarico Merce",
    .printTitle = "SCHEDA SCARICO MERCE",
    .printUnitCaption = "Prezzo unitario:",
    .printTotalCaption = "Prezzo totale:",
    .periodCaption = " Scortavia - Riepilogo movimenti di scarico merce",
    .periodAllGoods =
        "Per ottenere il riepilogo dei movimenti di scarico riguardanti tutta la merce, non indicare "
        "nessun codice articolo.",
    .summaryListName = "frmRiepilogoScarico",
    .summaryListCaption = " Scortavia - Riepilogo movimenti di scarico merce",
    .summaryPrintTitle = "Movimenti di scarico merce - Codice articolo: ",
    .summaryHelpTitle = "App Riepilogo movimenti di scarico merce",
};

const MovementDirection& movementDirection(Direction direction);

}  // namespace scortavia
