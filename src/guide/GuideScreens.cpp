#include "guide/GuideScreens.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTextEdit>
#include <QThread>
#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>

#include "backups/TfrmCopie.h"
#include "guide/ShopSample.h"
#include "labels/LabelProducts.h"
#include "labels/TfrmEtichette.h"
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
#include "storage/ArchivePaths.h"
#include "ui/DesktopService.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
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

// A part of a screen: the rectangle around the widgets named (the whole screen when none is), with a
// margin of what surrounds them. A part cut to `width` fades out on the right, where the screen goes on.
struct Part {
    Part(QStringList widgets, int around = 3, int cutWidth = 0, int cutHeight = 0)
        : names(std::move(widgets)), margin(around), width(cutWidth), height(cutHeight) {}
    QStringList names;
    int margin;
    int width;
    int height;  // cut at the bottom, below the rows a grid holds
};
// The parts of a figure, row under row, each row's parts side by side.
using Rows = std::vector<std::vector<Part>>;

// Framed: each part cut out with a frame of its own. Seamless: the parts lie on the screen's own
// background within one frame, as when a toolbar too wide for the page is shown in two rows.
enum class Joining { Framed, Seamless };

constexpr int kGap = 14;  // between parts and rows
const QColor kFrame(0xB8, 0xC8, 0xCA);

bool showsText(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return !label->text().isEmpty();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return !button->text().isEmpty();
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget);
}

// The pixel size of the smallest text the rectangles show: the screen's own font when they show none.
int smallestText(const QWidget* screen, const std::vector<QRect>& shown) {
    int smallest = 0;
    for (const QWidget* widget : screen->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(screen) || !showsText(widget)) continue;
        // Only what is on screen: a list scrolled out of its view is not in the picture.
        const QRect seen = widget->visibleRegion().boundingRect().translated(widget->mapTo(screen, QPoint(0, 0)));
        if (std::none_of(shown.begin(), shown.end(), [&seen](const QRect& r) { return r.intersects(seen); })) continue;
        const int pixels = QFontInfo(widget->font()).pixelSize();
        smallest = smallest == 0 ? pixels : std::min(smallest, pixels);
    }
    return smallest == 0 ? QFontInfo(screen->font()).pixelSize() : smallest;
}

// The parts laid out as one picture; `at` is told where each part's top left corner went.
QImage compose(const QImage& shot, const std::vector<std::vector<QRect>>& rows, const std::vector<bool>& faded,
               Joining joining, std::vector<QPoint>& at) {
    const int frame = joining == Joining::Framed ? 1 : 0;     // around each part
    const int border = joining == Joining::Seamless ? 1 : 0;  // around the whole
    int width = 0;
    int height = 0;
    for (const auto& row : rows) {
        int rowWidth = 0;
        int rowHeight = 0;
        for (const QRect& part : row) {
            rowWidth += (rowWidth ? kGap : 0) + part.width() + 2 * frame;
            rowHeight = std::max(rowHeight, part.height() + 2 * frame);
        }
        width = std::max(width, rowWidth);
        height += (height ? kGap : 0) + rowHeight;
    }
    const QRect first = rows.front().front();
    const QColor background =
        joining == Joining::Seamless ? QColor(shot.pixel(first.left() + 1, first.center().y())) : QColor(Qt::white);
    const int pad = joining == Joining::Seamless ? kGap / 2 : 0;
    QImage picture(width + 2 * (border + pad), height + 2 * (border + pad), QImage::Format_RGB32);
    picture.fill(background);
    QPainter painter(&picture);
    int y = border + pad;
    std::size_t index = 0;
    for (const auto& row : rows) {
        int x = border + pad;
        int rowHeight = 0;
        for (const QRect& part : row) {
            const QRect place(x + frame, y + frame, part.width(), part.height());
            at.push_back(place.topLeft());
            painter.drawImage(place.topLeft(), shot, part);
            if (faded[index++]) {
                // The screen goes on past the cut: it fades into the background.
                constexpr int kFade = 48;
                QLinearGradient fade(place.right() - kFade, 0, place.right() + 1, 0);
                QColor clear = background;
                clear.setAlpha(0);
                fade.setColorAt(0, clear);
                fade.setColorAt(1, background);
                painter.fillRect(QRect(place.right() - kFade, place.top(), kFade + 1, place.height()), fade);
            }
            if (frame) {
                painter.setPen(kFrame);
                painter.drawRect(place.adjusted(-1, -1, 0, 0));
            }
            x += part.width() + 2 * frame + kGap;
            rowHeight = std::max(rowHeight, part.height() + 2 * frame);
        }
        y += rowHeight + kGap;
    }
    if (border) {
        painter.setPen(kFrame);
        painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    }
    return picture;
}

