#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "movements/MovementCardScreen.h"
#include "movements/MovementDirection.h"
#include "movements/MovementListScreens.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/QtText.h"
#include "ui/RowListModel.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

using M = MovementLayout;

const QString kInserted = QString::fromUtf8("La scheda corrente è stata inserita in archivio.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

const std::pair<M::Field, std::string_view> kTicked{M::DaSaldare, kFlagYes};
const std::pair<M::Field, std::string_view> kUnticked{M::DaSaldare, kFlagNo};

// The code column of each row, in list order.
QStringList codesOf(const QStringList& rows) {
    QStringList codes;
    for (const QString& row : rows) codes << row.mid(row.indexOf(QStringLiteral("Cod. ")) + 5, 18).trimmed();
    return codes;
}

}  // namespace

class OpenAccountsTest : public QObject, private test::MovementCardFixture {
    Q_OBJECT

    bool openFetched() {
        QFETCH(Direction, direction);
        return openCard(direction);
    }
    // Opens the list from the card and lets `steps` drive it while it is shown.
    void openList(const std::function<void(OpenAccounts*)>& steps) {
        QVERIFY(test::withModal<OpenAccounts>(card->cmdListino, steps));
    }
    // The codes the list shows when opened now.
    QStringList listedCodes() {
        QStringList codes;
        openList([&](OpenAccounts* list) { codes = codesOf(list->model()->texts()); });
        return codes;
    }
    void writeMovements(const std::vector<MovementRecord>& movements) const {
        run->writeMovements(cardYear, cardDirection, movements);
    }

private Q_SLOTS:
    void cleanup() { endProgram(); }

