#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <functional>
#include <initializer_list>
#include <memory>
#include <tuple>

#include "export/ExportScreen.h"
#include "movements/MovementCardScreen.h"
#include "movements/MovementYearMenu.h"
#include "pricelists/PriceListArchiveScreens.h"
#include "pricelists/TfrmListinoPrezzi.h"
#include "products/TfrmMagazzino.h"
#include "shell/TfrmAvvio.h"
#include "summaries/InventoryScreens.h"
#include "summaries/MovementSummaryScreens.h"
#include "support/GuiActions.h"
#include "support/GuiProgram.h"
#include "ui/TfrmGuida.h"
#include "ui/WebLink.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

// How a test reaches a help button: from a fresh program, to the button.
using Reach = std::function<QAbstractButton*(test::GuiProgram&)>;

// The window's texts, as the page gives them.
QString pageText(HelpTopic topic) { return QString::fromStdString(helpText(helpPage(topic))); }

// How a test looks at a screen a page talks about: from a fresh program, hands it to `look`; false when
// the screen did not come up.
using Look = std::function<void(QWidget*)>;
using Show = std::function<bool(test::GuiProgram&, const Look&)>;

// A work area as the program builds it at start: its controls and their captions are there before it is shown.
Show area(const char* name) {
    return [name](test::GuiProgram& p, const Look& look) {
        QWidget* screen = p.screen<QWidget>(name);
        if (screen) look(screen);
        return screen != nullptr;
    };
}

// The dialog that the button `opener` of a work area opens, the work area reached by `open`.
Show dialog(std::function<QWidget*(test::GuiProgram&)> open, const char* opener) {
    return [open = std::move(open), opener](test::GuiProgram& p, const Look& look) {
        QWidget* screen = open(p);
        auto* button = screen ? screen->findChild<QAbstractButton*>(QString::fromLatin1(opener)) : nullptr;
        return button && test::withModal<QWidget>(button, [&](QWidget* shown) { look(shown); });
    };
}
QWidget* productCard(test::GuiProgram& p) { return p.openProductCard(); }
QWidget* goodsInCard(test::GuiProgram& p) { return p.openMovementCard(QStringLiteral("2024"), Direction::GoodsIn); }
QWidget* goodsOutCard(test::GuiProgram& p) { return p.openMovementCard(QStringLiteral("2024"), Direction::GoodsOut); }
QWidget* inventoryPrompt(test::GuiProgram& p) { return p.openFromMenu<TfrmMenuRiepilogo>("frmMenuRiepilogo"); }
QWidget* mainMenu(test::GuiProgram& p) {
    p.login(QStringLiteral("scortavia"));
    return p.menu();
}

// The summary list of a whole year, opened from the year menu and the period screen.
Show summaryList(Direction direction) {
    return [direction](test::GuiProgram& p, const Look& look) {
        MovementYearMenu* menu = p.openYearMenu(direction);
        if (!menu) return false;
        test::typeText(menu->txtAnnoRiepLavoro, "2024");
        test::click(menu->btnApriRiepLavoro);
        auto* period = p.screen<MovementPeriodScreen>(std::string(movementDirection(direction).summaryName).c_str());
        if (!period) return false;
        for (QComboBox* box :
             {period->txtGiornoInizio, period->txtMeseInizio, period->txtGiornoFine, period->txtMeseFine})
            box->setCurrentIndex(0);
        return test::withModal<QWidget>(period->btnVisualizza, [&](QWidget* list) { look(list); });
    };
}

// What the user reads on the controls of `screen` that are pressed: buttons of every kind (push, tool,
// check and radio buttons, the toolbar's captioned pictures) and actions, hidden ones included.
QStringList captionsOn(const QWidget* screen) {
    QStringList captions;
    const auto add = [&](QString text) {
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
        text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        if (!text.isEmpty()) captions << text.simplified();
    };
    for (const QAbstractButton* button : screen->findChildren<QAbstractButton*>()) add(button->text());
    for (const QAction* action : screen->findChildren<QAction*>()) add(action->text());
    return captions;
}

// Everything a page quotes in «».
QStringList quotesOf(HelpTopic topic) {
    QStringList quotes;
    static const QRegularExpression quoted(QStringLiteral("«([^»]*)»"));
    for (auto it = quoted.globalMatch(pageText(topic)); it.hasNext();) quotes << it.next().captured(1);
    return quotes;
}

}  // namespace