// The rows of the picture where it may be split between pages: those no control crosses. Each run of
// such rows gives its middle one.
std::vector<int> cuts(const QWidget* screen, const std::vector<QRect>& parts, const std::vector<QPoint>& at,
                      int height) {
    std::vector<bool> crossed(static_cast<std::size_t>(height), false);
    for (const QWidget* widget : screen->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(screen)) continue;
        const auto children = widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        if (std::any_of(children.begin(), children.end(),
                        [screen](const QWidget* c) { return c->isVisibleTo(screen); }))
            continue;  // a container: its controls count, not it
        const QRect seen = widget->visibleRegion().boundingRect().translated(widget->mapTo(screen, QPoint(0, 0)));
        for (std::size_t p = 0; p < parts.size(); ++p) {
            const QRect inside = seen & parts[p];
            if (inside.isEmpty()) continue;
            const int top = at[p].y() + inside.top() - parts[p].top();
            for (int y = top + 1; y < top + inside.height() && y < height; ++y)
                crossed[static_cast<std::size_t>(y)] = true;
        }
    }
    std::vector<int> rows;
    int start = -1;
    for (int y = 1; y < height; ++y) {
        const bool clear = !crossed[static_cast<std::size_t>(y)];
        if (clear && start < 0) start = y;
        if (!clear && start >= 0) {
            rows.push_back((start + y) / 2);
            start = -1;
        }
    }
    return rows;
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

    // A picture of the parts `rows` of `screen` for the section `topic`, after the paragraph holding
    // `after`. A part whose widgets are not on screen is noted and left out.
    void shoot(QWidget* screen, HelpTopic topic, const QString& caption, const QString& after, const Rows& rows,
               Joining joining = Joining::Framed) {
        const QImage shot = screen->grab().toImage().convertToFormat(QImage::Format_RGB32);
        std::vector<std::vector<QRect>> cut;
        std::vector<bool> faded;
        std::vector<QRect> shown;
        for (const auto& row : rows) {
            cut.emplace_back();
            for (const Part& part : row) {
                QRect around;
                for (const QString& name : part.names) {
                    const auto* widget = screen->findChild<QWidget*>(name);
                    if (!widget || !widget->isVisibleTo(screen)) {
                        problems_ << QStringLiteral("%1: %2 non è sullo schermo").arg(caption, name);
                        continue;
                    }
                    around |= QRect(widget->mapTo(screen, QPoint(0, 0)), widget->size());
                }
                if (part.names.isEmpty()) around = screen->rect();
                if (around.isEmpty()) continue;
                QRect rect = around.adjusted(-part.margin, -part.margin, part.margin, part.margin) & screen->rect();
                const bool cutWide = part.width > 0 && rect.width() > part.width;
                if (cutWide) rect.setWidth(part.width);
                if (part.height > 0 && rect.height() > part.height) rect.setHeight(part.height);
                cut.back().push_back(rect);
                faded.push_back(cutWide);
                shown.push_back(rect);
            }
            if (cut.back().empty()) cut.pop_back();
        }
        if (cut.empty()) return;
        std::vector<QPoint> at;
        const QImage picture = compose(shot, cut, faded, joining, at);
        figures_.push_back(
            {topic, picture, caption, after, smallestText(screen, shown), cuts(screen, shown, at, picture.height())});
    }

    // The screen as on a smaller display, for a picture whose parts would be too wide on this one.
    template <class T>
    T* narrowed(T* screen, QSize size) {
        screen->setWindowState(Qt::WindowNoState);
        screen->setGeometry(QRect(QPoint(0, 0), size));
        pause(300);
        return waitFor([screen] { return ready(screen); }) ? screen : nullptr;
    }

    ScreenRegistry& registry() { return program_.registry(); }
    QStringList& problems() { return problems_; }

    // Back to the main menu, as closing a work area leads there.
    TfrmAvvio* menuFrom(QWidget* screen) {
        program_.registry().switchTo(toQString(screen::kAvvio), screen);
        return area<TfrmAvvio>(screen::kAvvio);
    }

