#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "app/Application.h"
#include "app/PasswordStore.h"
#include "app/TfrmAvvio.h"
#include "app/TfrmPassword.h"
#include "app/Widgets.h"
#include "support/GuiRecorders.h"
#include "support/TempFolder.h"

using namespace scortavia;

class MainMenuTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<Application> program;
    std::unique_ptr<test::MessageRecorder> messages;
    int ended = 0;

    TfrmAvvio* menu() { return program->registry().get<TfrmAvvio>("frmAvvio"); }

private Q_SLOTS:
    void init() {
        folder = std::make_unique<test::TempFolder>();
        test::writeBytes(folder->file("unins000.dll"), "[Accesso]\r\nValore=" + scramblePassword("SCORTAVIA") + "\r\n");
        messages = std::make_unique<test::MessageRecorder>();
        program = std::make_unique<Application>(folder->path());
        program->registry().setEndProgramHandler([this] { ++ended; });
        ended = 0;
        program->start();
        auto* password = program->registry().get<TfrmPassword>("frmPassword");
        QTest::keyClicks(password->txtPassword, "scortavia");
        QTest::keyClick(password->txtPassword, Qt::Key_Return);
        QVERIFY(menu()->isVisible());
    }
    void cleanup() {
        program.reset();
        messages.reset();
        folder.reset();
    }

    void screensAreCreatedOnceInOrder() {
        const std::vector<QString> expected = {"frmPassword", "frmAvvio", "frmCambiaPassword"};
        QCOMPARE(program->registry().creationOrder(), expected);
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
        QCOMPARE(ended, 1);
        QTest::mouseClick(menu()->imgEsci, Qt::LeftButton);
        QCOMPARE(ended, 2);
    }

    void webStripOpensTheMakersPage() {
        test::DesktopRecorder desktop;
        QTest::mouseClick(menu()->imgSito, Qt::LeftButton);
        QCOMPARE(desktop.opened, QStringList{QString::fromLatin1(kMakerWebAddress)});
    }

    void tilesOfAreasNotInThisBuildLeaveTheMenuShown() {
        for (const auto& tile : menu()->tiles) {
            if (program->registry().screen(tile.target)) continue;
            QTest::mouseClick(tile.picture, Qt::LeftButton);
            QVERIFY(menu()->isVisible());
        }
        QVERIFY(messages->shown.empty());
        QCOMPARE(ended, 0);
    }

    void aWorkAreaClosedReturnsToTheMenu() {
        // A stand-in work area behaves as every area the menu opens: its close box brings the menu back.
        auto* area = new WorkArea(program->registry(), QStringLiteral("frmProva"));
        program->registry().add(area);
        QVERIFY(program->registry().switchTo("frmProva", menu()));
        QVERIFY(area->isVisible());
        QVERIFY(!menu()->isVisible());
        area->close();
        QVERIFY(menu()->isVisible());
        QVERIFY(!area->isVisible());
        QVERIFY(!program->registry().get<TfrmPassword>("frmPassword")->isVisible());
    }
};

QTEST_MAIN(MainMenuTest)
#include "MainMenuTest.moc"