    // clang-format off
    void listsTheTickedMovementsInArchiveOrder_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("name");
        QTest::newRow("carico") << Direction::GoodsIn << "scortavia::TfrmSospese" << "frmSospese";
        QTest::newRow("scarico") << Direction::GoodsOut << "scortavia::TfrmSospeseSca" << "frmSospeseSca";
    }
    // clang-format on
    void listsTheTickedMovementsInArchiveOrder() {
        QFETCH(Direction, direction);
        QFETCH(QString, className);
        QFETCH(QString, name);
        QVERIFY(openCard(direction));
        writeMovements({
            test::movement("Rossi", "Z9", {kTicked}),
            test::movement("Bianchi", "B2", {kUnticked}),
            test::movement("Verdi", "A1", {kTicked}),
            test::movement("Neri", "C3", {{M::DaSaldare, ""}}),
        });
        // Open accounts of the other direction in the same year belong to the other list.
        const Direction other = direction == Direction::GoodsIn ? Direction::GoodsOut : Direction::GoodsIn;
        run->writeMovements(cardYear, other, {test::movement("Gialli", "X-ALTRA", {kTicked})});
        openList([&](OpenAccounts* list) {
            QCOMPARE(QString::fromLatin1(list->metaObject()->className()), className);
            QCOMPARE(list->objectName(), name);
            QCOMPARE(list->windowTitle(), QStringLiteral(" Riepilogo conti da saldare"));
            QCOMPARE(list->parentWidget(), card);
            QCOMPARE(codesOf(list->model()->texts()), (QStringList{"Z9", "A1"}));
            QVERIFY(list->txtTrova->hasFocus());
            QVERIFY(list->txtTrova->text().isEmpty());
        });
        QVERIFY(run->messages.shown.empty());
    }

    void anEmptyListHasNothingToFind() {
        QVERIFY(openCard(Direction::GoodsIn));
        writeMovements({test::movement("Rossi", "Z9", {kUnticked})});
        openList([&](OpenAccounts* list) {
            QVERIFY(list->model()->texts().isEmpty());
            list->txtTrova->setText("Rossi");
            test::click(list->btnTrova);
            QVERIFY(list->isVisible());
        });
        QCOMPARE(run->messages.texts(), QStringList{"Ricerca non applicabile: la lista non contiene nessuna voce."});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Plain);
    }

    // Settling an account: the card saved ticked is listed at its place; loaded, unticked and saved
    // again, it is gone from the next opening.
    void aSettledAccountLeavesTheList_data() { test::directionTable(); }
    void aSettledAccountLeavesTheList() {
        QVERIFY(openFetched());
        writeMovements({test::movement("Rossi", "Z9", {kTicked}), test::movement("Bianchi", "B2", {kUnticked})});
        card->txtFornitore->setText("Forniture Verdi");
        card->txtCodice->setText("VT-01");
        card->txtTipologia->setText("Ferramenta");
        card->txtDescrizione->setText("Vite inox");
        card->txtNote->setText("Da pagare a 30 giorni");
        card->chkDaSaldare->setChecked(true);
        test::click(card->cmdSalva);
        QCOMPARE(run->messages.texts(), QStringList{kInserted});
        test::click(card->cmdNuovo);
        QVERIFY(card->txtNote->text().isEmpty());

        bool closed = false;
        openList([&](OpenAccounts* list) {
            QCOMPARE(codesOf(list->model()->texts()), (QStringList{"Z9", "VT-01"}));
            test::doubleClickRow(list, 1);
            closed = !list->isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("3"));
        QCOMPARE(card->txtFornitore->text(), QStringLiteral("Forniture Verdi"));
        QCOMPARE(card->txtNote->text(), QStringLiteral("Da pagare a 30 giorni"));
        QVERIFY(card->chkDaSaldare->isChecked());

        card->chkDaSaldare->setChecked(false);
        test::click(card->cmdSalva);
        QCOMPARE(run->messages.texts().last(), kUpdated);
        QCOMPARE(std::filesystem::file_size(archive()), 3 * MovementRecord::kSize);
        QCOMPARE(run->storedMovement(cardYear, cardDirection, 2).text(M::DaSaldare), std::string(kFlagNo));
        QCOMPARE(listedCodes(), QStringList{"Z9"});
    }

    // Whatever the later movement's flag, it is the one a shared row stands for.
    void aSharedRowLoadsTheLaterMovement_data() {
        QTest::addColumn<QString>("laterFlag");
        QTest::newRow("No") << toQString(kFlagNo);
        QTest::newRow("other") << QString();
    }
    void aSharedRowLoadsTheLaterMovement() {
        QFETCH(QString, laterFlag);
        QVERIFY(openCard(Direction::GoodsOut));
        const MovementRecord ticked = test::movement("Rossi", "T-1", {kTicked, {M::Note, "primo"}});
        writeMovements({ticked, test::movement("Verdi", "V-2", {kTicked}),
                        test::withFields(ticked, {{M::Note, "secondo"}, {M::DaSaldare, laterFlag.toStdString()}})});
        openList([&](OpenAccounts* list) {
            QCOMPARE(codesOf(list->model()->texts()), (QStringList{"T-1", "V-2"}));
            test::doubleClickRow(list, 0);
        });
        QCOMPARE(card->txtNote->text(), QStringLiteral("secondo"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("3"));
        QVERIFY(!card->chkDaSaldare->isChecked());
        QVERIFY(run->messages.shown.empty());
    }

    void stampaPrintsTheListUnderItsTitle_data() { test::directionTable(); }
    void stampaPrintsTheListUnderItsTitle() {
        QVERIFY(openFetched());
        writeMovements({test::movement("Rossi", "Z9", {kTicked}), test::movement("Bianchi", "B2", {kUnticked}),
                        test::movement("Verdi", "A1", {kTicked})});
        QStringList shownRows;
        openList([&](OpenAccounts* list) {
            shownRows = list->model()->texts();
            test::click(list->btnStampa);
        });
        QCOMPARE(codesOf(shownRows), (QStringList{"Z9", "A1"}));
        QStringList titles;
        QStringList printedRows;
        QStringList footers;
        for (const test::PrintJob& job : run->printer.jobs) {
            titles << job.text("txtTitolo");
            printedRows << job.linesOnAllPages("txtRiepilogo");
            footers << job.text("txtPagina");
        }
        QCOMPARE(titles, QStringList{"Riepilogo conti da saldare"});
        QCOMPARE(printedRows, shownRows);
        const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(footers, QStringList{"Stampa eseguita in data " + today});
        QVERIFY(run->messages.shown.empty());
    }

    void anUnreadableArchiveListsNothingSilently() {
        QVERIFY(openCard(Direction::GoodsIn));
        QVERIFY(std::filesystem::create_directory(archive()));
        openList([&](OpenAccounts* list) { QVERIFY(list->model()->texts().isEmpty()); });
        QVERIFY(run->messages.shown.empty());
    }

    // The archive went away between listing and choosing: the list only closes, the card is untouched.
    void aDoubleClickOnAnUnreadableArchiveOnlyCloses() {
        QVERIFY(openCard(Direction::GoodsIn));
        writeMovements({test::movement("Rossi", "Z9", {kTicked})});
        card->txtNote->setText("Non toccare");
        bool closed = false;
        openList([&](OpenAccounts* list) {
            QCOMPARE(codesOf(list->model()->texts()), QStringList{"Z9"});
            std::filesystem::remove(archive());
            QVERIFY(std::filesystem::create_directory(archive()));
            test::doubleClickRow(list, 0);
            closed = !list->isVisible();
        });
        QVERIFY(closed);
        QVERIFY(card->txtFornitore->text().isEmpty());
        QCOMPARE(card->txtNote->text(), QStringLiteral("Non toccare"));
        QVERIFY(card->lblPosizione->text().isEmpty());
        QVERIFY(run->messages.shown.empty());
    }
};

QTEST_MAIN(OpenAccountsTest)
#include "OpenAccountsTest.moc"
