#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "movements/MovementCardScreen.h"
#include "movements/MovementDirection.h"
#include "movements/MovementYearMenu.h"
#include "shell/TfrmAvvio.h"
#include "summaries/MovementSummaryScreens.h"
#include "support/GuiProgram.h"
#include "ui/QtText.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

const QString kYearDigits = QStringLiteral("Attenzione: indicare l'anno solare utilizzando quattro cifre.");

QString thisYear() { return QString::number(QDate::currentDate().year()); }

}  // namespace

class MovementYearMenuTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;
    MovementYearMenu* menu = nullptr;
    Direction menuDirection = Direction::GoodsIn;

    // The year menu of the row's direction, opened from the main menu of a fresh program.
    bool openMenu() {
        QFETCH(Direction, direction);
        menuDirection = direction;
        run = std::make_unique<test::GuiProgram>();
        menu = run->openYearMenu(direction);
        return menu != nullptr;
    }
    MovementCardScreen* card() const {
        return run->screen<MovementCardScreen>(std::string(movementDirection(menuDirection).cardName).c_str());
    }
    // The main menu's tile of this year menu.
    PictureButton* tile() const {
        for (const TfrmAvvio::Tile& t : run->menu()->tiles) {
            if (t.target == toQString(movementDirection(menuDirection).menuName)) return t.caption;
        }
        return nullptr;
    }
    bool noYearArchive(const char* year) const {
        return !std::filesystem::exists(run->movementArchive(year, Direction::GoodsIn)) &&
               !std::filesystem::exists(run->movementArchive(year, Direction::GoodsOut));
    }
    // Only the main menu on screen.
    bool backOnTheMainMenu() const {
        return run->menu()->isVisible() && !menu->isVisible() && !card()->isVisible() && run->ended == 0;
    }

