#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <array>
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

const QString kNoAccess = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

Direction otherDirection(Direction direction) {
    return direction == Direction::GoodsIn ? Direction::GoodsOut : Direction::GoodsIn;
}

// The code column of each row, in list order.
QStringList codesOf(const QStringList& rows) {
    QStringList codes;
    for (const QString& row : rows) codes << row.mid(row.indexOf(QStringLiteral("Cod. ")) + 5, 18).trimmed();
    return codes;
}

// A movement with every field the card shows filled in, total consistent with unit value × quantity,
// so that a save of it unchanged writes it back as it was.
MovementRecord fullMovement(const std::string& flag) {
    return test::movement("Forniture Rossi", "VT-01",
                          {{M::Recapiti, "0471 123456"},
                           {M::NumDoc, "FT 12/2023"},
                           {M::DataDoc, "01/03/2023"},
                           {M::Data, "07/03/2023"},
                           {M::Tipologia, "Ferramenta"},
                           {M::Marca, "Fischer"},
                           {M::Descrizione, "Vite inox"},
                           {M::CostoUni, "2,50"},
                           {M::Quant, "3"},
                           {M::CostoTot, "7,50"},
                           {M::Note, "Consegna parziale"},
                           {M::DaSaldare, flag},
                           {M::File01, "fattura.pdf"},
                           {M::File02, "bolla.pdf"},
                           {M::File03, "foto.jpg"},
                           {M::Desc01, "Fattura"},
                           {M::Desc02, "Bolla"},
                           {M::Desc03, "Foto"}});
}

}  // namespace

class MovementSearchTest : public QObject, private test::MovementCardFixture {
    Q_OBJECT

    bool openFetched() {
        QFETCH(Direction, direction);
        return openCard(direction);
    }
    // Opens the search from the card and lets `steps` drive it while it is shown.
    void openSearch(const std::function<void(MovementSearch*)>& steps) {
        QVERIFY(test::withModal<MovementSearch>(card->cmdTrova, steps));
    }
    void writeMovements(const std::vector<MovementRecord>& movements) const {
        run->writeMovements(cardYear, cardDirection, movements);
    }
    static QStringList rowsOf(const MovementSearch* search) { return search->model()->texts(); }
    // The card's text boxes in record order, Fornitore to Note.
    QStringList cardTexts() const {
        const MovementCardScreen* c = card;
        QStringList texts;
        for (const QLineEdit* box :
             {c->txtFornitore, c->txtRecapiti, c->txtNumDoc, c->txtDataDoc, c->txtData, c->txtCodice, c->txtTipologia,
              c->txtMarca, c->txtDescrizione, c->txtCostoUni, c->txtQuant, c->txtCostoTot, c->txtNote}) {
            texts << box->text();
        }
        return texts;
    }
    QStringList attachmentTexts() const {
        const MovementCardScreen* c = card;
        QStringList texts;
        for (const QLabel* label :
             {c->lblFile01, c->lblFile02, c->lblFile03, c->lblDesc01, c->lblDesc02, c->lblDesc03}) {
            texts << label->text();
        }
        return texts;
    }

private Q_SLOTS:
    void cleanup() { endProgram(); }

