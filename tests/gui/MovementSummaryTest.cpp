#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "movements/MovementDirection.h"
#include "movements/MovementYearMenu.h"
#include "summaries/MovementSummaryScreens.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/QtText.h"
#include "ui/RowListModel.h"

using namespace scortavia;

namespace {

using M = MovementLayout;

const QString kYearDigits = QStringLiteral("Attenzione: indicare l'anno solare utilizzando quattro cifre.");
const QString kValidDate =
    QString::fromUtf8("\n\r\n\rPer poter visualizzare il riepilogo è necessario indicare una data valida.");

// The row of a movement made by test::movement: quantity 1, category "Varie", description "Nessuna".
QString movementRow(const QString& date, const QString& code, const QString& total) {
    return QStringLiteral("Data: ") + date + QStringLiteral("  Cod. ") + code.leftJustified(18) +
           QStringLiteral("  Quant. ") + QStringLiteral("1").leftJustified(10) + QStringLiteral("  Tipo ") +
           QStringLiteral("Varie").leftJustified(28) + QStringLiteral("  ") +
           QStringLiteral("Nessuna").leftJustified(37) + QString::fromUtf8("  Tot. € ") + total;
}

// The code column of each row, in list order.
QStringList codesOf(const QStringList& rows) {
    QStringList codes;
    for (const QString& row : rows) codes << row.mid(row.indexOf(QStringLiteral("Cod. ")) + 5, 18).trimmed();
    return codes;
}

// Three movements in March, out of code order, and one on the first of April.
std::vector<MovementRecord> marchAndApril() {
    return {
        test::movement("Rossi", "AB12", {{M::Data, "05/03/2024"}, {M::CostoTot, "12,50"}}),
        test::movement("Bianchi", "ZZ9", {{M::Data, "15/03/2024"}, {M::CostoTot, "3,00"}}),
        test::movement("Verdi", "xab", {{M::Data, "31/03/2024"}, {M::CostoTot, "7,25"}}),
        test::movement("Neri", "AB99", {{M::Data, "01/04/2024"}, {M::CostoTot, "99,00"}}),
    };
}

// Chooses `item` from the box's drop-down list with the keyboard, as a user does without the mouse:
// Alt+Down opens the list, the item is highlighted, Enter takes it.
void chooseItem(QComboBox* box, const QString& item) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* list = box->view();
    QTRY_VERIFY(list->isVisible());
    const int row = box->findText(item);
    QVERIFY2(row >= 0, qPrintable(item));
    list->setCurrentIndex(box->model()->index(row, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
}

// While alive, closes any modal window that comes up and remembers that one did: a check that must stop
// before the summary never leaves the test waiting on a summary opened by mistake.
class ModalCatcher final {
public:
    ModalCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = true;
                modal->close();
            }
        });
        timer_.start(5);
    }
    bool seen = false;

private:
    QTimer timer_;
};

}  // namespace

class MovementSummaryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;
    MovementPeriodScreen* period = nullptr;
    Direction periodDirection = Direction::GoodsIn;

    // The period screen of `direction`, opened as a user opens it: the year typed on the second row of the
    // year menu, then its "Apri".
    bool openPeriod(Direction direction, const QString& year = QStringLiteral("2024")) {
        run = std::make_unique<test::GuiProgram>();
        periodDirection = direction;
        MovementYearMenu* menu = run->openYearMenu(direction);
        if (!menu) return false;
        test::typeText(menu->txtAnnoRiepLavoro, year);
        test::click(menu->btnApriRiepLavoro);
        period = run->screen<MovementPeriodScreen>(std::string(movementDirection(direction).summaryName).c_str());
        return period && period->isVisible() &&
               QTest::qWaitFor([this] { return QApplication::activeWindow() == period; });
    }
    bool openFetched() {
        QFETCH(Direction, direction);
        return openPeriod(direction);
    }
    void writeMovements(const std::vector<MovementRecord>& movements, const QString& year = QStringLiteral("2024")) {
        run->writeMovements(year, periodDirection, movements);
    }
    // Chooses both ends of the period from the lists.
    void choosePeriod(const QString& startDay, const QString& startMonth, const QString& endDay,
                      const QString& endMonth) {
        const std::pair<QComboBox*, QString> choices[] = {{period->txtGiornoInizio, startDay},
                                                          {period->txtMeseInizio, startMonth},
                                                          {period->txtGiornoFine, endDay},
                                                          {period->txtMeseFine, endMonth}};
        for (const auto& [box, item] : choices) {
            if (!item.isEmpty()) chooseItem(box, item);
        }
    }
    // Opens the summary of the chosen period through "Visualizza riepilogo" and lets `steps` drive it.
    void openSummary(const std::function<void(MovementSummaryList*)>& steps) {
        QVERIFY(test::withModal<MovementSummaryList>(period->btnVisualizza, steps));
    }
    QStringList yearTexts() const {
        return {period->txtAnno->text(), period->lblAnnoInizio->text(), period->lblAnnoFine->text()};
    }
    QStringList boxTexts() const {
        QStringList texts{period->txtTipologia->text()};
        for (const QComboBox* box :
             {period->txtGiornoInizio, period->txtMeseInizio, period->txtGiornoFine, period->txtMeseFine}) {
            texts << box->currentText();
        }
        return texts;
    }
    bool noListSelection() const {
        for (const QComboBox* box :
             {period->txtGiornoInizio, period->txtMeseInizio, period->txtGiornoFine, period->txtMeseFine}) {
            if (box->currentIndex() != -1) return false;
        }
        return true;
    }