private Q_SLOTS:
    void cleanup() {
        menu = nullptr;
        run.reset();
    }

    void showsThisYearInBothBoxes_data() { test::directionTable(); }
    void showsThisYearInBothBoxes() {
        QVERIFY(openMenu());
        QVERIFY(!run->menu()->isVisible());
        QCOMPARE(menu->txtAnnoLavoro->text(), thisYear());
        QCOMPARE(menu->txtAnnoRiepLavoro->text(), thisYear());
        QCOMPARE(menu->lblMemory->text(), QStringLiteral("avvio"));
        QVERIFY(menu->txtAnnoLavoro->hasFocus());
    }

    void aYearNeedsFourDigits_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<bool>("summary");
        QTest::addColumn<QString>("typed");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            for (const bool summary : {false, true}) {
                for (const char* typed : {"", "202"}) {
                    QTest::addRow("%s, %s, \"%s\"", row.tag, summary ? "riepilogo" : "schede", typed)
                        << row.direction << summary << QString(typed);
                }
            }
        }
    }
    void aYearNeedsFourDigits() {
        QFETCH(bool, summary);
        QFETCH(QString, typed);
        QVERIFY(openMenu());
        QLineEdit* box = summary ? menu->txtAnnoRiepLavoro : menu->txtAnnoLavoro;
        QLineEdit* other = summary ? menu->txtAnnoLavoro : menu->txtAnnoRiepLavoro;
        test::typeAndLeave(box, typed, other);
        test::click(summary ? menu->btnApriRiepLavoro : menu->btnApriLavoro);
        QCOMPARE(run->messages.texts(), QStringList{kYearDigits});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QVERIFY(menu->isVisible());
        QVERIFY(!card()->isVisible());
        QVERIFY(!run->menu()->isVisible());
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(menu->lblMemory->text(), QStringLiteral("avvio"));
    }

    void yearBoxesTakeOnlyDigits_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<bool>("summary");
        for (const test::DirectionRow& row : test::kDirectionRows) {
            QTest::addRow("%s, schede", row.tag) << row.direction << false;
            QTest::addRow("%s, riepilogo", row.tag) << row.direction << true;
        }
    }
    void yearBoxesTakeOnlyDigits() {
        QFETCH(bool, summary);
        QVERIFY(openMenu());
        QLineEdit* box = summary ? menu->txtAnnoRiepLavoro : menu->txtAnnoLavoro;
        test::typeText(box, "2a0-2.3");
        QCOMPARE(box->text(), QStringLiteral("2023"));
    }

    // clang-format off
    void apriOpensTheCardOfThatYear_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caption");
        QTest::newRow("carico") << Direction::GoodsIn << "2023.odc" << " Scortavia - Operazioni di carico anno 2023";
        QTest::newRow("scarico") << Direction::GoodsOut << "2023.ods" << " Scortavia - Operazioni di scarico anno 2023";
    }
    // clang-format on
    void apriOpensTheCardOfThatYear() {
        QFETCH(QString, file);
        QFETCH(QString, caption);
        QVERIFY(openMenu());
        test::typeText(menu->txtAnnoLavoro, "2023");
        test::click(menu->btnApriLavoro);
        MovementCardScreen* opened = card();
        QCOMPARE(opened->lblFile->text(), QString::fromStdString((run->folder.path() / file.toStdString()).string()));
        QCOMPARE(opened->windowTitle(), caption);
        QVERIFY(opened->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(opened));
        QVERIFY(!menu->isVisible());
        QVERIFY(!run->menu()->isVisible());
        QVERIFY(run->messages.shown.empty());
        // The archive comes into being at the card's first action, not when the year is chosen.
        QVERIFY(noYearArchive("2023"));
    }

    // A year typed, Enter, Enter: the card of that year, without touching the mouse.
    void enterTwiceOpensTheCard_data() { test::directionTable(); }
    void enterTwiceOpensTheCard() {
        QVERIFY(openMenu());
        test::typeText(menu->txtAnnoLavoro, "2023");
        QSignalSpy pressed(menu->btnApriLavoro, &QPushButton::clicked);
        // As a keyboard sends it: the first Enter's release reaches "Apri", which must not press it.
        QVERIFY(test::pressKey(Qt::Key_Return));
        QVERIFY(menu->btnApriLavoro->hasFocus());
        QCOMPARE(pressed.count(), 0);
        QVERIFY(test::pressKey(Qt::Key_Return));
        QCOMPARE(pressed.count(), 1);
        QVERIFY(card()->isVisible());
        QVERIFY(card()->lblFile->text().endsWith(QStringLiteral("2023") +
                                                 toQString(menuDirection == Direction::GoodsIn ? ".odc" : ".ods")));
    }

    void closingRightAwayGoesBackToTheMainMenu_data() { test::directionTable(); }
    void closingRightAwayGoesBackToTheMainMenu() {
        QVERIFY(openMenu());
        menu->close();
        QVERIFY(backOnTheMainMenu());
        test::click(tile());
        QVERIFY(menu->isVisible());
        test::click(menu->imgEsci);
        QVERIFY(backOnTheMainMenu());
    }

    // Help and the way back are pictures: Tab reaches them after the rows, Enter or Space press them.
    void theKeyboardReachesHelpAndExit_data() { test::directionTable(); }
    void theKeyboardReachesHelpAndExit() {
        QVERIFY(openMenu());
        QVERIFY(menu->txtAnnoLavoro->hasFocus());
        QStringList walked;
        for (int i = 0; i < 6; ++i) {
            QVERIFY(test::pressKey(Qt::Key_Tab));
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, (QStringList{"btnApriLavoro", "txtAnnoRiepLavoro", "btnApriRiepLavoro", "imgGuida", "imgEsci",
                                      "txtAnnoLavoro"}));
        QStringList help;
        test::onNextModal([&](QWidget* dialog) {
            help << dialog->objectName();
            dialog->close();
        });
        menu->imgGuida->setFocus();
        QVERIFY(menu->findChild<QWidget*>("effGuida")->isVisible());
        QVERIFY(test::pressKey(Qt::Key_Space));
        QCOMPARE(help, QStringList{"frmGuida"});
        menu->activateWindow();  // offscreen gives the activation back to no window when a dialog closes
        QVERIFY(QTest::qWaitFor([this] { return QApplication::activeWindow() == menu; }));
        menu->imgEsci->setFocus();
        QVERIFY(test::pressKey(Qt::Key_Return));
        QVERIFY(backOnTheMainMenu());
    }

    // Once "Apri" has led to a card, the menu shown again must start over: a close from there goes
    // back to the main menu, not to that card.
    void showingAgainForgetsTheLastChoice_data() { test::directionTable(); }
    void showingAgainForgetsTheLastChoice() {
        QVERIFY(openMenu());
        test::typeText(menu->txtAnnoLavoro, "2019");
        test::typeText(menu->txtAnnoRiepLavoro, "2018");
        test::click(menu->btnApriLavoro);
        QVERIFY(card()->isVisible());
        card()->close();
        QVERIFY(backOnTheMainMenu());
        test::click(tile());
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->lblMemory->text(), QStringLiteral("avvio"));
        QCOMPARE(menu->txtAnnoLavoro->text(), thisYear());
        QCOMPARE(menu->txtAnnoRiepLavoro->text(), thisYear());
        menu->close();
        QVERIFY(backOnTheMainMenu());
    }

    // clang-format off
    void summaryApriOpensThePeriodOfThatYear_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("caption");
        QTest::newRow("carico") << Direction::GoodsIn << "2023.odc"
                                << " Scortavia - Riepilogo operazioni di carico anno 2023";
        QTest::newRow("scarico") << Direction::GoodsOut << "2023.ods"
                                 << " Scortavia - Riepilogo operazioni di scarico anno 2023";
    }
    // clang-format on
    void summaryApriOpensThePeriodOfThatYear() {
        QFETCH(QString, file);
        QFETCH(QString, caption);
        QVERIFY(openMenu());
        test::typeText(menu->txtAnnoRiepLavoro, "2023");
        test::click(menu->btnApriRiepLavoro);
        QVERIFY(run->messages.shown.empty());
        auto* period =
            run->screen<MovementPeriodScreen>(std::string(movementDirection(menuDirection).summaryName).c_str());
        QVERIFY(period->isVisible());
        QVERIFY(!menu->isVisible());
        QCOMPARE(period->windowTitle(), caption);
        QCOMPARE(period->lblFile->text(), QString::fromStdString((run->folder.path() / file.toStdString()).string()));
        for (const QString& year :
             {period->txtAnno->text(), period->lblAnnoInizio->text(), period->lblAnnoFine->text()})
            QCOMPARE(year, QStringLiteral("2023"));
        QVERIFY(noYearArchive("2023"));
        // Leaving the period screen goes back to the main menu.
        period->close();
        QVERIFY(!period->isVisible());
        QVERIFY(backOnTheMainMenu());
    }
};

QTEST_MAIN(MovementYearMenuTest)
#include "MovementYearMenuTest.moc"
