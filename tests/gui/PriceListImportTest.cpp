#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "pricelists/TfrmImportaMagazzino.h"
#include "pricelists/TfrmListinoPrezzi.h"
#include "support/GuiActions.h"
#include "support/PriceListEditorFixture.h"
#include "support/Records.h"
#include "ui/PhotoBox.h"
#include "ui/RowListModel.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

using P = ProductLayout;

constexpr const char* kLetters = "ABCDEFGH";

// What a slot shows, its picture told by its mean colour.
struct SlotState {
    std::array<QString, 5> texts;
    QRgb picture;
    bool operator==(const SlotState&) const = default;
};

SlotState stateOf(const PriceListSlotBox* box) {
    SlotState state;
    const auto boxes = box->boxesInTabOrder();
    for (std::size_t i = 0; i < boxes.size(); ++i) state.texts[i] = boxes[i]->text();
    state.picture = test::meanColour(box->imgFoto->image()).rgb();
    return state;
}

}  // namespace

class PriceListImportTest : public QObject, private test::PriceListEditorFixture {
    Q_OBJECT

    void writeProducts(const std::vector<ProductRecord>& products) const {
        test::writeBytes(file("Magazzino.pro"), test::archiveBytes(products));
    }
    // Two vases and a bowl; the bowl (card 3) has a red photo.
    void withProducts() {
        writeProducts({
            test::product(
                "VS-30", "Vaso in terracotta",
                {{P::UM, "Terracotta smaltata"}, {P::Caratteristiche, "Diametro 30 cm"}, {P::Prezzo, "24,90"}}),
            test::product("VS-40", "Vaso in resina",
                          {{P::UM, "Resina effetto pietra"}, {P::Caratteristiche, "Diametro 40 cm"}}),
            test::product("CT-12", "Ciotola in ceramica",
                          {{P::UM, "  Ceramica bianca  "},
                           {P::Caratteristiche, "Lavabile in lavastoviglie"},
                           {P::Prezzo, "12,50"}}),
        });
        test::writeColourPhoto(file("3.jpg"), QColor(210, 20, 20));
    }
    // Clicks the slot's arrow and lets `steps` drive the import screen; false when it did not come up.
    bool withImport(char letter, const std::function<void(TfrmImportaMagazzino*)>& steps) {
        return test::withModal<TfrmImportaMagazzino>(slot(letter)->impProdotto, steps);
    }
    // Imports into the slot the product listed at `row` by a search for `name`.
    bool importInto(char letter, const QString& name, int row = 0) {
        return withImport(letter, [&](TfrmImportaMagazzino* screen) {
            QTest::keyClicks(screen->txtNome, name);
            test::click(screen->btnCerca);
            test::doubleClickRow(screen, row);
        });
    }
    std::vector<SlotState> slotsNow() const {
        std::vector<SlotState> states;
        for (const char* l = kLetters; *l; ++l) states.push_back(stateOf(slot(*l)));
        return states;
    }

private Q_SLOTS:
    void init() { QVERIFY(openEditor()); }
    void cleanup() { endProgram(); }

    // The slots' arrows take no focus: Ctrl+Shift+I imports into the slot the focus is in.
    void theKeyImportsIntoTheSlotOfTheFocus() {
        withProducts();
        QString key;
        test::onNextModal([&](QWidget* dialog) {
            if (auto* screen = qobject_cast<TfrmImportaMagazzino*>(dialog)) key = screen->lblMemory->text();
            dialog->close();
        });
        slot('F')->txtPrezzo->setFocus();
        QVERIFY(test::pressKey(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier));
        QCOMPARE(key, QStringLiteral("prodotto_F"));
    }

