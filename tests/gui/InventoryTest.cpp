#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "shell/TfrmAvvio.h"
#include "summaries/InventoryScreens.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/RowListModel.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

using P = ProductLayout;

const QString kAllGoods = QStringLiteral("Tutti gli articoli in magazzino.");

// The row of a product made by test::product below: no due date.
QString inventoryRow(const QString& code, const QString& name, const QString& cost, const QString& stock,
                     const QString& value) {
    return code.leftJustified(25) + QStringLiteral("  ") + name.leftJustified(42) + QStringLiteral("  Scad. ") +
           QString().leftJustified(10) + QString::fromUtf8("  Costo: € ") + cost.leftJustified(12) +
           QStringLiteral("  Giacenza: ") + stock.leftJustified(10) + QString::fromUtf8("  Valore: € ") + value;
}

// Four products out of code order: two drinks categories, one other, one without a category.
std::vector<ProductRecord> fourProducts() {
    return {
        test::product("Z1", "Acqua minerale", {{P::Tipologia, "Bevande"}, {P::Giacenza, "3"}, {P::Costo, "2,50"}}),
        test::product("b2", "Tisana", {{P::Tipologia, "BEVANDE CALDE"}, {P::Giacenza, "0"}, {P::Costo, "4,00"}}),
        test::product("A3", "Viti", {{P::Tipologia, "Ferramenta"}, {P::Giacenza, "2"}, {P::Costo, "1,25"}}),
        test::product("C4", "Senza categoria", {{P::Tipologia, ""}, {P::Giacenza, "1"}, {P::Costo, "2,50"}}),
    };
}

const QString kRowZ1 = inventoryRow("Z1", "Acqua minerale", "2,50", "3", "7,5");
const QString kRowB2 = inventoryRow("b2", "Tisana", "4,00", "0", "0");
const QString kRowA3 = inventoryRow("A3", "Viti", "1,25", "2", "2,5");
const QString kRowC4 = inventoryRow("C4", "Senza categoria", "2,50", "1", "2,5");

}  // namespace

class InventoryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;
    TfrmMenuRiepilogo* prompt = nullptr;

    const TfrmAvvio::Tile* tile() const {
        for (const TfrmAvvio::Tile& t : run->menu()->tiles) {
            if (t.target == QLatin1String("frmMenuRiepilogo")) return &t;
        }
        return nullptr;
    }
    // The prompt shown and active once `opener` was clicked; nullptr when it did not come up.
    TfrmMenuRiepilogo* promptOpenedBy(QAbstractButton* opener) const {
        test::click(opener);
        auto* shown = run->screen<TfrmMenuRiepilogo>("frmMenuRiepilogo");
        if (!shown || !shown->isVisible()) return nullptr;
        return QTest::qWaitFor([shown] { return QApplication::activeWindow() == shown; }) ? shown : nullptr;
    }
    // A fresh program on the prompt, opened from the main menu's tile.
    bool openPrompt() {
        run = std::make_unique<test::GuiProgram>();
        run->login(QStringLiteral("scortavia"));
        if (!tile()) return false;
        prompt = promptOpenedBy(tile()->picture);
        return prompt != nullptr;
    }
    // Types the category and opens the inventory through "Visualizza"; `steps` drive it while it is shown.
    void openList(const QString& category, const std::function<void(TfrmRiepilogo*)>& steps) {
        test::typeText(prompt->txtTipologia, category);
        QVERIFY(test::withModal<TfrmRiepilogo>(prompt->btnVisualizza, steps));
    }
    bool backOnTheMainMenu() const { return run->menu()->isVisible() && !prompt->isVisible() && run->ended == 0; }

