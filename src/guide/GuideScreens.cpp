#include "guide/GuideScreens.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QThread>
#include <algorithm>
#include <fstream>
#include <optional>

#include "guide/ShopSample.h"
#include "movements/MovementCardScreen.h"
#include "movements/MovementDirection.h"
#include "movements/MovementYearMenu.h"
#include "pricelists/PriceListArchiveScreens.h"
#include "pricelists/TfrmListinoPrezzi.h"
#include "products/TfrmImportaProdotti.h"
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

    ScreenRegistry& registry() { return program_.registry(); }

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

// A shop's sheet as the import shows it: most rows ready, a few to correct.
constexpr const char* kImportSample =
    "Codice;Nome prodotto;Categoria;Aspetto esteriore;Caratteristiche;Costo;Prezzo;Giacenza;Fornitore\r\n"
    "FE-1001;Vite autofilettante 4x30;Ferramenta;Scatola da 100;Acciaio zincato;4,20;7,50;120;Bulloneria Rossi\r\n"
    "FE-1002;Tassello nylon 8 mm;Ferramenta;Scatola da 50;Per muri pieni e forati;3,10;5,90;80;Bulloneria Rossi\r\n"
    "UT-2001;Martello carpentiere 500 g;Utensili;Sfuso;Manico in legno di frassino;9,80;14,90;12;Utensili Bianchi\r\n"
    "UT-2002;;Utensili;Sfuso;Regolabile fino a 30 mm;11,00;18,50;6;Utensili Bianchi\r\n"
    "EL-3001;Lampadina LED E27 9 W;Elettricità;Confezione singola;Luce calda 2700 K;2,10;3,80;12,5;Elettroforniture "
    "Verdi\r\n"
    "EL-3002;Nastro isolante nero 19 mm;Elettricità;Rotolo;PVC, 25 m;0,62;1,20;200;Elettroforniture Verdi\r\n"
    "CO-4001;Smalto rosso fuoco 750 ml;Colori;Barattolo;All'acqua, per interni ed esterni;7,35;11,40;18;Colorificio "
    "Neri\r\n"
    "CO-4002;Pennello piatto 50 mm;Colori;Sfuso;Setola naturale;dodici;2,90;40;Colorificio Neri\r\n"
    "GI-5001;Tubo irrigazione 25 m;Giardino;Rotolo;Antitorsione, 4 strati;18,90;29,90;7;Agricola Gialli\r\n";

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

    {
        const std::filesystem::path sheet = session.registry().programFolder() / "Prodotti_da_importare.csv";
        std::ofstream(sheet, std::ios::binary) << kImportSample;
        TfrmImportaProdotti import(session.registry(), card);
        import.show();
        if (import.openFile(sheet) && waitFor([&import] { return import.isVisible(); })) {
            // The guide's own folder is a build detail; a reader sees the place where a shop keeps its sheets.
            import.txtFile->setText(QStringLiteral("/home/negozio/Documenti/Prodotti_da_importare.csv"));
            pause(300);
            session.shoot(&import, HelpTopic::ProductImport,
                          QStringLiteral("L'anteprima di un'importazione, con le righe da correggere"),
                          QStringLiteral("Prima di scrivere"));
        }
        import.close();
        std::filesystem::remove(sheet);
    }

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
    // Numbered as the guide reads, topic after topic, whatever order the tour took them in.
    std::stable_sort(figures.begin(), figures.end(),
                     [](const Figure& a, const Figure& b) { return a.topic < b.topic; });
    return figures;
}

}  // namespace scortavia::guide
