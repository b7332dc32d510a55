#include "guide/GuideScreens.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QThread>
#include <optional>

#include "guide/ShopSample.h"
#include "movements/MovementCardScreen.h"
#include "movements/MovementDirection.h"
#include "movements/MovementYearMenu.h"
#include "pricelists/PriceListArchiveScreens.h"
#include "pricelists/TfrmListinoPrezzi.h"
#include "products/TfrmMagazzino.h"
#include "shell/Application.h"
#include "shell/TfrmAvvio.h"
#include "shell/TfrmPassword.h"
#include "ui/DesktopService.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/PhotoBox.h"
#include "ui/QtText.h"

namespace scortavia::guide {
namespace {

// Lets the window system and queued work catch up until `done` holds; false once `limitMs` has passed.
template <class Predicate>
bool waitFor(Predicate done, int limitMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.hasExpired(limitMs)) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void pause(int ms) {
    waitFor([] { return false; }, ms);
}

// Ready to be photographed: shown, active and every photo on it decoded.
bool ready(const QWidget* area) {
    if (!area->isVisible() || QApplication::activeWindow() != area) return false;
    for (const PhotoBox* box : area->findChildren<PhotoBox*>()) {
        if (box->isVisibleTo(area) && box->shownImage().isNull()) return false;
    }
    return true;
}

// A menu-like screen is a panel in the middle of an empty screen: the picture keeps the panel and a
// strip of the background around it. Any other screen is taken whole.
QRect framing(const QWidget* screen) {
    for (const char* name : {"panMenu", "panAvvio"}) {
        const auto* panel = screen->findChild<QWidget*>(QString::fromLatin1(name));
        if (!panel || !panel->isVisibleTo(screen)) continue;
        constexpr int kBackground = 36;
        const QRect around(panel->mapTo(screen, QPoint(0, 0)), panel->size());
        return around.adjusted(-kBackground, -kBackground, kBackground, kBackground) & screen->rect();
    }
    return screen->rect();
}

class Session final {
public:
    Session(const std::filesystem::path& programFolder, std::vector<Figure>& figures, QStringList& problems)
        : program_(programFolder), figures_(figures), problems_(problems) {
        // Nothing may end the run but the end of the tour.
        program_.registry().setEndProgramHandler([] {});
        program_.start();
    }

    // The work area `name` once it is on screen and ready; nullptr, noted, when it does not come up.
    template <class T>
    T* area(std::string_view name) {
        T* screen = program_.registry().get<T>(toQString(name));
        if (!screen || !waitFor([screen] { return ready(screen); })) {
            problems_ << QStringLiteral("la schermata %1 non si è aperta").arg(toQString(name));
            return nullptr;
        }
        // A maximised window gets its size a moment after it is shown; its photos are then decoded again.
        const QSize before = screen->size();
        pause(300);
        if (screen->size() != before) waitFor([screen] { return ready(screen); });
        return screen;
    }

    // `after`: a word of the paragraph the screenshot illustrates.
    void shoot(QWidget* screen, HelpTopic topic, const QString& caption, const QString& after = {}) {
        figures_.push_back({topic, screen->grab(framing(screen)).toImage(), caption, after});
    }

    // Back to the main menu, as closing a work area leads there.
    TfrmAvvio* menuFrom(QWidget* screen) {
        program_.registry().switchTo(QStringLiteral("frmAvvio"), screen);
        return area<TfrmAvvio>("frmAvvio");
    }

private:
    Application program_;
    std::vector<Figure>& figures_;
    QStringList& problems_;
};

void tour(Session& session) {
    auto* password = session.area<TfrmPassword>("frmPassword");
    if (!password) return;
    session.shoot(password, HelpTopic::Overview, QStringLiteral("La richiesta della password all'avvio"),
                  QStringLiteral("Autenticazione"));
    password->txtPassword->setText(QString::fromLatin1(kSamplePassword));
    password->cmdOKClick();

    auto* menu = session.area<TfrmAvvio>("frmAvvio");
    if (!menu) return;
    session.shoot(menu, HelpTopic::Overview, QStringLiteral("Il menu principale"), QStringLiteral("sei riquadri"));

    menu->openArea(QStringLiteral("frmMagazzino"));
    auto* card = session.area<TfrmMagazzino>("frmMagazzino");
    if (!card) return;
    card->navigate(CardAction::First);
    if (!(card = session.area<TfrmMagazzino>("frmMagazzino"))) return;
    session.shoot(card, HelpTopic::Products, QStringLiteral("La scheda di un prodotto, con la sua foto"));

    if (!(menu = session.menuFrom(card))) return;
    menu->openArea(toQString(kGoodsIn.menuName));
    auto* yearMenu = session.area<MovementYearMenu>(kGoodsIn.menuName);
    if (!yearMenu) return;
    yearMenu->txtAnnoLavoro->setText(QString::fromLatin1(kSampleYear));
    session.shoot(yearMenu, HelpTopic::GoodsIn, QStringLiteral("La scelta dell'anno di lavoro del carico merce"));
    yearMenu->btnApriLavoroClick();
    auto* goodsIn = session.area<MovementCardScreen>(kGoodsIn.cardName);
    if (!goodsIn) return;
    goodsIn->navigate(CardAction::First);
    session.shoot(goodsIn, HelpTopic::GoodsIn, QStringLiteral("La scheda di un carico di merce"),
                  QStringLiteral("In alto nella scheda"));

    if (!(menu = session.menuFrom(goodsIn))) return;
    menu->openArea(QStringLiteral("frmApriCatalogo"));
    auto* lists = session.area<TfrmApriCatalogo>("frmApriCatalogo");
    if (!lists) return;
    lists->lstFiles->setCurrentRow(0);
    session.shoot(lists, HelpTopic::PriceListFiles, QStringLiteral("L'elenco dei listini prezzi da aprire"),
                  QStringLiteral("Apertura listino prezzi"));
    lists->btnApriClick();
    auto* editor = session.area<TfrmListinoPrezzi>("frmListinoPrezzi");
    if (!editor) return;
    editor->navigate(CardAction::First);
    if (!(editor = session.area<TfrmListinoPrezzi>("frmListinoPrezzi"))) return;
    session.shoot(editor, HelpTopic::PriceListEditor, QStringLiteral("Una pagina di listino con i suoi otto prodotti"));
}

}  // namespace

std::vector<Figure> grabMainScreens(const std::filesystem::path& programFolder, QStringList& problems) {
    std::vector<Figure> figures;
    // A build has nobody to answer: what the program would have shown is noted instead.
    MessageService::setHookForTesting([&problems](const ShownMessage& message) {
        problems << QStringLiteral("messaggio inatteso: ") + message.text;
        return message.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    });
    FileDialogService::setHookForTesting([](const FileRequest&) { return std::optional<QString>(); });
    DesktopService::setHookForTesting([](const QString&) {});
    // A steady text cursor: the same screens give the same pictures.
    QApplication::setCursorFlashTime(0);
    Application::applyLook();
    {
        Session session(programFolder, figures, problems);
        tour(session);
    }
    MessageService::setHookForTesting({});
    FileDialogService::setHookForTesting({});
    DesktopService::setHookForTesting({});
    return figures;
}

}  // namespace scortavia::guide
