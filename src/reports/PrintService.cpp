#include "reports/PrintService.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>

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

// Paints the chosen pages (1-based, inclusive) with a started painter, telling `progress` of each;
// false when the job was cancelled or the device refused a page.
bool paintPages(QPainter& painter, QPagedPaintDevice& device, const ReportTemplate& report, int from, int to,
                PrintProgress& progress) {
    PagePainter pages(painter, device.logicalDpiX() / 25.4);
    for (int i = from; i <= to; ++i) {
        if (i > from && !device.newPage()) return false;
        pages.paint(report.pages()[static_cast<std::size_t>(i - 1)]);
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
    printer.setFullPage(true);
    printer.setPageLayout(report.pageLayout());
    printer.setDocName(report.name());
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

bool PrintService::printPages(QPrinter& printer, const ReportTemplate& report, int from, int to, QWidget* parent) {
    if (from < 1 || from > to || to > static_cast<int>(report.pages().size())) return false;
    // Printed to a file: into a temporary one beside it, which takes the file's name once complete.
    const QString target = printer.outputFileName();
    std::unique_ptr<QTemporaryFile> partial;
    if (!target.isEmpty()) {
        partial = std::make_unique<QTemporaryFile>(target + QStringLiteral(".XXXXXX"));
        if (!partial->open()) return false;
        partial->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                QFileDevice::ReadOther);
        partial->close();
        printer.setOutputFileName(partial->fileName());
    }
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
    if (!partial) return complete;
    printer.setOutputFileName(target);
    if (!complete) return false;
    if (std::rename(QFile::encodeName(partial->fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    partial->setAutoRemove(false);
    return true;
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