    void importingIntoSlotCOfPageFiveChangesOnlySlotC() {
        withProducts();
        writePages({test::samplePage("1"), test::samplePage("2"), test::samplePage("3"), test::samplePage("4"),
                    test::samplePage("5")});
        const std::string pages = test::readBytes(archive());
        test::click(editor->cmdUltimo);
        QCOMPARE(editor->lblPosizione->text(), QStringLiteral("5"));
        const std::vector<SlotState> before = slotsNow();

        QVERIFY(withImport('C', [&](TfrmImportaMagazzino* screen) {
            QCOMPARE(screen->windowTitle(), QStringLiteral(" Importa prodotti da magazzino"));
            // Its rows are wider than a 1366-pixel screen: it opens as wide as the screen and can be resized.
            QCOMPARE(screen->frameGeometry().width(), screen->screen()->availableGeometry().width());
            QVERIFY(screen->minimumSize() != screen->maximumSize());
            QVERIFY(!(screen->windowFlags() & Qt::WindowCloseButtonHint));
            QCOMPARE(screen->lblMemory->text(), QStringLiteral("prodotto_C"));
            QVERIFY(screen->panAvvio->isVisible());
            QVERIFY(screen->txtCodice->hasFocus());
            QTest::keyClicks(screen->txtNome, "ciotola");
            test::click(screen->btnCerca);
            QCOMPARE(screen->model()->texts().size(), 1);
            test::doubleClickRow(screen, 0);
            QVERIFY(!screen->isVisible());
        }));
        PriceListSlotBox* c = slot('C');
        QCOMPARE(c->txtNome->text(), QStringLiteral("Ciotola in ceramica"));
        QCOMPARE(c->txtUM->text(), QStringLiteral("Ceramica bianca"));
        QCOMPARE(c->txtCaratteristiche->text(), QStringLiteral("Lavabile in lavastoviglie"));
        QCOMPARE(c->txtCodice->text(), QStringLiteral("CT-12"));
        QCOMPARE(c->txtPrezzo->text(), QStringLiteral("12,50"));
        QCOMPARE(editor->lblRecord->text(), QStringLiteral("3"));
        QVERIFY(test::mostlyRed(c->imgFoto->image()));

        std::vector<SlotState> expected = before;
        expected[2] = stateOf(c);
        QVERIFY(slotsNow() == expected);
        QCOMPARE(editor->lblPosizione->text(), QStringLiteral("5"));
        QVERIFY(test::readBytes(archive()) == pages);  // nothing is saved until the user saves
        QCOMPARE(run->messages.texts(), QStringList{});
    }

    // clang-format off
    void priceAndPhotoComeAsTheCardHasThem_data() {
        QTest::addColumn<QString>("price");  // as the product card stores it
        QTest::addColumn<bool>("photo");     // whether the card has a photo file
        QTest::newRow("a money text, with a photo") << "12,50" << true;
        QTest::newRow("no price, no photo") << "" << false;
        QTest::newRow("a price written by another tool") << "7,5" << false;
    }
    // clang-format on
    void priceAndPhotoComeAsTheCardHasThem() {
        QFETCH(QString, price);
        QFETCH(bool, photo);
        writeProducts({test::product("CT-12", "Ciotola", {{P::Prezzo, price.toStdString()}})});
        if (photo) test::writeColourPhoto(file("1.jpg"), QColor(210, 20, 20));
        slot('E')->txtPrezzo->setText(QStringLiteral("99,00"));
        QImage green(QSize(50, 40), QImage::Format_RGB32);
        green.fill(Qt::green);
        slot('E')->imgFoto->setImage(green);
        QVERIFY(importInto('E', QStringLiteral("Ciotola")));
        QCOMPARE(slot('E')->txtPrezzo->text(), price);  // neither formatted nor "0,00" in place of nothing
        if (photo) {
            QVERIFY(test::mostlyRed(slot('E')->imgFoto->image()));
        } else {
            QVERIFY(slot('E')->imgFoto->showsPlaceholder());
        }
        QCOMPARE(editor->lblRecord->text(), QStringLiteral("1"));
    }

