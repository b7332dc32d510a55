#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "labels/LabelPage.h"
#include "labels/TfrmEtichette.h"
#include "products/TfrmMagazzino.h"
#include "products/TfrmWebCam.h"
#include "reports/PrintService.h"
#include "support/GuiProgram.h"
#include "support/PrintedPage.h"

using namespace scortavia;

namespace {

// How far a printed label edge may stand from its place on the sheet.
constexpr double kToleranceMm = 0.3;

LabelProduct labelOf(const std::string& code) { return {code, "Prodotto " + code, "\xE2\x82\xAC 1,00", "Varie"}; }

std::optional<LabelFormat> formatNamed(const QString& prefix) {
    for (const LabelFormat& f : labelFormats())
        if (QString::fromStdString(f.name).startsWith(prefix)) return f;
    return std::nullopt;
}

// The run printed to a PDF file on the printer the print dialog starts from.
bool printToFile(const LabelRun& run, const std::filesystem::path& file) {
    ReportTemplate report(QStringLiteral("Etichette"), QPageLayout::Portrait);
    if (!fillLabelPages(report, run)) return false;
    report.prepare();
    QPrinter printer(QPrinter::HighResolution);
    PrintService::setUpPrinter(printer, report);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file.string()));
    return PrintService::printPages(printer, report, 1, static_cast<int>(report.pages().size()), nullptr);
}

// Where each edge of the label printed around `box` was found, walking in from 1 mm outside it along
// its middle; what is wrong, empty when every edge is within the tolerance.
QStringList misplacedEdges(const test::PrintedPage& page, const LabelBox& box, const QString& which) {
    QStringList wrong;
    const QSizeF sheet = page.sizeMm();
    const double midX = box.x + box.width / 2;
    const double midY = box.y + box.height / 2;
    const double right = box.x + box.width;
    const double bottom = box.y + box.height;
    struct Edge {
        const char* name;
        bool horizontal;
        double across, from, to, at;
    };
    const Edge edges[] = {
        {"left", true, midY, std::max(0.0, box.x - 1), box.x + 1, box.x},
        {"right", true, midY, std::min(sheet.width() - 0.05, right + 1), right - 1, right},
        {"top", false, midX, std::max(0.0, box.y - 1), box.y + 1, box.y},
        {"bottom", false, midX, std::min(sheet.height() - 0.05, bottom + 1), bottom - 1, bottom},
    };
    for (const Edge& e : edges) {
        const std::optional<double> found = page.firstInk(e.horizontal, e.across, e.from, e.to);
        if (!found || std::abs(*found - e.at) > kToleranceMm)
            wrong << QStringLiteral("%1 label, %2 edge: at %3 mm, expected %4 mm")
                         .arg(which, QString::fromLatin1(e.name), found ? QString::number(*found) : QStringLiteral("-"))
                         .arg(e.at);
    }
    return wrong;
}

}  // namespace

class LabelPrintTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    const std::vector<test::PrintJob>& jobs() const { return run->printer.jobs; }

    void openLabels(const std::function<void(TfrmEtichette*)>& steps) {
        QVERIFY(test::withModal<TfrmEtichette>(card->btnEtichette, steps));
    }

