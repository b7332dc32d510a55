#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "movements/MovementCardScreen.h"
#include "movements/MovementDirection.h"
#include "movements/ProductPicker.h"
#include "movements/StockPicker.h"
#include "products/FrameSource.h"
#include "products/ProductCard.h"
#include "products/TfrmWebCam.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "support/RenderedBarcode.h"
#include "ui/PhotoBox.h"
#include "ui/RowListModel.h"
#include "ui/Widgets.h"

using namespace scortavia;
namespace fs = std::filesystem;

namespace {

using P = ProductLayout;

const QString kNothingPicked =
    QStringLiteral("Attenzione: selezionare un articolo dall'elenco prima di premere il pulsante di importazione.");
const QString kNotANumber = QString::fromUtf8(
    "Attenzione: la quantità indicata, o la giacenza registrata nella scheda del prodotto, non è un numero.\n\n"
    "La giacenza del prodotto non è stata modificata.");
const QString kCodeChanged = QString::fromUtf8(
    "Attenzione: la scheda del prodotto scelto è stata modificata da un'altra postazione e non contiene più lo "
    "stesso codice articolo.\n\nLa giacenza non è stata modificata: scegliere di nuovo l'articolo dall'elenco.");
const QString kNoAccess = QString::fromUtf8(
    "Attenzione: il sistema non permette di accedere all'archivio dei prodotti.\n\n"
    "La giacenza del prodotto non è stata modificata.");
const QString kStockOutOfRange = QString::fromUtf8(kMsgStockOutOfRange.data());
const QString kQuantityTooLong = QString::fromUtf8(
    "Attenzione: la quantità indicata supera i 15 caratteri che la scheda dell'operazione può contenere.\n\n"
    "La giacenza del prodotto non è stata modificata.");
const QString kRowGone = QString::fromUtf8(
    "Attenzione: nell'archivio dei prodotti non c'è più un articolo con il codice di questa riga: la sua scheda è "
    "stata modificata da un'altra postazione.\n\nL'elenco è stato aggiornato: scegliere di nuovo l'articolo.");
const QString kRowAmbiguous = QString::fromUtf8(
    "Attenzione: la scheda dell'articolo di questa riga è stata modificata da un'altra postazione e ora più "
    "articoli con lo stesso codice corrispondono alla riga.\n\nL'elenco è stato aggiornato: scegliere di nuovo "
    "l'articolo.");

// The product every import test picks: second in the archive, second in the list (A-0, VT-01, Z-9).
constexpr int kPickedRow = 1;
constexpr std::size_t kPickedIndex = 1;

ProductRecord picked(const std::string& stock) {
    return test::product("VT-01", "Vite",
                         {{P::Giacenza, stock},
                          {P::Costo, "0,25"},
                          {P::Prezzo, "0,40"},
                          {P::Tipologia, "Ferramenta"},
                          {P::Caratteristiche, "Inox A2"}});
}

// The picked product between two others, so a move that spills into a neighbour shows.
std::vector<ProductRecord> products(const std::string& stock) {
    return {test::product("Z-9", "Zanca", {{P::Giacenza, "4"}}), picked(stock),
            test::product("A-0", "Ancora", {{P::Giacenza, "1"}})};
}

// Clicks a row of the list with the mouse, as a user picks a product.
void clickRow(ProductPicker* picker, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QPoint centre = picker->lstRecords->visualRect(picker->model()->index(row)).center();
    QTest::mouseClick(picker->lstRecords->viewport(), Qt::LeftButton, modifiers, centre);
}

// What a refused import is given instead of a working archive.
enum class Fault { None, CodeChanged, Immutable, Folder };

// Makes a file immutable, even to root, for as long as it lives.
class Immutable final {
public:
    explicit Immutable(fs::path file) : file_(std::move(file)) { made_ = run("+i") == 0; }
    ~Immutable() {
        if (made_) run("-i");
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool made() const { return made_; }

private:
    int run(const char* flag) const {
        return std::system(("chattr " + std::string(flag) + " '" + file_.string() + "' 2>/dev/null").c_str());
    }
    fs::path file_;
    bool made_ = false;
};

// A camera that shows what the test holds up to it; its frames reach the dialog queued, as a real one's.
class HeldUpCamera final : public FrameSource {
public:
    explicit HeldUpCamera(bool works) : works_(works) {}
    bool start() override { return on_ = works_; }
    void stop() override { on_ = false; }
    bool running() const override { return on_; }
    void holdUp(const QImage& frame) { Q_EMIT frameArrived(frame); }

private:
    bool works_;
    bool on_ = false;
};

// A barcode drawn by Zint in the middle of a camera's frame.
QImage frameWith(int symbology, const std::string& code) {
    const test::GreyPicture bars = test::renderBarcode(symbology, code);
    QImage frame(640, 480, QImage::Format_RGB32);
    frame.fill(Qt::white);
    QImage drawn(bars.width, bars.height, QImage::Format_Grayscale8);
    for (int y = 0; y < bars.height; ++y) {
        std::copy_n(bars.pixels.begin() + static_cast<std::ptrdiff_t>(y) * bars.width, bars.width, drawn.scanLine(y));
    }
    QPainter(&frame).drawImage((640 - bars.width) / 2, (480 - bars.height) / 2, drawn);
    return frame;
}

}  // namespace

class ProductPickerTest : public QObject, private test::MovementCardFixture {
    Q_OBJECT

