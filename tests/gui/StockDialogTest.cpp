#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "products/TfrmGiacenza.h"
#include "products/TfrmMagazzino.h"
#include "shell/TfrmAvvio.h"
#include "support/GuiProgram.h"
#include "ui/TfrmCalendario.h"
#include "ui/Widgets.h"

using namespace scortavia;

class StockDialogTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    // Opens the stock dialog from the card and lets `steps` drive it.
    void adjust(bool add, const std::function<void(TfrmGiacenza*)>& steps) {
        QVERIFY(test::withModal<TfrmGiacenza>(add ? card->btnAggiungi : card->btnSottrai, steps));
    }

private Q_SLOTS:
    void init() { QVERIFY(openCard()); }
    void cleanup() { endProgram(); }

    // clang-format off
    void applyWritesTheNewStock_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("expected");
        QTest::newRow("add") << true << "10" << "5" << "15";
        QTest::newRow("subtract below zero") << false << "2" << "5" << "-3";
        QTest::newRow("blank quantity") << true << "7" << "" << "7";
        QTest::newRow("blank stock on the card") << true << " " << "4" << "4";
        QTest::newRow("up to the limit") << true << "9990" << "9" << "9999";
        QTest::newRow("down to the limit") << false << "0" << "999" << "-999";
    }
    // clang-format on
    void applyWritesTheNewStock() {
        QFETCH(bool, add);
        QFETCH(QString, stock);
        QFETCH(QString, quantity);
        QFETCH(QString, expected);
        card->txtGiacenza->setText(stock);
        adjust(add, [&](TfrmGiacenza* d) {
            QCOMPARE(d->lblAggiunta->text(),
                     add ? QString::fromUtf8("Quantità da aggiungere:") : QString::fromUtf8("Quantità da sottrarre:"));
            QCOMPARE(d->txtAggiunta->text(), QStringLiteral("0"));
            QCOMPARE(d->txtTotale->text(), d->txtGiacenza->text());
            test::typeText(d->txtAggiunta, quantity);
            test::click(d->btnAggiorna);
        });
        QCOMPARE(card->txtGiacenza->text(), expected);
        QVERIFY(run->messages.shown.empty());
        QVERIFY(!std::filesystem::exists(run->productArchive()));  // nothing saved yet
    }

    void aStockTheFieldCannotHoldIsRefused_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QString>("quantity");
        QTest::newRow("above 9999") << true << "9990";
        QTest::newRow("below -999") << false << "1010";
    }
    void aStockTheFieldCannotHoldIsRefused() {
        QFETCH(bool, add);
        QFETCH(QString, quantity);
        card->txtGiacenza->setText("10");
        bool stillOpen = false;
        adjust(add, [&](TfrmGiacenza* d) {
            test::typeText(d->txtAggiunta, quantity);
            test::click(d->btnAggiorna);
            stillOpen = d->isVisible();
        });
        QVERIFY(stillOpen);
        QCOMPARE(run->messages.texts(), QStringList{QString::fromUtf8(kMsgStockOutOfRange.data())});
        QCOMPARE(card->txtGiacenza->text(), QStringLiteral("10"));
    }

    void annullaAfterTotalLeavesTheCard() {
        card->txtGiacenza->setText("10");
        adjust(true, [&](TfrmGiacenza* d) {
            test::typeText(d->txtAggiunta, "5");
            test::click(d->btnTotale);
            QCOMPARE(d->txtTotale->text(), QStringLiteral("15"));
            test::click(d->btnChiudi);
        });
        QCOMPARE(card->txtGiacenza->text(), QStringLiteral("10"));
    }

    void keysOfTheQuantityBoxes() {
        adjust(true, [&](TfrmGiacenza* d) {
            test::typeText(d->txtAggiunta, "1-2a,3");
            QCOMPARE(d->txtAggiunta->text(), QStringLiteral("123"));
            d->txtAggiunta->setText("1234567890123456");  // 16 characters
            d->txtAggiunta->end(false);
            QTest::keyClick(d->txtAggiunta, Qt::Key_7);
            QCOMPARE(d->txtAggiunta->text(), QStringLiteral("7"));
            d->txtGiacenza->setFocus();
            QTest::keyClick(d->txtGiacenza, Qt::Key_Return);
            QVERIFY(d->txtAggiunta->hasFocus());
            QTest::keyClick(d->txtAggiunta, Qt::Key_Return);
            QVERIFY(d->btnTotale->hasFocus());
            d->txtAggiunta->setText("5");
            QTest::keyClick(d->btnTotale, Qt::Key_Return);
            QCOMPARE(d->txtTotale->text(), QString::number(d->txtGiacenza->text().toInt() + 5));
            d->txtGiacenza->setText("0042");
            d->txtGiacenza->setFocus();
            d->txtAggiunta->setFocus();
            QCOMPARE(d->txtGiacenza->text(), QStringLiteral("42"));
        });
    }

    void calendarKeepsUnknownKeysOpen() {
        TfrmCalendario calendar(run->program->registry(), card);
        calendar.lblMemory->setText("sconosciuta");
        calendar.show();
        test::click(calendar.btnImportaData);
        QVERIFY(calendar.isVisible());
        calendar.lblMemory->setText("datasca");
        calendar.calAppuntamenti->setSelectedDate(QDate(2026, 12, 31));
        test::click(calendar.btnImportaData);
        QVERIFY(!calendar.isVisible());
        QCOMPARE(card->txtDataSca->text(), QStringLiteral("31/12/2026"));
    }
};

QTEST_MAIN(StockDialogTest)
#include "StockDialogTest.moc"