Q_DECLARE_METATYPE(Reach)
Q_DECLARE_METATYPE(Show)
Q_DECLARE_METATYPE(HelpTopic)

class HelpTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    // The help window opened by `button`, as `check` sees it; false when none appeared.
    static bool helpFrom(QAbstractButton* button, const std::function<void(TfrmGuida*)>& check) {
        return test::withModal<TfrmGuida>(button, check);
    }

private Q_SLOTS:
    void cleanup() { run.reset(); }

    // Each help button of a work area opens its page: the title, and the paragraphs joined by a blank line.
    void everyHelpButtonOpensItsPage_data() {
        QTest::addColumn<Reach>("reach");
        QTest::addColumn<HelpTopic>("topic");
        QTest::newRow("menu principale") << Reach([](test::GuiProgram& p) -> QAbstractButton* {
            p.login(QStringLiteral("scortavia"));
            return p.menu()->imgGuida;
        }) << HelpTopic::Overview;
        QTest::newRow("magazzino") << Reach([](test::GuiProgram& p) -> QAbstractButton* {
            return p.openProductCard()->btnGuida;
        }) << HelpTopic::Products;
        QTest::newRow("menu carico") << Reach([](test::GuiProgram& p) -> QAbstractButton* {
            return p.openYearMenu(Direction::GoodsIn)->imgGuida;
        }) << HelpTopic::GoodsIn;
        QTest::newRow("scheda scarico") << Reach([](test::GuiProgram& p) -> QAbstractButton* {
            return p.openMovementCard("2024", Direction::GoodsOut)->cmdGuida;
        }) << HelpTopic::GoodsOut;
        QTest::newRow("scheda carico") << Reach([](test::GuiProgram& p) -> QAbstractButton* {
            return p.openMovementCard("2024", Direction::GoodsIn)->cmdGuida;
        }) << HelpTopic::GoodsIn;
        QTest::newRow("inventario") << Reach([](test::GuiProgram& p) -> QAbstractButton* {
            return p.openFromMenu<TfrmMenuRiepilogo>("frmMenuRiepilogo")->imgGuida;
        }) << HelpTopic::Inventory;
        QTest::newRow("crea listino") << Reach([](test::GuiProgram& p) -> QAbstractButton* {
            return p.openFromMenu<TfrmCreaCatalogo>("frmCreaCatalogo")->imgGuida;
        }) << HelpTopic::PriceListFiles;
        QTest::newRow("apri listino") << Reach([](test::GuiProgram& p) -> QAbstractButton* {
            return p.openFromMenu<TfrmApriCatalogo>("frmApriCatalogo")->imgGuida;
        }) << HelpTopic::PriceListFiles;
    }
    void everyHelpButtonOpensItsPage() {
        QFETCH(Reach, reach);
        QFETCH(HelpTopic, topic);
        run = std::make_unique<test::GuiProgram>();
        QAbstractButton* button = reach(*run);
        QVERIFY(button);
        QVERIFY(helpFrom(button, [&](TfrmGuida* window) {
            QCOMPARE(window->windowTitle(), QStringLiteral(" Guida all'utilizzo del software"));
            QCOMPARE(window->size(), QSize(676, 598));
            QCOMPARE(window->lblTitolo->text(), toQString(helpPage(topic).title));
            QCOMPARE(window->txtGuida->toPlainText(),
                     pageText(topic).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            QVERIFY(window->txtGuida->isReadOnly());
        }));
    }

    // The help cannot drift from the screens. Each row names a screen a page talks about (a work area or
    // a dialog it opens) and the captions of that screen's pressed controls that the page names there in
    // «»: each must still be quoted on the page and be the text of a button or action on the screen.
    // Quotes of other kinds (window titles, box labels, messages, column headings, file names) are not
    // captions and are not listed, nor are captions drawn into pictures (the main menu's tiles,
    // «importa dati», «Calcola»), which have no text to compare. A page that names a new button adds
    // it to its screen's row.
    void quotedCaptionsAreOnTheirScreens_data() {
        QTest::addColumn<Show>("show");
        QTest::addColumn<HelpTopic>("topic");
        QTest::addColumn<QStringList>("captions");
        using enum HelpTopic;
        const auto row = [](const QByteArray& tag, Show show, HelpTopic topic,
                            std::initializer_list<const char*> captions) {
            QStringList texts;
            for (const char* caption : captions) texts << QString::fromUtf8(caption);
            QTest::newRow(tag.constData()) << std::move(show) << topic << texts;
        };
        row("accesso", area("frmPassword"), Overview, {"OK", "Esci", "Cambia password"});
        row("cambia password", area("frmCambiaPassword"), Overview, {"OK"});
        row("informazioni", dialog(mainMenu, "imgCrediti"), Overview, {"Crea collegamento nel menu"});
        row("tasti delle schede", area("frmMagazzino"), Overview,
            {"Nuovo", "Duplica", "Salva", "Trova", "Anteprima", "Stampa", "Sottoscorta", "Da saldare", "Esporta",
             "Importa", "Guida", "Esci"});
        row("magazzino", area("frmMagazzino"), Products,
            {"Salva", "Nuovo", "Trova", "Stampa", "Anteprima", "Duplica", "Allegati", "Sottoscorta", "Da saldare",
             "Esporta", "Importa", "Esci", "+", "−", "Pagato", "Carica foto", "Acquisisci foto"});
        row("magazzino: trova", dialog(productCard, "btnTrova"), Products, {"Cerca", "Trova", "Stampa", "Chiudi"});
        row("magazzino: giacenza", dialog(productCard, "btnAggiungi"), Products,
            {"Calcola totale", "Applica e chiudi", "Annulla"});
        row("magazzino: stampa", dialog(productCard, "btnStampa"), Products,
            {"Stampa dati con foto.", "Stampa dati senza foto.", "Stampa"});
        row("magazzino: anteprima", dialog(productCard, "btnAnteprima"), Products, {"Mostra anteprima"});
        row("magazzino: allegati", dialog(productCard, "btnAllegati"), Products,
            {"Sfoglia...", "Apri", "Applica e chiudi"});
        row("magazzino: webcam", dialog(productCard, "btnAcquisisciFoto"), Products,
            {"Accendi webcam", "Cattura foto", "Importa foto in scheda", "Salva foto su disco", "Annulla"});
        for (const auto& [direction, topic, menu, card, openCard] :
             {std::tuple{"carico", GoodsIn, "frmMenuCarico", "frmCarichi", &goodsInCard},
              std::tuple{"scarico", GoodsOut, "frmMenuScarico", "frmScarichi", &goodsOutCard}}) {
            const auto tag = [direction](const char* what) { return QByteArray(what) + ' ' + direction; };
            row(tag("menu"), area(menu), topic, {"Apri"});
            row(tag("scheda"), area(card), topic,
                {"Nuovo", "Duplica", "Salva", "Trova", "Allega file", "Stampa", "Esporta", "Da saldare", "Esci",
                 "Conto da saldare"});
            row(tag("importa dati"), dialog(openCard, "btnImpEsame"), topic,
                {"Importa dati e aggiorna giacenza", "Trova", "Scansiona"});
            row(tag("trova"), dialog(openCard, "cmdTrova"), topic, {"Cerca"});
            row(tag("allega"), dialog(openCard, "cmdFile"), topic, {"Applica e chiudi"});
            row(tag("stampa"), dialog(openCard, "cmdStampa"), topic, {"Stampa", "Annulla"});
        }
        row("riepilogo carico", area("frmMenuRiepilogoCarico"), GoodsInSummary, {"Visualizza riepilogo", "Esci"});
        row("riepilogo carico: elenco", summaryList(Direction::GoodsIn), GoodsInSummary, {"Stampa riepilogo", "Trova"});
        row("riepilogo scarico", area("frmMenuRiepilogoScarico"), GoodsOutSummary, {"Visualizza riepilogo", "Esci"});
        row("riepilogo scarico: elenco", summaryList(Direction::GoodsOut), GoodsOutSummary,
            {"Stampa riepilogo", "Trova"});
        row("inventario", area("frmMenuRiepilogo"), Inventory, {"Visualizza"});
        row("inventario: elenco", dialog(inventoryPrompt, "btnVisualizza"), Inventory, {"Stampa inventario", "Trova"});
        row("crea listino", area("frmCreaCatalogo"), PriceListFiles, {"Applica e chiudi", "Annulla"});
        row("apri listino", area("frmApriCatalogo"), PriceListFiles, {"Apri archivio", "Annulla"});
        row("listino", area("frmListinoPrezzi"), PriceListEditor, {"Anteprima", "Stampa"});
        row("copie di sicurezza", dialog(mainMenu, "imgCopie"), Backups,
            {"Scegli…", "Crea copia adesso", "Verifica", "Ripristina…", "Annulla ultimo ripristino", "Chiudi"});
        row("etichette", dialog(productCard, "btnEtichette"), Labels,
            {"Stampa", "Anteprima", "Annulla", "Nome", "Prezzo", "Codice a barre", "Codice", "Categoria",
             "Bordi delle etichette (prova su carta)"});
        row("importa prodotti", dialog(productCard, "btnImporta"), ProductImport,
            {"Sfoglia...", "La prima riga contiene i nomi delle colonne", "Mostra solo le righe da controllare",
             "Non importarle", "Importa", "Annulla"});
    }
    void quotedCaptionsAreOnTheirScreens() {
        QFETCH(Show, show);
        QFETCH(HelpTopic, topic);
        QFETCH(QStringList, captions);
        run = std::make_unique<test::GuiProgram>();
        QStringList onScreen;
        QVERIFY(show(*run, [&](QWidget* screen) { onScreen = captionsOn(screen); }));
        const QStringList quotes = quotesOf(topic);
        const QString page = toQString(helpPage(topic).title);
        for (const QString& caption : captions) {
            QVERIFY2(quotes.contains(caption),
                     qPrintable(page + QStringLiteral(" no longer quotes «") + caption + QStringLiteral("»")));
            QVERIFY2(onScreen.contains(caption), qPrintable(page + QStringLiteral(" quotes «") + caption +
                                                            QStringLiteral("», but the screen's captions are: ") +
                                                            onScreen.join(QStringLiteral(", "))));
        }
    }

    // Dialogs opened from a card: the export screens and the summary lists have their own pages.
    void helpOnTheDialogsOfACard_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<HelpTopic>("exportTopic");
        QTest::newRow("carico") << Direction::GoodsIn << HelpTopic::GoodsInExport;
        QTest::newRow("scarico") << Direction::GoodsOut << HelpTopic::GoodsOutExport;
    }
    void helpOnTheDialogsOfACard() {
        QFETCH(Direction, direction);
        QFETCH(HelpTopic, exportTopic);
        run = std::make_unique<test::GuiProgram>();
        MovementCardScreen* card = run->openMovementCard("2024", direction);
        QVERIFY(card);
        bool shown = false;
        QVERIFY(test::withModal<ExportScreen>(card->cmdEsporta, [&](ExportScreen* screen) {
            shown = helpFrom(screen->cmdGuida, [&](TfrmGuida* window) {
                QCOMPARE(window->lblTitolo->text(), toQString(helpPage(exportTopic).title));
            });
        }));
        QVERIFY(shown);
    }

    // The summary lists over a period and the inventory list.
    void helpOnTheSummaryLists_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<HelpTopic>("topic");
        QTest::newRow("carico") << Direction::GoodsIn << HelpTopic::GoodsInSummary;
        QTest::newRow("scarico") << Direction::GoodsOut << HelpTopic::GoodsOutSummary;
    }
    void helpOnTheSummaryLists() {
        QFETCH(Direction, direction);
        QFETCH(HelpTopic, topic);
        run = std::make_unique<test::GuiProgram>();
        MovementYearMenu* menu = run->openYearMenu(direction);
        QVERIFY(menu);
        test::typeText(menu->txtAnnoRiepLavoro, "2024");
        test::click(menu->btnApriRiepLavoro);
        auto* period = run->screen<MovementPeriodScreen>(std::string(movementDirection(direction).summaryName).c_str());
        QVERIFY(period && period->isVisible());
        for (QComboBox* box :
             {period->txtGiornoInizio, period->txtMeseInizio, period->txtGiornoFine, period->txtMeseFine})
            box->setCurrentIndex(0);
        bool shown = false;
        QVERIFY(test::withModal<MovementSummaryList>(period->btnVisualizza, [&](MovementSummaryList* list) {
            shown = helpFrom(list->imgGuida, [&](TfrmGuida* window) {
                QCOMPARE(window->lblTitolo->text(), toQString(helpPage(topic).title));
            });
        }));
        QVERIFY(shown);
    }

    void helpOnTheInventoryList() {
        run = std::make_unique<test::GuiProgram>();
        auto* prompt = run->openFromMenu<TfrmMenuRiepilogo>("frmMenuRiepilogo");
        QVERIFY(prompt);
        bool shown = false;
        QVERIFY(test::withModal<TfrmRiepilogo>(prompt->btnVisualizza, [&](TfrmRiepilogo* list) {
            shown = helpFrom(list->imgGuida, [](TfrmGuida* window) {
                QCOMPARE(window->lblTitolo->text(), toQString(helpPage(HelpTopic::Inventory).title));
            });
        }));
        QVERIFY(shown);
    }

    // The product card's export, import and label windows, each with its own page.
    void productCardWindowsHaveTheirPages_data() {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<HelpTopic>("topic");
        QTest::newRow("esporta") << QStringLiteral("btnEsporta") << HelpTopic::ProductExport;
        QTest::newRow("importa") << QStringLiteral("btnImporta") << HelpTopic::ProductImport;
        QTest::newRow("etichette") << QStringLiteral("btnEtichette") << HelpTopic::Labels;
    }
    void productCardWindowsHaveTheirPages() {
        QFETCH(QString, opener);
        QFETCH(HelpTopic, topic);
        run = std::make_unique<test::GuiProgram>();
        TfrmMagazzino* card = run->openProductCard();
        QVERIFY(card);
        bool shown = false;
        QVERIFY(test::withModal<QDialog>(card->findChild<QAbstractButton*>(opener), [&](QDialog* window) {
            auto* button = window->findChild<QAbstractButton*>(QStringLiteral("cmdGuida"));
            if (!button) button = window->findChild<QAbstractButton*>(QStringLiteral("imgGuida"));
            shown = helpFrom(
                button, [&](TfrmGuida* help) { QCOMPARE(help->lblTitolo->text(), toQString(helpPage(topic).title)); });
        }));
        QVERIFY(shown);
    }

    // The backup window, opened from the main menu, has a page of its own.
    void theBackupWindowHasItsPage() {
        run = std::make_unique<test::GuiProgram>();
        bool shown = false;
        QVERIFY(test::withModal<QDialog>(mainMenu(*run)->findChild<QAbstractButton*>("imgCopie"), [&](QDialog* window) {
            QCOMPARE(window->objectName(), QStringLiteral("frmCopie"));
            shown = helpFrom(window->findChild<QAbstractButton*>(QStringLiteral("imgGuida")), [](TfrmGuida* help) {
                QCOMPARE(help->lblTitolo->text(), toQString(helpPage(HelpTopic::Backups).title));
                QCOMPARE(help->txtGuida->toPlainText(),
                         pageText(HelpTopic::Backups).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            });
        }));
        QVERIFY(shown);
    }

    // Two presses, two windows: each a fresh one, and closing it leaves the screen below as it was.
    void eachPressOpensAFreshWindow() {
        run = std::make_unique<test::GuiProgram>();
        TfrmMagazzino* card = run->openProductCard();
        QVERIFY(card);
        QPointer<TfrmGuida> first;
        QVERIFY(helpFrom(card->btnGuida, [&](TfrmGuida* window) {
            first = window;
            window->lblTitolo->setText(QStringLiteral("cambiato"));
        }));
        QTRY_VERIFY(first.isNull());
        QVERIFY(helpFrom(card->btnGuida, [](TfrmGuida* window) {
            QCOMPARE(window->lblTitolo->text(), toQString(helpPage(HelpTopic::Products).title));
        }));
        QVERIFY(card->isVisible());
    }

    // The link hands the guide's quoted path to the desktop (which shows nothing when it is missing);
    // pressed it is orange, then dark blue.
    void theLinkOpensTheQuotedGuide() {
        run = std::make_unique<test::GuiProgram>();
        TfrmGuida window(run->folder.path(), nullptr);
        window.show();
        QTest::mousePress(window.lnkWeb, Qt::LeftButton);
        QVERIFY(window.lnkWeb->isPressed());  // orange while held, by the style sheet
        QTest::mouseRelease(window.lnkWeb, Qt::LeftButton);
        QVERIFY(!window.lnkWeb->isPressed());
        test::click(window.imgPDF);
        const QString quoted =
            QLatin1Char('"') + QString::fromStdString((run->folder.path() / "Guida.pdf").string()) + QLatin1Char('"');
        QCOMPARE(run->desktop.opened, (QStringList{quoted, quoted}));
        QVERIFY(run->messages.shown.empty());
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