    bool openFetched() {
        QFETCH(Direction, direction);
        return openCard(direction);
    }
    // Opens the picker from the card and lets `steps` drive it while it is shown.
    void openPicker(const std::function<void(ProductPicker*)>& steps) {
        QVERIFY(test::withModal<ProductPicker>(card->btnImpEsame, steps));
    }
    std::string productBytes() const { return test::readBytes(run->productArchive()); }
    // The archive of `before` with the picked product's stock replaced.
    static std::string withStock(std::vector<ProductRecord> before, const std::string& stock) {
        before[kPickedIndex].setText(P::Giacenza, stock);
        return test::archiveBytes(before);
    }
    // Picks the product and imports `quantity` (typed, when given); whether the picker stayed open.
    bool importPicked(const std::optional<QString>& quantity) {
        bool stillOpen = true;
        openPicker([&](ProductPicker* picker) {
            clickRow(picker, kPickedRow);
            if (quantity) test::typeText(picker->txtQuant, *quantity);
            test::click(picker->btnImporta);
            stillOpen = picker->isVisible();
        });
        return stillOpen;
    }

private Q_SLOTS:
    void cleanup() { endProgram(); }

    // clang-format off
    void listsTheStockedProductsByCode_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QStringList>("endings");
        QTest::newRow("carico") << Direction::GoodsIn
                                << QStringList{"  Costo: € 0,25", "  Costo: € 3,10", "  Costo: € 1,00"};
        QTest::newRow("scarico") << Direction::GoodsOut
                                 << QStringList{"  Prezzo: € 0,40", "  Prezzo: € 4,90", "  Prezzo: € 1,50"};
    }
    // clang-format on
    void listsTheStockedProductsByCode() {
        QFETCH(QStringList, endings);
        QVERIFY(openFetched());
        run->writeProducts({
            test::product("C-3", "Chiave", {{P::Giacenza, "5"}, {P::Costo, "3,10"}, {P::Prezzo, "4,90"}}),
            test::product("A-1", "Vite", {{P::Giacenza, "12"}, {P::Costo, "0,25"}, {P::Prezzo, "0,40"}}),
            test::product("B-2", "Tassello", {{P::Giacenza, ""}}),
            test::product("D-4", "Nastro", {{P::Giacenza, "0"}, {P::Costo, "1,00"}, {P::Prezzo, "1,50"}}),
            test::product("E-5", "Rondella", {{P::Giacenza, "  "}}),
        });
        QStringList rows;
        openPicker([&](ProductPicker* picker) {
            rows = picker->model()->texts();
            QVERIFY(!picker->btnImporta->isEnabled());
            QVERIFY(picker->txtTrova->hasFocus());
        });
        QCOMPARE(rows.size(), 3);
        const QStringList codes = {"A-1", "C-3", "D-4"};
        for (int i = 0; i < rows.size(); ++i) {
            QVERIFY2(rows[i].startsWith("Cod. " + codes[i] + " "), qPrintable(rows[i]));
            QVERIFY2(rows[i].endsWith(endings[i]), qPrintable(rows[i]));
        }
    }

