#pragma once

#include <QObject>
#include <QString>
#include <span>
#include <string_view>

#include "ui/QtText.h"

namespace scortavia {

class ScreenRegistry;

// How a dialog finds where its result goes. Screens pass values through controls: the dialog is
// told a key (in its lblMemory, or a fixed one) and writes into the control of the long-lived
// screen that the key names here. Every such route of the program is one row of this table.
enum class HandOver {
    CalendarDate,  // the calendar's key: the date box that receives the picked day
    Attachments,   // the attachments dialog's key: the card that receives the six names and descriptions
    RecordLoad,    // a list's key: the card (or slot) that receives the record of a double-clicked row
    StockBox,      // the stock dialog: the stock box it reads and writes
    WebCamPhoto,   // the webcam dialog: the photo box that receives the captured picture
    PrintChoice,   // the print dialog's "con"/"senza": the template it prints
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
    {HandOver::Attachments, "magazzino", "frmMagazzino", ""},
    {HandOver::RecordLoad, "magazzino", "frmMagazzino", ""},
    {HandOver::StockBox, "magazzino", "frmMagazzino", "txtGiacenza"},
    {HandOver::WebCamPhoto, "magazzino", "frmMagazzino", "imgFoto"},
    {HandOver::PrintChoice, "con", "frmStampaMag", "repFoto"},
    {HandOver::PrintChoice, "senza", "frmStampaMag", "repScheda"},
    {HandOver::PrintChoice, "con", "frmAnteprimaMag", "repFoto"},
    {HandOver::PrintChoice, "senza", "frmAnteprimaMag", "repScheda"},
};

// The route of `key` on `channel` (the key compared exactly, as the caller wrote it), or nullptr
// when the key names no route: then nothing is written anywhere. With `screen` given, only the
// routes of that screen count (the print dialogs share their keys).
const HandOverRoute* findHandOver(HandOver channel, const QString& key, std::string_view screen = {});

// The object a route leads to in the running program: the screen, or the control inside it.
// Nullptr when the key names no route or the screen is not built into this program.
QObject* handOverTarget(const ScreenRegistry& registry, HandOver channel, const QString& key);

template <class T>
T* handOverTarget(const ScreenRegistry& registry, HandOver channel, const QString& key) {
    return dynamic_cast<T*>(handOverTarget(registry, channel, key));
}

}  // namespace scortavia
