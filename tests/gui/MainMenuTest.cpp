#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "movements/MovementCardScreen.h"
#include "movements/MovementYearMenu.h"
#include "shell/Application.h"
#include "shell/PasswordStore.h"
#include "shell/TfrmAvvio.h"
#include "shell/TfrmPassword.h"
#include "support/GuiProgram.h"
#include "ui/Widgets.h"

using namespace scortavia;

class MainMenuTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    static QString focused() {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }
    // The names of the focus marks of the menu's pictures that are on screen.
    QStringList shownMarks() const {
        QStringList shown;
        for (QWidget* mark : run->menu()->findChildren<FocusFrame*>()) {
            if (mark->isVisible()) shown << mark->objectName();
        }
        return shown;
    }

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        run->login("scortavia");
        QVERIFY(run->menu()->isVisible());
        // Active as the application sees it, so keys reach the focused picture.
        QVERIFY(QTest::qWaitFor([this] { return QApplication::activeWindow() == run->menu(); }));
    }
    void cleanup() { run.reset(); }

    void screensAreCreatedOnceInOrder() {
        const std::vector<QString> expected = {"frmPassword",
                                               "frmAvvio",
                                               "frmCambiaPassword",
                                               "frmApriCatalogo",
                                               "frmCreaCatalogo",
                                               "frmListinoPrezzi",
                                               "frmMagazzino",
                                               "frmMenuRiepilogo",
                                               "frmMenuScarico",
                                               "frmScarichi",
                                               "frmMenuRiepilogoScarico",
                                               "frmMenuCarico",
                                               "frmCarichi",
                                               "frmMenuRiepilogoCarico"};
        QCOMPARE(run->program->registry().creationOrder(), expected);
    }

    void menuIsMaximisedWithSixTiles() {
        QVERIFY(run->menu()->isMaximized());
        QCOMPARE(run->menu()->windowTitle(), QStringLiteral(" Scortavia"));
        QStringList names;
        for (const auto& tile : run->menu()->tiles) {
            names << tile.picture->objectName() + "/" + tile.caption->objectName();
        }
        QCOMPARE(names, (QStringList{"imgApp04/btnApp04", "imgApp02/btnApp02", "imgApp03/btnApp03", "imgApp07/btnApp07",
                                     "imgApp06/btnApp06", "imgApp08/btnApp08"}));
        for (const auto& tile : run->menu()->tiles) {
            // Tab reaches a tile once, through its picture; a click leaves the focus where it is.
            QCOMPARE(tile.picture->focusPolicy(), Qt::TabFocus);
            QCOMPARE(tile.caption->focusPolicy(), Qt::NoFocus);
        }
    }

    // The mark goes round the tile's picture and caption, and only the focused tile has one.
    void theFirstTileHasTheFocusEachTimeTheMenuComesUp() {
        TfrmAvvio* menu = run->menu();
        const TfrmAvvio::Tile& first = menu->tiles.front();
        QVERIFY(first.picture->hasFocus());
        QCOMPARE(shownMarks(), QStringList{"effApp04"});
        auto* mark = menu->findChild<QWidget*>("effApp04");
        for (QWidget* part : {static_cast<QWidget*>(first.picture), static_cast<QWidget*>(first.caption)}) {
            const QRect where(part->mapTo(mark->parentWidget(), QPoint()), part->size());
            QVERIFY2(mark->geometry().contains(where), qPrintable(part->objectName()));
        }

        QVERIFY(test::pressKey(Qt::Key_Right));
        QVERIFY(menu->tiles[1].picture->hasFocus());
        QCOMPARE(shownMarks(), QStringList{"effApp02"});
        QVERIFY(test::pressKey(Qt::Key_Return));  // OPERAZIONI DI CARICO
        QWidget* yearMenu = run->program->registry().screen("frmMenuCarico");
        QVERIFY(yearMenu->isVisible());
        yearMenu->close();
        QVERIFY(menu->isVisible());
        QVERIFY(QTest::qWaitFor([&] { return first.picture->hasFocus(); }));
        QCOMPARE(shownMarks(), QStringList{"effApp04"});
    }

    void tabWalksEveryPictureInTurn() {
        const QStringList order = {"imgApp04", "imgApp02",   "imgApp03", "imgApp07",  "imgApp06", "imgApp08",
                                   "imgGuida", "imgCrediti", "imgCopie", "imgServer", "imgSito",  "imgEsci"};
        QStringList walked{focused()};
        for (int i = 0; i < order.size(); ++i) {
            QVERIFY(test::pressKey(Qt::Key_Tab));
            walked << focused();
        }
        QCOMPARE(walked, order + QStringList{"imgApp04"});
        QVERIFY(test::pressKey(Qt::Key_Backtab, Qt::ShiftModifier));
        QCOMPARE(focused(), QStringLiteral("imgEsci"));
        QCOMPARE(shownMarks(), QStringList{"effEsci"});
    }

    // clang-format off
    void arrowsGoToTheNeighbourThatWay_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        QTest::newRow("right along a row") << "imgApp04" << int(Qt::Key_Right) << "imgApp02";
        QTest::newRow("left along a row") << "imgApp03" << int(Qt::Key_Left) << "imgApp02";
        QTest::newRow("down a row") << "imgApp02" << int(Qt::Key_Down) << "imgApp06";
        QTest::newRow("up a row") << "imgApp08" << int(Qt::Key_Up) << "imgApp03";
        QTest::newRow("down to the icons on the left") << "imgApp07" << int(Qt::Key_Down) << "imgCopie";
        QTest::newRow("down to the web strip") << "imgApp06" << int(Qt::Key_Down) << "imgSito";
        QTest::newRow("down to the exit") << "imgApp08" << int(Qt::Key_Down) << "imgEsci";
        QTest::newRow("up from help") << "imgGuida" << int(Qt::Key_Up) << "imgApp07";
        QTest::newRow("up from the web strip") << "imgSito" << int(Qt::Key_Up) << "imgApp06";
        QTest::newRow("along the icons") << "imgCrediti" << int(Qt::Key_Right) << "imgCopie";
        QTest::newRow("from the backups to the server") << "imgCopie" << int(Qt::Key_Right) << "imgServer";
        QTest::newRow("from the server to the web strip") << "imgServer" << int(Qt::Key_Right) << "imgSito";
        QTest::newRow("nothing left of the first") << "imgApp04" << int(Qt::Key_Left) << "imgApp04";
        QTest::newRow("nothing above the first row") << "imgApp02" << int(Qt::Key_Up) << "imgApp02";
        QTest::newRow("the row's end is not the exit") << "imgApp08" << int(Qt::Key_Right) << "imgApp08";
        QTest::newRow("nothing below the exit") << "imgEsci" << int(Qt::Key_Down) << "imgEsci";
    }
    // clang-format on
    void arrowsGoToTheNeighbourThatWay() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        run->menu()->findChild<QWidget*>(from)->setFocus();
        QVERIFY(test::pressKey(Qt::Key(key)));
        QCOMPARE(focused(), to);
        QCOMPARE(run->ended, 0);
    }

    // clang-format off
    void enterOrSpacePressesTheFocusedPictureOnce_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("outcome");  // the work area or dialog shown, or "desktop" or "end"
        QTest::newRow("tile, Return") << "imgApp04" << int(Qt::Key_Return) << "frmMagazzino";
        QTest::newRow("tile, keypad Enter") << "imgApp03" << int(Qt::Key_Enter) << "frmMenuScarico";
        QTest::newRow("tile, Space") << "imgApp06" << int(Qt::Key_Space) << "frmCreaCatalogo";
        QTest::newRow("help") << "imgGuida" << int(Qt::Key_Return) << "frmGuida";
        QTest::newRow("credits") << "imgCrediti" << int(Qt::Key_Space) << "frmSplash";
        QTest::newRow("backups") << "imgCopie" << int(Qt::Key_Return) << "frmCopie";
        QTest::newRow("server") << "imgServer" << int(Qt::Key_Return) << "frmServer";
        QTest::newRow("web strip") << "imgSito" << int(Qt::Key_Return) << "desktop";
        QTest::newRow("exit") << "imgEsci" << int(Qt::Key_Enter) << "end";
    }
    // clang-format on
    void enterOrSpacePressesTheFocusedPictureOnce() {
        QFETCH(QString, picture);
        QFETCH(int, key);
        QFETCH(QString, outcome);
        TfrmAvvio* menu = run->menu();
        menu->findChild<QWidget*>(picture)->setFocus();
        QStringList dialogs;
        if (outcome.startsWith(QLatin1String("frm")) && !run->program->registry().screen(outcome)) {
            test::onNextModal([&](QWidget* dialog) {
                dialogs << dialog->objectName();
                dialog->close();
            });
        }
        QVERIFY(test::pressKey(Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier));
        QWidget* area = run->program->registry().screen(outcome);
        if (outcome == QLatin1String("end")) {
            QCOMPARE(run->ended, 1);
        } else if (outcome == QLatin1String("desktop")) {
            QCOMPARE(run->desktop.opened, QStringList{QString::fromLatin1(kMakerWebAddress)});
        } else if (area) {
            QVERIFY(area->isVisible());
            QVERIFY(!menu->isVisible());
        } else {
            QCOMPARE(dialogs, QStringList{outcome});
        }
        if (outcome != QLatin1String("end")) QCOMPARE(run->ended, 0);
    }

    // From the menu into a goods-in card with the keys alone: the tile, the year, "Apri", the first boxes.
    void theKeyboardAloneReachesACard() {
        QVERIFY(test::pressKey(Qt::Key_Right));
        QVERIFY(test::pressKey(Qt::Key_Space));  // OPERAZIONI DI CARICO
        auto* yearMenu = run->screen<MovementYearMenu>("frmMenuCarico");
        QVERIFY(QTest::qWaitFor([&] { return QApplication::focusWidget() == yearMenu->txtAnnoLavoro; }));
        for (int i = 0; i < 4; ++i) QVERIFY(test::pressKey(Qt::Key_Backspace));
        QTest::keyClicks(QApplication::focusWidget(), "2023");
        QVERIFY(test::pressKey(Qt::Key_Return));
        QCOMPARE(focused(), QStringLiteral("btnApriLavoro"));
        QVERIFY(test::pressKey(Qt::Key_Return));
        auto* card = run->screen<MovementCardScreen>("frmCarichi");
        QVERIFY(card->isVisible());
        QVERIFY(card->lblFile->text().endsWith(QStringLiteral("2023.odc")));
        QVERIFY(QTest::qWaitFor([&] { return QApplication::focusWidget() == card->txtNumDoc; }));
        QTest::keyClicks(QApplication::focusWidget(), "F-12");
        QCOMPARE(card->txtNumDoc->text(), QStringLiteral("F-12"));
        QVERIFY(run->messages.shown.empty());
    }

    void exitIconAndCloseBoxEndTheProgram() {
        run->menu()->close();
        QCOMPARE(run->ended, 1);
        test::click(run->menu()->imgEsci);
        QCOMPARE(run->ended, 2);
    }

    void webStripOpensTheMakersPage() {
        test::click(run->menu()->imgSito);
        QCOMPARE(run->desktop.opened, QStringList{QString::fromLatin1(kMakerWebAddress)});
    }

    void tilesOfAreasNotInThisBuildLeaveTheMenuShown() {
        for (const auto& tile : run->menu()->tiles) {
            if (run->program->registry().screen(tile.target)) continue;
            test::click(tile.picture);
            QVERIFY(run->menu()->isVisible());
        }
        QVERIFY(run->messages.shown.empty());
        QCOMPARE(run->ended, 0);
    }

    void aWorkAreaClosedReturnsToTheMenu() {
        // A stand-in work area behaves as every area the menu opens: its close box brings the menu back.
        auto* area = run->program->registry().add(
            std::make_unique<WorkArea>(run->program->registry(), QStringLiteral("frmProva")));
        QVERIFY(run->program->registry().switchTo("frmProva", run->menu()));
        QVERIFY(area->isVisible());
        QVERIFY(!run->menu()->isVisible());
        area->close();
        QVERIFY(run->menu()->isVisible());
        QVERIFY(!area->isVisible());
        QVERIFY(!run->program->registry().get<TfrmPassword>("frmPassword")->isVisible());
    }
};

QTEST_MAIN(MainMenuTest)
#include "MainMenuTest.moc"