private Q_SLOTS:
    void init() { QVERIFY(openCard()); }
    void cleanup() { endProgram(); }

    // The card's label, as the card stands on screen, reaches the print service for print and preview.
    void cardLabelIsPrintedAndPreviewed_data() {
        QTest::addColumn<bool>("preview");
        QTest::newRow("stampa") << false;
        QTest::newRow("anteprima") << true;
    }
    void cardLabelIsPrintedAndPreviewed() {
        QFETCH(bool, preview);
        test::typeText(card->txtCodice, QStringLiteral("4006381333931"));
        test::typeText(card->txtNome, QStringLiteral("Matita HB"));
        test::typeText(card->txtPrezzo, QStringLiteral("12,5"));
        test::typeText(card->txtTipologia, QStringLiteral("Cancelleria"));
        openLabels([&](TfrmEtichette* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmEtichette"));
            QCOMPARE(d->windowTitle(), QStringLiteral(" Stampa etichette"));
            QCOMPARE(d->lblQuante->text(), QStringLiteral("Etichette da stampare: 1"));
            QVERIFY(!d->txtLarghezza->isEnabled());  // a sheet of the table keeps its sizes
            d->spnPrimaLibera->setValue(5);
            d->chkCategoria->setChecked(true);
            test::click(preview ? d->btnAnteprima : d->btnStampa);
        });
        QCOMPARE(jobs().size(), std::size_t{1});
        const test::PrintJob& job = jobs().front();
        QCOMPARE(job.request, preview ? PrintService::Request::Preview : PrintService::Request::Print);
        QCOMPARE(job.paperMm, QSizeF(210, 297));
        QCOMPARE(job.pages.size(), std::size_t{1});
        // Label 5 of the 3 x 8 sheet: second column, second row, 1,5 mm inside its edge.
        const test::PrintedObject* name = job.find(QStringLiteral("testo1_0"));
        QVERIFY(name);
        QCOMPARE(name->lines, QStringList{QStringLiteral("Matita HB")});
        QVERIFY(std::abs(name->rect.left() - 71.5) < 1e-6);
        QVERIFY(std::abs(name->rect.top() - 39.0) < 1e-6);
        QCOMPARE(job.text(QStringLiteral("testo1_1")), QStringLiteral("Cancelleria"));
        QCOMPARE(job.text(QStringLiteral("testo1_2")), QStringLiteral("€ 12,50"));
        QVERIFY(job.find(QStringLiteral("barre1")));
    }

    // A code no barcode can hold gets its text where the bars would be, not an empty space.
    void aCodeWithoutBarsIsPrintedAsText() {
        card->txtCodice->setText(QString::fromUtf8("CAFFÈ"));
        card->txtNome->setText(QString::fromUtf8("Caffè in grani"));
        openLabels([&](TfrmEtichette* d) { test::click(d->btnStampa); });
        QCOMPARE(jobs().size(), std::size_t{1});
        QCOMPARE(jobs().front().text(QStringLiteral("testo1_1")), QString::fromUtf8("Cod. CAFFÈ"));
        QVERIFY(!jobs().front().find(QStringLiteral("barre1")));
    }

    // A wrong custom sheet or an empty card is said plainly and prints nothing; the dialog stays open.
    void refusedChoicesPrintNothing() {
        test::typeText(card->txtCodice, QStringLiteral("ABC"));
        openLabels([&](TfrmEtichette* d) {
            d->cboFormato->setCurrentIndex(d->cboFormato->count() - 1);
            QVERIFY(d->txtLarghezza->isEnabled());
            d->txtLarghezza->setValue(80);  // 3 x 80 mm is wider than A4
            test::click(d->btnStampa);
            QVERIFY(d->isVisible());
        });
        QVERIFY(jobs().empty());
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown.back().text,
                 QStringLiteral("Le etichette non entrano nel foglio A4 (210 x 297 mm)."));

        test::typeText(card->txtCodice, QString());
        openLabels([&](TfrmEtichette* d) { test::click(d->btnStampa); });
        QVERIFY(jobs().empty());
        QCOMPARE(run->messages.shown.back().text, QStringLiteral("Non ci sono prodotti di cui stampare le etichette."));
    }

    // On the printed PDF, the first and the last label of a run of a sheet's worth stand where the sheet
    // has them, from a fresh sheet and from label 17 (the last one then on the second sheet).
    void labelsLandOnTheSheet_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("firstFree");
        for (const char* f : {"A4 3 x 7", "A4 3 x 8", "A4 4 x 10", "A4 2 x 7", "A4 5 x 13", "Rotolo"}) {
            for (int start : {1, 17}) {
                if (start == 17 && (QString::fromLatin1(f) == QStringLiteral("A4 2 x 7") ||
                                    QString::fromLatin1(f) == QStringLiteral("Rotolo")))
                    continue;  // 17 is past their sheet, which the dialog refuses
                QTest::addRow("%s da %d", f, start) << QString::fromLatin1(f) << start;
            }
        }
    }
    void labelsLandOnTheSheet() {
        QFETCH(QString, format);
        QFETCH(int, firstFree);
        const std::optional<LabelFormat> sheet = formatNamed(format);
        QVERIFY(sheet);
        LabelRun labels{{}, *sheet, firstFree, {}, true};
        for (int i = 0; i < sheet->perSheet(); ++i) labels.labels.push_back(labelOf("COD" + std::to_string(i)));
        const std::filesystem::path pdf = run->folder.file("etichette.pdf");
        QVERIFY(printToFile(labels, pdf));
        const auto boxes = layOutLabels(*sheet, sheet->perSheet(), firstFree);
        QVERIFY(boxes.ok());
        QStringList wrong;
        for (const auto& [box, which] :
             {std::pair{boxes->front(), QStringLiteral("first")}, std::pair{boxes->back(), QStringLiteral("last")}}) {
            const test::PrintedPage page = test::PrintedPage::of(pdf, box.page + 1, 300);
            QVERIFY(!page.isNull());
            QVERIFY(std::abs(page.sizeMm().width() - sheet->pageWidth) < 0.5);
            QVERIFY(std::abs(page.sizeMm().height() - sheet->pageHeight) < 0.5);
            wrong << misplacedEdges(page, box, which);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }

    // The closed loop: labels of every kind of barcode, printed to PDF and rasterised at 300 dpi as a
    // printer would, read back by ZBar as their product codes, on a roomy sheet and on the smallest one.
    void printedBarcodesReadBack_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("3 x 8") << "A4 3 x 8";
        QTest::newRow("5 x 13") << "A4 5 x 13";
    }
    void printedBarcodesReadBack() {
        QFETCH(QString, format);
        const std::optional<LabelFormat> sheet = formatNamed(format);
        QVERIFY(sheet);
        const std::vector<std::string> codes = {"4006381333931", "96385074", "036000291452", "ABC-123",
                                                "2000000000008"};
        LabelRun labels{{}, *sheet, 1, {}, false};
        for (const std::string& code : codes) labels.labels.push_back(labelOf(code));
        const std::filesystem::path pdf = run->folder.file("codici.pdf");
        QVERIFY(printToFile(labels, pdf));
        QTemporaryDir raster;
        QProcess pdftoppm;
        pdftoppm.start(
            QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
             QString::fromStdString(pdf.string()), raster.filePath(QStringLiteral("pagina"))});
        QVERIFY(pdftoppm.waitForFinished(60000) && pdftoppm.exitCode() == 0);
        const QImage page(raster.filePath(QStringLiteral("pagina.pgm")));
        QVERIFY(!page.isNull());
        const double pxPerMm = 300 / 25.4;
        const auto boxes = layOutLabels(*sheet, static_cast<int>(codes.size()), 1);
        QVERIFY(boxes.ok());
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const LabelBox& b = (*boxes)[i];
            const QImage label =
                page.copy(QRectF(b.x * pxPerMm, b.y * pxPerMm, b.width * pxPerMm, b.height * pxPerMm).toAlignedRect());
            QStringList read;
            for (const ReadBarcode& d : readBarcodes(label)) read << QString::fromStdString(d.text);
            QVERIFY2(read == QStringList{QString::fromStdString(codes[i])},
                     qPrintable(QString::fromStdString(codes[i]) + QStringLiteral(" read as: ") +
                                read.join(QLatin1Char(','))));
        }
    }
};

QTEST_MAIN(LabelPrintTest)
#include "LabelPrintTest.moc"