private:
    Application program_;
    std::vector<Figure>& figures_;
    QStringList& problems_;
};

// A shop's sheet as the import shows it: most rows ready, a few to correct, one already in the shop.
constexpr const char* kImportSample =
    "Codice;Nome prodotto;Categoria;Aspetto esteriore;Caratteristiche;Costo;Prezzo;Giacenza;Fornitore\r\n"
    "FE-1001;Vite autofilettante 4x30;Ferramenta;Scatola da 100;Acciaio zincato;4,20;7,50;120;Bulloneria Rossi\r\n"
    "FE-1002;Tassello nylon 8 mm;Ferramenta;Scatola da 50;Per muri pieni e forati;3,10;5,90;80;Bulloneria Rossi\r\n"
    "UT-2001;Martello carpentiere 500 g;Utensili;Sfuso;Manico in legno di frassino;9,80;14,90;12;Utensili Bianchi\r\n"
    "UT-2002;;Utensili;Sfuso;Regolabile fino a 30 mm;11,00;18,50;6;Utensili Bianchi\r\n"
    "EL-3001;Lampadina LED E27 9 W;Elettricità;Confezione singola;Luce calda 2700 K;2,10;3,80;12,5;Elettroforniture "
    "Verdi\r\n"
    "VT-030;Vaso in terracotta Ø 30 cm;Vasi e fioriere;Terracotta naturale;Foro di drenaggio;8,40;16,90;10;Fornaci "
    "del Chianti S.r.l.\r\n"
    "EL-3002;Nastro isolante nero 19 mm;Elettricità;Rotolo;PVC, 25 m;0,62;1,20;200;Elettroforniture Verdi\r\n"
    "CO-4001;Smalto rosso fuoco 750 ml;Colori;Barattolo;All'acqua, per interni ed esterni;7,35;11,40;18;Colorificio "
    "Neri\r\n"
    "CO-4002;Pennello piatto 50 mm;Colori;Sfuso;Setola naturale;dodici;2,90;40;Colorificio Neri\r\n"
    "GI-5001;Tubo irrigazione 25 m;Giardino;Rotolo;Antitorsione, 4 strati;18,90;29,90;7;Agricola Gialli\r\n";

QStringList named(std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names) list << QString::fromLatin1(name);
    return list;
}

void importPreview(Session& session, TfrmMagazzino* card) {
    const std::filesystem::path sheet = session.registry().programFolder() / "Prodotti_da_importare.csv";
    std::ofstream(sheet, std::ios::binary) << kImportSample;
    TfrmImportaProdotti import(session.registry(), card);
    import.show();
    if (import.openFile(sheet) && waitFor([&import] { return import.isVisible(); })) {
        // The guide's own folder is a build detail; a reader sees the place where a shop keeps its sheets.
        import.txtFile->setText(QStringLiteral("/home/negozio/Documenti/Prodotti_da_importare.csv"));
        // The reasons a little narrower, as a user makes them, so that the first of the file's columns,
        // with the choice of its field, comes into the picture.
        import.grdAnteprima->setColumnWidth(2, 330);
        pause(300);
        const QTableView* grid = import.grdAnteprima;
        const int gridHeight = grid->horizontalHeader()->height() + grid->verticalHeader()->length() + 2 * 3;
        session.shoot(&import, HelpTopic::ProductImport,
                      QStringLiteral("L'anteprima di un'importazione: i totali, le righe con il loro esito e la "
                                     "scelta per i codici già in magazzino"),
                      QStringLiteral("Prima di scrivere"),
                      {{named({"lblPronte", "lblEscluse"}), named({"cmdImporta", "cmdAnnulla"})},
                       {Part(named({"grdAnteprima"}), 4, 660, gridHeight)},
                       {named({"lblDoppi"})},
                       {named({"optSaltaDoppi", "optAggiungiDoppi"})}});
    }
    import.close();
    std::filesystem::remove(sheet);
}

