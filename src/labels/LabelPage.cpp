#include "labels/LabelPage.h"

#include <QPainter>

#include "common/Barcode.h"
#include "reports/BarcodeDrawing.h"
#include "reports/ReportTemplate.h"
#include "ui/QtText.h"

namespace scortavia {
namespace {

// Room kept inside each label's edge, where a slightly shifted sheet would cut the print.
constexpr double kInsetMm = 1.5;

struct Line {
    QString text;
    double pointSize;
    bool bold;
};

}  // namespace

bool fillLabelPages(ReportTemplate& report, const LabelRun& run) {
    const auto boxes = layOutLabels(run.format, static_cast<int>(run.labels.size()), run.firstFree);
    if (!boxes) return false;
    report.setPaper(QSizeF(run.format.pageWidth, run.format.pageHeight), 0);
    // The smaller the label, the smaller its text: a 38 x 21 mm label still takes a name and a price.
    const double scale = std::clamp(run.format.labelHeight / 37.0, 0.6, 1.2);
    for (std::size_t i = 0; i < boxes->size(); ++i) {
        const LabelBox& box = (*boxes)[i];
        const LabelProduct& label = run.labels[i];
        const QString n = QString::number(i + 1);
        const QRectF outer(box.x, box.y, box.width, box.height);
        if (run.outlines) {
            // The whole line inside the label, so its outer side is the label's edge, even at the paper's.
            constexpr double kEdgeMm = 0.2;
            const double half = kEdgeMm / 2;
            auto* edge = report.add(
                std::make_unique<BoxObject>(QStringLiteral("bordo") + n, outer.adjusted(half, half, -half, -half)));
            edge->widthMm = kEdgeMm;
            edge->border = Qt::black;
            edge->setPage(box.page);
        }
        const QRectF inner = outer.adjusted(kInsetMm, kInsetMm, -kInsetMm, -kInsetMm);
        std::vector<Line> top;
        if (run.parts.name) top.push_back({toQString(label.name), 10 * scale, true});
        if (run.parts.category && !label.category.empty()) top.push_back({toQString(label.category), 7 * scale, false});
        const BarcodeChoice choice = barcodeFor(label.code);
        const bool bars = run.parts.barcode && !label.code.empty() && choice.symbology;
        // A code no barcode can hold is printed as text where its bars would have gone.
        const bool codeAsText = run.parts.code || (run.parts.barcode && !label.code.empty() && !bars);
        if (codeAsText) top.push_back({QStringLiteral("Cod. ") + toQString(label.code), 7 * scale, false});
        if (run.parts.price) top.push_back({toQString(label.price), 12 * scale, true});
        double y = inner.top();
        for (std::size_t k = 0; k < top.size(); ++k) {
            const double height = top[k].pointSize * 0.3528 * 1.35;  // the line's pitch in mm
            auto* text = report.addText(QStringLiteral("testo") + n + QLatin1Char('_') + QString::number(k),
                                        QRectF(inner.left(), y, inner.width(), height),
                                        ReportFont{QStringLiteral("Arial"), top[k].pointSize, top[k].bold}, Qt::black,
                                        Qt::transparent, Qt::AlignHCenter | Qt::AlignVCenter);
            text->setText(top[k].text);
            text->setPage(box.page);
            y += height;
        }
        if (bars && inner.bottom() - y > 4) {
            auto* barcode = report.add(std::make_unique<PaintedObject>(
                QStringLiteral("barre") + n, QRectF(inner.left(), y, inner.width(), inner.bottom() - y),
                [choice](QPainter& painter, const QRectF& rect, double) { drawBarcode(painter, rect, choice, true); }));
            barcode->setPage(box.page);
        }
    }
    return true;
}

}  // namespace scortavia
