#pragma once

#include <QObject>
#include <QString>
#include <span>
#include <string_view>
#include <vector>

#include "ui/QtText.h"

namespace scortavia {

class ScreenRegistry;

// How a dialog finds where its result goes. Screens pass values through controls: the dialog is
// told a key (in its lblMemory, or a fixed one) and writes into the control of the long-lived
// screen that the key names here. Every such route of the program is one row of this table.
enum class HandOver {
    CalendarDate,   // the calendar's key: the date box that receives the picked day
    Attachments,    // the attachments dialog's key: the card that receives the six names and descriptions
    RecordLoad,     // a list's key: the card (or slot) that receives the record of a double-clicked row
    StockBox,       // the stock dialog: the stock box it reads and writes
    WebCamPhoto,    // the webcam dialog: the photo box that receives the captured picture
    MenuClose,      // a year menu's lblMemory when it closes: the screen shown next
    YearArchive,    // a year menu's token: the label that receives the chosen year's archive path
    ProductImport,  // the product picker's card: where the picked product and quantity go
    SummaryYear,    // a year menu's summary token: the boxes and labels that receive the year typed
    PriceListOpen,  // the opening screen's key: the editor's labels that receive the chosen list
};

struct HandOverRoute {
    HandOver channel;
    std::string_view key;
    std::string_view screen;   // object name of the screen
    std::string_view control;  // object name of the control inside it; empty for the screen itself
};

// The key used by dialogs that always write to the product card.
inline constexpr std::string_view kProductCardKey = "magazzino";

inline constexpr HandOverRoute kHandOverRoutes[] = {
    {HandOver::CalendarDate, "datasca", "frmMagazzino", "txtDataSca"},
    {HandOver::CalendarDate, "carichi_datadoc", "frmCarichi", "txtDataDoc"},
    {HandOver::CalendarDate, "carichi_data", "frmCarichi", "txtData"},
    {HandOver::CalendarDate, "scarichi_datadoc", "frmScarichi", "txtDataDoc"},
    {HandOver::CalendarDate, "scarichi_data", "frmScarichi", "txtData"},
    {HandOver::Attachments, "magazzino", "frmMagazzino", ""},
    {HandOver::Attachments, "carichi", "frmCarichi", ""},
    {HandOver::Attachments, "scarichi", "frmScarichi", ""},
    {HandOver::RecordLoad, "magazzino", "frmMagazzino", ""},
    {HandOver::RecordLoad, "carichi", "frmCarichi", ""},
    {HandOver::RecordLoad, "scarichi", "frmScarichi", ""},
    {HandOver::RecordLoad, "prodotto_A", "frmListinoPrezzi", "bkgProdotto_01"},
    {HandOver::RecordLoad, "prodotto_B", "frmListinoPrezzi", "bkgProdotto_02"},
    {HandOver::RecordLoad, "prodotto_C", "frmListinoPrezzi", "bkgProdotto_03"},
    {HandOver::RecordLoad, "prodotto_D", "frmListinoPrezzi", "bkgProdotto_04"},
    {HandOver::RecordLoad, "prodotto_E", "frmListinoPrezzi", "bkgProdotto_05"},
    {HandOver::RecordLoad, "prodotto_F", "frmListinoPrezzi", "bkgProdotto_06"},
    {HandOver::RecordLoad, "prodotto_G", "frmListinoPrezzi", "bkgProdotto_07"},
    {HandOver::RecordLoad, "prodotto_H", "frmListinoPrezzi", "bkgProdotto_08"},
    {HandOver::StockBox, "magazzino", "frmMagazzino", "txtGiacenza"},
    {HandOver::WebCamPhoto, "magazzino", "frmMagazzino", "imgFoto"},
    {HandOver::MenuClose, "avvio", "frmAvvio", ""},
    {HandOver::MenuClose, "carichi", "frmCarichi", ""},
    {HandOver::MenuClose, "scarichi", "frmScarichi", ""},
    {HandOver::MenuClose, "riepcarichi", "frmMenuRiepilogoCarico", ""},
    {HandOver::MenuClose, "riepscarichi", "frmMenuRiepilogoScarico", ""},
    {HandOver::YearArchive, "carichi", "frmCarichi", "lblFile"},
    {HandOver::YearArchive, "scarichi", "frmScarichi", "lblFile"},
    {HandOver::YearArchive, "riepcarichi", "frmMenuRiepilogoCarico", "lblFile"},
    {HandOver::YearArchive, "riepscarichi", "frmMenuRiepilogoScarico", "lblFile"},
    {HandOver::ProductImport, "carichi", "frmCarichi", ""},
    {HandOver::ProductImport, "scarichi", "frmScarichi", ""},
    {HandOver::SummaryYear, "riepcarichi", "frmMenuRiepilogoCarico", "txtAnno"},
    {HandOver::SummaryYear, "riepcarichi", "frmMenuRiepilogoCarico", "lblAnnoInizio"},
    {HandOver::SummaryYear, "riepcarichi", "frmMenuRiepilogoCarico", "lblAnnoFine"},
    {HandOver::SummaryYear, "riepscarichi", "frmMenuRiepilogoScarico", "txtAnno"},
    {HandOver::SummaryYear, "riepscarichi", "frmMenuRiepilogoScarico", "lblAnnoInizio"},
    {HandOver::SummaryYear, "riepscarichi", "frmMenuRiepilogoScarico", "lblAnnoFine"},
    {HandOver::PriceListOpen, "listino", "frmListinoPrezzi", "lblFile"},
    {HandOver::PriceListOpen, "listino", "frmListinoPrezzi", "lblNome"},
    {HandOver::MenuClose, "listino", "frmListinoPrezzi", ""},
};

// The route of `key` on `channel` (the key compared exactly, as the caller wrote it), or nullptr
// when the key names no route: then nothing is written anywhere.
const HandOverRoute* findHandOver(HandOver channel, const QString& key);

// The object a route leads to in the running program: the screen, or the control inside it.
// Nullptr when the key names no route or the screen is not built into this program.
QObject* handOverTarget(const ScreenRegistry& registry, HandOver channel, const QString& key);

// Every object the routes of `key` on `channel` lead to, for a hand-over that writes several controls.
std::vector<QObject*> handOverTargets(const ScreenRegistry& registry, HandOver channel, const QString& key);

template <class T>
T* handOverTarget(const ScreenRegistry& registry, HandOver channel, const QString& key) {
    return dynamic_cast<T*>(handOverTarget(registry, channel, key));
}

}  // namespace scortavia
