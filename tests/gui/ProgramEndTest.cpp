// How the program ends: its own exit, or a quit asked from outside (the user logs out).
#include <QTimer>
#include <QtTest>

#include "support/GuiProgram.h"

using namespace scortavia;

class ProgramEndTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theCloseBoxOfAWorkAreaStillGoesBackToTheMenu() {
        test::GuiProgram run;
        TfrmMagazzino* card = run.openProductCard();
        QVERIFY(card);
        card->close();
        QVERIFY(!card->isVisible());
        QVERIFY(run.menu()->isVisible());
        QCOMPARE(run.ended, 0);
    }

    // Runs last: the application's event loop ends with it.
    void aQuitFromTheDesktopEndsTheProgram() {
        test::GuiProgram run;
        TfrmMagazzino* card = run.openProductCard();
        QVERIFY(card);
        QTimer::singleShot(20, [] { QCoreApplication::quit(); });
        QTimer::singleShot(3000, [] { QCoreApplication::exit(3); });  // the quit was refused
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!card->isVisible());
        QVERIFY(!run.menu()->isVisible());
    }
};

QTEST_MAIN(ProgramEndTest)
#include "ProgramEndTest.moc"
