#include <QtTest>

#include "ui/DesktopService.h"
#include "ui/MessageService.h"

using namespace scortavia;

class ServicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // clang-format off
    void storedLineBreaksShowAsOne_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("LF CR twice") << "A.\n\r\n\rB." << "A.\n\nB.";
        QTest::newRow("CR LF twice") << "A.\r\n\r\nB." << "A.\n\nB.";
        QTest::newRow("plain LF") << "A.\nB." << "A.\nB.";
        QTest::newRow("no break") << "A." << "A.";
    }
    // clang-format on
    void storedLineBreaksShowAsOne() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(MessageService::displayText(stored), shown);
    }

    void desktopTargets_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("quoted path with blanks")
            << "\"/home/negozio/Scortavia 2026/Documenti_Allegati/fattura marzo.pdf\""
            << QUrl::fromLocalFile("/home/negozio/Scortavia 2026/Documenti_Allegati/fattura marzo.pdf");
        QTest::newRow("bare path") << "/opt/Scortavia/Guida.pdf" << QUrl::fromLocalFile("/opt/Scortavia/Guida.pdf");
        QTest::newRow("web address") << "https://www.scortavia.it" << QUrl("https://www.scortavia.it");
    }
    void desktopTargets() {
        QFETCH(QString, target);
        QFETCH(QUrl, url);
        QCOMPARE(DesktopService::urlFor(target), url);
    }
};

QTEST_MAIN(ServicesTest)
#include "ServicesTest.moc"