// The label window over three labels of the card's product, shown and active, with its code ticked; null,
// noted, when it does not come up.
std::unique_ptr<TfrmEtichette> openLabelWindow(Session& session, TfrmMagazzino* card) {
    const auto labels = labelsForPieces(paths::productArchive(session.registry().programFolder()),
                                        {{toStd(card->txtCodice->text()), 3}});
    if (!labels) {
        session.problems() << QStringLiteral("etichette: ") + toQString(labels.error());
        return nullptr;
    }
    auto window = std::make_unique<TfrmEtichette>(session.registry(), card, *labels);
    window->show();
    TfrmEtichette* shown = window.get();
    if (!waitFor([shown] { return shown->isVisible() && QApplication::activeWindow() == shown; })) {
        session.problems() << QStringLiteral("la finestra delle etichette non si è aperta");
        return nullptr;
    }
    window->chkCodice->setChecked(true);
    return window;
}

// The label window on a sheet already used up to its fourth label.
void labelWindow(Session& session, TfrmMagazzino* card) {
    if (const auto window = openLabelWindow(session, card)) {
        window->spnPrimaLibera->setValue(4);
        pause(300);
        // The choices and the buttons; the explanation picture over them would make it taller than a page.
        session.shoot(window.get(), HelpTopic::Labels,
                      QStringLiteral("Le scelte di «Stampa etichette» per tre etichette di un prodotto, su un foglio "
                                     "da 3 x 8 già usato fino alla terza"),
                      QStringLiteral("In «Formato» scegli"),
                      {{Part(named({"cboFormato", "lblQuante"}), 10)}, {named({"imgGuida", "btnAnnulla"})}});
        window->close();
    }
    // The tour goes on with the card, which must be the active window again.
    card->activateWindow();
}

