#include "reports/PrintService.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>

#include "reports/ReportTemplate.h"
#include "reports/TfrmPreview.h"

namespace scortavia {
namespace {

PrintService::Hook& hook() {
    static PrintService::Hook instance;
    return instance;
}

constexpr double kMarginMm = 10;

QFont fontFor(const ReportFont& f, double pixelsPerMm) {
    QFont font(f.family);
    // Stand-ins: list rows must keep a fixed pitch whatever font the system finds.
    if (f.family.contains(QLatin1String("Courier"), Qt::CaseInsensitive)) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else {
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPixelSize(std::max(1, qRound(f.pointSize * 25.4 / 72.0 * pixelsPerMm)));
    font.setBold(f.bold);
    return font;
}

void paintText(QPainter& p, const TextObject& text, const QRectF& rect, const QStringList& lines, double pxPerMm) {
    if (text.background.alpha() > 0) p.fillRect(rect, text.background);
    if (lines.isEmpty()) return;
    p.save();
    p.setClipRect(rect);  // no wrap: a long line is cut at the right edge
    p.setFont(fontFor(text.font, pxPerMm));
    p.setPen(text.color);
    const double inset = (text.alignment & Qt::AlignHCenter) ? 0 : 0.6 * pxPerMm;
    const Qt::Alignment horizontal = text.alignment & Qt::AlignHorizontal_Mask;
    if (lines.size() == 1) {
        p.drawText(rect.adjusted(inset, 0, -inset, 0), static_cast<int>(text.alignment | Qt::TextSingleLine),
                   lines.front());
    } else {
        const double pitch = text.linePitchMm() * pxPerMm;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QRectF line(rect.left() + inset, rect.top() + i * pitch, rect.width() - 2 * inset, pitch);
            p.drawText(line, static_cast<int>(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), lines[i]);
        }
    }
    p.restore();
}

void paintPicture(QPainter& p, const PictureObject& picture, const QRectF& rect) {
    if (picture.image.isNull()) return;
    const QSizeF fitted = QSizeF(picture.image.size()).scaled(rect.size(), Qt::KeepAspectRatio);
    QRectF target(rect.topLeft(), fitted);
    if (picture.centered) target.moveCenter(rect.center());
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, picture.image);
    p.restore();
}

}  // namespace

void PrintService::setHookForTesting(Hook h) { hook() = std::move(h); }

void PrintService::paintPage(QPainter& painter, const ReportTemplate&, const ReportPage& page, double pxPerMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QPointF origin(kMarginMm * pxPerMm, kMarginMm * pxPerMm);
    for (const PlacedObject& placed : page.objects) {
        const QRectF rect(origin + placed.rect.topLeft() * pxPerMm, placed.rect.size() * pxPerMm);
        switch (placed.kind()) {
            case ReportObject::Kind::Text:
                paintText(painter, static_cast<const TextObject&>(*placed.source), rect, placed.lines, pxPerMm);
                break;
            case ReportObject::Kind::Picture:
                paintPicture(painter, static_cast<const PictureObject&>(*placed.source), rect);
                break;
            case ReportObject::Kind::Line: {
                const auto& line = static_cast<const LineObject&>(*placed.source);
                painter.setPen(QPen(line.color, line.widthMm * pxPerMm));
                painter.drawLine(rect.topLeft(), rect.bottomRight());
                break;
            }
            case ReportObject::Kind::Box: {
                const auto& box = static_cast<const BoxObject&>(*placed.source);
                painter.setPen(QPen(box.border, box.widthMm * pxPerMm));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(rect);
                break;
            }
            case ReportObject::Kind::Band:
                break;  // a band is only a place for its objects
        }
    }
    painter.restore();
}

namespace {

// Paints the chosen pages (1-based, inclusive) on a started printer or PDF writer.
bool paintOn(QPagedPaintDevice& device, const ReportTemplate& report, int from, int to) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const double pxPerMm = device.logicalDpiX() / 25.4;
    for (int i = from; i <= to; ++i) {
        if (i > from) device.newPage();
        PrintService::paintPage(painter, report, report.pages()[static_cast<std::size_t>(i - 1)], pxPerMm);
    }
    return painter.end();
}

}  // namespace

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
    if (from <= to) paintOn(printer, report, from, to);
}

void PrintService::preview(const ReportTemplate& report, QWidget* parent) {
    if (hook()) {
        hook()(Request::Preview, report);
        return;
    }
    TfrmPreview window(report, parent);
    window.exec();
}

bool PrintService::writePdf(const ReportTemplate& report, const QString& path) {
    if (report.pages().empty()) return false;
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) return false;
    }
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageLayout(report.pageLayout());
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(report.name());
    writer.setCreator(QStringLiteral("Scortavia"));
    return paintOn(writer, report, 1, static_cast<int>(report.pages().size()));
}

}  // namespace scortavia
