#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "reports/ListReport.h"
#include "reports/PrintProgress.h"
#include "reports/PrintService.h"
#include "reports/TfrmPreview.h"
#include "support/GuiActions.h"
#include "support/GuiRecorders.h"
#include "support/PrintedPage.h"
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

// A list laid out over `pages` pages (at least 2): 53 rows under the title, 56 on every full page,
// 30 and the footer on the last.
std::unique_ptr<ReportTemplate> listOfPages(int pages) {
    auto report = makeListTemplate();
    fillList(*report, QStringLiteral("Titolo"), rows(53 + 56 * (pages - 2) + 30));
    report->prepare();
    return report;
}

// The pages of a PDF file, as its page objects count them.
int pdfPages(const std::filesystem::path& file) {
    const std::string bytes = test::readBytes(file);
    const std::string page = "/Type /Page\n";
    int count = 0;
    for (auto at = bytes.find(page); at != std::string::npos; at = bytes.find(page, at + 1)) ++count;
    return count;
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Stands in for the progress window while alive: records each page reported and stops the job
// after `stopAfter` pages (0: never).
class ProgressScript final {
public:
    explicit ProgressScript(int stopAfter) {
        PrintProgress::setHookForTesting([this, stopAfter](int done, int total) {
            pages << done;
            pageCount = total;
            return stopAfter == 0 || done < stopAfter;
        });
    }
    ~ProgressScript() { PrintProgress::setHookForTesting({}); }
    ProgressScript(const ProgressScript&) = delete;
    ProgressScript& operator=(const ProgressScript&) = delete;

    QList<int> pages;
    int pageCount = 0;
};

QList<int> oneTo(int n) {
    QList<int> out;
    for (int i = 1; i <= n; ++i) out << i;
    return out;
}

// A PDF of pages `from` to `to`, written directly or printed to a file through the printer path.
bool writeJob(const QString& through, const ReportTemplate& report, const std::filesystem::path& file, int from,
              int to) {
    const QString path = QString::fromStdString(file.string());
    if (through == QLatin1String("pdf")) return PrintService::writePdf(report, path);
    QPrinter printer(QPrinter::HighResolution);
    PrintService::setUpPrinter(printer, report);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return PrintService::printPages(printer, report, from, to, nullptr);
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

    // A line longer than its box is cut at the box's right edge whatever its alignment: it comes out
    // as the same line aligned left would. One that fits keeps its alignment.
    // clang-format off
    void aLongLineIsCutAtTheRightWhateverItsAlignment_data() {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("fits");
        const QString price = QString::fromUtf8("€  123456789,00");
        const QString longer = QString::fromUtf8("€  1234567890123456,00");
        QTest::newRow("right, a little too long") << int(Qt::AlignRight) << price << false;
        QTest::newRow("right, far too long") << int(Qt::AlignRight) << longer << false;
        QTest::newRow("centred, a little too long") << int(Qt::AlignHCenter) << price << false;
        QTest::newRow("centred, far too long") << int(Qt::AlignHCenter) << longer << false;
        QTest::newRow("right, fits") << int(Qt::AlignRight) << QString::fromUtf8("€  12,50") << true;
        QTest::newRow("centred, fits") << int(Qt::AlignHCenter) << QString::fromUtf8("€  12,50") << true;
    }
    // clang-format on
    void aLongLineIsCutAtTheRightWhateverItsAlignment() {
        QFETCH(int, alignment);
        QFETCH(QString, line);
        QFETCH(bool, fits);
        const QRectF box(40, 30, 40.4, 7);  // on the sheet, inside the margins
        const double pxPerMm = 300 / 25.4;
        // The line alone in a box 40.4 mm wide, Arial 16 pt bold, painted as a page.
        TextObject text(QStringLiteral("txtPrezzo"), box.translated(-10, -10));
        text.font = {QStringLiteral("Arial"), 16, true};
        text.setText(line);
        auto painted = [&](Qt::Alignment horizontal) {
            ReportTemplate report(QStringLiteral("Prova"), QPageLayout::Portrait);
            text.alignment = horizontal | Qt::AlignVCenter;
            report.add(std::make_unique<TextObject>(text));
            report.prepare();
            QImage image((report.paperMm() * pxPerMm).toSize(), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            PrintService::paintPage(painter, report, report.pages().front(), pxPerMm);
            return image;
        };
        const QImage page = painted(Qt::Alignment(alignment));
        if (!fits) {
            QVERIFY(page == painted(Qt::AlignLeft));
            return;
        }
        text.alignment = Qt::Alignment(alignment) | Qt::AlignVCenter;
        const QRectF ink = test::PrintedPage::of(page, pxPerMm).lineInk(box);
        const QRectF expected = test::expectedLineInk(text, box, line);
        if (alignment == Qt::AlignRight) QVERIFY(std::abs(ink.right() - expected.right()) < 0.2);
        if (alignment == Qt::AlignHCenter) QVERIFY(std::abs(ink.center().x() - expected.center().x()) < 0.2);
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

        // A link planted under the name: replaced by the PDF, what it pointed to left alone.
        test::TempFolder outside;
        test::writeBytes(outside.file("altro.pdf"), "non toccare");
        std::filesystem::create_symlink(outside.file("altro.pdf"), folder.file("collegata.pdf"));
        QVERIFY(PrintService::writePdf(*report, QString::fromStdString(folder.file("collegata.pdf").string())));
        QCOMPARE(test::readBytes(outside.file("altro.pdf")), std::string("non toccare"));
        QVERIFY(!std::filesystem::is_symlink(std::filesystem::symlink_status(folder.file("collegata.pdf"))));
        QCOMPARE(test::readBytes(folder.file("collegata.pdf")).substr(0, 5), std::string("%PDF-"));
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

    // Enter presses the button that has the focus, and only that one.
    void enterPressesTheFocusedButtonOfThePreview() {
        auto report = makeListTemplate();
        fillList(*report, QStringLiteral("Titolo"), rows(3));
        report->prepare();
        TfrmPreview preview(*report, nullptr);
        QSignalSpy printed(preview.btnStampa, &QPushButton::clicked);
        QSignalSpy full(preview.btnSchermoIntero, &QPushButton::clicked);
        const std::optional<int> closed = test::execWith<TfrmPreview>(preview, [&](TfrmPreview& window) {
            window.btnSchermoIntero->setFocus();
            QVERIFY(test::pressKey(Qt::Key_Return));
            QCOMPARE(full.count(), 1);
            window.btnChiudi->setFocus();
            QVERIFY(test::pressKey(Qt::Key_Enter, Qt::KeypadModifier));
        });
        QVERIFY(closed.has_value());
        QCOMPARE(printed.count(), 0);
        QVERIFY(!preview.isVisible());
    }

    void rowsLandWhereDrawTextPutsThem() {
        // The rows are painted as one glyph run per page; each must come out exactly as one line of
        // text in its own strip, 0.6 mm in from the left, would. The row in another script goes the
        // slow way, the long row is cut at the edge either way.
        const QStringList lines{QStringLiteral("Cod. ART-1007919        Vite autofilettante 1   Cat. Ferramenta"),
                                QStringLiteral("  ÀÈÉ àèéìòù Œœ € 12,50 “Sì” – fine …"),
                                QStringLiteral("Cod. 日本語 שלום e\u0301 mista"), QString(220, QLatin1Char('W')),
                                QStringLiteral("[DATE] resta com'è")};
        auto report = makeListTemplate();
        fillList(*report, QStringLiteral("Titolo"), lines);
        report->prepare();
        const PlacedObject* text = report->pages()[0].find("txtRiepilogo");
        const auto& source = static_cast<const TextObject&>(*text->source);

        const double pxPerMm = 300 / 25.4;
        const QRectF rect(QPointF(10, 10) * pxPerMm + text->rect.topLeft() * pxPerMm, text->rect.size() * pxPerMm);
        // Rows land on whole pixels: a baseline a fraction of a pixel off shows only at some positions.
        int differing = 0;
        int inked = 0;
        for (const double fraction : {0.0, 0.25, 0.5, 0.75}) {
            const QPointF offset(0, -std::floor(rect.top()) + 20 + fraction);
            auto painted = [&](const std::function<void(QPainter&)>& paint) {
                QImage image(3600, 400, QImage::Format_RGB32);
                image.fill(Qt::white);
                QPainter painter(&image);
                painter.translate(offset);
                paint(painter);
                return image;
            };
            const QImage fast =
                painted([&](QPainter& p) { PrintService::paintPage(p, *report, report->pages()[0], pxPerMm); });
            const QImage expected = painted([&](QPainter& p) {
                QFont font(source.font.family);
                font.setStyleHint(QFont::TypeWriter);
                font.setFixedPitch(true);
                font.setPixelSize(qRound(source.font.pointSize * 25.4 / 72.0 * pxPerMm));
                p.setRenderHint(QPainter::Antialiasing);
                p.setRenderHint(QPainter::TextAntialiasing);
                p.setFont(font);
                p.setClipRect(rect);
                const double inset = 0.6 * pxPerMm;
                const double pitch = source.linePitchMm() * pxPerMm;
                for (int i = 0; i < lines.size(); ++i) {
                    p.drawText(QRectF(rect.left() + inset, rect.top() + i * pitch, rect.width() - 2 * inset, pitch),
                               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, lines[i]);
                }
            });
            const QRect compared = rect.translated(offset).toAlignedRect();
            for (int y = compared.top(); y <= compared.bottom(); ++y) {
                for (int x = compared.left(); x <= compared.right(); ++x) {
                    differing += fast.pixel(x, y) != expected.pixel(x, y);
                    inked += qGray(expected.pixel(x, y)) < 128;
                }
            }
        }
        QVERIFY(inked > 10000);
        QCOMPARE(differing, 0);
    }

    void aPrintedLongListGivesBackItsRowsAndPages() {
        auto report = makeListTemplate();
        test::PrintRecorder printer;
        const QStringList all = rows(200);
        printList(nullptr, *report, QStringLiteral("Titolo"), all);
        QCOMPARE(printer.jobs.size(), size_t(1));
        QCOMPARE(printer.jobs[0].pages.size(), size_t(4));
        QCOMPARE(printer.jobs[0].linesOnAllPages("txtRiepilogo"), all);
        QVERIFY(report->pages().empty());
        QCOMPARE(report->find<TextObject>("txtRiepilogo")->lineCount(), 0);
        // The template fills and prints again as before, footer included.
        printList(nullptr, *report, QStringLiteral("Di nuovo"), all);
        QCOMPARE(printer.jobs.size(), size_t(2));
        QCOMPARE(printer.jobs[1].text("txtTitolo"), QStringLiteral("Di nuovo"));
        QCOMPARE(printer.jobs[1].linesOnAllPages("txtRiepilogo"), all);
        QCOMPARE(printer.jobs[1].find("txtPagina", 3)->lines, QStringList{"Stampa eseguita in data " + today});
    }

    // clang-format off
    void aCancelledJobLeavesNoPartialFile_data() {
        QTest::addColumn<QString>("through");
        QTest::addColumn<bool>("fileThere");
        QTest::newRow("pdf, new name") << "pdf" << false;
        QTest::newRow("pdf, over a file") << "pdf" << true;
        QTest::newRow("printer to a file, new name") << "printer" << false;
        QTest::newRow("printer to a file, over a file") << "printer" << true;
    }
    // clang-format on
    void aCancelledJobLeavesNoPartialFile() {
        QFETCH(QString, through);
        QFETCH(bool, fileThere);
        test::TempFolder folder;
        const auto file = folder.file("lista.pdf");
        const std::string before = "la stampa di ieri";
        if (fileThere) test::writeBytes(file, before);
        auto report = listOfPages(6);
        ProgressScript progress(2);
        QVERIFY(!writeJob(through, *report, file, 1, 6));
        QCOMPARE(progress.pages, (QList<int>{1, 2}));  // nothing painted after the cancel
        QCOMPARE(namesIn(folder.path()),
                 fileThere ? std::vector<std::string>{"lista.pdf"} : std::vector<std::string>{});
        if (fileThere) QCOMPARE(test::readBytes(file), before);
    }

    // clang-format off
    void aFinishedJobHasEveryPage_data() {
        QTest::addColumn<QString>("through");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("pdf") << "pdf" << false << 1 << 6;
        QTest::newRow("pdf over an old one") << "pdf" << true << 1 << 6;
        QTest::newRow("printer to a file, every page") << "printer" << false << 1 << 6;
        QTest::newRow("printer to a file, pages 2 to 4, over an old one") << "printer" << true << 2 << 4;
    }
    // clang-format on
    void aFinishedJobHasEveryPage() {
        QFETCH(QString, through);
        QFETCH(bool, fileThere);
        QFETCH(int, from);
        QFETCH(int, to);
        test::TempFolder folder;
        const auto file = folder.file("lista.pdf");
        if (fileThere) test::writeBytes(file, "la stampa di ieri");
        auto report = listOfPages(6);
        ProgressScript progress(0);
        QVERIFY(writeJob(through, *report, file, from, to));
        const int count = to - from + 1;
        QCOMPARE(progress.pages, oneTo(count));
        QCOMPARE(progress.pageCount, count);
        QCOMPARE(namesIn(folder.path()), std::vector<std::string>{"lista.pdf"});
        QCOMPARE(pdfPages(file), count);
    }

    void aLongJobShowsItsProgressAndAnnullaStopsIt() {
        // The window shows once the job looks like lasting over a second: 2,500 pages of full-width rows
        // take several seconds here, and would take over one on a machine a few times faster.
        test::TempFolder folder;
        QStringList wide;
        for (int i = 0; i < 53 + 56 * 2498 + 30; ++i)
            wide << QStringLiteral("Cod. ART-%1 ").arg(i, 7) + QString(140, 'x');
        auto report = makeListTemplate();
        fillList(*report, QStringLiteral("Titolo"), wide);
        report->prepare();
        QWidget owner;
        owner.show();
        QString title;
        QString label;
        QString cancel;
        Qt::WindowModality modality = Qt::NonModal;
        QWidget* parent = nullptr;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<QProgressDialog*>(window);
                if (!progress || !progress->isVisible()) continue;
                poll.stop();
                title = progress->windowTitle();
                label = progress->labelText();
                modality = progress->windowModality();
                parent = progress->parentWidget();
                auto* button = progress->findChild<QPushButton*>();
                cancel = button->text();
                test::click(button);
                return;
            }
        });
        poll.start();
        const auto file = folder.file("lista.pdf");
        QVERIFY(!PrintService::writePdf(*report, QString::fromStdString(file.string()), &owner));
        QCOMPARE(title, QStringLiteral("Stampa"));
        QVERIFY2(QRegularExpression(QStringLiteral("^Creazione del PDF in corso...\nPagina \\d+ di 2500$"))
                     .match(label)
                     .hasMatch(),
                 qPrintable(label));
        QCOMPARE(cancel, QStringLiteral("Annulla"));
        QCOMPARE(modality, Qt::WindowModal);
        QCOMPARE(parent, &owner);
        QVERIFY(namesIn(folder.path()).empty());
    }

    void cancellingThePreviewsRenderingCancelsThePreview() {
        auto report = listOfPages(4);
        {
            ProgressScript progress(1);
            TfrmPreview preview(*report, nullptr);
            QVERIFY(!preview.rendered());
            QVERIFY(preview.findChild<QLabel*>("imgPagina1"));
            QVERIFY(!preview.findChild<QLabel*>("imgPagina2"));
        }
        // Shown, then a new zoom cancelled: the window closes.
        TfrmPreview preview(*report, nullptr);
        QVERIFY(preview.rendered());
        preview.show();
        ProgressScript progress(2);
        preview.cmbZoom->setCurrentIndex(0);
        QCOMPARE(progress.pages, (QList<int>{1, 2}));
        QVERIFY(!preview.isVisible());
        QCOMPARE(preview.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(ReportEngineTest)
#include "ReportEngineTest.moc"
