#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <optional>

#include "labels/TfrmEtichette.h"
#include "products/ProductListScreens.h"
#include "products/TfrmMagazzino.h"
#include "shell/TfrmAvvio.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/PhotoBox.h"
#include "ui/RowListModel.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

using P = ProductLayout;

const std::pair<P::Field, std::string_view> kSupplier{P::Ditta, "Forniture Rossi"};

}  // namespace

class ProductListsTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    // Four products of one supplier: three at or below their warning level, two still to be paid.
    void withArchive() {
        run->writeProducts({
            test::product("C-3", "Chiave inglese",
                          {{P::Giacenza, "2"}, {P::Avviso, "5"}, {P::Pagato, "No"}, kSupplier}),
            test::product("a-1", "Vite autofilettante",
                          {{P::Giacenza, "100"}, {P::Avviso, "10"}, {P::Pagato, "Sì"}, kSupplier}),
            test::product("B-2", "Tassello in nylon",
                          {{P::Giacenza, "5"}, {P::Avviso, "5"}, {P::Pagato, "No"}, kSupplier}),
            test::product("D-4", "Nastro isolante",
                          {{P::Giacenza, "-1"}, {P::Avviso, "0"}, {P::Pagato, ""}, kSupplier}),
        });
    }
    // Opens a list from the card and lets `steps` drive it while it is shown.
    void openList(QAbstractButton* button, const std::function<void(ListScreen*)>& steps) {
        QVERIFY(test::withModal<ListScreen>(button, steps));
    }
    static QStringList rowsOf(ListScreen* list) { return list->model()->texts(); }

