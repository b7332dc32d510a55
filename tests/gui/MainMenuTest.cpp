#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "shell/Application.h"
#include "shell/PasswordStore.h"
#include "shell/TfrmAvvio.h"
#include "shell/TfrmPassword.h"
#include "ui/Widgets.h"
#include "support/GuiProgram.h"

using namespace scortavia;

class MainMenuTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    TfrmAvvio* menu() { return run->screen<TfrmAvvio>("frmAvvio"); }

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        run->login("scortavia");
        QVERIFY(menu()->isVisible());
    }
    void cleanup() { run.reset(); }

    void screensAreCreatedOnceInOrder() {
        const std::vector<QString> expected = {"frmPassword", "frmAvvio", "frmCambiaPassword", "frmMagazzino"};
        QCOMPARE(run->program->registry().creationOrder(), expected);
    }

    void menuIsMaximisedWithSixTiles() {
        QVERIFY(menu()->isMaximized());
        QCOMPARE(menu()->windowTitle(), QStringLiteral(" Scortavia"));
        QStringList names;
        for (const auto& tile : menu()->tiles) names << tile.picture->objectName() + "/" + tile.caption->objectName();
        QCOMPARE(names, (QStringList{"imgApp04/btnApp04", "imgApp02/btnApp02", "imgApp03/btnApp03",
                                     "imgApp07/btnApp07", "imgApp06/btnApp06", "imgApp08/btnApp08"}));
        for (const auto& tile : menu()->tiles) {
            QCOMPARE(tile.picture->focusPolicy(), Qt::NoFocus);
            QCOMPARE(tile.caption->focusPolicy(), Qt::NoFocus);
        }
    }

    void exitIconAndCloseBoxEndTheProgram() {
        menu()->close();
        QCOMPARE(run->ended, 1);
        QTest::mouseClick(menu()->imgEsci, Qt::LeftButton);
        QCOMPARE(run->ended, 2);
    }

    void webStripOpensTheMakersPage() {
        test::DesktopRecorder desktop;
        QTest::mouseClick(menu()->imgSito, Qt::LeftButton);
        QCOMPARE(desktop.opened, QStringList{QString::fromLatin1(kMakerWebAddress)});
    }

    void tilesOfAreasNotInThisBuildLeaveTheMenuShown() {
        for (const auto& tile : menu()->tiles) {
            if (run->program->registry().screen(tile.target)) continue;
            QTest::mouseClick(tile.picture, Qt::LeftButton);
            QVERIFY(menu()->isVisible());
        }
        QVERIFY(run->messages.shown.empty());
        QCOMPARE(run->ended, 0);
    }

    void aWorkAreaClosedReturnsToTheMenu() {
        // A stand-in work area behaves as every area the menu opens: its close box brings the menu back.
        auto* area = new WorkArea(run->program->registry(), QStringLiteral("frmProva"));
        run->program->registry().add(area);
        QVERIFY(run->program->registry().switchTo("frmProva", menu()));
        QVERIFY(area->isVisible());
        QVERIFY(!menu()->isVisible());
        area->close();
        QVERIFY(menu()->isVisible());
        QVERIFY(!area->isVisible());
        QVERIFY(!run->program->registry().get<TfrmPassword>("frmPassword")->isVisible());
    }
};

QTEST_MAIN(MainMenuTest)
#include "MainMenuTest.moc"