// The backup window over a few days of the sample shop's backups, kept in a folder beside the program
// folder and gone afterwards.
void backupWindow(Session& session, TfrmAvvio* menu) {
    const std::filesystem::path& programFolder = session.registry().programFolder();
    const std::filesystem::path folder = programFolder.parent_path() / (programFolder.filename().string() + "-copie");
    QString problem;
    if (!writeSampleBackups(programFolder, folder, problem)) {
        session.problems() << QStringLiteral("copie di sicurezza: ") + problem;
    } else {
        TfrmCopie window(session.registry(), nullptr, menu);
        window.show();
        if (waitFor([&window] { return window.isVisible() && QApplication::activeWindow() == &window; })) {
            // The build's folder is a detail; a reader sees where a shop keeps its copies.
            window.txtCartella->setText(QStringLiteral("/media/negozio/CHIAVETTA/Copie Scortavia"));
            window.lstCopie->selectRow(0);
            // Narrower than on screen, so that its texts read on paper.
            window.setFixedSize(680, 390);
            pause(300);
            session.shoot(&window, HelpTopic::Backups,
                          QStringLiteral("La finestra delle copie di sicurezza, con le copie di tre giorni"),
                          QStringLiteral("L'elenco mostra le copie"), {{Part({}, 0)}});
        } else {
            session.problems() << QStringLiteral("la finestra delle copie di sicurezza non si è aperta");
        }
        window.close();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void tour(Session& session) {
    auto* password = session.area<TfrmPassword>(screen::kPassword);
    if (!password) return;
    session.shoot(password, HelpTopic::Overview, QStringLiteral("La richiesta della password all'avvio"),
                  QStringLiteral("Autenticazione"), {{Part({}, 0)}});
    password->txtPassword->setText(QString::fromLatin1(kSamplePassword));
    password->cmdOKClick();

    auto* menu = session.area<TfrmAvvio>(screen::kAvvio);
    if (!menu) return;
    // The six tiles closer together than on the screen, so that their captions read on paper.
    const auto tile = [](const char* number) {
        return Part(
            {QStringLiteral("imgApp") + QLatin1String(number), QStringLiteral("btnApp") + QLatin1String(number)}, 4);
    };
    session.shoot(menu, HelpTopic::Overview, QStringLiteral("I sei riquadri del menu principale"),
                  QStringLiteral("sei riquadri"),
                  {{tile("04"), tile("02"), tile("03")}, {tile("07"), tile("06"), tile("08")}}, Joining::Seamless);

    menu->openArea(toQString(screen::kMagazzino));
    auto* card = session.area<TfrmMagazzino>(screen::kMagazzino);
    if (!card) return;
    card->navigate(CardAction::First);
    if (!(card = session.area<TfrmMagazzino>(screen::kMagazzino))) return;
    // On the program's wide screen the boxes stretch far beyond a page's width.
    if (!(card = session.narrowed(card, {1024, 768}))) return;
    session.shoot(card, HelpTopic::Products, QStringLiteral("I campi della scheda di un prodotto"),
                  QStringLiteral("I campi sono"),
                  {{Part(named({"titCodice", "txtCosto", "titPezzi", "txtNome", "txtPrezzo"}), 10)}});
    session.shoot(card, HelpTopic::Products, QStringLiteral("I pulsanti della scheda prodotti"),
                  QStringLiteral("Quando la scheda è compilata"),
                  {{named({"btnNuovo", "btnAllegati"})},
                   {named({"btnSottoscorta", "btnImporta"}), named({"btnGuida", "btnEsci"})}},
                  Joining::Seamless);
    session.shoot(card, HelpTopic::Products,
                  QStringLiteral("La foto del prodotto con i suoi pulsanti, e le frecce per scorrere le schede"),
                  QStringLiteral("A destra c'è la foto"),
                  {{Part(named({"imgFoto", "btnCaricaFoto", "btnCancFoto"}), 6)}, {Part(named({"panNavigazione"}), 6)}},
                  Joining::Seamless);
    labelWindow(session, card);
    card->showMaximized();
    if (!(card = session.area<TfrmMagazzino>(screen::kMagazzino))) return;
    importPreview(session, card);

    if (!(menu = session.menuFrom(card))) return;
    menu->openArea(toQString(kGoodsIn.menuName));
    auto* yearMenu = session.area<MovementYearMenu>(kGoodsIn.menuName);
    if (!yearMenu) return;
    yearMenu->txtAnnoLavoro->setText(QString::fromLatin1(kSampleYear));
    session.shoot(yearMenu, HelpTopic::GoodsIn, QStringLiteral("La scelta dell'anno di lavoro del carico merce"),
                  QStringLiteral("si apre il menu dell'anno"), {{Part(named({"panMenu"}), 12)}});
    yearMenu->btnApriLavoroClick();
    auto* goodsIn = session.area<MovementCardScreen>(kGoodsIn.cardName);
    if (!goodsIn) return;
    goodsIn->navigate(CardAction::First);
    session.shoot(goodsIn, HelpTopic::GoodsIn, QStringLiteral("I campi della scheda di un carico di merce"),
                  QStringLiteral("In alto nella scheda"),
                  {{Part(named({"lblCampo03", "txtFornitore", "chkDaSaldare"}), 10, 650)}});
    session.shoot(
        goodsIn, HelpTopic::GoodsIn, QStringLiteral("I pulsanti della scheda di carico"),
        QStringLiteral("Le frecce nella barra"),
        {{named({"cmdNuovo", "cmdStampa"})}, {named({"panNavigazione", "cmdListino"}), named({"cmdGuida", "cmdEsci"})}},
        Joining::Seamless);

    if (!(menu = session.menuFrom(goodsIn))) return;
    menu->openArea(toQString(screen::kApriCatalogo));
    auto* lists = session.area<TfrmApriCatalogo>(screen::kApriCatalogo);
    if (!lists) return;
    lists->lstFiles->setCurrentRow(0);
    session.shoot(lists, HelpTopic::PriceListFiles, QStringLiteral("L'elenco dei listini prezzi da aprire"),
                  QStringLiteral("Apertura listino prezzi"),
                  {{Part(named({"lstFiles", "lblCreati", "imgGuida", "btnAnnulla"}), 10)}});
    lists->btnApriClick();
    auto* editor = session.area<TfrmListinoPrezzi>(screen::kListinoPrezzi);
    if (!editor) return;
    editor->navigate(CardAction::First);
    if (!(editor = session.area<TfrmListinoPrezzi>(screen::kListinoPrezzi))) return;
    session.shoot(editor, HelpTopic::PriceListEditor,
                  QStringLiteral("I pulsanti della pagina di listino e i suoi primi due prodotti, A e B"),
                  QStringLiteral("otto riquadri"),
                  {{named({"cmdNuovo", "panNavigazione"}), named({"cmdGuida", "cmdEsci"})},
                   {Part(named({"bkgProdotto_01", "bkgProdotto_02"}), 4)}});

    if (!(menu = session.menuFrom(editor))) return;
    backupWindow(session, menu);
}

// The windows drawn one over the other where they stand, on the whole screen; a window over the first
// gets the title bar and shadow a desktop gives it.
QImage wholeScreen(std::initializer_list<QWidget*> windows) {
    QWidget* first = *windows.begin();
    QImage screen(first->screen()->geometry().size(), QImage::Format_RGB32);
    screen.fill(first->palette().color(QPalette::Window));
    QPainter painter(&screen);
    painter.setRenderHint(QPainter::Antialiasing);
    for (QWidget* window : windows) {
        const QRect place = window->geometry();
        if (window != first) {
            constexpr int kTitle = 30;
            const QRect frame = place.adjusted(-1, -kTitle, 1, 1);
            for (int spread = 12; spread > 0; spread -= 2) {
                painter.fillRect(frame.adjusted(-spread, -spread + 4, spread, spread + 4), QColor(0, 0, 0, 6));
            }
            painter.fillRect(frame, palette::color("tealDark"));
            painter.setPen(Qt::white);
            painter.setFont(window->font());
            painter.drawText(QRect(frame.left() + 12, frame.top(), frame.width() - 24, kTitle),
                             Qt::AlignVCenter | Qt::AlignLeft, window->windowTitle().trimmed());
        }
        painter.drawImage(place.topLeft(), window->grab().toImage());
    }
    return screen;
}

void storeTour(Session& session, std::vector<Screenshot>& shots) {
    auto* password = session.area<TfrmPassword>(screen::kPassword);
    if (!password) return;
    password->txtPassword->setText(QString::fromLatin1(kSamplePassword));
    password->cmdOKClick();
    auto* menu = session.area<TfrmAvvio>(screen::kAvvio);
    // Each work area fills the screen, as a maximised window does with no desktop around it.
    const QSize whole = QGuiApplication::primaryScreen()->geometry().size();
    if (!menu || !(menu = session.narrowed(menu, whole))) return;
    shots.push_back({QStringLiteral("menu"), wholeScreen({menu})});

    menu->openArea(toQString(screen::kMagazzino));
    auto* card = session.area<TfrmMagazzino>(screen::kMagazzino);
    if (!card) return;
    card->navigate(CardAction::First);
    if (!(card = session.area<TfrmMagazzino>(screen::kMagazzino)) || !(card = session.narrowed(card, whole))) return;
    shots.push_back({QStringLiteral("magazzino"), wholeScreen({card})});

    if (const auto window = openLabelWindow(session, card)) {
        pause(300);
        shots.push_back({QStringLiteral("etichette"), wholeScreen({card, window.get()})});
        window->close();
    }
}

// A build has nobody to answer: what the program would have shown is noted instead, and nothing leaves
// the run.
template <class Tour>
void offscreenRun(QStringList& problems, Tour tour) {
    MessageService::setHookForTesting([&problems](const ShownMessage& message) {
        problems << QStringLiteral("messaggio inatteso: ") + message.text;
        return message.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    });
    FileDialogService::setHookForTesting([](const FileRequest&) { return std::optional<QString>(); });
    DesktopService::setHookForTesting([](const QString&) {});
    // A steady text cursor: the same screens give the same pictures.
    QApplication::setCursorFlashTime(0);
    Application::applyLook();
    tour();
    MessageService::setHookForTesting({});
    FileDialogService::setHookForTesting({});
    DesktopService::setHookForTesting({});
}

}  // namespace

std::vector<Figure> grabMainScreens(const std::filesystem::path& programFolder, QStringList& problems) {
    std::vector<Figure> figures;
    offscreenRun(problems, [&] {
        Session session(programFolder, figures, problems);
        tour(session);
    });
    return figures;
}

std::vector<Screenshot> grabStoreScreenshots(const std::filesystem::path& programFolder, QStringList& problems) {
    std::vector<Figure> unused;
    std::vector<Screenshot> shots;
    offscreenRun(problems, [&] {
        Session session(programFolder, unused, problems);
        storeTour(session, shots);
    });
    return shots;
}

}  // namespace scortavia::guide
