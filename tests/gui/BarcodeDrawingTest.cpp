#include <QImage>
#include <QPainter>
#include <QtTest>
#include <memory>

#include "products/TfrmWebCam.h"
#include "reports/BarcodeDrawing.h"

using namespace scortavia;

namespace {

constexpr double kDotsPerMm = 300 / 25.4;

QImage whitePage(QSize size) {
    QImage page(size, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(qRound(kDotsPerMm * 1000));
    page.setDotsPerMeterY(qRound(kDotsPerMm * 1000));
    return page;
}

// Draws `code` into a box given in millimetres on a 300 dpi page of `pageMm`.
QImage printed(const QString& code, QSizeF pageMm, QRectF boxMm, bool withText, bool* drawn = nullptr) {
    QImage page = whitePage((pageMm * kDotsPerMm).toSize());
    QPainter painter(&page);
    painter.scale(kDotsPerMm, kDotsPerMm);
    const bool ok = drawBarcode(painter, boxMm, barcodeFor(code.toStdString()), withText);
    if (drawn) *drawn = ok;
    return page;
}

// Widths of the dark runs along the middle line: each a whole number of modules of `module` dots.
QList<int> runsAcross(const QImage& page, int y) {
    QList<int> runs;
    int run = 0;
    for (int x = 0; x < page.width(); ++x) {
        if (qGray(page.pixel(x, y)) < 128) {
            ++run;
        } else if (run > 0) {
            runs.append(run);
            run = 0;
        }
    }
    return runs;
}

}  // namespace

class BarcodeDrawingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each symbology printed at 300 dpi in label-sized boxes and in a squat one reads back as the code.
    void readsBackAsTheCode_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("type");
        QTest::addColumn<QRectF>("box");
        const QRectF label(5, 5, 60, 30);
        const QRectF squat(5, 5, 60, 12);
        QTest::newRow("ean13") << "5901234123457" << int(Symbology::Ean13) << label;
        QTest::newRow("ean13 squat") << "2000000000008" << int(Symbology::Ean13) << squat;
        QTest::newRow("ean8") << "96385074" << int(Symbology::Ean8) << label;
        QTest::newRow("upca") << "036000291452" << int(Symbology::UpcA) << label;
        QTest::newRow("code128") << "ABC-123" << int(Symbology::Code128) << label;
        QTest::newRow("code128 longest") << "ABCDEFGHIJKLMNOPQRST" << int(Symbology::Code128) << label;
        QTest::newRow("code128 digits, wrong ean check") << "5901234123458" << int(Symbology::Code128) << squat;
        QTest::newRow("code128 signs") << "art 12/b+x" << int(Symbology::Code128) << label;
    }
    void readsBackAsTheCode() {
        QFETCH(QString, code);
        QFETCH(int, type);
        QFETCH(QRectF, box);
        for (const bool withText : {true, false}) {
            bool drawn = false;
            const QImage page = printed(code, {70, 40}, box, withText, &drawn);
            QVERIFY(drawn);
            const std::vector<ReadBarcode> found = readBarcodes(page);
            QCOMPARE(found.size(), std::size_t{1});
            QCOMPARE(QString::fromStdString(found.front().text), code);
            QCOMPARE(int(found.front().symbology), type);
        }
    }

    // Bars at whole dots: every dark run across the bars is a multiple of the narrowest, and the
    // symbol with its quiet zones sits centred in a box larger than it needs.
    void barsAtWholeDotsCentred() {
        const QImage page = printed(QStringLiteral("5901234123457"), {70, 40}, QRectF(0, 0, 70, 40), false);
        const QList<int> runs = runsAcross(page, page.height() / 2);
        QCOMPARE(runs.size(), 30);  // 95 modules: 3 guards of 2 bars + 12 digits of 2 bars
        const int module = *std::min_element(runs.begin(), runs.end());
        QVERIFY(module >= 2);
        for (int run : runs) QCOMPARE(run % module, 0);
        int first = 0;
        while (qGray(page.pixel(first, page.height() / 2)) > 128) ++first;
        int last = page.width() - 1;
        while (qGray(page.pixel(last, page.height() / 2)) > 128) --last;
        // 11 modules of quiet zone before the bars and 7 after, the whole centred in the page.
        QVERIFY(first >= 11 * module);
        QVERIFY(page.width() - 1 - last >= 7 * module);
        QVERIFY(qAbs((first - 11 * module) - (page.width() - 1 - last - 7 * module)) <= module + 1);
        // Never taller than its own proportions (guard bars 55 modules high) though the box is taller, and
        // centred from top to bottom too.
        const int middle = page.height() / 2;
        int barTop = middle;
        while (barTop > 0 && qGray(page.pixel(first, barTop - 1)) < 128) --barTop;
        int barBottom = middle;
        while (barBottom < page.height() && qGray(page.pixel(first, barBottom)) < 128) ++barBottom;
        QVERIFY(barBottom - barTop <= 55 * module);
        QVERIFY(barTop >= 5 * module);
        QVERIFY(page.height() - barBottom >= 5 * module);
    }

    // A PDF page (1200 dpi) gets its bars on the 300 dpi grid: printed at 300 dpi every edge falls on a dot.
    void barsOnThePrinterGridOfAFinerDevice() {
        QImage page(QSize(70 * 1200 * 10 / 254, 40 * 1200 * 10 / 254), QImage::Format_RGB32);
        page.fill(Qt::white);
        page.setDotsPerMeterX(qRound(1200 / 0.0254));
        page.setDotsPerMeterY(qRound(1200 / 0.0254));
        {
            QPainter painter(&page);
            painter.scale(1200 / 25.4, 1200 / 25.4);
            QVERIFY(drawBarcode(painter, QRectF(3.3, 3.3, 50.3, 30), barcodeFor("ABC-123"), true));
        }
        const int y = page.height() / 2;
        int x = 0;
        while (qGray(page.pixel(x, y)) > 128) ++x;
        QCOMPARE(x % 4, 0);
        for (int run : runsAcross(page, y)) QCOMPARE(run % 4, 0);
        const QImage at300 = page.scaled(page.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const std::vector<ReadBarcode> found = readBarcodes(at300);
        QCOMPARE(found.size(), std::size_t{1});
        QCOMPARE(found.front().text, std::string("ABC-123"));
    }

    // Nothing drawn where no barcode fits or none exists.
    void drawsNothingWhenItCannot_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QRectF>("box");
        QTest::newRow("too narrow for a dot per module") << "5901234123457" << QRectF(1, 1, 8, 20);
        QTest::newRow("too low") << "5901234123457" << QRectF(1, 1, 60, 1);
        QTest::newRow("accented code") << QString::fromUtf8("CAFFÈ") << QRectF(1, 1, 60, 30);
        QTest::newRow("empty code") << QString() << QRectF(1, 1, 60, 30);
    }
    void drawsNothingWhenItCannot() {
        QFETCH(QString, code);
        QFETCH(QRectF, box);
        bool drawn = true;
        const QImage page = printed(code, {70, 40}, box, true, &drawn);
        QVERIFY(!drawn);
        QCOMPARE(page, whitePage(page.size()));
    }
};

QTEST_MAIN(BarcodeDrawingTest)
#include "BarcodeDrawingTest.moc"
