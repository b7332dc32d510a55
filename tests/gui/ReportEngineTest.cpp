#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QtTest>

#include "reports/ListReport.h"
#include "reports/PrintService.h"
#include "reports/TfrmPreview.h"
#include "support/GuiRecorders.h"
#include "support/TempFolder.h"

using namespace scortavia;

namespace {

constexpr double kRowMm = 12.822 / kUnitsPerMm;  // 3.392 mm
constexpr double kPaddingMm = 10 / kUnitsPerMm;  // 2.646 mm

QStringList rows(int n) {
    QStringList out;
    for (int i = 1; i <= n; ++i)
        out << QStringLiteral("Cod. ART-%1   Vite autofilettante").arg(i, 4, 10, QLatin1Char('0'));
    return out;
}

void expectRect(const PlacedObject* o, double x, double y, double w, double h) {
    QVERIFY2(o, "object not on the page");
    QVERIFY2(std::abs(o->rect.x() - x) < 0.01 && std::abs(o->rect.y() - y) < 0.01 &&
                 std::abs(o->rect.width() - w) < 0.01 && std::abs(o->rect.height() - h) < 0.01,
             qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                            .arg(o->name())
                            .arg(o->rect.x())
                            .arg(o->rect.y())
                            .arg(o->rect.width())
                            .arg(o->rect.height())));
}

}  // namespace

class ReportEngineTest : public QObject {
    Q_OBJECT

    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));

private Q_SLOTS:
    void anEmptyListPrintsTitleBandAndFooter() {
        auto report = makeListTemplate();
        QCOMPARE(report->paperMm(), QSizeF(297, 210));
        test::PrintRecorder printer;
        printList(nullptr, *report, QStringLiteral("Merce in esaurimento"), {});
        for (const test::PrintJob& job : printer.jobs) QCOMPARE(job.request, PrintService::Request::Print);
        QCOMPARE(printer.jobs.size(), size_t(1));
        QCOMPARE(report->pages().size(), size_t(1));
        const ReportPage& page = report->pages()[0];
        expectRect(page.find("txtTitolo"), 2, 1, 273, 5);
        QCOMPARE(page.find("txtTitolo")->lines, QStringList{"Merce in esaurimento"});
        expectRect(page.find("MasterData"), 0, 8, 277, kPaddingMm);
        QVERIFY(page.find("txtRiepilogo")->lines.isEmpty());
        expectRect(page.find("Calce"), 0, 8 + kPaddingMm, 277, 8);
        expectRect(page.find("txtPagina"), 3, 8 + kPaddingMm + 2, 272, 5);
        QCOMPARE(page.find("txtPagina")->lines, QStringList{"Stampa eseguita in data " + today});
    }

    void aLongListFlowsOverPagesWithTitleOnceAndFooterOnce() {
        // 182 mm under the title take 53 rows; a whole page takes 56.
        auto report = makeListTemplate();
        const QStringList all = rows(53 + 56 + 10);
        fillList(*report, QStringLiteral("Riepilogo prodotti in magazzino"), all);
        report->prepare();
        const auto& pages = report->pages();
        QCOMPARE(pages.size(), size_t(3));
        QVERIFY(pages[0].find("txtTitolo"));
        QVERIFY(!pages[1].find("txtTitolo"));
        QVERIFY(!pages[2].find("txtTitolo"));
        QCOMPARE(pages[0].find("txtRiepilogo")->lines, all.mid(0, 53));
        QCOMPARE(pages[1].find("txtRiepilogo")->lines, all.mid(53, 56));
        QCOMPARE(pages[2].find("txtRiepilogo")->lines, all.mid(109));
        expectRect(pages[0].find("txtRiepilogo"), 3, 8, 273, 53 * kRowMm);
        expectRect(pages[1].find("txtRiepilogo"), 3, 0, 273, 56 * kRowMm);
        expectRect(pages[2].find("txtRiepilogo"), 3, 0, 273, 10 * kRowMm);
        QVERIFY(!pages[0].find("Calce") && !pages[1].find("Calce"));
        expectRect(pages[2].find("Calce"), 0, 10 * kRowMm + kPaddingMm, 277, 8);
    }

    void aFooterThatNoLongerFitsGoesToANewPage() {
        auto report = makeListTemplate();
        fillList(*report, QStringLiteral("Titolo"), rows(53));  // page 1 is full to the last row
        report->prepare();
        QCOMPARE(report->pages().size(), size_t(2));
        QVERIFY(!report->pages()[0].find("Calce"));
        expectRect(report->pages()[1].find("Calce"), 0, 0, 277, 8);
    }

    void rowsAreNeverWrappedAndLongOnesAreCutAtTheRightEdge() {
        auto report = makeListTemplate();
        const QString longRow = QString(220, QLatin1Char('W'));
        fillList(*report, QStringLiteral("Titolo [DATE]"), {longRow, QStringLiteral("[DATE] resta com'è")});
        report->prepare();
        const ReportPage& page = report->pages()[0];
        QCOMPARE(page.find("txtRiepilogo")->lines, (QStringList{longRow, "[DATE] resta com'è"}));
        QCOMPARE(page.find("txtTitolo")->lines, QStringList{"Titolo [DATE]"});

        const double pxPerMm = 4;
        QImage image((report->paperMm() * pxPerMm).toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PrintService::paintPage(painter, *report, page, pxPerMm);
        painter.end();
        // Ink in the row's band up to the text's right edge (10 + 3 + 273 mm), none after it.
        const int rowY = qRound((10 + 8 + kRowMm / 2) * pxPerMm);
        auto inked = [&](double fromMm, double toMm) {
            for (int x = qRound(fromMm * pxPerMm); x < qRound(toMm * pxPerMm); ++x) {
                for (int dy = -3; dy <= 3; ++dy) {
                    if (image.pixelColor(x, rowY + dy).lightness() < 128) return true;
                }
            }
            return false;
        };
        QVERIFY(inked(250, 285.5));
        QVERIFY(!inked(286.5, 297));
    }

    void pdfIsWrittenOrFailsCleanly() {
        test::TempFolder folder;
        auto report = makeListTemplate();
        fillList(*report, QStringLiteral("Titolo"), rows(120));
        report->prepare();
        const QString path = QString::fromStdString(folder.file("lista.pdf").string());
        QVERIFY(PrintService::writePdf(*report, path));
        QCOMPARE(test::readBytes(folder.file("lista.pdf")).substr(0, 5), std::string("%PDF-"));
        QVERIFY(!PrintService::writePdf(*report, QString::fromStdString(folder.file("manca/lista.pdf").string())));
    }

    void previewShowsEveryPageAndZooms() {
        auto report = makeListTemplate();
        fillList(*report, QStringLiteral("Titolo"), rows(70));
        report->prepare();
        TfrmPreview preview(*report, nullptr);
        preview.show();
        QCOMPARE(preview.zoom(), 1.0);
        auto* first = preview.findChild<QLabel*>("imgPagina1");
        QVERIFY(first);
        QVERIFY(preview.findChild<QLabel*>("imgPagina2"));
        QCOMPARE(first->pixmap().width(), qRound(297 * 96 / 25.4));
        preview.cmbZoom->setCurrentIndex(0);
        QCOMPARE(preview.zoom(), 0.5);
        QCOMPARE(preview.findChild<QLabel*>("imgPagina1")->pixmap().width(), qRound(297 * 96 / 25.4 * 0.5));
        QVERIFY(preview.isMaximized());
    }
};

QTEST_MAIN(ReportEngineTest)
#include "ReportEngineTest.moc"
