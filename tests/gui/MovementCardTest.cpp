#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "labels/TfrmEtichette.h"
#include "movements/MovementCardScreen.h"
#include "movements/MovementDirection.h"
#include "movements/MovementListScreens.h"
#include "movements/MovementYearMenu.h"
#include "shell/TfrmAvvio.h"
#include "storage/CardProtocol.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/QtText.h"
#include "ui/TfrmAllegaCartella.h"
#include "ui/TfrmCalendario.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

using M = MovementLayout;

constexpr std::size_t kRecord = MovementRecord::kSize;

const QString kInserted = QString::fromUtf8("La scheda corrente è stata inserita in archivio.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");

QString today() { return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")); }

// The bytes of the still-to-be-paid flag inside a stored record: length, then "Sì" or "No" in Windows-1252.
std::string flagBytes(const std::string& archive, std::size_t index) {
    return archive.substr(index * kRecord + MovementRecord::Info::offset(M::DaSaldare), 3);
}

}  // namespace

class MovementCardTest : public QObject, private test::MovementCardFixture {
    Q_OBJECT

    QStringList messages() const { return run->messages.texts(); }
    bool openFetched() {
        QFETCH(Direction, direction);
        return openCard(direction);
    }
    // Movements "Ditta 1" / "M1", "Ditta 2" / "M2", ... in archive order.
    std::vector<MovementRecord> withMovements(int count) {
        std::vector<MovementRecord> movements;
        for (int i = 1; i <= count; ++i) {
            movements.push_back(test::movement("Ditta " + std::to_string(i), "M" + std::to_string(i)));
        }
        run->writeMovements(cardYear, cardDirection, movements);
        return movements;
    }
    // Every box the card cannot be saved without (the date box keeps today's date).
    void fillMandatory() {
        card->txtFornitore->setText("Forniture Rossi");
        card->txtCodice->setText("VT-01");
        card->txtTipologia->setText("Ferramenta");
        card->txtDescrizione->setText("Vite inox");
    }
    std::array<QLineEdit*, 13> boxes() const {
        MovementCardScreen* c = card;
        return {c->txtFornitore, c->txtRecapiti,  c->txtNumDoc, c->txtDataDoc,     c->txtData,
                c->txtCodice,    c->txtTipologia, c->txtMarca,  c->txtDescrizione, c->txtCostoUni,
                c->txtQuant,     c->txtCostoTot,  c->txtNote};
    }
    QStringList boxTexts() const {
        QStringList texts;
        for (QLineEdit* box : boxes()) texts << box->text();
        return texts;
    }
    std::array<QLabel*, 6> attachmentLabels() const {
        MovementCardScreen* c = card;
        return {c->lblFile01, c->lblFile02, c->lblFile03, c->lblDesc01, c->lblDesc02, c->lblDesc03};
    }
    bool attachmentsEmpty() const {
        for (QLabel* label : attachmentLabels()) {
            if (!label->text().isEmpty()) return false;
        }
        return true;
    }
    // Enter in `from` hands the focus to `to`.
    static bool enterMovesTo(QWidget* from, QWidget* to) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Return);
        return QApplication::focusWidget() == to;
    }
    // Opens the year menu again from the main menu and the same year's card from it; true once the card is
    // shown and active.
    bool reopenFromTheMainMenu() {
        for (const TfrmAvvio::Tile& tile : run->menu()->tiles) {
            if (tile.target == toQString(texts().menuName)) test::click(tile.picture);
        }
        auto* yearMenu = run->screen<MovementYearMenu>(texts().menuName.data());
        test::typeText(yearMenu->txtAnnoLavoro, cardYear);
        test::click(yearMenu->btnApriLavoro);
        // Asked of the application: Qt Test counts the window active before the widgets know it.
        return card->isVisible() && QTest::qWaitFor([this] { return QApplication::activeWindow() == card; });
    }

