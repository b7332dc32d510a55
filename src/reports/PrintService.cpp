#include "reports/PrintService.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "reports/HeapTrim.h"
#include "reports/PagePainter.h"
#include "reports/PrintProgress.h"
#include "reports/ReportTemplate.h"
#include "reports/TfrmPreview.h"
#include "storage/FileAccess.h"

namespace scortavia {
namespace {

PrintService::Hook& hook() {
    static PrintService::Hook instance;
    return instance;
}

// Where the report's sheet goes on the device's paper: pixels to the report's millimetre, and the
// sheet's top-left corner in the painter's coordinates. The pages carry their own margins, so on
// paper of the report's size the sheet is the paper itself. Other paper (Letter chosen in the print
// dialog) takes the sheet centred, shrunk to fit when it is smaller: nothing shifts or falls off.
struct Placement {
    double pxPerMm;
    QPointF corner;
};

Placement placementOn(const QPagedPaintDevice& device, QSizeF sheet) {
    const QPageLayout layout = device.pageLayout();
    const QSizeF paper = layout.fullRect(QPageLayout::Millimeter).size();
    // Within a millimetre it is the report's own paper, as a printer may round it.
    const bool same = std::abs(paper.width() - sheet.width()) < 1 && std::abs(paper.height() - sheet.height()) < 1;
    const double scale = same ? 1 : std::min({1.0, paper.width() / sheet.width(), paper.height() / sheet.height()});
    QPointF corner((paper.width() - sheet.width() * scale) / 2, (paper.height() - sheet.height() * scale) / 2);
    // Outside full-page mode the painter starts at the layout's margins.
    if (layout.mode() != QPageLayout::FullPageMode) {
        const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
        corner -= QPointF(margins.left(), margins.top());
    }
    const double deviceMm = device.logicalDpiX() / 25.4;
    return {deviceMm * scale, corner * deviceMm};
}

// Paints the chosen pages (1-based, inclusive) with a started painter, telling `progress` of each;
// false when the job was cancelled or the device refused a page.
bool paintPages(QPainter& painter, QPagedPaintDevice& device, const ReportTemplate& report, int from, int to,
                PrintProgress& progress) {
    const Placement placement = placementOn(device, report.paperMm());
    PagePainter pages(painter, placement.pxPerMm);
    for (int i = from; i <= to; ++i) {
        if (i > from && !device.newPage()) return false;
        painter.save();
        painter.translate(placement.corner);
        pages.paint(report.pages()[static_cast<std::size_t>(i - 1)]);
        painter.restore();
        if (!progress.pageDone(i - from + 1)) return false;
    }
    return true;
}

}  // namespace

void PrintService::setHookForTesting(Hook h) { hook() = std::move(h); }

void PrintService::paintPage(QPainter& painter, const ReportTemplate&, const ReportPage& page, double pxPerMm) {
    PagePainter(painter, pxPerMm).paint(page);
}

void PrintService::print(const ReportTemplate& report, QWidget* parent) {
    if (hook()) {
        hook()(Request::Print, report);
        return;
    }
    if (report.pages().empty()) return;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, report);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    dialog.setMinMax(1, static_cast<int>(report.pages().size()));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile |
                      QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) return;
    int from = 1;
    int to = static_cast<int>(report.pages().size());
    if (printer.printRange() == QPrinter::PageRange) {
        from = std::max(from, printer.fromPage());
        to = std::min(to, printer.toPage() > 0 ? printer.toPage() : to);
    }
    if (from <= to) printPages(printer, report, from, to, parent);
}

void PrintService::setUpPrinter(QPrinter& printer, const ReportTemplate& report) {
    printer.setPageLayout(report.pageLayout());
    // After the layout, which would turn it off again: the painter starts at the paper's corner and
    // the pages bring their own margins.
    printer.setFullPage(true);
    printer.setDocName(report.name());
}

bool PrintService::printPages(QPrinter& printer, const ReportTemplate& report, int from, int to, QWidget* parent) {
    if (from < 1 || from > to || to > static_cast<int>(report.pages().size())) return false;
    const auto paint = [&] {
        // Whatever the dialog made of the layout, the pages bring their own margins.
        printer.setFullPage(true);
        bool complete = false;
        {
            PrintProgress progress(parent, PrintProgress::Job::Printer, to - from + 1);
            QPainter painter;
            if (painter.begin(&printer)) {
                complete = paintPages(painter, printer, report, from, to, progress);
                // Qt's own engines (CUPS, PDF) cannot abort a job: there painting stops where it is and
                // the job is closed with the pages it has.
                if (!complete) printer.abort();
                painter.end();
            }
        }
        trimHeapWhenIdle();
        return complete;
    };
    const QString target = printer.outputFileName();
    if (target.isEmpty()) return paint();
    // Printed to a file: into a temporary one beside it, which takes the file's name once complete. The
    // file is whole on disk before the rename; a folder that cannot be synced then is no failed print.
    const Status written = writeFileReplacing(
        std::filesystem::path(QFile::encodeName(target).toStdString()), 0644,
        [&](int, const std::filesystem::path& temporary) {
            printer.setOutputFileName(QFile::decodeName(temporary.c_str()));
            const bool complete = paint();
            printer.setOutputFileName(target);
            return complete ? Status::success() : Status::failure("print to " + temporary.string());
        },
        FolderSync::BestEffort);
    return written.ok();
}

void PrintService::preview(const ReportTemplate& report, QWidget* parent) {
    if (hook()) {
        hook()(Request::Preview, report);
        return;
    }
    {
        TfrmPreview window(report, parent);
        // Cancelling the rendering of the pages cancels the preview.
        if (window.rendered()) window.exec();
    }
    trimHeapWhenIdle();
}

bool PrintService::writePdf(const ReportTemplate& report, const QString& path, QWidget* parent) {
    const int count = static_cast<int>(report.pages().size());
    if (count == 0) return false;
    // Painted into memory, then written beside `path` and renamed over it: a cancelled or failed
    // job leaves no file, and a link standing at `path` is replaced, never written through.
    QBuffer file;
    if (!file.open(QIODevice::WriteOnly)) return false;
    bool complete = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageLayout(report.pageLayout());
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(report.name());
        writer.setCreator(QStringLiteral("Scortavia"));
        PrintProgress progress(parent, PrintProgress::Job::Pdf, count);
        QPainter painter;
        if (painter.begin(&writer)) {
            complete = paintPages(painter, writer, report, 1, count, progress);
            complete = painter.end() && complete;
        }
    }
    trimHeapWhenIdle();
    const QByteArray& bytes = file.data();
    return complete && replaceFileContents(std::filesystem::path(path.toStdString()),
                                           std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
                           .ok();
}

}  // namespace scortavia
