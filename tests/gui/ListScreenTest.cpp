// What every list screen shares: the column headings over the list, and Enter on a row.
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QListView>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <optional>

#include "movements/ProductPicker.h"
#include "support/GuiDialogs.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/ListScreen.h"
#include "ui/RowListModel.h"
#include "ui/SearchScreen.h"

using namespace scortavia;
using test::Reach;

namespace {

using M = MovementLayout;
using P = ProductLayout;

// One product and one movement that every list shows, every column filled.
void writeArchives(test::GuiProgram& run) {
    run.writeProducts({test::product("VT-0042", "Vite autofilettante città",
                                     {{P::Tipologia, "Ferramenta"},
                                      {P::Giacenza, "12"},
                                      {P::Avviso, "20"},
                                      {P::Pagato, "No"},
                                      {P::DataSca, "31/12/2026"},
                                      {P::Costo, "0,15"},
                                      {P::Prezzo, "0,30"},
                                      {P::Ditta, "Bulloneria Rossi"}})});
    for (const test::DirectionRow& d : test::kDirectionRows) {
        run.writeMovements(QStringLiteral("2024"), d.direction,
                           {test::movement("Rossi", "VT-0042",
                                           {{M::Data, "07/03/2024"},
                                            {M::Quant, "5"},
                                            {M::Tipologia, "Ferramenta"},
                                            {M::Descrizione, "Viti zincate"},
                                            {M::CostoTot, "0,75"},
                                            {M::DaSaldare, kFlagYes}})});
    }
}

// The first column, in global coordinates, of `widget` holding a dark pixel between `left` and `right` (global)
// in its rows `band` (the widget's own).
std::optional<int> firstInk(QWidget* widget, int left, int right, const QRect& band) {
    const QImage image = widget->grab().toImage();
    const int origin = widget->mapToGlobal(QPoint(0, 0)).x();
    for (int x = std::max(0, left - origin); x < std::min(image.width(), right - origin); ++x) {
        for (int y = std::max(0, band.top()); y <= std::min(image.height() - 1, band.bottom()); ++y) {
            if (image.pixelColor(x, y).lightness() < 140) return origin + x;
        }
    }
    return std::nullopt;
}

QList<QLabel*> headingsOf(ListScreen* list) {
    QList<QLabel*> labels = list->panIntestazioni->findChildren<QLabel*>();
    std::sort(labels.begin(), labels.end(), [](QLabel* a, QLabel* b) { return a->objectName() < b->objectName(); });
    return labels;
}

// Each heading in the list's viewport starts where the first row's text below it starts, give or take the sides
// of two letters: a heading a character off is ten pixels off. Returns how many headings were in view.
int expectHeadingsOverTheirColumns(ListScreen* list) {
    QWidget* viewport = list->lstRecords->viewport();
    const int viewLeft = viewport->mapToGlobal(QPoint(0, 0)).x();
    const int viewRight = viewLeft + viewport->width();
    const QRect row = list->lstRecords->visualRect(list->model()->index(0));
    int checked = 0;
    for (QLabel* label : headingsOf(list)) {
        const int left = label->mapToGlobal(QPoint(0, 0)).x();
        if (left < viewLeft || left + label->width() > viewRight) continue;
        const std::optional<int> heading = firstInk(label, left, left + label->width(), label->rect());
        const std::optional<int> value = firstInk(viewport, left - 4, left + 20, row);
        if (!heading || !value) {
            qWarning("%s: no ink", qPrintable(label->text()));
            return -1;
        }
        if (std::abs(*heading - *value) > 3) {
            qWarning("%s at %d, its column at %d", qPrintable(label->text()), *heading, *value);
            return -1;
        }
        ++checked;
    }
    return checked;
}

}  // namespace

class ListScreenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    // Opens the list as the user does, with the archives written, and lets `steps` drive it; a search first
    // searches everything. Qt's model tester watches the list's rows all along: a wrong row count or a
    // reset out of order fails the test.
    void withList(const Reach& reach, const std::function<void(ListScreen*)>& steps) {
        run = std::make_unique<test::GuiProgram>();
        writeArchives(*run);
        const std::function<void()> open = reach(*run);
        bool seen = false;
        test::onNextModal([&](QWidget* window) {
            auto* list = qobject_cast<ListScreen*>(window);
            if (list) {
                seen = true;
                new QAbstractItemModelTester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                             list);
                if (auto* search = qobject_cast<SearchScreen*>(list)) test::click(search->btnCerca);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                steps(list);
            }
            if (window->isVisible()) window->close();
        });
        open();
        QVERIFY(seen);
    }

private Q_SLOTS:
    void cleanup() { run.reset(); }

    // clang-format off
    void headingsStandOverTheirColumns_data() {
        QTest::addColumn<Reach>("reach");
        QTest::addColumn<QStringList>("headings");
        const QStringList formatA{"Codice", "Nome prodotto", "Categoria", "Giac.", "Pagato", "Scadenza", "Costo"};
        const QStringList movement{"Data", "Codice", "Quantità", "Tipologia", "Descrizione", "Totale"};
        QTest::newRow("trova prodotti") << test::onProductCard("btnTrova") << formatA;
        QTest::newRow("sottoscorta") << test::onProductCard("btnSottoscorta") << formatA;
        QTest::newRow("da saldare") << test::onProductCard("btnScaduti")
            << QStringList{"Codice", "Nome prodotto", "Categoria", "Giac.", "Fornitore", "Scadenza", "Costo"};
        QTest::newRow("importa dati carico") << test::onMovementCard(Direction::GoodsIn, "btnImpEsame") << formatA;
        QTest::newRow("importa dati scarico") << test::onMovementCard(Direction::GoodsOut, "btnImpEsame")
            << QStringList{"Codice", "Nome prodotto", "Categoria", "Giac.", "Pagato", "Scadenza", "Prezzo"};
        QTest::newRow("trova carico") << test::onMovementCard(Direction::GoodsIn, "cmdTrova") << movement;
        QTest::newRow("conti da saldare scarico") << test::onMovementCard(Direction::GoodsOut, "cmdListino") << movement;
        QTest::newRow("riepilogo carico") << test::toMovementSummary(Direction::GoodsIn) << movement;
        QTest::newRow("inventario") << test::toInventory()
            << QStringList{"Codice", "Nome prodotto", "Scadenza", "Costo", "Giacenza", "Valore"};
        QTest::newRow("importa nel listino") << test::onPriceListEditor([](TfrmListinoPrezzi* editor) -> QAbstractButton* {
            return editor->slot('A')->impProdotto;
        }) << formatA;
    }
    // clang-format on
    void headingsStandOverTheirColumns() {
        QFETCH(Reach, reach);
        QFETCH(QStringList, headings);
        withList(reach, [&](ListScreen* list) {
            QVERIFY(list->panIntestazioni && list->panIntestazioni->isVisible());
            QStringList texts;
            for (QLabel* label : headingsOf(list)) texts << label->text();
            QCOMPARE(texts, headings);
            QCOMPARE(list->model()->rows().size(), std::size_t(1));
            // Right above the list.
            const QRect strip = list->panIntestazioni->geometry();
            QCOMPARE(strip.left(), list->lstRecords->geometry().left());
            QVERIFY(strip.bottom() < list->lstRecords->geometry().top());
            QVERIFY(list->lstRecords->geometry().top() - strip.bottom() < 4);

            const int atStart = expectHeadingsOverTheirColumns(list);
            QVERIFY(atStart > 0);
            // Scrolled to its far end, the list takes its headings with it.
            QScrollBar* sideways = list->lstRecords->horizontalScrollBar();
            const int first = headingsOf(list).front()->mapToGlobal(QPoint(0, 0)).x();
            QVERIFY(sideways->maximum() > 0);
            sideways->setValue(sideways->maximum());
            QCOMPARE(headingsOf(list).front()->mapToGlobal(QPoint(0, 0)).x(), first - sideways->maximum());
            const int atEnd = expectHeadingsOverTheirColumns(list);
            QVERIFY(atEnd > 0);
            // Between them the two views showed every heading: the last one only once scrolled.
            QVERIFY(atStart < headings.size());
            QVERIFY(atStart + atEnd >= headings.size());
        });
    }

    // Enter on a row opens it as a double click does: on the card, and the list closes.
    void enterOnARowOpensItsRecord_data() {
        QTest::addColumn<Reach>("reach");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("card");
        QTest::newRow("sottoscorta, Invio")
            << test::onProductCard("btnSottoscorta") << int(Qt::Key_Return) << "frmMagazzino";
        QTest::newRow("trova prodotti, Invio del tastierino")
            << test::onProductCard("btnTrova") << int(Qt::Key_Enter) << "frmMagazzino";
        QTest::newRow("conti da saldare, Invio")
            << test::onMovementCard(Direction::GoodsIn, "cmdListino") << int(Qt::Key_Return) << "frmCarichi";
        QTest::newRow("trova scarico, Invio del tastierino")
            << test::onMovementCard(Direction::GoodsOut, "cmdTrova") << int(Qt::Key_Enter) << "frmScarichi";
    }
    void enterOnARowOpensItsRecord() {
        QFETCH(Reach, reach);
        QFETCH(int, key);
        QFETCH(QString, card);
        bool closed = false;
        withList(reach, [&](ListScreen* list) {
            list->lstRecords->setFocus();
            list->selectRow(0);
            const Qt::KeyboardModifiers keypad = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
            QTest::keyClick(list->lstRecords, static_cast<Qt::Key>(key), keypad);
            closed = !list->isVisible();
        });
        QVERIFY(closed);
        QWidget* target = run->program->registry().screen(card);
        QCOMPARE(target->findChild<QLabel*>(QStringLiteral("lblPosizione"))->text(), QStringLiteral("1"));
        QCOMPARE(target->findChild<QLineEdit*>(QStringLiteral("txtCodice"))->text(), QStringLiteral("VT-0042"));
        QVERIFY(run->messages.shown.empty());
    }

    // With no row chosen Enter does nothing: no button of the screen takes it.
    void enterWithoutARowDoesNothing() {
        withList(test::onProductCard("btnSottoscorta"), [&](ListScreen* list) {
            list->lstRecords->setFocus();
            QVERIFY(!list->selectedRow());
            QTest::keyClick(list->lstRecords, Qt::Key_Return);
            QVERIFY(list->isVisible());
        });
        QVERIFY(run->messages.shown.empty());
        QVERIFY(run->screen<TfrmMagazzino>("frmMagazzino")->lblPosizione->text().isEmpty());
    }

    // In the product picker a double click picks the row (its first click does), and so does Enter.
    void enterInThePickerPicksTheProduct() {
        withList(test::onMovementCard(Direction::GoodsIn, "btnImpEsame"), [&](ListScreen* list) {
            auto* picker = qobject_cast<ProductPicker*>(list);
            QVERIFY(picker);
            picker->lstRecords->setFocus();
            picker->selectRow(0);
            QVERIFY(!picker->btnImporta->isEnabled());
            QTest::keyClick(picker->lstRecords, Qt::Key_Return);
            QVERIFY(picker->isVisible());
            QCOMPARE(picker->txtCodice->text(), QStringLiteral("VT-0042"));
            QCOMPARE(picker->lblPosizione->text(), QStringLiteral("1"));
            QVERIFY(picker->btnImporta->isEnabled());
        });
    }
};

QTEST_MAIN(ListScreenTest)
#include "ListScreenTest.moc"