private Q_SLOTS:
    void cleanup() { endProgram(); }

    void showsANewCardEachTime_data() { test::directionTable(); }
    void showsANewCardEachTime() {
        QVERIFY(openFetched());
        // In record order: Fornitore, Recapiti, NumDoc, DataDoc, Data, Codice ... CostoUni, Quant, CostoTot, Note.
        const QStringList fresh = {"", "", "", "", today(), "", "", "", "", "0,00", "0", "0,00", ""};
        QCOMPARE(boxTexts(), fresh);
        QVERIFY(!card->chkDaSaldare->isChecked());
        QVERIFY(card->lblPosizione->text().isEmpty());
        QVERIFY(card->txtNumDoc->hasFocus());
        QVERIFY(attachmentsEmpty());

        // What the user leaves on the card is gone when it is shown again.
        for (QLineEdit* box : boxes()) box->setText("7");
        for (QLabel* label : attachmentLabels()) label->setText("allegato.pdf");
        card->chkDaSaldare->setChecked(true);
        card->setPosition(3);
        card->close();
        QVERIFY(reopenFromTheMainMenu());
        QCOMPARE(boxTexts(), fresh);
        QVERIFY(!card->chkDaSaldare->isChecked());
        QVERIFY(card->lblPosizione->text().isEmpty());
        QVERIFY(card->txtNumDoc->hasFocus());
        QVERIFY(attachmentsEmpty());
        QVERIFY(run->messages.shown.empty());
    }

    // clang-format off
    void calcolaMultipliesUnitByQuantity_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("unitAfter");
        QTest::addColumn<QString>("quantityAfter");
        QTest::addColumn<QString>("total");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            QTest::addRow("%s: 2,50 x 3", row.tag) << row.direction << "2,50" << "3" << "2,50" << "3" << "7,50";
            // 3.4499999999999997 as a double: still 3,45.
            QTest::addRow("%s: 1,15 x 3", row.tag) << row.direction << "1,15" << "3" << "1,15" << "3" << "3,45";
            QTest::addRow("%s: 0,333 x 3", row.tag) << row.direction << "0,333" << "3" << "0,333" << "3" << "1,00";
            QTest::addRow("%s: unreadable unit", row.tag) << row.direction << "1,2,3" << "3" << "0,00" << "0" << "0,00";
            QTest::addRow("%s: blank unit", row.tag) << row.direction << "" << "" << "0,00" << "0" << "0,00";
            QTest::addRow("%s: the largest total that fits", row.tag)
                << row.direction << "999999999999,99" << "1" << "999999999999,99" << "1" << "999999999999,99";
        }
    }
    // clang-format on
    void calcolaMultipliesUnitByQuantity() {
        QFETCH(QString, unit);
        QFETCH(QString, quantity);
        QFETCH(QString, unitAfter);
        QFETCH(QString, quantityAfter);
        QFETCH(QString, total);
        QVERIFY(openFetched());
        card->txtCostoTot->setText("99,99");
        test::typeText(card->txtQuant, quantity);
        test::typeText(card->txtCostoUni, unit);  // the picture button leaves it unformatted
        test::click(card->btnCalcola);
        QCOMPARE(card->txtCostoUni->text(), unitAfter);
        QCOMPARE(card->txtQuant->text(), quantityAfter);
        QCOMPARE(card->txtCostoTot->text(), total);
        QVERIFY(run->messages.shown.empty());
    }

    // clang-format off
    void aTotalLongerThanItsBoxIsRefused_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("warning");
        const QString goodsIn = QString::fromUtf8(
            "Attenzione: il costo totale risultante non può essere registrato nella scheda.\n\n"
            "Il costo totale deve essere compreso tra -99999999999,99 e 999999999999,99 (al massimo 15 caratteri): "
            "correggere il costo unitario o la quantità.");
        const QString goodsOut = QString::fromUtf8(
            "Attenzione: il prezzo totale risultante non può essere registrato nella scheda.\n\n"
            "Il prezzo totale deve essere compreso tra -99999999999,99 e 999999999999,99 (al massimo 15 caratteri): "
            "correggere il prezzo unitario o la quantità.");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            const QString& warning = row.direction == Direction::GoodsIn ? goodsIn : goodsOut;
            // 9999999800000001: "999999980000000" once cut to the box.
            QTest::addRow("%s: 99999999 x 99999999", row.tag) << row.direction << "99999999" << "99999999" << warning;
            QTest::addRow("%s: one character too many", row.tag) << row.direction << "1000000000000" << "1" << warning;
        }
    }
    // clang-format on
    // Calcola says so and leaves the boxes as they were; a save, new or in place, writes nothing.
    void aTotalLongerThanItsBoxIsRefused() {
        QFETCH(QString, unit);
        QFETCH(QString, quantity);
        QFETCH(QString, warning);
        QVERIFY(openFetched());
        withMovements(2);
        const std::string before = test::readBytes(archive());
        fillMandatory();
        card->txtCostoTot->setText("99,99");
        test::typeText(card->txtQuant, quantity);
        test::typeText(card->txtCostoUni, unit);
        const QStringList typed = {unit, quantity, "99,99"};
        const auto shown = [this] {
            return QStringList{card->txtCostoUni->text(), card->txtQuant->text(), card->txtCostoTot->text()};
        };
        test::click(card->btnCalcola);
        QCOMPARE(messages(), QStringList{warning});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(shown(), typed);
        test::click(card->cmdSalva);
        QCOMPARE(messages(), (QStringList{warning, warning}));
        QCOMPARE(shown(), typed);
        QVERIFY(card->lblPosizione->text().isEmpty());
        QCOMPARE(test::readBytes(archive()), before);

        test::click(card->cmdPrimo);
        card->txtCostoTot->setText("99,99");
        test::typeText(card->txtQuant, quantity);
        test::typeText(card->txtCostoUni, unit);
        test::click(card->cmdSalva);
        QCOMPARE(messages(), (QStringList{warning, warning, warning}));
        QCOMPARE(shown(), typed);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        QCOMPARE(test::readBytes(archive()), before);
    }

    // The card's two pictures in its boxes take no focus: F9 computes the total and Ctrl+Shift+I opens the
    // picker, from inside a box, which stays as typed.
    void keysReachTheCalculatorAndThePicker_data() { test::directionTable(); }
    void keysReachTheCalculatorAndThePicker() {
        QVERIFY(openFetched());
        test::typeText(card->txtQuant, "3");
        test::typeText(card->txtCostoUni, "2,5");
        QVERIFY(test::pressKey(Qt::Key_F9));
        QCOMPARE(card->txtCostoTot->text(), QStringLiteral("7,50"));
        QVERIFY(card->txtCostoUni->hasFocus());
        QString opened;
        test::onNextModal([&](QWidget* dialog) {
            opened = dialog->objectName();
            dialog->close();
        });
        QVERIFY(test::pressKey(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier));
        QCOMPARE(opened, toQString(texts().pickerName));
    }

    void unitValueShowsUpToFourDecimalsOnLeaving_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const std::pair<const char*, const char*> table[] = {
            {"12,3456789", "12,3457"}, {",5", "0,50"}, {"1,23456", "1,2346"}, {"0,1", "0,10"}, {"3", "3,00"}};
        for (const test::DirectionRow& row : test::kDirectionRows) {
            for (const auto& [typed, shown] : table) {
                QTest::addRow("%s: %s", row.tag, typed) << row.direction << QString(typed) << QString(shown);
            }
        }
    }
    void unitValueShowsUpToFourDecimalsOnLeaving() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QVERIFY(openFetched());
        test::typeAndLeave(card->txtCostoUni, typed, card->txtNote);
        QCOMPARE(card->txtCostoUni->text(), shown);
    }

    void quantityTakesDigitsOnly_data() { test::directionTable(); }
    void quantityTakesDigitsOnly() {
        QVERIFY(openFetched());
        test::typeText(card->txtQuant, "1a2");
        QCOMPARE(card->txtQuant->text(), QStringLiteral("12"));
        test::typeAndLeave(card->txtQuant, "", card->txtNote);
        QCOMPARE(card->txtQuant->text(), QStringLiteral("0"));
    }

    // The total is recomputed before anything is checked, and only the first missing box is reported.
    void saveReportsTheMissingPartyFirst_data() { test::directionTable(); }
    void saveReportsTheMissingPartyFirst() {
        QVERIFY(openFetched());
        card->txtTipologia->setText("Ferramenta");
        card->txtDescrizione->setText("Vite inox");
        test::typeText(card->txtCostoUni, "2,50");
        test::typeText(card->txtQuant, "3");
        test::typeText(card->txtCostoTot, "9,99");
        test::click(card->cmdSalva);
        QCOMPARE(messages(), QStringList{toQString(texts().partyMissing)});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(QApplication::focusWidget(), card->txtFornitore);
        QCOMPARE(card->txtCostoTot->text(), QStringLiteral("7,50"));
        QVERIFY(card->lblPosizione->text().isEmpty());
        QVERIFY(!std::filesystem::exists(archive()));
    }

    void mandatoryBoxesAreCheckedInOrder_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("warning");
        const QString code =
            QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare il codice articolo.");
        const QString category =
            QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare la tipologia di merce.");
        const QString description =
            QString::fromUtf8("Attenzione: per salvare la scheda è necessario indicare la descrizione dell'articolo.");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            const MovementDirection& d = movementDirection(row.direction);
            QTest::addRow("%s: party", row.tag)
                << row.direction << "txtFornitore,txtData,txtCodice,txtTipologia,txtDescrizione"
                << toQString(d.partyMissing);
            QTest::addRow("%s: date", row.tag)
                << row.direction << "txtData,txtCodice,txtTipologia,txtDescrizione" << toQString(d.dateMissing);
            QTest::addRow("%s: code", row.tag) << row.direction << "txtCodice,txtTipologia,txtDescrizione" << code;
            QTest::addRow("%s: category", row.tag) << row.direction << "txtTipologia,txtDescrizione" << category;
            QTest::addRow("%s: description", row.tag) << row.direction << "txtDescrizione" << description;
        }
    }
    void mandatoryBoxesAreCheckedInOrder() {
        QFETCH(QString, emptied);
        QFETCH(QString, warning);
        QVERIFY(openFetched());
        fillMandatory();
        const QStringList names = emptied.split(',');
        for (const QString& name : names) card->findChild<QLineEdit*>(name)->setText("   ");
        test::click(card->cmdSalva);
        QCOMPARE(messages(), QStringList{warning});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(QApplication::focusWidget()->objectName(), names.first());
        QVERIFY(!std::filesystem::exists(archive()));
    }

    // The date boxes are filled from the calendar only; Backspace and Delete empty them.
    void dateBoxKeysEmptyTheDate_data() { test::directionTable(); }
    void dateBoxKeysEmptyTheDate() {
        QVERIFY(openFetched());
        fillMandatory();
        card->txtData->setFocus();
        QTest::keyClick(card->txtData, Qt::Key_Backspace);
        QVERIFY(card->txtData->text().isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        card->txtData->setText(today());
        QTest::keyClick(card->txtData, Qt::Key_Delete);
        QVERIFY(card->txtData->text().isEmpty());
        test::click(card->cmdSalva);
        QCOMPARE(messages(), QStringList{toQString(texts().dateMissing)});
        QCOMPARE(QApplication::focusWidget(), card->txtData);
        QVERIFY(!std::filesystem::exists(archive()));
    }

    void saveAppendsThenRewritesInPlace_data() { test::directionTable(); }
    void saveAppendsThenRewritesInPlace() {
        QVERIFY(openFetched());
        withMovements(3);
        const std::string before = test::readBytes(archive());
        QCOMPARE(before.size(), std::size_t(8811));
        card->txtNumDoc->setText("FT 12/2023");
        card->txtDataDoc->setText("01/03/2023");
        card->txtRecapiti->setText("0471 123456");
        card->txtData->setText("07/03/2023");
        fillMandatory();
        card->txtMarca->setText("Fischer");
        card->txtCostoUni->setText("2,50");
        card->txtQuant->setText("3");
        card->txtNote->setText("Consegna parziale");
        card->chkDaSaldare->setChecked(true);
        card->lblFile01->setText("fattura.pdf");
        card->lblDesc01->setText("Fattura");
        test::click(card->cmdSalva);
        QCOMPARE(messages(), QStringList{kInserted});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("4"));
        const std::string appended = test::readBytes(archive());
        QCOMPARE(appended.size(), std::size_t(11748));
        QCOMPARE(appended.substr(0, 8811), before);
        // What the card holds, as a record written from scratch.
        auto cardRecord = [](std::string_view note, std::string_view flag) {
            return test::record<MovementRecord>({{M::Fornitore, "Forniture Rossi"},
                                                 {M::Recapiti, "0471 123456"},
                                                 {M::NumDoc, "FT 12/2023"},
                                                 {M::DataDoc, "01/03/2023"},
                                                 {M::Data, "07/03/2023"},
                                                 {M::Codice, "VT-01"},
                                                 {M::Tipologia, "Ferramenta"},
                                                 {M::Marca, "Fischer"},
                                                 {M::Descrizione, "Vite inox"},
                                                 {M::CostoUni, "2,50"},
                                                 {M::Quant, "3"},
                                                 {M::CostoTot, "7,50"},
                                                 {M::Note, note},
                                                 {M::DaSaldare, flag},
                                                 {M::File01, "fattura.pdf"},
                                                 {M::Desc01, "Fattura"}});
        };
        QCOMPARE(appended.substr(8811), test::archiveBytes(std::vector{cardRecord("Consegna parziale", kFlagYes)}));
        QCOMPARE(flagBytes(appended, 3), std::string("\x02\x53\xEC"));

        card->txtNote->setText("Saldo alla consegna");
        card->chkDaSaldare->setChecked(false);
        test::click(card->cmdSalva);
        QCOMPARE(messages(), (QStringList{kInserted, kUpdated}));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("4"));
        const std::string rewritten = test::readBytes(archive());
        QCOMPARE(rewritten.size(), appended.size());
        QCOMPARE(rewritten.substr(0, 8811), before);
        QCOMPARE(rewritten.substr(8811), test::archiveBytes(std::vector{cardRecord("Saldo alla consegna", kFlagNo)}));
        QCOMPARE(flagBytes(rewritten, 3), std::string("\x02\x4E\x6F"));
    }

    // A flag other than "Sì" or "No", written by another tool, leaves the box as it was.
    void anUnknownFlagLeavesTheBoxAlone_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<bool>("ticked");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            QTest::addRow("%s: ticked", row.tag) << row.direction << true;
            QTest::addRow("%s: unticked", row.tag) << row.direction << false;
        }
    }
    void anUnknownFlagLeavesTheBoxAlone() {
        QFETCH(bool, ticked);
        QVERIFY(openFetched());
        MovementRecord other = test::movement("Altro programma", "X1");
        // "Forse" in a field of two characters: a length byte larger than the field, clamped on reading.
        const std::size_t flag = MovementRecord::Info::offset(M::DaSaldare);
        other.bytes()[flag] = 5;
        other.bytes()[flag + 1] = 'F';
        other.bytes()[flag + 2] = 'o';
        run->writeMovements(cardYear, cardDirection, {other});
        card->chkDaSaldare->setChecked(ticked);
        test::click(card->cmdPrimo);
        QCOMPARE(card->txtFornitore->text(), QStringLiteral("Altro programma"));
        QCOMPARE(card->txtNote->text(), QString());  // nothing of the flag spilt into the next boxes
        QCOMPARE(card->lblFile01->text(), QString());
        QCOMPARE(card->chkDaSaldare->isChecked(), ticked);
    }

    void duplicateKeepsTheCardButItsPlace_data() { test::directionTable(); }
    void duplicateKeepsTheCardButItsPlace() {
        QVERIFY(openFetched());
        test::click(card->cmdDuplica);
        QCOMPARE(messages(), QStringList{toQString(kMsgDuplicateNewCard)});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);

        const std::vector<MovementRecord> stored = withMovements(2);
        test::click(card->cmdUltimo);
        card->txtDataDoc->setText("28/02/2023");
        card->txtData->setText("01/03/2023");
        card->chkDaSaldare->setChecked(true);
        for (QLabel* label : attachmentLabels()) label->setText("allegato");
        const QStringList kept = boxTexts();
        card->txtNote->setFocus();
        test::click(card->cmdDuplica);
        QCOMPARE(messages().last(), toQString(kMsgCardDuplicated));
        QCOMPARE(run->messages.shown.back().kind, MessageKind::Information);
        QVERIFY(card->lblPosizione->text().isEmpty());
        QVERIFY(attachmentsEmpty());
        QCOMPARE(boxTexts(), kept);
        QVERIFY(card->chkDaSaldare->isChecked());
        QVERIFY(card->txtNumDoc->hasFocus());

        test::click(card->cmdSalva);
        QCOMPARE(messages().last(), kInserted);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("3"));
        const std::string bytes = test::readBytes(archive());
        QCOMPARE(bytes.size(), 3 * kRecord);
        const MovementRecord copy = test::withFields(
            stored[1], {{M::DataDoc, "28/02/2023"}, {M::Data, "01/03/2023"}, {M::DaSaldare, kFlagYes}});
        QCOMPARE(bytes, test::archiveBytes(std::vector{stored[0], stored[1], copy}));
    }

    // However a stored movement reaches the card, a text longer than its box shows how it starts, the box
    // being typed into included.
    void longTextsShowTheirStart_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("arrival");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            for (const char* arrival : {"arrows", "search", "duplicate"})
                QTest::addRow("%s: %s", row.tag, arrival) << row.direction << QString::fromLatin1(arrival);
        }
    }
    void longTextsShowTheirStart() {
        QFETCH(QString, arrival);
        QVERIFY(openFetched());
        run->writeMovements(
            cardYear, cardDirection,
            {test::movement("Rossi", "A1"),
             test::movement(test::kLongText, "A2", {{M::Descrizione, test::kLongText}, {M::Note, test::kLongText}})});
        const std::array<QLineEdit*, 3> longBoxes = {card->txtFornitore, card->txtDescrizione, card->txtNote};
        card->txtNote->setFocus();
        if (arrival == QLatin1String("search")) {
            QVERIFY(test::withModal<MovementSearch>(card->cmdTrova, [](MovementSearch* search) {
                test::click(search->btnCerca);
                test::doubleClickRow(search, 1);
            }));
        } else {
            test::click(card->cmdUltimo);
        }
        if (arrival == QLatin1String("duplicate")) {
            for (QLineEdit* box : longBoxes) box->end(false);
            test::click(card->cmdDuplica);
        }
        QCOMPARE(card->txtCodice->text(), QStringLiteral("A2"));
        for (QLineEdit* box : longBoxes) {
            QCOMPARE(box->text(), QString::fromUtf8(test::kLongText));
            QVERIFY2(test::showsItsStart(box), qPrintable(box->objectName()));
        }
    }

    // Each direction keeps to its own year archive, even where the other one exists.
    void eachDirectionKeepsToItsOwnArchive_data() { test::directionTable(); }
    void eachDirectionKeepsToItsOwnArchive() {
        QFETCH(Direction, direction);
        QVERIFY(openCard(direction));
        const Direction other = direction == Direction::GoodsIn ? Direction::GoodsOut : Direction::GoodsIn;
        test::click(card->cmdPrimo);
        QCOMPARE(messages(), QStringList{kEmpty});
        fillMandatory();
        test::click(card->cmdSalva);
        QVERIFY(!std::filesystem::exists(run->movementArchive(cardYear, other)));
        run->writeMovements(cardYear, other, {test::movement("Altra direzione", "Z1")});
        const std::string otherBytes = test::readBytes(run->movementArchive(cardYear, other));
        test::click(card->cmdNuovo);
        fillMandatory();
        test::click(card->cmdSalva);
        test::click(card->cmdPrimo);
        test::click(card->cmdUltimo);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        QCOMPARE(card->txtFornitore->text(), QStringLiteral("Forniture Rossi"));
        QCOMPARE(std::filesystem::file_size(archive()), 2 * kRecord);
        QCOMPARE(test::readBytes(run->movementArchive(cardYear, other)), otherBytes);
    }

    void arrowsLoadTheirRecords_data() { test::directionTable(); }
    void arrowsLoadTheirRecords() {
        QVERIFY(openFetched());
        test::click(card->cmdUltimo);
        QCOMPARE(messages(), QStringList{kEmpty});
        QVERIFY(card->lblPosizione->text().isEmpty());
        withMovements(3);
        const std::pair<PictureButton*, int> steps[] = {
            {card->cmdUltimo, 3}, {card->cmdIndietro, 2}, {card->cmdPrimo, 1}, {card->cmdAvanti, 2}};
        for (const auto& [arrow, position] : steps) {
            test::click(arrow);
            const QString n = QString::number(position);
            QCOMPARE(card->lblPosizione->text(), n);
            QCOMPARE(card->txtFornitore->text(), "Ditta " + n);
            QCOMPARE(card->txtCodice->text(), "M" + n);
        }
        QCOMPARE(messages(), QStringList{kEmpty});
    }

    void enterWalksTheBoxes_data() { test::directionTable(); }
    void enterWalksTheBoxes() {
        QVERIFY(openFetched());
        QVERIFY(enterMovesTo(card->txtNumDoc, card->txtDataDoc));
        const std::vector<QWidget*> party = {card->txtFornitore, card->txtRecapiti, card->txtData};
        const std::vector<QWidget*> goods = {card->txtCodice,      card->txtTipologia, card->txtMarca,
                                             card->txtDescrizione, card->txtCostoUni,  card->txtQuant,
                                             card->txtCostoTot,    card->txtNote,      card->txtFornitore};
        for (const auto* chain : {&party, &goods}) {
            for (std::size_t i = 0; i + 1 < chain->size(); ++i) {
                QVERIFY2(enterMovesTo((*chain)[i], (*chain)[i + 1]), qPrintable((*chain)[i]->objectName()));
            }
        }
        QVERIFY(run->messages.shown.empty());
    }

    // clang-format off
    void dateBoxesOpenTheCalendar_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("key");
        QTest::newRow("carico: data") << Direction::GoodsIn << "txtData" << "carichi_data";
        QTest::newRow("carico: data documento") << Direction::GoodsIn << "txtDataDoc" << "carichi_datadoc";
        QTest::newRow("scarico: data") << Direction::GoodsOut << "txtData" << "scarichi_data";
        QTest::newRow("scarico: data documento") << Direction::GoodsOut << "txtDataDoc" << "scarichi_datadoc";
    }
    // clang-format on
    void dateBoxesOpenTheCalendar() {
        QFETCH(QString, box);
        QFETCH(QString, key);
        QVERIFY(openFetched());
        auto* dateBox = card->findChild<QLineEdit*>(box);
        dateBox->setFocus();
        QString given;
        test::onNextModal([&](QWidget* dialog) {
            auto* calendar = qobject_cast<TfrmCalendario*>(dialog);
            if (!calendar) {
                dialog->close();
                return;
            }
            given = calendar->lblMemory->text();
            calendar->calAppuntamenti->setSelectedDate(QDate(2024, 3, 5));
            test::click(calendar->btnImportaData);
        });
        QTest::keyClick(dateBox, Qt::Key_Return);
        QCOMPARE(given, key);
        QCOMPARE(dateBox->text(), QStringLiteral("05/03/2024"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void attachmentsDialogWritesTheCardsLabels_data() { test::directionTable(); }
    void attachmentsDialogWritesTheCardsLabels() {
        QVERIFY(openFetched());
        card->lblDesc01->setText("Bolla di consegna");
        QString key;
        QString shown;
        QVERIFY(test::withModal<TfrmAllegaCartella>(card->cmdFile, [&](TfrmAllegaCartella* dialog) {
            key = dialog->lblMemory->text();
            shown = dialog->txtDesc01->text();
            dialog->txtFile02->setText("fattura.pdf");
            dialog->txtDesc02->setText("  Fattura  ");
            test::click(dialog->btnApplica);
        }));
        QCOMPARE(key, toQString(texts().token));
        QCOMPARE(shown, QStringLiteral("Bolla di consegna"));
        QCOMPARE(card->lblFile02->text(), QStringLiteral("fattura.pdf"));
        QCOMPARE(card->lblDesc02->text(), QStringLiteral("Fattura"));
        fillMandatory();
        test::click(card->cmdSalva);
        const MovementRecord saved = run->storedMovement(cardYear, cardDirection, 0);
        QCOMPARE(saved.text(M::File01), std::string());
        QCOMPARE(saved.text(M::Desc01), std::string("Bolla di consegna"));
        QCOMPARE(saved.text(M::File02), std::string("fattura.pdf"));
        QCOMPARE(saved.text(M::Desc02), std::string("Fattura"));
    }

    void closingGoesBackToTheMainMenu_data() { test::directionTable(); }
    void closingGoesBackToTheMainMenu() {
        QVERIFY(openFetched());
        auto* yearMenu = run->screen<MovementYearMenu>(texts().menuName.data());
        test::click(card->cmdEsci);
        QVERIFY(run->menu()->isVisible());
        QVERIFY(!card->isVisible());
        QVERIFY(!yearMenu->isVisible());
        QVERIFY(reopenFromTheMainMenu());
        card->close();  // the title bar's close box
        QVERIFY(run->menu()->isVisible());
        QVERIFY(!card->isVisible());
        QVERIFY(!yearMenu->isVisible());
        QCOMPARE(run->ended, 0);
    }

    // The goods-in card prints the labels of its day's saved deliveries, one a piece; Ctrl+L reaches it from
    // a box. Goods going out have no labels to print.
    void goodsInLabelsOfTheDay() {
        QVERIFY(openCard(Direction::GoodsOut));
        QVERIFY(!card->btnEtichette);
        QVERIFY(!card->findChild<QWidget*>(QStringLiteral("btnEtichette")));
        endProgram();

        QVERIFY(openCard(Direction::GoodsIn));
        using P = ProductLayout;
        run->writeProducts({test::product("A1", "Vite", {{P::Prezzo, "0,5"}})});
        run->writeMovements(cardYear, cardDirection,
                            {test::movement("Rossi", "A1", {{M::Data, "07/03/2023"}, {M::Quant, "2"}}),
                             test::movement("Rossi", "B2", {{M::Data, "08/03/2023"}, {M::Quant, "5"}}),
                             test::movement("Rossi", "C3", {{M::Data, "07/03/2023"}, {M::Quant, "0"}})});
        card->txtData->setText("07/03/2023");  // the calendar writes it
        card->txtNote->setFocus();
        QString shown;
        test::onNextModal([&](QWidget* dialog) {
            auto* labels = qobject_cast<TfrmEtichette*>(dialog);
            if (labels) {
                shown = labels->lblQuante->text();
                test::click(labels->btnStampa);
            }
            if (dialog->isVisible()) dialog->close();
        });
        QVERIFY(test::pressKey(Qt::Key_L, Qt::ControlModifier));
        QCOMPARE(shown, QStringLiteral("Etichette da stampare: 2"));
        QCOMPARE(run->printer.jobs.size(), std::size_t{1});
        QCOMPARE(run->printer.jobs[0].text(QStringLiteral("testo1_0")), QStringLiteral("Vite"));
        QCOMPARE(run->printer.jobs[0].text(QStringLiteral("testo2_0")), QStringLiteral("Vite"));
        QVERIFY(messages().isEmpty());

        // A day without deliveries, and a date that is none, are said; nothing opens.
        card->txtData->setText("09/03/2023");
        test::click(card->btnEtichette);
        card->txtData->clear();
        test::click(card->btnEtichette);
        QCOMPARE(messages(),
                 (QStringList{QString::fromUtf8("Non ci sono carichi salvati il giorno 09/03/2023 con una quantità di "
                                                "pezzi di cui stampare le etichette."),
                              QStringLiteral("Scrivere nella casella della data il giorno dei carichi di cui stampare "
                                             "le etichette.")}));
        QCOMPARE(run->printer.jobs.size(), std::size_t{1});
    }

    void hoverHints_data() { test::directionTable(); }
    void hoverHints() {
        QVERIFY(openFetched());
        QTest::mouseMove(card->btnCalcola);
        QTRY_COMPARE(card->panInfo->text(), toQString(texts().calcolaHint));
        QTest::mouseMove(card->chkDaSaldare);
        QTRY_COMPARE(card->panInfo->text(),
                     QStringLiteral("Spunta questa casella per annotare che il conto deve essere ancora saldato."));
        for (auto* b : card->findChildren<PictureButton*>()) QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    }
};

QTEST_MAIN(MovementCardTest)
#include "MovementCardTest.moc"