    void identicalRowsFillTheSlotFromTheLaterCard() {
        // The same row in the list (code, name, category, stock, paid, due date, cost); not the same card.
        const ProductRecord first = test::product(
            "VS-30", "Vaso", {{P::UM, "Terracotta"}, {P::Caratteristiche, "Primo"}, {P::Prezzo, "10,00"}});
        writeProducts(
            {first, test::product("AA-1", "Annaffiatoio"),
             test::withFields(first, {{P::UM, "Gres"}, {P::Caratteristiche, "Secondo"}, {P::Prezzo, "11,00"}})});
        test::writeColourPhoto(file("1.jpg"), QColor(210, 20, 20));
        test::writeColourPhoto(file("3.jpg"), QColor(20, 20, 210));
        QVERIFY(withImport('B', [&](TfrmImportaMagazzino* screen) {
            QTest::keyClicks(screen->txtNome, "vaso");
            test::click(screen->btnCerca);
            const QStringList rows = screen->model()->texts();
            QCOMPARE(rows.size(), 2);
            QCOMPARE(rows[0], rows[1]);
            test::doubleClickRow(screen, 0);
        }));
        QCOMPARE(slot('B')->txtUM->text(), QStringLiteral("Gres"));
        QCOMPARE(slot('B')->txtCaratteristiche->text(), QStringLiteral("Secondo"));
        QCOMPARE(slot('B')->txtPrezzo->text(), QStringLiteral("11,00"));
        QCOMPARE(editor->lblRecord->text(), QStringLiteral("3"));
        QVERIFY(test::mostlyBlue(slot('B')->imgFoto->image()));
    }

    void everyArrowFillsItsOwnSlot() {
        std::vector<ProductRecord> products;
        for (int i = 1; i <= 7; ++i) {
            products.push_back(test::product("ART-" + std::to_string(i), "Articolo " + std::to_string(i)));
        }
        writeProducts(products);
        test::writeColourPhoto(file("1.jpg"), QColor(210, 20, 20));
        // Slot H takes the product already shown in slot A.
        for (int k = 0; k < 8; ++k) {
            const int product = k < 7 ? k + 1 : 1;
            QVERIFY(importInto(kLetters[k], QStringLiteral("Articolo %1").arg(product)));
        }
        for (int k = 0; k < 8; ++k) {
            const int product = k < 7 ? k + 1 : 1;
            QCOMPARE(slot(kLetters[k])->txtNome->text(), QStringLiteral("Articolo %1").arg(product));
            QCOMPARE(slot(kLetters[k])->txtCodice->text(), QStringLiteral("ART-%1").arg(product));
        }
        QVERIFY(test::mostlyRed(slot('A')->imgFoto->image()));
        QVERIFY(test::mostlyRed(slot('H')->imgFoto->image()));
        QVERIFY(slot('B')->imgFoto->showsPlaceholder());
        QCOMPARE(editor->lblRecord->text(), QStringLiteral("1"));
    }

    void closingWithoutChoosingChangesNothing() {
        withProducts();
        const std::vector<SlotState> before = slotsNow();
        QVERIFY(withImport('A', [](TfrmImportaMagazzino* screen) { test::click(screen->btnAnnulla); }));
        QVERIFY(withImport('A', [](TfrmImportaMagazzino* screen) {
            test::click(screen->btnCerca);
            QCOMPARE(screen->model()->texts().size(), 3);
            test::click(screen->btnChiudi);
        }));
        QVERIFY(slotsNow() == before);
        QVERIFY(editor->lblRecord->text().isEmpty());
        QCOMPARE(run->messages.texts(), QStringList{});
    }

    void theSlotIsNamedWithBlanksIgnored() {
        withProducts();
        // The key as another caller might write it; a key that names no slot fills nothing.
        for (const QString& key : {QStringLiteral(" prodotto_F "), QStringLiteral("prodotto_Z")}) {
            TfrmImportaMagazzino screen(run->registry, editor);
            screen.lblMemory->setText(key);
            QVERIFY(test::execWith<TfrmImportaMagazzino>(screen, [](TfrmImportaMagazzino& shown) {
                QTest::keyClicks(shown.txtCodice, "VS-40");
                test::click(shown.btnCerca);
                test::doubleClickRow(&shown, 0);
            }));
        }
        QCOMPARE(slot('F')->txtNome->text(), QStringLiteral("Vaso in resina"));
        for (char l : {'A', 'B', 'C', 'D', 'E', 'G', 'H'}) QVERIFY(slot(l)->txtNome->text().isEmpty());
        QCOMPARE(run->messages.texts(), QStringList{});
    }
};

QTEST_MAIN(PriceListImportTest)
#include "PriceListImportTest.moc"
