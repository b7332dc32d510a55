#include <QLineEdit>
#include <QtTest>
#include <memory>

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

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        run->login("scortavia");
        QVERIFY(run->menu()->isVisible());
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
            QCOMPARE(tile.picture->focusPolicy(), Qt::NoFocus);
            QCOMPARE(tile.caption->focusPolicy(), Qt::NoFocus);
        }
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
        auto* area = new WorkArea(run->program->registry(), QStringLiteral("frmProva"));
        run->program->registry().add(area);
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
