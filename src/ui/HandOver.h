#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <any>
#include <map>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/QtText.h"
#include "ui/ScreenNames.h"

class QDate;
class QLineEdit;

namespace scortavia {

class AttachmentHolder;
class PhotoBox;
class RecordTarget;
class WorkArea;

// How a dialog or a menu finds where its result goes. It is told a key (in its lblMemory, or a fixed
// one) and asks the registry's desk for the receiver offered on its channel under that key; the
// long-lived screens offer their receivers when they are built. Every key of the program is one row
// of the table below.
enum class HandOver {
    CalendarDate,   // the calendar's key: the date box that receives the picked day
    Attachments,    // the attachments dialog's key: the card that receives the six names and descriptions
    RecordLoad,     // a list's key: the card (or slot) that receives the record of a double-clicked row
    StockBox,       // the stock dialog: the stock box it reads and writes
    WebCamPhoto,    // the webcam dialog: the photo box that receives the captured picture
    MenuClose,      // a year menu's lblMemory when it closes: the screen shown next
    YearArchive,    // a year menu's token: the screen that opens the chosen year's archive
    ProductImport,  // the product picker's card: where the picked product and quantity go
    SummaryYear,    // a year menu's summary token: the period screen that takes the year typed
    PriceListOpen,  // the opening screen's key: the editor that opens the chosen list
};

struct HandOverRoute {
    HandOver channel;
    std::string_view key;
    std::string_view screen;   // object name of the screen that offers the receiver
    std::string_view control;  // the control inside it that receives, empty for the screen itself;
                               // for a print choice, the template it names
};

// The key used by dialogs that always write to the product card.
inline constexpr std::string_view kProductCardKey = "magazzino";
// The key of the main menu, where a menu closed without a choice leads.
inline constexpr std::string_view kMainMenuKey = "avvio";

inline constexpr HandOverRoute kHandOverRoutes[] = {
    {HandOver::CalendarDate, "datasca", screen::kMagazzino, "txtDataSca"},
    {HandOver::CalendarDate, "carichi_datadoc", screen::kCarichi, "txtDataDoc"},
    {HandOver::CalendarDate, "carichi_data", screen::kCarichi, "txtData"},
    {HandOver::CalendarDate, "scarichi_datadoc", screen::kScarichi, "txtDataDoc"},
    {HandOver::CalendarDate, "scarichi_data", screen::kScarichi, "txtData"},
    {HandOver::Attachments, "magazzino", screen::kMagazzino, ""},
    {HandOver::Attachments, "carichi", screen::kCarichi, ""},
    {HandOver::Attachments, "scarichi", screen::kScarichi, ""},
    {HandOver::RecordLoad, "magazzino", screen::kMagazzino, ""},
    {HandOver::RecordLoad, "carichi", screen::kCarichi, ""},
    {HandOver::RecordLoad, "scarichi", screen::kScarichi, ""},
    {HandOver::RecordLoad, "prodotto_A", screen::kListinoPrezzi, "bkgProdotto_01"},
    {HandOver::RecordLoad, "prodotto_B", screen::kListinoPrezzi, "bkgProdotto_02"},
    {HandOver::RecordLoad, "prodotto_C", screen::kListinoPrezzi, "bkgProdotto_03"},
    {HandOver::RecordLoad, "prodotto_D", screen::kListinoPrezzi, "bkgProdotto_04"},
    {HandOver::RecordLoad, "prodotto_E", screen::kListinoPrezzi, "bkgProdotto_05"},
    {HandOver::RecordLoad, "prodotto_F", screen::kListinoPrezzi, "bkgProdotto_06"},
    {HandOver::RecordLoad, "prodotto_G", screen::kListinoPrezzi, "bkgProdotto_07"},
    {HandOver::RecordLoad, "prodotto_H", screen::kListinoPrezzi, "bkgProdotto_08"},
    {HandOver::StockBox, "magazzino", screen::kMagazzino, "txtGiacenza"},
    {HandOver::WebCamPhoto, "magazzino", screen::kMagazzino, "imgFoto"},
    {HandOver::MenuClose, "avvio", screen::kAvvio, ""},
    {HandOver::MenuClose, "carichi", screen::kCarichi, ""},
    {HandOver::MenuClose, "scarichi", screen::kScarichi, ""},
    {HandOver::MenuClose, "riepcarichi", screen::kMenuRiepilogoCarico, ""},
    {HandOver::MenuClose, "riepscarichi", screen::kMenuRiepilogoScarico, ""},
    {HandOver::YearArchive, "carichi", screen::kCarichi, ""},
    {HandOver::YearArchive, "scarichi", screen::kScarichi, ""},
    {HandOver::YearArchive, "riepcarichi", screen::kMenuRiepilogoCarico, ""},
    {HandOver::YearArchive, "riepscarichi", screen::kMenuRiepilogoScarico, ""},
    {HandOver::ProductImport, "carichi", screen::kCarichi, ""},
    {HandOver::ProductImport, "scarichi", screen::kScarichi, ""},
    {HandOver::SummaryYear, "riepcarichi", screen::kMenuRiepilogoCarico, ""},
    {HandOver::SummaryYear, "riepscarichi", screen::kMenuRiepilogoScarico, ""},
    {HandOver::PriceListOpen, "listino", screen::kListinoPrezzi, ""},
    {HandOver::MenuClose, "listino", screen::kListinoPrezzi, ""},
};

// The route of `key` on `channel` (the key compared exactly, as the caller wrote it), or nullptr
// when the key names no route.
const HandOverRoute* findHandOver(HandOver channel, const QString& key);

// What a receiver on a channel is: specialised beside each receiver type, so that a channel used
// without its receiver's header does not compile.
template <HandOver channel>
struct HandOverReceiver;
template <HandOver channel>
using ReceiverOf = typename HandOverReceiver<channel>::type;

// A date box the calendar fills; it writes the day as its screen shows dates.
class DateReceiver {
public:
    virtual ~DateReceiver() = default;
    virtual void receiveDate(const QDate& date) = 0;
};

// clang-format off
template <> struct HandOverReceiver<HandOver::CalendarDate> { using type = DateReceiver; };
template <> struct HandOverReceiver<HandOver::Attachments> { using type = AttachmentHolder; };
template <> struct HandOverReceiver<HandOver::RecordLoad> { using type = RecordTarget; };
template <> struct HandOverReceiver<HandOver::StockBox> { using type = QLineEdit; };
template <> struct HandOverReceiver<HandOver::WebCamPhoto> { using type = PhotoBox; };
template <> struct HandOverReceiver<HandOver::MenuClose> { using type = WorkArea; };
// clang-format on

// The receivers the screens offer, by channel and key. An offer lasts as long as the object that made
// it; a key nobody offered (or whose receiver is gone) has no receiver, and then nothing is written.
class HandOverDesk final {
public:
    // `receiver` takes what `channel` hands over under `key`, replacing an earlier offer.
    template <HandOver channel, class Receiver>
    void offer(const QString& key, Receiver* receiver) {
        static_assert(std::is_base_of_v<QObject, Receiver>, "an offer lasts as long as the object that made it");
        ReceiverOf<channel>* typed = receiver;  // what the channel hands over, checked here
        offers_[{channel, key}] = Offer{receiver, typed};
    }

    // The receiver offered under `key` (compared exactly), or nullptr.
    template <HandOver channel>
    ReceiverOf<channel>* receiver(const QString& key) const {
        const Offer* offer = liveOffer(channel, key);
        if (!offer) return nullptr;
        auto* const* typed = std::any_cast<ReceiverOf<channel>*>(&offer->receiver);
        return typed ? *typed : nullptr;
    }

    // The object that made the live offer of `key` on `channel`, or nullptr.
    QObject* offeredBy(HandOver channel, const QString& key) const;
    // Every live offer, by channel and key.
    std::vector<std::pair<HandOver, QString>> offers() const;

private:
    struct Offer {
        QPointer<QObject> owner;
        std::any receiver;
    };
    const Offer* liveOffer(HandOver channel, const QString& key) const;

    std::map<std::pair<HandOver, QString>, Offer> offers_;
};

}  // namespace scortavia