private Q_SLOTS:
    void cleanup() {
        period = nullptr;
        run.reset();
    }

    // Every showing starts a new choice; only the year stays, whoever shows the screen.
    void showingEmptiesTheChoiceButKeepsTheYear_data() { test::directionTable(); }
    void showingEmptiesTheChoiceButKeepsTheYear() {
        QVERIFY(openFetched());
        QCOMPARE(yearTexts(), QStringList(3, QStringLiteral("2024")));
        QCOMPARE(period->lblFile->text(),
                 QString::fromStdString(run->movementArchive(QStringLiteral("2024"), periodDirection).string()));
        QCOMPARE(boxTexts(), QStringList(5, QString()));
        QVERIFY(noListSelection());
        QVERIFY(period->txtTipologia->hasFocus());
        QVERIFY(!period->lblAttendere->isVisible());

        test::typeText(period->txtTipologia, QStringLiteral("AB12"));
        choosePeriod(QStringLiteral("07"), QStringLiteral("Marzo"), QStringLiteral("31"), QStringLiteral("Dicembre"));
        test::typeText(period->txtAnno, QStringLiteral("2019"));
        test::click(period->btnEsci);
        QVERIFY(!period->isVisible());
        QVERIFY(run->menu()->isVisible());
        QVERIFY(run->messages.shown.empty());
        QCOMPARE(run->ended, 0);

        // Shown straight from the main menu, so no year menu sets the year on the way.
        QVERIFY(run->program->registry().switchTo(period->objectName(), run->menu()));
        QVERIFY(QTest::qWaitFor([this] { return QApplication::activeWindow() == period; }));
        QCOMPARE(yearTexts(), QStringList(3, QStringLiteral("2019")));
        QCOMPARE(boxTexts(), QStringList(5, QString()));
        QVERIFY(noListSelection());
        QVERIFY(period->txtTipologia->hasFocus());
    }

    void yearLabelsFollowEveryKey() {
        QVERIFY(openPeriod(Direction::GoodsIn));
        test::typeText(period->txtAnno, QString());
        QCOMPARE(yearTexts(), QStringList(3, QString()));
        QString typed;
        for (const char key : {'2', '0', '2', '3'}) {
            QTest::keyClick(period->txtAnno, key);
            typed += QLatin1Char(key);
            QCOMPARE(yearTexts(), QStringList(3, typed));
        }
        QTest::keyClick(period->txtAnno, Qt::Key_Backspace);
        QCOMPARE(yearTexts(), QStringList(3, QStringLiteral("202")));
        // Letters and signs are swallowed; the box holds four characters at most.
        test::typeText(period->txtAnno, QStringLiteral("2a0-2 1.95"));
        QCOMPARE(yearTexts(), QStringList(3, QStringLiteral("2021")));
        // Blanks can only come from elsewhere; the labels show the year without them.
        period->txtAnno->setText(QStringLiteral(" 20"));
        period->txtAnno->end(false);
        QTest::keyClick(period->txtAnno, '2');
        QCOMPARE(period->txtAnno->text(), QStringLiteral(" 202"));
        QCOMPARE(period->lblAnnoInizio->text(), QStringLiteral("202"));
        QCOMPARE(period->lblAnnoFine->text(), QStringLiteral("202"));
    }

    // Each year stands beside its month box, clear of the box's arrow and wide enough for its text, on a
    // large screen and a small one.
    void yearLabelsStandBesideTheMonthBoxes_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1366 x 768") << QSize(1366, 768);
        QTest::newRow("1024 x 700") << QSize(1024, 700);
    }
    void yearLabelsStandBesideTheMonthBoxes() {
        QFETCH(QSize, size);
        QVERIFY(openPeriod(Direction::GoodsOut));
        period->showNormal();
        period->resize(size);
        QVERIFY(QTest::qWaitFor([&] { return period->size() == size; }));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        choosePeriod(QStringLiteral("30"), QStringLiteral("Settembre"), QStringLiteral("31"),
                     QStringLiteral("Dicembre"));
        const std::pair<QComboBox*, QLabel*> ends[] = {{period->txtMeseInizio, period->lblAnnoInizio},
                                                       {period->txtMeseFine, period->lblAnnoFine}};
        for (const auto& [month, year] : ends) {
            QCOMPARE(year->parentWidget(), month->parentWidget());
            const QRect box = month->geometry();
            const QRect label = year->geometry();
            QVERIFY2(!label.intersects(box), qPrintable(year->objectName()));
            QVERIFY(label.left() > box.right());
            QVERIFY(label.center().y() >= box.top() && label.center().y() <= box.bottom());
            QVERIFY(year->isVisible());
            QVERIFY(year->fontMetrics().horizontalAdvance(year->text()) <= year->contentsRect().width());
        }
    }

    // clang-format off
    void dayAndMonthAreOnlyChosenFromTheList_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("item");
        QTest::newRow("start day") << "txtGiornoInizio" << "07";
        QTest::newRow("start month") << "txtMeseInizio" << "Marzo";
        QTest::newRow("end day") << "txtGiornoFine" << "31";
        QTest::newRow("end month") << "txtMeseFine" << "Dicembre";
    }
    // clang-format on
    void dayAndMonthAreOnlyChosenFromTheList() {
        QFETCH(QString, box);
        QFETCH(QString, item);
        QVERIFY(openPeriod(Direction::GoodsOut));
        auto* combo = period->findChild<QComboBox*>(box);
        QVERIFY(combo);
        combo->setFocus();
        QTest::keyClicks(combo, QStringLiteral("1a"));
        QCOMPARE(combo->currentText(), QString());

        chooseItem(combo, item);
        QCOMPARE(combo->currentText(), item);
        QTest::keyClicks(combo, QStringLiteral("0b"));
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(combo->currentText(), item);
        // Coming back to the box keeps its text but highlights nothing in its list.
        period->txtTipologia->setFocus();
        combo->setFocus();
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(combo->currentText(), item);

        for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete}) {
            chooseItem(combo, item);
            QTest::keyClick(combo, key);
            QCOMPARE(combo->currentText(), QString());
        }
        QVERIFY(run->messages.shown.empty());
    }

    // Texts that come from elsewhere than the list: kept on leaving only when they name a day or a month.
    // clang-format off
    void leavingABoxEmptiesWhatIsNotADayOrMonth_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::newRow("start day 32") << "txtGiornoInizio" << "32" << "";
        QTest::newRow("start day 07") << "txtGiornoInizio" << "07" << "07";
        QTest::newRow("end day 00") << "txtGiornoFine" << "00" << "";
        QTest::newRow("end day 7") << "txtGiornoFine" << "7" << "";
        QTest::newRow("end day with a blank") << "txtGiornoFine" << " 7" << "";
        QTest::newRow("start month cut") << "txtMeseInizio" << "Marz" << "";
        QTest::newRow("start month with blanks") << "txtMeseInizio" << " Marzo " << " Marzo ";
        // Any case names the month; the box then shows the list's own item.
        QTest::newRow("start month lower-case") << "txtMeseInizio" << "marzo" << "Marzo";
        QTest::newRow("end month, a day") << "txtMeseFine" << "07" << "";
        QTest::newRow("end month") << "txtMeseFine" << "Dicembre" << "Dicembre";
    }
    // clang-format on
    void leavingABoxEmptiesWhatIsNotADayOrMonth() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        QVERIFY(openPeriod(Direction::GoodsIn));
        auto* combo = period->findChild<QComboBox*>(box);
        QVERIFY(combo);
        combo->setFocus();
        combo->setEditText(text);
        period->txtTipologia->setFocus();
        QVERIFY(period->txtTipologia->hasFocus());
        QCOMPARE(combo->currentText(), kept);
    }

    void enterWalksToVisualizza() {
        QVERIFY(openPeriod(Direction::GoodsIn));
        const std::pair<QWidget*, const char*> walk[] = {
            {period->txtAnno, "effAnno"},
            {period->txtTipologia, "effTipologia"},
            {period->txtGiornoInizio, "effGiornoInizio"},
            {period->txtMeseInizio, "effMeseInizio"},
            {period->txtGiornoFine, "effGiornoFine"},
            {period->txtMeseFine, "effMeseFine"},
            {period->btnVisualizza, nullptr},
        };
        period->txtAnno->setFocus();
        for (std::size_t i = 0; i < std::size(walk); ++i) {
            QWidget* control = walk[i].first;
            QVERIFY2(control->hasFocus(), qPrintable(control->objectName()));
            // Only the focused box is framed.
            for (const auto& step : walk) {
                if (!step.second) continue;
                QCOMPARE(period->findChild<QWidget*>(step.second)->isVisible(), step.second == walk[i].second);
            }
            if (i + 1 < std::size(walk)) QTest::keyClick(control, Qt::Key_Return);
        }
        // Enter there presses it: nothing is chosen yet.
        ModalCatcher summary;
        QTest::keyClick(period->btnVisualizza, Qt::Key_Return);
        QCOMPARE(
            run->messages.texts(),
            QStringList{"Attenzione: indicare il giorno di inizio intervallo selezionandolo dall'elenco a cascata."});
        QVERIFY(!summary.seen);
    }

    // clang-format off
    void visualizzaStopsAtTheFirstProblem_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QStringList>("chosen");  // start day, start month, end day, end month
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString empty;
        QTest::newRow("three digits before anything else") << "202" << QStringList{empty, empty, empty, empty}
            << MessageKind::Warning << kYearDigits << "txtAnno";
        QTest::newRow("no year") << "" << QStringList{"01", "Marzo", "31", "Marzo"}
            << MessageKind::Warning << kYearDigits << "txtAnno";
        QTest::newRow("no start day") << "2024" << QStringList{empty, "Marzo", "31", "Marzo"}
            << MessageKind::Warning
            << "Attenzione: indicare il giorno di inizio intervallo selezionandolo dall'elenco a cascata."
            << "txtGiornoInizio";
        QTest::newRow("no start month") << "2024" << QStringList{"01", empty, "31", "Marzo"}
            << MessageKind::Warning
            << "Attenzione: indicare il mese di inizio intervallo selezionandolo dall'elenco a cascata."
            << "txtMeseInizio";
        QTest::newRow("no end day") << "2024" << QStringList{"01", "Marzo", empty, "Marzo"}
            << MessageKind::Warning
            << "Attenzione: indicare il giorno di fine intervallo selezionandolo dall'elenco a cascata."
            << "txtGiornoFine";
        QTest::newRow("no end month") << "2024" << QStringList{"01", "Marzo", "31", empty}
            << MessageKind::Warning
            << "Attenzione: indicare il mese di fine intervallo selezionandolo dall'elenco a cascata."
            << "txtMeseFine";
        QTest::newRow("31 February") << "2024" << QStringList{"31", "Febbraio", "31", "Marzo"}
            << MessageKind::Plain << "Attenzione: la data 31/02/2024 di inizio intervallo non esiste." + kValidDate
            << "txtGiornoInizio";
        QTest::newRow("29 February of the year typed after opening") << "2023"
            << QStringList{"29", "Febbraio", "31", "Marzo"}
            << MessageKind::Plain << "Attenzione: la data 29/02/2023 di inizio intervallo non esiste." + kValidDate
            << "txtGiornoInizio";
        QTest::newRow("31 April") << "2024" << QStringList{"01", "Aprile", "31", "Aprile"}
            << MessageKind::Plain << "Attenzione: la data 31/04/2024 di fine intervallo non esiste." + kValidDate
            << "txtGiornoFine";
        QTest::newRow("end before start") << "2024" << QStringList{"15", "Marzo", "01", "Marzo"}
            << MessageKind::Plain
            << QString::fromUtf8("Attenzione: la data di fine intervallo (01/03/2024) non può essere anteriore a "
                                 "quella di inizio intervallo (15/03/2024).\n\r\n\rPer poter visualizzare il "
                                 "riepilogo è necessario indicare un intervallo di tempo valido.")
            << "btnVisualizza";
    }
    // clang-format on
    void visualizzaStopsAtTheFirstProblem() {
        QFETCH(QString, year);
        QFETCH(QStringList, chosen);
        QFETCH(MessageKind, kind);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QVERIFY(openPeriod(Direction::GoodsIn));
        test::typeText(period->txtAnno, year);
        choosePeriod(chosen[0], chosen[1], chosen[2], chosen[3]);
        ModalCatcher summary;
        test::click(period->btnVisualizza);
        QCOMPARE(run->messages.texts(), QStringList{message});
        QCOMPARE(run->messages.shown[0].kind, kind);
        QCOMPARE(QApplication::focusWidget(), period->findChild<QWidget*>(focus));
        QVERIFY(!period->lblAttendere->isVisible());
        QVERIFY(!summary.seen);
        QVERIFY(period->isVisible());
    }

    // clang-format off
    void aValidPeriodOpensTheSummaryOfTheYearTyped_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("file");
        QTest::newRow("carico") << Direction::GoodsIn << "scortavia::TfrmRiepilogoCarico" << "frmRiepilogoCarico"
                                << " Scortavia - Riepilogo movimenti di carico merce" << "2023.odc";
        QTest::newRow("scarico") << Direction::GoodsOut << "scortavia::TfrmRiepilogoScarico" << "frmRiepilogoScarico"
                                 << " Scortavia - Riepilogo movimenti di scarico merce" << "2023.ods";
    }
    // clang-format on
    void aValidPeriodOpensTheSummaryOfTheYearTyped() {
        QFETCH(QString, className);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, file);
        QVERIFY(openFetched());
        writeMovements({test::movement("Rossi", "Y2024", {{M::Data, "10/03/2024"}})});
        writeMovements({test::movement("Rossi", "Y2023", {{M::Data, "10/03/2023"}})}, QStringLiteral("2023"));
        test::typeText(period->txtAnno, QStringLiteral("2023"));
        choosePeriod(QStringLiteral("01"), QStringLiteral("Marzo"), QStringLiteral("31"), QStringLiteral("Marzo"));
        bool attendereWhileOpen = false;
        bool attendereAfterClosing = true;
        openSummary([&](MovementSummaryList* list) {
            QCOMPARE(QString::fromLatin1(list->metaObject()->className()), className);
            QCOMPARE(list->objectName(), name);
            QCOMPARE(list->windowTitle(), caption);
            QVERIFY(list->isMaximized());
            QCOMPARE(list->parentWidget(), period);
            QCOMPARE(codesOf(list->model()->texts()), QStringList{"Y2023"});
            QCOMPARE(list->lblIntervallo->text(), QStringLiteral("Dal   01/03/2023   al   31/03/2023"));
            attendereWhileOpen = period->lblAttendere->isVisible();
            test::click(list->btnChiudi);
            // Hidden by the summary as it closes, before the period screen has its turn again.
            attendereAfterClosing = period->lblAttendere->isVisible();
        });
        QVERIFY(attendereWhileOpen);
        QVERIFY(!attendereAfterClosing);
        QCOMPARE(period->lblFile->text(), QString::fromStdString((run->folder.path() / file.toStdString()).string()));
        QVERIFY(period->isVisible());
        QVERIFY(!period->lblAttendere->isVisible());
        QVERIFY(run->messages.shown.empty());
    }

    // clang-format off
    void listsThePeriodsMovementsInArchiveOrder_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<bool>("records");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("operations");
        QTest::addColumn<QString>("total");
        const QString ab12 = movementRow("05/03/2024", "AB12", "12,50");
        const QString zz9 = movementRow("15/03/2024", "ZZ9", "3,00");
        const QString xab = movementRow("31/03/2024", "xab", "7,25");
        QTest::newRow("carico, every code") << Direction::GoodsIn << true << "" << "Tutti gli articoli"
            << QStringList{ab12, zz9, xab} << "3" << QString::fromUtf8("€ 22,75");
        QTest::newRow("carico, one code") << Direction::GoodsIn << true << "ab" << "ab"
            << QStringList{ab12, xab} << "2" << QString::fromUtf8("€ 19,75");
        // The code is looked for as typed, blanks included; the title shows it trimmed.
        QTest::newRow("scarico, code with a blank after") << Direction::GoodsOut << true << "ab " << "ab"
            << QStringList{} << "0" << QString::fromUtf8("€ 0,00");
        QTest::newRow("scarico, no records") << Direction::GoodsOut << false << "" << "- - -"
            << QStringList{} << "0" << QString::fromUtf8("€ 0,00");
    }
    // clang-format on
    void listsThePeriodsMovementsInArchiveOrder() {
        QFETCH(bool, records);
        QFETCH(QString, filter);
        QFETCH(QString, title);
        QFETCH(QStringList, rows);
        QFETCH(QString, operations);
        QFETCH(QString, total);
        QVERIFY(openFetched());
        writeMovements(records ? marchAndApril() : std::vector<MovementRecord>{});
        test::typeText(period->txtTipologia, filter);
        choosePeriod(QStringLiteral("01"), QStringLiteral("Marzo"), QStringLiteral("31"), QStringLiteral("Marzo"));
        openSummary([&](MovementSummaryList* list) {
            QCOMPARE(list->model()->texts(), rows);
            QCOMPARE(list->titTipologia->text(), title);
            QCOMPARE(list->lblIntervallo->text(), QStringLiteral("Dal   01/03/2024   al   31/03/2024"));
            QCOMPARE(list->txtTotMov->text(), operations);
            QCOMPARE(list->lblTotCosti->text(), total);
            QVERIFY(list->txtTrova->hasFocus());
            QVERIFY(list->txtTrova->text().isEmpty());
        });
        QVERIFY(run->messages.shown.empty());
    }

    void anEmptyPeriodHasNothingToPrintOrFind() {
        QVERIFY(openPeriod(Direction::GoodsOut));
        writeMovements(marchAndApril());
        choosePeriod(QStringLiteral("01"), QStringLiteral("Gennaio"), QStringLiteral("31"), QStringLiteral("Gennaio"));
        openSummary([&](MovementSummaryList* list) {
            QVERIFY(list->model()->texts().isEmpty());
            QCOMPARE(list->titTipologia->text(), QStringLiteral("Tutti gli articoli"));
            QCOMPARE(list->lblIntervallo->text(), QStringLiteral("Dal   01/01/2024   al   31/01/2024"));
            QCOMPARE(list->txtTotMov->text(), QStringLiteral("0"));
            QCOMPARE(list->lblTotCosti->text(), QString::fromUtf8("€ 0,00"));
            test::click(list->btnStampa);
            QCOMPARE(run->messages.texts(),
                     QStringList{"Operazione di stampa non applicabile: il riepilogo non contiene nessuna voce."});
            QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
            list->txtTrova->setText(QStringLiteral("Rossi"));
            test::click(list->btnTrova);
            QCOMPARE(run->messages.texts().last(),
                     QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
            QCOMPARE(run->messages.shown.back().kind, MessageKind::Plain);
            QVERIFY(list->isVisible());
        });
        QVERIFY(run->printer.jobs.empty());
    }

    // clang-format off
    void stampaAsksThenPrintsTheRowsAndTheFigures_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("title");  // empty: nothing printed
        QTest::addColumn<QString>("operations");
        QTest::addColumn<QString>("total");
        QTest::newRow("carico, yes") << Direction::GoodsIn << "" << QMessageBox::Yes
            << "Movimenti di carico merce - Codice articolo: Tutti gli articoli" << "3" << QString::fromUtf8("€ 22,75");
        QTest::newRow("scarico, yes, one code") << Direction::GoodsOut << "AB" << QMessageBox::Yes
            << "Movimenti di scarico merce - Codice articolo: AB" << "2" << QString::fromUtf8("€ 19,75");
        QTest::newRow("carico, no") << Direction::GoodsIn << "" << QMessageBox::No << "" << "" << "";
        QTest::newRow("scarico, no") << Direction::GoodsOut << "" << QMessageBox::No << "" << "" << "";
    }
    // clang-format on
    void stampaAsksThenPrintsTheRowsAndTheFigures() {
        QFETCH(QString, filter);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, title);
        QFETCH(QString, operations);
        QFETCH(QString, total);
        QVERIFY(openFetched());
        writeMovements(marchAndApril());
        test::typeText(period->txtTipologia, filter);
        choosePeriod(QStringLiteral("05"), QStringLiteral("Marzo"), QStringLiteral("31"), QStringLiteral("Marzo"));
        run->messages.answers.push_back(answer);
        QStringList shownRows;
        openSummary([&](MovementSummaryList* list) {
            shownRows = list->model()->texts();
            test::click(list->btnStampa);
        });
        QCOMPARE(run->messages.texts(), QStringList{"Si vuole stampare il presente riepilogo?"});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Question);
        if (title.isEmpty()) {
            QVERIFY(run->printer.jobs.empty());
            return;
        }
        QStringList titles;
        QStringList printed;
        for (const test::PrintJob& job : run->printer.jobs) {
            titles << job.text("txtTitolo");
            printed << job.linesOnAllPages("txtRiepilogo");
        }
        QCOMPARE(titles, QStringList{title});
        const QStringList footer = {"- - - - - - - - - - - - - - - -",
                                    "INTERVALLO SELEZIONATO:    Dal   05/03/2024   al   31/03/2024",
                                    "NUMERO OPERAZIONI:         " + operations, "IMPORTO TOTALE:            " + total};
        QCOMPARE(printed, shownRows + footer);
    }

    // The figures keep their first texts where the filling did not reach them; nothing is said.
    void anArchiveThatCannotBeReadLeavesTheFirstTexts() {
        QVERIFY(openPeriod(Direction::GoodsOut));
        QVERIFY(std::filesystem::create_directory(run->movementArchive(QStringLiteral("2024"), periodDirection)));
        choosePeriod(QStringLiteral("01"), QStringLiteral("Marzo"), QStringLiteral("31"), QStringLiteral("Marzo"));
        openSummary([&](MovementSummaryList* list) {
            QVERIFY(list->model()->texts().isEmpty());
            QCOMPARE(list->titTipologia->text(), QStringLiteral("- - -"));
            QCOMPARE(list->lblIntervallo->text(), QStringLiteral("Dal gg/mm/aaaa al gg/mm/aaaa"));
            QCOMPARE(list->txtTotMov->text(), QStringLiteral("0"));
            QCOMPARE(list->lblTotCosti->text(), QStringLiteral("0,00"));
            QCoreApplication::processEvents();
        });
        QVERIFY(run->messages.shown.empty());
    }

    // Enter in the find box is the box's own: it neither moves to Trova nor presses any button.
    void enterInTheFindBoxStaysThere() {
        QVERIFY(openPeriod(Direction::GoodsIn));
        writeMovements(marchAndApril());
        choosePeriod(QStringLiteral("01"), QStringLiteral("Marzo"), QStringLiteral("31"), QStringLiteral("Marzo"));
        openSummary([&](MovementSummaryList* list) {
            QTest::keyClicks(list->txtTrova, QStringLiteral("xab"));
            QTest::keyClick(list->txtTrova, Qt::Key_Return);
            QVERIFY(list->txtTrova->hasFocus());
            QVERIFY(list->isVisible());
            QVERIFY(!list->selectedRow());
        });
        QVERIFY(run->messages.shown.empty());
        QVERIFY(run->printer.jobs.empty());
    }

    void aDamagedDateIsLeftOutAndNamed() {
        QVERIFY(openPeriod(Direction::GoodsIn));
        const std::vector<MovementRecord> movements = marchAndApril();
        std::string bytes = test::archiveBytes(movements);
        // The second movement's date as no card writes it: bytes that are no digits.
        const std::size_t date = MovementRecord::kSize + MovementRecord::Info::offset(M::Data) + 1;
        bytes.replace(date, 2, "\xff\x01");
        test::writeBytes(run->movementArchive(QStringLiteral("2024"), periodDirection), bytes);
        choosePeriod(QStringLiteral("01"), QStringLiteral("Marzo"), QStringLiteral("31"), QStringLiteral("Marzo"));
        openSummary([&](MovementSummaryList* list) {
            QTRY_COMPARE(run->messages.texts(),
                         QStringList{QString::fromUtf8(
                             "Attenzione: 1 scheda non è stata inclusa perché contiene dati non leggibili (posizione "
                             "in archivio: 2).\n\r\n\rIl totale riguarda soltanto le voci elencate.")});
            QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
            QCOMPARE(codesOf(list->model()->texts()), (QStringList{"AB12", "xab"}));
            QCOMPARE(list->txtTotMov->text(), QStringLiteral("2"));
            QCOMPARE(list->lblTotCosti->text(), QString::fromUtf8("€ 19,75"));
            QVERIFY(list->isVisible());
        });
    }
};

QTEST_MAIN(MovementSummaryTest)
#include "MovementSummaryTest.moc"