private Q_SLOTS:
    void init() { QVERIFY(openCard()); }
    void cleanup() { endProgram(); }

    void underStockAndUnpaidLists() {
        withArchive();
        openList(card->btnSottoscorta, [&](ListScreen* list) {
            QCOMPARE(list->windowTitle(), QStringLiteral(" Merce in esaurimento"));
            const QStringList rows = rowsOf(list);
            QCOMPARE(rows.size(), 3);
            QVERIFY(rows[0].startsWith("Cod. B-2 "));
            QVERIFY(rows[1].startsWith("Cod. C-3 "));
            QVERIFY(rows[2].startsWith("Cod. D-4 "));
            QCOMPARE(list->focusWidget(), list->txtTrova);
        });
        openList(card->btnScaduti, [&](ListScreen* list) {
            QCOMPARE(list->windowTitle(), QStringLiteral(" Riepilogo pagamenti non saldati"));
            const QStringList rows = rowsOf(list);
            QCOMPARE(rows.size(), 2);
            QVERIFY(rows[0].contains("Forniture Rossi"));
        });
    }

    void underStockSkipsUnreadableCardsAndSaysWhich() {
        run->writeProducts({
            test::product("C-3", "Chiave inglese", {{P::Giacenza, "2"}, {P::Avviso, "5"}}),
            test::product("X-9", "Scheda rovinata", {{P::Giacenza, "??"}, {P::Avviso, "5"}}),
            test::product("B-2", "Tassello in nylon", {{P::Giacenza, "5"}, {P::Avviso, "5"}}),
            test::product("A-1", "Vite autofilettante", {{P::Giacenza, "100"}, {P::Avviso, "10"}}),
        });
        openList(card->btnSottoscorta, [&](ListScreen* list) {
            QTRY_COMPARE(run->messages.texts(),
                         QStringList{QStringLiteral("Attenzione: 1 scheda non è stata inclusa perché contiene dati non "
                                                    "leggibili (posizione in archivio: 2).")});
            QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
            const QStringList rows = rowsOf(list);
            QCOMPARE(rows.size(), 2);
            QVERIFY(rows[0].startsWith("Cod. B-2 "));
            QVERIFY(rows[1].startsWith("Cod. C-3 "));
            QVERIFY(list->isVisible());
        });
        // A list with nothing unreadable says nothing.
        run->messages.shown.clear();
        withArchive();
        openList(card->btnSottoscorta, [&](ListScreen* list) {
            QCoreApplication::processEvents();
            QCOMPARE(rowsOf(list).size(), 3);
            QCOMPARE(run->messages.texts(), QStringList{});
        });
    }

    void searchThenDoubleClickLoadsTheCard() {
        withArchive();
        const QImage red = [&] {
            QImage i(40, 30, QImage::Format_RGB32);
            i.fill(Qt::red);
            i.save(QString::fromStdString(run->folder.file("2.jpg").string()), "JPG");
            return i;
        }();
        openList(card->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            QVERIFY(search);
            QCOMPARE(search->lblMemory->text(), QStringLiteral("magazzino"));
            QVERIFY(search->panAvvio->isVisible());
            QVERIFY(!search->panContainer->isVisible());
            QTest::keyClicks(search->txtNome, "VITE");
            test::click(search->btnCerca);
            QCOMPARE(search->lblConta->text(), QStringLiteral("1"));
            QCOMPARE(search->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 1 schede."));
            QVERIFY(!search->panAvvio->isVisible());
            QVERIFY(search->panContainer->isVisible());
            test::doubleClickRow(search, 0);
        });
        QCOMPARE(card->txtCodice->text(), QStringLiteral("a-1"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        QVERIFY(card->chkPagato->isChecked());
        QCOMPARE(card->imgFoto->image().size(), QSize(40, 30));
        card->txtNote->setText("Cambiata dalla ricerca");
        test::click(card->btnSalva);
        QCOMPARE(run->storedProduct(1).text(ProductRecord::Note), std::string("Cambiata dalla ricerca"));
    }

    // Rows chosen with Ctrl and a click print one label each, in the list's order; none chosen, none printed.
    void chosenRowsPrintTheirLabels() {
        withArchive();
        openList(card->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            test::click(search->btnCerca);
            QCOMPARE(search->btnAzione->objectName(), QStringLiteral("btnEtichette"));
            QCOMPARE(search->btnAzione->text(), QStringLiteral("Etichette"));
            QListView* list = search->lstRecords;
            const auto clickRow = [&](int row, Qt::KeyboardModifiers keys) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                                  list->visualRect(search->model()->index(row)).center());
            };
            clickRow(2, Qt::NoModifier);
            clickRow(0, Qt::ControlModifier);
            QCOMPARE(search->selectedRows(), (std::vector<std::size_t>{0, 2}));
            QVERIFY(test::withModal<TfrmEtichette>(search->btnAzione, [](TfrmEtichette* labels) {
                QCOMPARE(labels->lblQuante->text(), QStringLiteral("Etichette da stampare: 2"));
                test::click(labels->btnStampa);
            }));
            list->clearSelection();
            QVERIFY(test::withModal<TfrmEtichette>(search->btnAzione, [](TfrmEtichette* labels) {
                QCOMPARE(labels->lblQuante->text(), QStringLiteral("Etichette da stampare: 0"));
            }));
        });
        QCOMPARE(run->printer.jobs.size(), std::size_t{1});
        QCOMPARE(run->printer.jobs[0].text(QStringLiteral("testo1_0")), QStringLiteral("Vite autofilettante"));
        QCOMPARE(run->printer.jobs[0].text(QStringLiteral("testo2_0")), QStringLiteral("Chiave inglese"));
    }

    void identicalRowsLoadTheLaterRecord() {
        const ProductRecord first = test::product(
            "T", "Gemello", {{P::Giacenza, "1"}, {P::Avviso, "1"}, {P::Pagato, "No"}, kSupplier, {P::Note, "primo"}});
        run->writeProducts({first, test::withFields(first, {{P::Note, "secondo"}})});
        openList(card->btnSottoscorta, [&](ListScreen* list) {
            QCOMPARE(list->model()->rows().size(), size_t(2));
            test::doubleClickRow(list, 0);
        });
        QCOMPARE(card->txtNote->text(), QStringLiteral("secondo"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
    }

    void findInTheList() {
        withArchive();
        openList(card->btnSottoscorta, [&](ListScreen* list) {
            list->txtTrova->setText("cod");
            test::click(list->btnTrova);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(0));
            test::click(list->btnTrova);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(1));
            test::click(list->btnTrova);
            test::click(list->btnTrova);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(0));  // wrapped
            list->txtTrova->setText("NASTRO");
            test::click(list->btnTrova);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(2));
            test::click(list->btnTrova);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(2));  // the only match stays
            list->txtTrova->setFocus();
            QTest::keyClick(list->txtTrova, Qt::Key_Return);
            QVERIFY(list->btnTrova->hasFocus());
        });
        QVERIFY(run->messages.shown.empty());
        test::writeBytes(run->productArchive(), "");
        openList(card->btnSottoscorta, [&](ListScreen* list) { test::click(list->btnTrova); });
        QCOMPARE(run->messages.texts(), QStringList{"Ricerca non applicabile: la lista non contiene nessuna voce."});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Plain);
    }

    // clang-format off
    void printingUsesEachScreensTitle_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("search") << "btnTrova" << "Riepilogo prodotti in magazzino";
        QTest::newRow("under stock") << "btnSottoscorta" << "Merce in esaurimento";
        QTest::newRow("unpaid") << "btnScaduti" << "Riepilogo pagamenti non saldati";
    }
    // clang-format on
    void printingUsesEachScreensTitle() {
        QFETCH(QString, button);
        QFETCH(QString, title);
        withArchive();
        QStringList shownRows;
        openList(card->findChild<QAbstractButton*>(button), [&](ListScreen* list) {
            if (auto* search = qobject_cast<TfrmTrovaMagazzino*>(list)) {
                test::click(search->btnCerca);
            }
            shownRows = rowsOf(list);
            test::click(list->btnStampa);
        });
        QStringList titles;
        QStringList printedRows;
        for (const test::PrintJob& job : run->printer.jobs) {
            titles << job.text("txtTitolo");
            printedRows << job.linesOnAllPages("txtRiepilogo");
        }
        QCOMPARE(titles, QStringList{title});
        QCOMPARE(printedRows, shownRows);
    }

    void anUnreadableArchiveKeepsTheCriteria() {
        std::filesystem::create_directory(run->productArchive());
        openList(card->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            test::click(search->btnCerca);
            QVERIFY(search->panAvvio->isVisible());
            QVERIFY(search->lblAttendere->isVisible());
            QVERIFY(!search->panContainer->isVisible());
        });
        QCOMPARE(run->messages.texts(), QStringList{QString::fromUtf8(kMsgArchiveAccess.data())});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Plain);
    }

    // A barcode scanner types the code within milliseconds and ends it with Enter. Before a search it searches
    // for that code alone; on the list it chooses the product's row; Enter then puts it on the card.
    void aScannedCodeChoosesItsProductsRow() {
        withArchive();
        openList(card->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            search->txtNome->setText("chiave");
            search->txtNome->setFocus();
            QTest::keyClicks(search->txtNome, "A-1");
            QTest::keyClick(search->txtNome, Qt::Key_Return);
            QVERIFY(search->panContainer->isVisible());
            QCOMPARE(search->txtCodice->text(), QStringLiteral("A-1"));
            QVERIFY(search->txtNome->text().isEmpty());
            QCOMPARE(search->selectedRow(), std::optional<std::size_t>(0));
            QVERIFY(search->model()->texts()[0].startsWith("Cod. a-1 "));
            QVERIFY(search->lstRecords->hasFocus());

            QTest::keyClick(search->lstRecords, Qt::Key_Return);
        });
        QCOMPARE(card->txtCodice->text(), QStringLiteral("a-1"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));

        // On the list of a search, the scan chooses among the rows shown.
        openList(card->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            test::click(search->btnCerca);
            QTest::keyClicks(search->txtTrova, "c-3");
            QTest::keyClick(search->txtTrova, Qt::Key_Return);
            QVERIFY(search->txtTrova->text().isEmpty());
            const auto row = search->selectedRow();
            QVERIFY(row);
            QVERIFY(search->model()->texts()[int(*row)].startsWith("Cod. C-3 "));
            QTest::keyClick(search->lstRecords, Qt::Key_Return);
        });
        QVERIFY(run->messages.shown.empty());
        QCOMPARE(card->txtCodice->text(), QStringLiteral("C-3"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
    }

    // Typed by hand, a code is a search text as ever. A scanned code no product has is said so, and stays
    // typed with its Enter doing what it always does.
    void handTypingAndUnknownCodes() {
        withArchive();
        openList(card->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            QTest::keyClicks(search->txtCodice, "a-1", Qt::NoModifier, 80);
            QTest::keyClick(search->txtCodice, Qt::Key_Return, Qt::NoModifier, 80);
            QCOMPARE(search->txtCodice->text(), QStringLiteral("a-1"));
            QVERIFY(search->txtCosto->hasFocus());
            QVERIFY(search->panAvvio->isVisible());

            QTest::keyClicks(search->txtCosto, "A-12");
            QTest::keyClick(search->txtCosto, Qt::Key_Return);
            QCOMPARE(search->txtCosto->text(), QStringLiteral("A-12"));
            QVERIFY(search->txtNome->hasFocus());
            QVERIFY(search->panAvvio->isVisible());
            QCOMPARE(run->messages.texts(), QStringList{QString::fromUtf8("Nessun prodotto con il codice «A-12».")});

            search->txtCosto->clear();
            test::click(search->btnCerca);  // a-1 only
            QTest::keyClicks(search->txtTrova, "C-3");
            QTest::keyClick(search->txtTrova, Qt::Key_Return);
            QVERIFY(!search->selectedRow());
            QCOMPARE(search->txtTrova->text(), QStringLiteral("C-3"));
            QVERIFY(search->btnTrova->hasFocus());
        });
        QCOMPARE(run->messages.texts().size(), 2);
        QCOMPARE(run->messages.texts()[1], QString::fromUtf8("Nessun prodotto con il codice «C-3»."));
        QCOMPARE(run->messages.shown[1].kind, MessageKind::Warning);
    }

    void enterWalksTheSearchFields() {
        openList(card->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            QVERIFY(search->txtCodice->hasFocus());
            for (std::size_t i = 0; i < search->fields().size(); ++i) {
                QTest::keyClick(search->fields()[i], Qt::Key_Return);
                QVERIFY(search->fields()[(i + 1) % search->fields().size()]->hasFocus());
            }
            QVERIFY(search->findChild<QWidget*>("effCampo01")->isVisible());
        });
    }
};

QTEST_MAIN(ProductListsTest)
#include "ProductListsTest.moc"