    // clang-format off
    void showsTheCriteriaFirst_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("dateLabel");
        QTest::addColumn<QString>("unitLabel");
        QTest::addColumn<QString>("partyLabel");
        QTest::newRow("carico") << Direction::GoodsIn << "scortavia::TfrmTrovaCarichi" << "frmTrovaCarichi"
                                << " Trova operazioni di carico in archivio" << "Data carico (gg/mm/aaaa):"
                                << QString::fromUtf8("Costo unitario: €") << "Fornitore:";
        QTest::newRow("scarico") << Direction::GoodsOut << "scortavia::TfrmTrovaScarichi" << "frmTrovaScarichi"
                                 << " Trova operazioni di scarico in archivio" << "Data scarico (gg/mm/aaaa):"
                                 << QString::fromUtf8("Prezzo unitario: €") << "Cliente:";
    }
    // clang-format on
    void showsTheCriteriaFirst() {
        QFETCH(QString, className);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, dateLabel);
        QFETCH(QString, unitLabel);
        QFETCH(QString, partyLabel);
        QVERIFY(openFetched());
        openSearch([&](MovementSearch* search) {
            QCOMPARE(QString::fromLatin1(search->metaObject()->className()), className);
            QCOMPARE(search->objectName(), name);
            QCOMPARE(search->windowTitle(), caption);
            QCOMPARE(search->parentWidget(), card);
            QCOMPARE(search->lblMemory->text(), toQString(texts().token));
            QVERIFY(search->panAvvio->isVisible());
            QVERIFY(!search->panContainer->isVisible());
            QVERIFY(!search->lblAttendere->isVisible());
            QCOMPARE(search->lblAttendere->text(), QStringLiteral("Ricerca schede in corso. Attendere..."));
            QVERIFY(search->txtTrova->text().isEmpty());

            const QStringList labels = {"Documento n.", "Data emissione (gg/mm/aaaa):",
                                        dateLabel,      "Codice articolo:",
                                        "Tipologia:",   "Marca e modello:",
                                        "Descrizione:", unitLabel,
                                        partyLabel,     "Note:"};
            QStringList shownLabels;
            for (int i = 1; i <= 10; ++i) {
                shownLabels
                    << search->findChild<QLabel*>(QStringLiteral("lblCampo%1").arg(i, 2, 10, QLatin1Char('0')))->text();
            }
            QCOMPARE(shownLabels, labels);

            // Enter walks the fields in this order and returns to the first; only the focused one is framed.
            const std::array<std::pair<QLineEdit*, const char*>, 10> walk = {{{search->txtNumDoc, "NumDoc"},
                                                                              {search->txtDataDoc, "DataDoc"},
                                                                              {search->txtData, "Data"},
                                                                              {search->txtCodice, "Codice"},
                                                                              {search->txtTipologia, "Tipologia"},
                                                                              {search->txtMarca, "Marca"},
                                                                              {search->txtDescrizione, "Descrizione"},
                                                                              {search->txtCostoUni, "CostoUni"},
                                                                              {search->txtFornitore, "Fornitore"},
                                                                              {search->txtNote, "Note"}}};
            for (std::size_t i = 0; i < walk.size(); ++i) {
                QLineEdit* box = walk[i].first;
                QCOMPARE(box->objectName(), QStringLiteral("txt") + walk[i].second);
                QVERIFY2(box->hasFocus(), walk[i].second);
                for (std::size_t j = 0; j < walk.size(); ++j) {
                    auto* frame = search->findChild<QWidget*>(QStringLiteral("eff") + walk[j].second);
                    QVERIFY2(frame, walk[j].second);
                    QCOMPARE(frame->isVisible(), i == j);
                }
                QTest::keyClick(box, Qt::Key_Return);
            }
            QVERIFY(search->txtNumDoc->hasFocus());
        });
        QVERIFY(run->messages.shown.empty());
    }

    void cercaListsTheMatchingMovements_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QStringList>("typed");  // box=text, exactly as typed
        QTest::addColumn<QString>("filled");
        QTest::addColumn<QStringList>("codes");
        struct Case {
            const char* tag;
            QStringList typed;
            const char* filled;
            QStringList codes;
        };
        const Case cases[] = {
            {"all blank", {}, "0", {"Z9", "B2", "A1"}},
            {"blanks only", {"txtNote=  ", "txtMarca= "}, "0", {"Z9", "B2", "A1"}},
            {"one field", {"txtFornitore=rossi"}, "1", {"Z9", "B2"}},
            {"two fields", {"txtFornitore=rossi", "txtData=/04/"}, "2", {"B2"}},
            {"nothing matches", {"txtNumDoc=FT 999"}, "1", {}},
        };
        for (const test::DirectionRow& row : test::kDirectionRows) {
            for (const Case& c : cases) {
                QTest::addRow("%s: %s", row.tag, c.tag) << row.direction << c.typed << QString(c.filled) << c.codes;
            }
        }
    }
    void cercaListsTheMatchingMovements() {
        QFETCH(QStringList, typed);
        QFETCH(QString, filled);
        QFETCH(QStringList, codes);
        QVERIFY(openFetched());
        // Deliberately not in code order: the list keeps the archive's.
        writeMovements({
            test::movement("Rossi S.r.l.", "Z9", {{M::Data, "12/03/2023"}, {M::NumDoc, "FT 118"}}),
            test::movement("F.lli ROSSI", "B2", {{M::Data, "02/04/2023"}}),
            test::movement("Bianchi", "A1", {{M::Data, "30/04/2023"}, {M::Note, "consegna"}}),
        });
        // Matching movements of the other direction and of another year are never searched.
        run->writeMovements(cardYear, otherDirection(cardDirection),
                            {test::movement("Rossi", "X-DIREZIONE", {{M::Data, "02/04/2023"}})});
        run->writeMovements(QStringLiteral("2024"), cardDirection,
                            {test::movement("Rossi", "X-ANNO", {{M::Data, "02/04/2024"}})});
        openSearch([&](MovementSearch* search) {
            for (const QString& entry : typed) {
                const qsizetype equals = entry.indexOf('=');
                test::typeText(search->findChild<QLineEdit*>(entry.left(equals)), entry.mid(equals + 1));
            }
            test::click(search->btnCerca);
            QCOMPARE(codesOf(rowsOf(search)), codes);
            QCOMPARE(search->lblConta->text(), filled);
            QCOMPARE(search->lblTrovate->text(),
                     QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(codes.size()));
            QVERIFY(!search->panAvvio->isVisible());
            QVERIFY(search->panContainer->isVisible());
            QVERIFY(search->txtTrova->hasFocus());
            QVERIFY(search->txtTrova->text().isEmpty());
        });
        QVERIFY(run->messages.shown.empty());
    }

    // The row stands for the movement: a long description is cut to its column, the total never is.
    void rowsCutTheDescriptionButNeverTheTotal() {
        QVERIFY(openCard(Direction::GoodsIn));
        const std::string description = "Tassello in nylon con vite a testa svasata 8 x 40";
        writeMovements({test::movement("Forniture Rossi", "VT-01",
                                       {{M::Data, "07/03/2023"},
                                        {M::Quant, "12"},
                                        {M::Tipologia, "Ferramenta"},
                                        {M::Descrizione, description},
                                        {M::CostoTot, "123456789012,50"}})});
        const QString row = QStringLiteral("Data: 07/03/2023  Cod. ") + QStringLiteral("VT-01").leftJustified(18) +
                            QStringLiteral("  Quant. ") + QStringLiteral("12").leftJustified(10) +
                            QStringLiteral("  Tipo ") + QStringLiteral("Ferramenta").leftJustified(28) +
                            QStringLiteral("  ") + QString::fromStdString(description.substr(0, 37)) +
                            QString::fromUtf8("  Tot. € 123456789012,50");
        openSearch([&](MovementSearch* search) {
            test::click(search->btnCerca);
            QCOMPARE(rowsOf(search), QStringList{row});
        });
    }

    // clang-format off
    void stampaPrintsTheRowsUnderTheDirectionsTitle_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("title");
        QTest::newRow("carico") << Direction::GoodsIn << "Riepilogo operazioni di carico";
        QTest::newRow("scarico") << Direction::GoodsOut << "Riepilogo operazioni di scarico";
    }
    // clang-format on
    void stampaPrintsTheRowsUnderTheDirectionsTitle() {
        QFETCH(QString, title);
        QVERIFY(openFetched());
        writeMovements({test::movement("Bianchi", "A1"), test::movement("Rossi", "Z9"), test::movement("Verdi", "B2")});
        QStringList shownRows;
        openSearch([&](MovementSearch* search) {
            test::click(search->btnCerca);
            shownRows = rowsOf(search);
            test::click(search->btnStampa);
        });
        QCOMPARE(codesOf(shownRows), (QStringList{"A1", "Z9", "B2"}));
        QStringList titles;
        QStringList printedRows;
        for (const test::PrintJob& job : run->printer.jobs) {
            titles << job.text("txtTitolo");
            printedRows << job.linesOnAllPages("txtRiepilogo");
        }
        QCOMPARE(titles, QStringList{title});
        QCOMPARE(printedRows, shownRows);
        QVERIFY(run->messages.shown.empty());
    }

    void doubleClickLoadsTheMovementOntoTheCard_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("tickedBefore");
        QTest::addColumn<bool>("tickedAfter");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            QTest::addRow("%s: Sì ticks", row.tag) << row.direction << toQString(kFlagYes) << false << true;
            QTest::addRow("%s: No unticks", row.tag) << row.direction << toQString(kFlagNo) << true << false;
            // Written by another tool: the box stays as it was.
            QTest::addRow("%s: other keeps ticked", row.tag) << row.direction << QString() << true << true;
            QTest::addRow("%s: other keeps unticked", row.tag) << row.direction << QString() << false << false;
        }
    }
    void doubleClickLoadsTheMovementOntoTheCard() {
        QFETCH(QString, flag);
        QFETCH(bool, tickedBefore);
        QFETCH(bool, tickedAfter);
        QVERIFY(openFetched());
        const MovementRecord first = test::movement("Bianchi", "A-1");
        const MovementRecord chosen = fullMovement(flag.toStdString());
        const MovementRecord last = test::movement("Verdi", "C-3");
        writeMovements({first, chosen, last});
        card->chkDaSaldare->setChecked(tickedBefore);
        bool closed = false;
        openSearch([&](MovementSearch* search) {
            test::typeText(search->txtCodice, "vt");
            test::click(search->btnCerca);
            QCOMPARE(codesOf(rowsOf(search)), QStringList{"VT-01"});
            test::doubleClickRow(search, 0);
            closed = !search->isVisible();
        });
        QVERIFY(closed);
        const QStringList boxes = {"Forniture Rossi",  "0471 123456", "FT 12/2023", "01/03/2023", "07/03/2023", "VT-01",
                                   "Ferramenta",       "Fischer",     "Vite inox",  "2,50",       "3",          "7,50",
                                   "Consegna parziale"};
        QCOMPARE(cardTexts(), boxes);
        QCOMPARE(card->chkDaSaldare->isChecked(), tickedAfter);
        QCOMPARE(attachmentTexts(), (QStringList{"fattura.pdf", "bolla.pdf", "foto.jpg", "Fattura", "Bolla", "Foto"}));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        QVERIFY(run->messages.shown.empty());

        // A save now rewrites that movement where it stands; its neighbours are untouched.
        card->txtNote->setText("Saldata");
        test::click(card->cmdSalva);
        QCOMPARE(run->messages.texts(), QStringList{kUpdated});
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        const MovementRecord saved =
            test::withFields(chosen, {{M::Note, "Saldata"}, {M::DaSaldare, tickedAfter ? kFlagYes : kFlagNo}});
        QCOMPARE(test::readBytes(archive()), test::archiveBytes(std::vector{first, saved, last}));
    }

    // Only the card that opened the search with its own key (blanks aside) receives the movement.
    void onlyTheCardsOwnKeyLoads_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("loads");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            const QString own = toQString(movementDirection(row.direction).token);
            const QString other = toQString(movementDirection(otherDirection(row.direction)).token);
            QTest::addRow("%s: own key with blanks", row.tag) << row.direction << " " + own + " " << true;
            QTest::addRow("%s: other direction's key", row.tag) << row.direction << other << false;
            QTest::addRow("%s: product card's key", row.tag) << row.direction << "magazzino" << false;
            QTest::addRow("%s: no key", row.tag) << row.direction << QString() << false;
        }
    }
    void onlyTheCardsOwnKeyLoads() {
        QFETCH(QString, key);
        QFETCH(bool, loads);
        QVERIFY(openFetched());
        writeMovements({test::movement("Bianchi", "A-1")});
        const QStringList fresh = cardTexts();
        bool closed = false;
        openSearch([&](MovementSearch* search) {
            search->lblMemory->setText(key);
            test::click(search->btnCerca);
            test::doubleClickRow(search, 0);
            closed = !search->isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(card->txtFornitore->text(), loads ? QStringLiteral("Bianchi") : QString());
        QCOMPARE(card->lblPosizione->text(), loads ? QStringLiteral("1") : QString());
        if (!loads) QCOMPARE(cardTexts(), fresh);
        QVERIFY(run->messages.shown.empty());
    }

    void identicalRowsLoadTheLaterMovement() {
        QVERIFY(openCard(Direction::GoodsOut));
        const MovementRecord twin = test::movement("Bianchi", "T-1", {{M::Note, "primo"}});
        writeMovements({twin, test::movement("Verdi", "V-2"), test::withFields(twin, {{M::Note, "secondo"}})});
        openSearch([&](MovementSearch* search) {
            test::click(search->btnCerca);
            QCOMPARE(codesOf(rowsOf(search)), (QStringList{"T-1", "V-2", "T-1"}));
            test::doubleClickRow(search, 0);
        });
        QCOMPARE(card->txtNote->text(), QStringLiteral("secondo"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("3"));
    }

    void anUnreadableArchiveKeepsTheCriteria_data() { test::directionTable(); }
    void anUnreadableArchiveKeepsTheCriteria() {
        QVERIFY(openFetched());
        QVERIFY(std::filesystem::create_directory(archive()));
        openSearch([&](MovementSearch* search) {
            test::click(search->btnCerca);
            QVERIFY(search->panAvvio->isVisible());
            QVERIFY(search->lblAttendere->isVisible());
            QVERIFY(!search->panContainer->isVisible());
            QVERIFY(rowsOf(search).isEmpty());
        });
        QCOMPARE(run->messages.texts(), QStringList{kNoAccess});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Plain);
    }
};

QTEST_MAIN(MovementSearchTest)
#include "MovementSearchTest.moc"
