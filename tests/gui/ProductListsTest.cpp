#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "ui/PhotoBox.h"
#include "ui/RowListModel.h"
#include "shell/TfrmAvvio.h"
#include "ui/Widgets.h"
#include "products/ProductListScreens.h"
#include "products/TfrmMagazzino.h"
#include "reports/PrintService.h"
#include "reports/ReportTemplate.h"
#include "support/GuiProgram.h"
#include "support/Records.h"

using namespace scortavia;

namespace {

ProductRecord item(const char* code, const char* name, const char* stock, const char* level, const char* paid) {
    ProductRecord r = test::product(code, name);
    r.setText(ProductRecord::Giacenza, stock);
    r.setText(ProductRecord::Avviso, level);
    r.setText(ProductRecord::Pagato, paid);
    r.setText(ProductRecord::Ditta, "Forniture Rossi");
    return r;
}

}  // namespace

class ProductListsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;
    TfrmMagazzino* card() { return run->screen<TfrmMagazzino>("frmMagazzino"); }
    std::filesystem::path archive() const { return run->folder.file("Magazzino.pro"); }

    void withArchive() {
        test::writeBytes(archive(), test::archiveBytes(std::vector{
                                        item("C-3", "Chiave inglese", "2", "5", "No"),
                                        item("a-1", "Vite autofilettante", "100", "10", "Sì"),
                                        item("B-2", "Tassello in nylon", "5", "5", "No"),
                                        item("D-4", "Nastro isolante", "-1", "0", ""),
                                    }));
    }
    // Opens a list from the card and lets `steps` drive it while it is shown.
    void openList(QAbstractButton* button, const std::function<void(ListScreen*)>& steps) {
        QVERIFY(test::withModal<ListScreen>(button, steps));
    }
    static QStringList rowsOf(ListScreen* list) { return list->model()->texts(); }
    static void doubleClick(ListScreen* list, int row) {
        list->selectRow(static_cast<std::size_t>(row));
        const QRect rect = list->lstRecords->visualRect(list->model()->index(row));
        // A double click is a press, then the double-click event on the same row.
        QWidget* viewport = list->lstRecords->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, rect.center());
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, rect.center());
        QMouseEvent dbl(QEvent::MouseButtonDblClick, rect.center(), viewport->mapToGlobal(rect.center()),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dbl);
    }

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        run->openProductCard();
        QVERIFY(card()->isVisible());
    }
    void cleanup() {
        PrintService::setHookForTesting({});
        run.reset();
    }

    void underStockAndUnpaidLists() {
        withArchive();
        openList(card()->btnSottoscorta, [&](ListScreen* list) {
            QCOMPARE(list->windowTitle(), QStringLiteral(" Merce in esaurimento"));
            const QStringList rows = rowsOf(list);
            QCOMPARE(rows.size(), 3);
            QVERIFY(rows[0].startsWith("Cod. B-2 "));
            QVERIFY(rows[1].startsWith("Cod. C-3 "));
            QVERIFY(rows[2].startsWith("Cod. D-4 "));
            QCOMPARE(list->focusWidget(), list->txtTrova);
        });
        openList(card()->btnScaduti, [&](ListScreen* list) {
            QCOMPARE(list->windowTitle(), QStringLiteral(" Riepilogo pagamenti non saldati"));
            const QStringList rows = rowsOf(list);
            QCOMPARE(rows.size(), 2);
            QVERIFY(rows[0].contains("Forniture Rossi"));
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
        openList(card()->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            QVERIFY(search);
            QCOMPARE(search->lblMemory->text(), QStringLiteral("magazzino"));
            QVERIFY(search->panAvvio->isVisible());
            QVERIFY(!search->panContainer->isVisible());
            QTest::keyClicks(search->txtNome, "VITE");
            QTest::mouseClick(search->btnCerca, Qt::LeftButton);
            QCOMPARE(search->lblConta->text(), QStringLiteral("1"));
            QCOMPARE(search->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 1 schede."));
            QVERIFY(!search->panAvvio->isVisible());
            QVERIFY(search->panContainer->isVisible());
            doubleClick(search, 0);
        });
        QCOMPARE(card()->txtCodice->text(), QStringLiteral("a-1"));
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("2"));
        QVERIFY(card()->chkPagato->isChecked());
        QCOMPARE(card()->imgFoto->image().size(), QSize(40, 30));
        card()->txtNote->setText("Cambiata dalla ricerca");
        QTest::mouseClick(card()->btnSalva, Qt::LeftButton);
        ProductRecord saved;
        std::memcpy(saved.bytes().data(), test::readBytes(archive()).data() + 2592, 2592);
        QCOMPARE(saved.text(ProductRecord::Note), std::string("Cambiata dalla ricerca"));
    }

    void identicalRowsLoadTheLaterRecord() {
        ProductRecord first = item("T", "Gemello", "1", "1", "No");
        first.setText(ProductRecord::Note, "primo");
        ProductRecord later = item("T", "Gemello", "1", "1", "No");
        later.setText(ProductRecord::Note, "secondo");
        test::writeBytes(archive(), test::archiveBytes(std::vector{first, later}));
        openList(card()->btnSottoscorta, [&](ListScreen* list) {
            QCOMPARE(list->model()->rows().size(), size_t(2));
            doubleClick(list, 0);
        });
        QCOMPARE(card()->txtNote->text(), QStringLiteral("secondo"));
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("2"));
    }

    void findInTheList() {
        withArchive();
        openList(card()->btnSottoscorta, [&](ListScreen* list) {
            list->txtTrova->setText("cod");
            QTest::mouseClick(list->btnTrova, Qt::LeftButton);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(0));
            QTest::mouseClick(list->btnTrova, Qt::LeftButton);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(1));
            QTest::mouseClick(list->btnTrova, Qt::LeftButton);
            QTest::mouseClick(list->btnTrova, Qt::LeftButton);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(0));  // wrapped
            list->txtTrova->setText("NASTRO");
            QTest::mouseClick(list->btnTrova, Qt::LeftButton);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(2));
            QTest::mouseClick(list->btnTrova, Qt::LeftButton);
            QCOMPARE(list->selectedRow(), std::optional<std::size_t>(2));  // the only match stays
            list->txtTrova->setFocus();
            QTest::keyClick(list->txtTrova, Qt::Key_Return);
            QVERIFY(list->btnTrova->hasFocus());
        });
        QVERIFY(run->messages.shown.empty());
        test::writeBytes(archive(), "");
        openList(card()->btnSottoscorta, [&](ListScreen* list) { QTest::mouseClick(list->btnTrova, Qt::LeftButton); });
        QCOMPARE(run->messages.texts(),
                 QStringList{"Ricerca non applicabile: la lista non contiene nessuna voce."});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Plain);
    }

    void printingUsesEachScreensTitle_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("search") << "btnTrova" << "Riepilogo prodotti in magazzino";
        QTest::newRow("under stock") << "btnSottoscorta" << "Merce in esaurimento";
        QTest::newRow("unpaid") << "btnScaduti" << "Riepilogo pagamenti non saldati";
    }
    void printingUsesEachScreensTitle() {
        QFETCH(QString, button);
        QFETCH(QString, title);
        withArchive();
        QStringList titles;
        QStringList printedRows;
        PrintService::setHookForTesting([&](PrintService::Request, const ReportTemplate& report) {
            titles << report.pages().front().find("txtTitolo")->lines;
            for (const auto& page : report.pages()) printedRows << page.find("txtRiepilogo")->lines;
        });
        QStringList shownRows;
        openList(card()->findChild<QAbstractButton*>(button), [&](ListScreen* list) {
            if (auto* search = qobject_cast<TfrmTrovaMagazzino*>(list)) {
                QTest::mouseClick(search->btnCerca, Qt::LeftButton);
            }
            shownRows = rowsOf(list);
            QTest::mouseClick(list->btnStampa, Qt::LeftButton);
        });
        QCOMPARE(titles, QStringList{title});
        QCOMPARE(printedRows, shownRows);
    }

    void anUnreadableArchiveKeepsTheCriteria() {
        std::filesystem::create_directory(archive());
        openList(card()->btnTrova, [&](ListScreen* screen) {
            auto* search = qobject_cast<TfrmTrovaMagazzino*>(screen);
            QTest::mouseClick(search->btnCerca, Qt::LeftButton);
            QVERIFY(search->panAvvio->isVisible());
            QVERIFY(search->lblAttendere->isVisible());
            QVERIFY(!search->panContainer->isVisible());
        });
        QCOMPARE(run->messages.texts(), QStringList{QString::fromUtf8(kMsgArchiveAccess.data())});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Plain);
    }

    void enterWalksTheSearchFields() {
        openList(card()->btnTrova, [&](ListScreen* screen) {
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
