#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

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

}  // namespace

Q_DECLARE_METATYPE(Reach)
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

    // The product card's export and import windows, each with its own page.
    void productCardWindowsHaveTheirPages_data() {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<HelpTopic>("topic");
        QTest::newRow("esporta") << QStringLiteral("btnEsporta") << HelpTopic::ProductExport;
        QTest::newRow("importa") << QStringLiteral("btnImporta") << HelpTopic::ProductImport;
    }
    void productCardWindowsHaveTheirPages() {
        QFETCH(QString, opener);
        QFETCH(HelpTopic, topic);
        run = std::make_unique<test::GuiProgram>();
        TfrmMagazzino* card = run->openProductCard();
        QVERIFY(card);
        bool shown = false;
        QVERIFY(test::withModal<QDialog>(card->findChild<QAbstractButton*>(opener), [&](QDialog* window) {
            shown = helpFrom(window->findChild<QAbstractButton*>(QStringLiteral("cmdGuida")), [&](TfrmGuida* help) {
                QCOMPARE(help->lblTitolo->text(), toQString(helpPage(topic).title));
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