    void theCardsQuantityIsCarriedOver_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("onCard");
        QTest::addColumn<QString>("inPicker");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            QTest::addRow("%s: 7", row.tag) << row.direction << "7"
                                            << "7";
            QTest::addRow("%s: trimmed", row.tag) << row.direction << " 12 "
                                                  << "12";
            QTest::addRow("%s: blank", row.tag) << row.direction << "  "
                                                << "0";
        }
    }
    void theCardsQuantityIsCarriedOver() {
        QFETCH(QString, onCard);
        QFETCH(QString, inPicker);
        QVERIFY(openFetched());
        run->writeProducts(products("12"));
        card->txtQuant->setText(onCard);
        QString shown;
        openPicker([&](ProductPicker* picker) { shown = picker->txtQuant->text(); });
        QCOMPARE(shown, inPicker);
    }

    void aClickPicksAndAKeyInTheFindBoxDrops_data() { test::directionTable(); }
    void aClickPicksAndAKeyInTheFindBoxDrops() {
        QVERIFY(openFetched());
        run->writeProducts(products("12"));
        openPicker([&](ProductPicker* picker) {
            clickRow(picker, kPickedRow);
            QCOMPARE(picker->txtCodice->text(), QStringLiteral("VT-01"));
            QCOMPARE(picker->txtNome->text(), QStringLiteral("Vite"));
            QCOMPARE(picker->txtGiacenza->text(), QStringLiteral("12"));
            QCOMPARE(picker->lblPosizione->text(), QStringLiteral("2"));
            QVERIFY(picker->btnImporta->isEnabled());
            clickRow(picker, 0);
            QCOMPARE(picker->txtCodice->text(), QStringLiteral("A-0"));
            QCOMPARE(picker->lblPosizione->text(), QStringLiteral("3"));
            picker->txtTrova->setFocus();
            QTest::keyClick(picker->txtTrova, Qt::Key_V);
            QCOMPARE(picker->txtTrova->text(), QStringLiteral("v"));
            QVERIFY(picker->txtCodice->text().isEmpty());
            QVERIFY(picker->txtNome->text().isEmpty());
            QVERIFY(picker->txtGiacenza->text().isEmpty());
            QVERIFY(picker->lblPosizione->text().isEmpty());
            QVERIFY(!picker->btnImporta->isEnabled());
        });
        QVERIFY(run->messages.shown.empty());
    }

    // A click with Ctrl on the picked row takes its selection away but leaves the pick on show.
    void importWithNoRowSelectedIsRefused_data() { test::directionTable(); }
    void importWithNoRowSelectedIsRefused() {
        QVERIFY(openFetched());
        run->writeProducts(products("12"));
        const std::string before = productBytes();
        bool stillOpen = false;
        openPicker([&](ProductPicker* picker) {
            clickRow(picker, kPickedRow);
            clickRow(picker, kPickedRow, Qt::ControlModifier);
            QVERIFY(!picker->selectedRow());
            test::click(picker->btnImporta);
            stillOpen = picker->isVisible();
        });
        QVERIFY(stillOpen);
        QCOMPARE(run->messages.texts(), QStringList{kNothingPicked});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(productBytes(), before);
        QVERIFY(card->txtCodice->text().isEmpty());
    }

    // clang-format off
    void importMovesTheStockAndFillsTheCard_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("newStock");
        QTest::addColumn<QString>("cardQuantity");
        QTest::addColumn<QString>("cardUnit");
        QTest::newRow("carico: 12 + 5") << Direction::GoodsIn << "12" << "5" << "17" << "5" << "0,25";
        QTest::newRow("scarico: 3 - 5") << Direction::GoodsOut << "3" << "5" << "-2" << "5" << "0,40";
        QTest::newRow("carico: no quantity") << Direction::GoodsIn << "12" << "" << "12" << "0" << "0,25";
        QTest::newRow("scarico: no quantity") << Direction::GoodsOut << "12" << "" << "12" << "0" << "0,40";
        QTest::newRow("carico: 12 + 2,5") << Direction::GoodsIn << "12" << "2,5" << "14,5" << "2,5" << "0,25";
        QTest::newRow("scarico: 12 - 2,5") << Direction::GoodsOut << "12" << "2,5" << "9,5" << "2,5" << "0,40";
        // As long as the card's quantity box, once trimmed.
        QTest::newRow("carico: 15 characters") << Direction::GoodsIn << "12" << "000000000000005" << "17"
                                               << "000000000000005" << "0,25";
        QTest::newRow("scarico: 15 characters in blanks") << Direction::GoodsOut << "12" << "   000000000000005   "
                                                          << "7" << "000000000000005" << "0,40";
    }
    // clang-format on
    void importMovesTheStockAndFillsTheCard() {
        QFETCH(QString, stock);
        QFETCH(QString, quantity);
        QFETCH(QString, newStock);
        QFETCH(QString, cardQuantity);
        QFETCH(QString, cardUnit);
        QVERIFY(openFetched());
        const std::vector<ProductRecord> before = products(stock.toStdString());
        run->writeProducts(before);
        card->txtCostoTot->setText("9,99");
        QVERIFY(!importPicked(quantity));
        QVERIFY(run->messages.shown.empty());
        QCOMPARE(productBytes(), withStock(before, newStock.toStdString()));
        QCOMPARE(card->txtCodice->text(), QStringLiteral("VT-01"));
        QCOMPARE(card->txtTipologia->text(), QStringLiteral("Ferramenta"));
        QCOMPARE(card->txtMarca->text(), QStringLiteral("Vite"));
        QCOMPARE(card->txtDescrizione->text(), QStringLiteral("Inox A2"));
        QCOMPARE(card->txtCostoUni->text(), cardUnit);
        QCOMPARE(card->txtQuant->text(), cardQuantity);
        QCOMPARE(card->txtCostoTot->text(), QStringLiteral("9,99"));
        QVERIFY(card->lblPosizione->text().isEmpty());
    }

    // A long name and features, copied into the card, show how they start.
    void importedLongTextsShowTheirStart_data() { test::directionTable(); }
    void importedLongTextsShowTheirStart() {
        QVERIFY(openFetched());
        std::vector<ProductRecord> stored = products("12");
        stored[kPickedIndex].setText(P::Nome, test::kLongText);
        stored[kPickedIndex].setText(P::Caratteristiche, test::kLongText);
        run->writeProducts(stored);
        QVERIFY(!importPicked(std::nullopt));
        for (QLineEdit* box : {card->txtMarca, card->txtDescrizione}) {
            QVERIFY(box->text().startsWith(QStringLiteral("Inizio del testo")));
            QVERIFY2(test::showsItsStart(box), qPrintable(box->objectName()));
        }
    }

    // The second opening takes the card's quantity, which the first import put there.
    void importingTwiceMovesTwice_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("newStock");
        QTest::newRow("carico") << Direction::GoodsIn << "14";
        QTest::newRow("scarico") << Direction::GoodsOut << "6";
    }
    void importingTwiceMovesTwice() {
        QFETCH(QString, newStock);
        QVERIFY(openFetched());
        const std::vector<ProductRecord> before = products("10");
        run->writeProducts(before);
        QVERIFY(!importPicked(QStringLiteral("2")));
        QVERIFY(!importPicked(std::nullopt));
        QCOMPARE(productBytes(), withStock(before, newStock.toStdString()));
        QVERIFY(run->messages.shown.empty());
    }

    void identicalRowsMoveOnlyTheLaterRecord_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("newStock");
        QTest::newRow("carico") << Direction::GoodsIn << "13";
        QTest::newRow("scarico") << Direction::GoodsOut << "7";
    }
    void identicalRowsMoveOnlyTheLaterRecord() {
        QFETCH(QString, newStock);
        QVERIFY(openFetched());
        // Told apart only by a field no row shows.
        const ProductRecord first = test::withFields(picked("10"), {{P::Note, "primo"}});
        const ProductRecord other = test::product("A-0", "Ancora", {{P::Giacenza, "1"}});
        const ProductRecord second = test::withFields(picked("10"), {{P::Note, "secondo"}});
        run->writeProducts({first, other, second});
        QStringList rows;
        QString position;
        openPicker([&](ProductPicker* picker) {
            rows = picker->model()->texts();
            clickRow(picker, 1);
            position = picker->lblPosizione->text();
            test::typeText(picker->txtQuant, "3");
            test::click(picker->btnImporta);
        });
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1], rows[2]);
        QCOMPARE(position, QStringLiteral("3"));
        const ProductRecord moved = test::withFields(second, {{P::Giacenza, newStock.toStdString()}});
        QCOMPARE(productBytes(), test::archiveBytes(std::vector{first, other, moved}));
    }

    void refusedImportsChangeNothing_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("warning");
        QTest::newRow("carico: beyond 9999") << Direction::GoodsIn << "9998"
                                             << "5" << Fault::None << kStockOutOfRange;
        QTest::newRow("scarico: below -999") << Direction::GoodsOut << "-998"
                                             << "5" << Fault::None << kStockOutOfRange;
        for (const test::DirectionRow& row : test::kDirectionRows) {
            QTest::addRow("%s: words in the quantity", row.tag) << row.direction << "12"
                                                                << "3 pezzi" << Fault::None << kNotANumber;
            // The card's quantity box holds 15 characters: it would keep "000000000000000".
            QTest::addRow("%s: quantity longer than the card's box", row.tag)
                << row.direction << "12"
                << "0000000000000005" << Fault::None << kQuantityTooLong;
            QTest::addRow("%s: decimals longer than the card's box", row.tag)
                << row.direction << "12"
                << "2,50000000000000" << Fault::None << kQuantityTooLong;
            QTest::addRow("%s: code changed since the click", row.tag) << row.direction << "12"
                                                                       << "5" << Fault::CodeChanged << kCodeChanged;
            QTest::addRow("%s: archive immutable", row.tag) << row.direction << "12"
                                                            << "5" << Fault::Immutable << kNoAccess;
            QTest::addRow("%s: archive replaced by a folder", row.tag) << row.direction << "12"
                                                                       << "5" << Fault::Folder << kNoAccess;
        }
    }
    void refusedImportsChangeNothing() {
        QFETCH(QString, stock);
        QFETCH(QString, quantity);
        QFETCH(Fault, fault);
        QFETCH(QString, warning);
        QVERIFY(openFetched());
        run->writeProducts(products(stock.toStdString()));
        const fs::path archive = run->productArchive();
        if (fault == Fault::Immutable && !Immutable(archive).made()) {
            QSKIP("this filesystem cannot make a file immutable");
        }
        std::string expected = productBytes();
        std::unique_ptr<Immutable> locked;
        const fs::path aside = archive.string() + ".aside";
        bool stillOpen = false;
        bool folderKept = false;
        QString shownStock;
        openPicker([&](ProductPicker* picker) {
            clickRow(picker, kPickedRow);
            test::typeText(picker->txtQuant, quantity);
            switch (fault) {
                case Fault::None:
                    break;
                case Fault::CodeChanged: {
                    std::vector<ProductRecord> changed = products(stock.toStdString());
                    changed[kPickedIndex].setText(P::Codice, "VT-02");
                    run->writeProducts(changed);
                    expected = productBytes();
                    break;
                }
                case Fault::Immutable:
                    locked = std::make_unique<Immutable>(archive);
                    break;
                case Fault::Folder:
                    fs::rename(archive, aside);
                    fs::create_directory(archive);
                    break;
            }
            test::click(picker->btnImporta);
            stillOpen = picker->isVisible();
            shownStock = picker->txtGiacenza->text();
            folderKept = fs::is_directory(archive) && fs::is_empty(archive);
        });
        locked.reset();
        if (fault == Fault::Folder) {
            QVERIFY(folderKept);
            fs::remove(archive);
            fs::rename(aside, archive);
        }
        QVERIFY(stillOpen);
        QCOMPARE(run->messages.texts(), QStringList{warning});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(productBytes(), expected);
        QCOMPARE(shownStock, stock);
        QVERIFY(card->txtCodice->text().isEmpty());
        QCOMPARE(card->txtQuant->text(), QStringLiteral("0"));
    }

    // Another copy of the program moves the stock of a listed product: its row no longer matches the record. A
    // click on it shows the product as stored now, in the row and above the list, keeps the row selected, and the
    // import moves the stock from there.
    void aStaleRowIsRefreshedByItsClick_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("newStock");
        QTest::newRow("carico") << Direction::GoodsIn << "25";    // 12 + 8 elsewhere + 5 here
        QTest::newRow("scarico") << Direction::GoodsOut << "15";  // 12 + 8 elsewhere - 5 here
    }
    void aStaleRowIsRefreshedByItsClick() {
        QFETCH(QString, newStock);
        QVERIFY(openFetched());
        const std::vector<ProductRecord> before = products("12");
        run->writeProducts(before);
        QStringList listed;
        QStringList refreshed;
        std::optional<std::size_t> selected;
        int scrolled = 0;
        QStringList pickedShown;
        bool importable = false;
        openPicker([&](ProductPicker* picker) {
            listed = picker->model()->texts();
            QCOMPARE(moveProductStock(run->productArchive(), 2, "VT-01", "8", kGoodsIn).outcome,
                     StockMoveOutcome::Moved);
            // Scrolled sideways to the stock, where the user is looking.
            QScrollBar* sideways = picker->lstRecords->horizontalScrollBar();
            sideways->setValue(sideways->maximum() / 2);
            QVERIFY(sideways->value() > 0);
            scrolled = sideways->value();
            clickRow(picker, kPickedRow);
            refreshed = picker->model()->texts();
            selected = picker->selectedRow();
            QApplication::processEvents();
            QCOMPARE(sideways->value(), scrolled);
            pickedShown = {picker->txtCodice->text(), picker->txtNome->text(), picker->txtGiacenza->text(),
                           picker->lblPosizione->text()};
            importable = picker->btnImporta->isEnabled();
            test::typeText(picker->txtQuant, "5");
            test::click(picker->btnImporta);
        });
        QVERIFY(run->messages.shown.empty());
        std::string row;
        appendPickerRow(row, picked("20").view(), texts());
        QStringList expected = listed;
        expected[kPickedRow] = QString::fromStdString(row);
        QCOMPARE(refreshed, expected);
        QVERIFY(refreshed[kPickedRow].contains(QStringLiteral("  Giac. 20    ")));
        QCOMPARE(selected, std::optional<std::size_t>(kPickedIndex));
        QCOMPARE(pickedShown, (QStringList{"VT-01", "Vite", "20", "2"}));
        QVERIFY(importable);
        QCOMPARE(productBytes(), withStock(before, newStock.toStdString()));
        QCOMPARE(card->txtCodice->text(), QStringLiteral("VT-01"));
        QCOMPARE(card->txtQuant->text(), QStringLiteral("5"));
    }

    // A row that no product matches any more, by its code or by the rest of it, is said; the list is filled again
    // from the archive, and a click on the fresh row picks the product.
    void aRowNoProductMatchesIsSaidAndTheListFilledAgain_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<bool>("twins");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("pickedAfter");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            // The other copy gave the product another code.
            QTest::addRow("%s: code changed", row.tag) << row.direction << false << kRowGone << "VT-02 13";
            // Two products of one code, told apart only by their stock, and one of them moved.
            QTest::addRow("%s: twins", row.tag) << row.direction << true << kRowAmbiguous << "VT-01 13";
        }
    }
    void aRowNoProductMatchesIsSaidAndTheListFilledAgain() {
        QFETCH(bool, twins);
        QFETCH(QString, warning);
        QFETCH(QString, pickedAfter);
        QVERIFY(openFetched());
        std::vector<ProductRecord> stored = products("12");
        if (twins) stored.push_back(picked("14"));
        run->writeProducts(stored);
        stored[kPickedIndex].setText(P::Giacenza, "13");
        if (!twins) stored[kPickedIndex].setText(P::Codice, "VT-02");
        QStringList messagesAtClick;
        QStringList reloaded;
        bool selectedAtClick = true;
        bool importable = true;
        QString pickedNow;
        bool stillOpen = false;
        openPicker([&](ProductPicker* picker) {
            run->writeProducts(stored);
            clickRow(picker, kPickedRow);
            messagesAtClick = run->messages.texts();
            reloaded = picker->model()->texts();
            selectedAtClick = picker->selectedRow().has_value();
            importable = picker->btnImporta->isEnabled();
            clickRow(picker, kPickedRow);
            pickedNow = picker->txtCodice->text() + " " + picker->txtGiacenza->text();
            stillOpen = picker->isVisible();
        });
        QCOMPARE(messagesAtClick, QStringList{warning});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        RowList fresh;
        QVERIFY(fillPickerList(run->productArchive(), texts(), fresh).ok());
        QStringList expected;
        for (std::size_t i = 0; i < fresh.size(); ++i) expected << QString::fromStdString(std::string(fresh[i]));
        QCOMPARE(reloaded, expected);
        QVERIFY(!selectedAtClick);
        QVERIFY(!importable);
        QCOMPARE(pickedNow, pickedAfter);
        QVERIFY(stillOpen);
        QCOMPARE(run->messages.shown.size(), std::size_t(1));
    }

    // A barcode scanner types the code within milliseconds and ends it with Enter, into whatever control
    // has the focus: the box gets back what it held, the product is picked and the quantity is next.
    void aScannedCodePicksItsProductAndMovesToTheQuantity_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("newStock");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            const QString stock = row.direction == Direction::GoodsIn ? "15" : "9";
            QTest::addRow("%s: find box", row.tag) << row.direction << "txtTrova"
                                                   << "zan" << stock;
            QTest::addRow("%s: list", row.tag) << row.direction << "lstRecords"
                                               << "" << stock;
            QTest::addRow("%s: quantity", row.tag) << row.direction << "txtQuant"
                                                   << "0" << stock;
        }
    }
    void aScannedCodePicksItsProductAndMovesToTheQuantity() {
        QFETCH(QString, focus);
        QFETCH(QString, held);
        QFETCH(QString, newStock);
        QVERIFY(openFetched());
        run->writeProducts(products("12"));
        openPicker([&](ProductPicker* picker) {
            auto* target = picker->findChild<QWidget*>(focus);
            QVERIFY(target);
            if (auto* box = qobject_cast<QLineEdit*>(target)) box->setText(held);
            clickRow(picker, 0);  // another product picked before: the scan replaces it
            target->setFocus();
            QTest::keyClicks(target, "vt-01");
            QTest::keyClick(target, Qt::Key_Return);
            QCOMPARE(picker->selectedRow(), std::optional<std::size_t>(kPickedIndex));
            QCOMPARE(picker->txtCodice->text(), QStringLiteral("VT-01"));
            QCOMPARE(picker->lblPosizione->text(), QStringLiteral("2"));
            QVERIFY(picker->btnImporta->isEnabled());
            QVERIFY(picker->txtQuant->hasFocus());
            if (auto* box = qobject_cast<QLineEdit*>(target); box && box != picker->txtQuant) {
                QCOMPARE(box->text(), held);
            }
            QTest::keyClicks(picker->txtQuant, "3");  // over the quantity shown, all selected
            test::click(picker->btnImporta);
        });
        QVERIFY(run->messages.shown.empty());
        QCOMPARE(productBytes(), withStock(products("12"), newStock.toStdString()));
        QCOMPARE(card->txtQuant->text(), QStringLiteral("3"));
    }

    // Typed by hand, a code is a find text as ever, whose Enter moves on to Trova. A scanned code no product
    // has is said so and picks nothing; it stays typed, since fast keys may be a person's after all.
    void handTypingAndUnknownCodesPickNothing_data() { test::directionTable(); }
    void handTypingAndUnknownCodesPickNothing() {
        QVERIFY(openFetched());
        run->writeProducts(products("12"));
        openPicker([&](ProductPicker* picker) {
            QTest::keyClicks(picker->txtTrova, "vt-01", Qt::NoModifier, 80);
            QTest::keyClick(picker->txtTrova, Qt::Key_Return, Qt::NoModifier, 80);
            QCOMPARE(picker->txtTrova->text(), QStringLiteral("vt-01"));
            QVERIFY(picker->btnTrova->hasFocus());
            QVERIFY(!picker->btnImporta->isEnabled());
            QVERIFY(run->messages.shown.empty());

            // Two keys are too few for a code: a fast "vt" and Enter is a find text.
            picker->txtTrova->clear();
            picker->txtTrova->setFocus();
            QTest::keyClicks(picker->txtTrova, "vt");
            QTest::keyClick(picker->txtTrova, Qt::Key_Return);
            QCOMPARE(picker->txtTrova->text(), QStringLiteral("vt"));
            QVERIFY(picker->btnTrova->hasFocus());
            QVERIFY(run->messages.shown.empty());

            picker->txtTrova->clear();
            picker->txtTrova->setFocus();
            QTest::keyClicks(picker->txtTrova, "VT-0");  // a part of a code is not the code
            QTest::keyClick(picker->txtTrova, Qt::Key_Return);
            QCOMPARE(picker->txtTrova->text(), QStringLiteral("VT-0"));
            QVERIFY(picker->btnTrova->hasFocus());
            QVERIFY(picker->txtCodice->text().isEmpty());
            QVERIFY(!picker->btnImporta->isEnabled());
        });
        QCOMPARE(run->messages.texts(), QStringList{QString::fromUtf8("Nessun prodotto con il codice «VT-0».")});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(productBytes(), test::archiveBytes(products("12")));
    }

    // «Scansiona» reads the barcode the webcam sees: a code no product has is said on the dialog's status line
    // while the camera goes on looking; a product's code picks it, as a scanner at the keyboard would.
    void theWebcamReadsTheProductsBarcode_data() { test::directionTable(); }
    void theWebcamReadsTheProductsBarcode() {
        QVERIFY(openFetched());
        std::vector<ProductRecord> stored = products("12");
        stored[kPickedIndex].setText(P::Codice, "4006381333931");
        run->writeProducts(stored);
        HeldUpCamera* camera = nullptr;
        FrameSource::setFactoryForTesting([&camera] {
            auto made = std::make_unique<HeldUpCamera>(true);
            camera = made.get();
            return made;
        });
        bool closedByTheCode = false;
        openPicker([&](ProductPicker* picker) {
            QVERIFY(test::withModal<TfrmWebCam>(picker->btnScansiona, [&](TfrmWebCam* webcam) {
                QVERIFY(!webcam->imgTarget->isVisible());
                QVERIFY(!webcam->btnImportaFoto->isVisible());
                QTRY_VERIFY(camera && camera->running());
                camera->holdUp(frameWith(BARCODE_CODE128, "Z-99"));
                QTRY_VERIFY(webcam->lblStato->text().contains(QString::fromUtf8("«Z-99»")));
                QVERIFY(webcam->isVisible());
                QTest::qWait(200);  // frames are read a few times a second
                camera->holdUp(frameWith(BARCODE_EANX, "400638133393"));
                QTRY_VERIFY(!webcam->isVisible());
                closedByTheCode = webcam->result() == QDialog::Accepted;
                QVERIFY(!camera->running());
            }));
            QVERIFY(closedByTheCode);
            QCOMPARE(picker->txtCodice->text(), QStringLiteral("4006381333931"));
            QCOMPARE(picker->lblPosizione->text(), QStringLiteral("2"));
            QVERIFY(picker->btnImporta->isEnabled());
            QCOMPARE(picker->focusWidget(), picker->txtQuant);
        });
        FrameSource::setFactoryForTesting({});
        QVERIFY(run->messages.shown.empty());
    }

    void withoutACameraScansionaSaysSo() {
        QVERIFY(openCard(Direction::GoodsOut));
        run->writeProducts(products("12"));
        FrameSource::setFactoryForTesting([] { return std::make_unique<HeldUpCamera>(false); });
        openPicker([&](ProductPicker* picker) {
            test::click(picker->btnScansiona);
            QVERIFY(picker->txtCodice->text().isEmpty());
        });
        FrameSource::setFactoryForTesting({});
        QCOMPARE(run->messages.texts(),
                 QStringList{QString::fromUtf8("Attenzione: nessuna webcam è disponibile su questo computer, oppure la "
                                               "webcam è già in uso da un altro programma.\n\nCollegare una webcam "
                                               "e riprovare.")});
    }

    void printsTheList_data() { test::directionTable(); }
    void printsTheList() {
        QVERIFY(openFetched());
        run->writeProducts(products("12"));
        QStringList shown;
        openPicker([&](ProductPicker* picker) {
            shown = picker->model()->texts();
            test::click(picker->btnStampa);
        });
        QCOMPARE(shown.size(), 3);
        QCOMPARE(run->printer.jobs.size(), std::size_t(1));
        QCOMPARE(run->printer.jobs[0].text("txtTitolo"), QStringLiteral("Riepilogo merce in magazzino"));
        QCOMPARE(run->printer.jobs[0].linesOnAllPages("txtRiepilogo"), shown);
    }
};

QTEST_MAIN(ProductPickerTest)
#include "ProductPickerTest.moc"