private Q_SLOTS:
    void cleanup() {
        prompt = nullptr;
        run.reset();
    }

    void theTileOpensAnEmptyPromptEachTime() {
        QVERIFY(openPrompt());
        QVERIFY(!run->menu()->isVisible());
        QVERIFY(prompt->txtTipologia->text().isEmpty());
        QVERIFY(prompt->txtTipologia->hasFocus());
        QVERIFY(!prompt->lblAttendere->isVisible());
        test::typeText(prompt->txtTipologia, QStringLiteral("bev"));
        test::click(prompt->imgEsci);
        QVERIFY(backOnTheMainMenu());

        QCOMPARE(promptOpenedBy(tile()->caption), prompt);
        QVERIFY(prompt->txtTipologia->text().isEmpty());
        QVERIFY(prompt->txtTipologia->hasFocus());
        prompt->close();
        QVERIFY(backOnTheMainMenu());
        QVERIFY(run->messages.shown.empty());
    }

    // Help and the way back are pictures: Tab reaches them after "Visualizza", Space or Enter press them.
    void theKeyboardReachesHelpAndExit() {
        QVERIFY(openPrompt());
        QStringList walked;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(test::pressKey(Qt::Key_Tab));
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, (QStringList{"btnVisualizza", "imgGuida", "imgEsci", "txtTipologia"}));
        QStringList help;
        test::onNextModal([&](QWidget* dialog) {
            help << dialog->objectName();
            dialog->close();
        });
        prompt->imgGuida->setFocus();
        QVERIFY(test::pressKey(Qt::Key_Space));
        QCOMPARE(help, QStringList{"frmGuida"});
        prompt->activateWindow();  // offscreen gives the activation back to no window when a dialog closes
        QVERIFY(QTest::qWaitFor([this] { return QApplication::activeWindow() == prompt; }));
        prompt->imgEsci->setFocus();
        QVERIFY(test::pressKey(Qt::Key_Return));
        QVERIFY(backOnTheMainMenu());
    }

    void visualizzaListsTheCategorySorted_data() {
        QTest::addColumn<bool>("records");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("total");
        QTest::newRow("every product") << true << "" << kAllGoods << QStringList{kRowA3, kRowB2, kRowC4, kRowZ1}
                                       << QString::fromUtf8("€ 12,50");
        QTest::newRow("bev") << true << "bev"
                             << "bev" << QStringList{kRowB2, kRowZ1} << QString::fromUtf8("€ 7,50");
        QTest::newRow("empty archive") << false << "" << kAllGoods << QStringList{} << QString::fromUtf8("€ 0,00");
    }
    void visualizzaListsTheCategorySorted() {
        QFETCH(bool, records);
        QFETCH(QString, category);
        QFETCH(QString, title);
        QFETCH(QStringList, rows);
        QFETCH(QString, total);
        QVERIFY(openPrompt());
        run->writeProducts(records ? fourProducts() : std::vector<ProductRecord>{});
        bool attendereWhileOpen = false;
        bool attendereAfterClosing = true;
        openList(category, [&](TfrmRiepilogo* list) {
            QCOMPARE(list->objectName(), QStringLiteral("frmRiepilogo"));
            QCOMPARE(list->windowTitle(), QStringLiteral(" Scortavia - Inventario Merce"));
            QVERIFY(list->isMaximized());
            QCOMPARE(list->parentWidget(), prompt);
            QCOMPARE(list->model()->texts(), rows);
            QCOMPARE(list->titTipologia->text(), title);
            QCOMPARE(list->panInfo->text(),
                     QStringLiteral("Il presente inventario contiene %1 articoli.").arg(rows.size()));
            QCOMPARE(list->lblTotale->text(), total);
            QVERIFY(list->txtTrova->hasFocus());
            attendereWhileOpen = prompt->lblAttendere->isVisible();
            test::click(list->btnChiudi);
            // Hidden by the list as it closes, before the prompt has its turn again.
            attendereAfterClosing = prompt->lblAttendere->isVisible();
        });
        QVERIFY(attendereWhileOpen);
        QVERIFY(!attendereAfterClosing);
        QVERIFY(prompt->isVisible());
        QVERIFY(run->messages.shown.empty());
    }

    void trovaOnAnEmptyListIsAnInformation() {
        QVERIFY(openPrompt());
        run->writeProducts(fourProducts());
        openList(QStringLiteral("nessuna"), [&](TfrmRiepilogo* list) {
            QVERIFY(list->model()->texts().isEmpty());
            list->txtTrova->setText(QStringLiteral("Acqua"));
            test::click(list->btnTrova);
            QVERIFY(list->isVisible());
        });
        QCOMPARE(run->messages.texts(), QStringList{"Ricerca non applicabile: la lista non contiene nessuna voce."});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(run->messages.shown[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    }

    // The figures keep their first texts where the filling did not reach them; nothing is said.
    void anArchiveThatCannotBeReadLeavesTheFirstTexts() {
        QVERIFY(openPrompt());
        QVERIFY(std::filesystem::create_directory(run->productArchive()));
        openList(QString(), [&](TfrmRiepilogo* list) {
            QVERIFY(list->model()->texts().isEmpty());
            QCOMPARE(list->titTipologia->text(), kAllGoods);
            QCOMPARE(list->panInfo->text(), QStringLiteral("Il presente inventario contiene 0 articoli."));
            QCOMPARE(list->lblTotale->text(), QStringLiteral("0,00"));
            QCoreApplication::processEvents();
        });
        QVERIFY(run->messages.shown.empty());
    }

    // Enter in the find box is the box's own: it neither moves to Trova nor presses any button.
    void enterInTheFindBoxStaysThere() {
        QVERIFY(openPrompt());
        run->writeProducts(fourProducts());
        openList(QString(), [&](TfrmRiepilogo* list) {
            QTest::keyClicks(list->txtTrova, QStringLiteral("viti"));
            QTest::keyClick(list->txtTrova, Qt::Key_Return);
            QVERIFY(list->txtTrova->hasFocus());
            QVERIFY(list->isVisible());
            QVERIFY(!list->selectedRow());
        });
        QVERIFY(run->messages.shown.empty());
        QVERIFY(run->printer.jobs.empty());
    }

    void stampaPrintsTheRowsAndTheTotalWithoutAsking_data() {
        QTest::addColumn<bool>("records");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("total");
        QTest::newRow("every product") << true << ""
                                       << "Inventario merce - Categoria: " + kAllGoods
                                       << QString::fromUtf8("VALORE TOTALE: € 12,50");
        QTest::newRow("bev") << true << "bev"
                             << "Inventario merce - Categoria: bev" << QString::fromUtf8("VALORE TOTALE: € 7,50");
        QTest::newRow("empty archive") << false << ""
                                       << "Inventario merce - Categoria: " + kAllGoods
                                       << QString::fromUtf8("VALORE TOTALE: € 0,00");
    }
    void stampaPrintsTheRowsAndTheTotalWithoutAsking() {
        QFETCH(bool, records);
        QFETCH(QString, category);
        QFETCH(QString, title);
        QFETCH(QString, total);
        QVERIFY(openPrompt());
        run->writeProducts(records ? fourProducts() : std::vector<ProductRecord>{});
        QStringList shownRows;
        openList(category, [&](TfrmRiepilogo* list) {
            shownRows = list->model()->texts();
            test::click(list->btnStampa);
        });
        QVERIFY(run->messages.shown.empty());
        QStringList titles;
        QStringList printed;
        for (const test::PrintJob& job : run->printer.jobs) {
            titles << job.text("txtTitolo");
            printed << job.linesOnAllPages("txtRiepilogo");
        }
        QCOMPARE(titles, QStringList{title});
        QCOMPARE(printed, (shownRows + QStringList{"--------------------------", total}));
    }

    void aStockThatIsNoNumberIsLeftOutAndNamed() {
        QVERIFY(openPrompt());
        std::vector<ProductRecord> products = fourProducts();
        products[2].setText(P::Giacenza, "tre");  // A3, between the others in the archive
        run->writeProducts(products);
        openList(QString(), [&](TfrmRiepilogo* list) {
            QTRY_COMPARE(run->messages.texts(),
                         QStringList{QString::fromUtf8(
                             "Attenzione: 1 scheda non è stata inclusa perché contiene dati non leggibili (posizione "
                             "in archivio: 3).\n\r\n\rIl totale riguarda soltanto le voci elencate.")});
            QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
            QCOMPARE(list->model()->texts(), (QStringList{kRowB2, kRowC4, kRowZ1}));
            QCOMPARE(list->panInfo->text(), QStringLiteral("Il presente inventario contiene 3 articoli."));
            QCOMPARE(list->lblTotale->text(), QString::fromUtf8("€ 10,00"));
            QVERIFY(list->isVisible());
        });
    }
};

QTEST_MAIN(InventoryTest)
#include "InventoryTest.moc"
