#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QProcess>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "reports/ReportTemplate.h"

// Measures printouts where they end up: on a page of the PDF file, rasterised as a viewer or a
// printer would, or on the page the preview painted; in millimetres from the sheet's top-left corner.
namespace scortavia::test {

// What counts as ink: a grey this far from the paper's (or from the fill's under a text), so
// light fills count too.
inline constexpr int kInkBy = 25;

class PrintedPage final {
public:
    // Page `number` (1-based) of `pdf`, rasterised in grey by pdftoppm; null when that fails.
    static PrintedPage of(const std::filesystem::path& pdf, int number, int dpi = 150) {
        PrintedPage page;
        QTemporaryDir folder;
        if (!folder.isValid()) return page;
        const QString prefix = folder.filePath(QStringLiteral("pagina"));
        const QString n = QString::number(number);
        QProcess pdftoppm;
        pdftoppm.start(
            QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-f"), n,
             QStringLiteral("-l"), n, QStringLiteral("-singlefile"), QString::fromStdString(pdf.string()), prefix});
        if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitStatus() != QProcess::NormalExit ||
            pdftoppm.exitCode() != 0)
            return page;
        page.image_ = QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
        page.pxPerMm_ = dpi / 25.4;
        return page;
    }

    // A page painted in memory (the preview's), `pxPerMm` pixels to the millimetre.
    static PrintedPage of(const QImage& painted, double pxPerMm) {
        PrintedPage page;
        page.image_ = painted.convertToFormat(QImage::Format_Grayscale8);
        page.pxPerMm_ = pxPerMm;
        return page;
    }

    bool isNull() const { return image_.isNull(); }
    QSizeF sizeMm() const { return QSizeF(image_.size()) / pxPerMm_; }

    // Where ink starts walking along the line at `acrossMm` (a row when `horizontal`, else a
    // column) from `fromMm` to `toMm`: the outer side of the first inked pixel. Nothing when the
    // walk meets no ink.
    std::optional<double> firstInk(bool horizontal, double acrossMm, double fromMm, double toMm) const {
        const int across = static_cast<int>(acrossMm * pxPerMm_);
        const int from = static_cast<int>(fromMm * pxPerMm_);
        const int to = static_cast<int>(toMm * pxPerMm_);
        const int step = to >= from ? 1 : -1;
        for (int i = from; i != to + step; i += step) {
            if (horizontal ? inked(i, across) : inked(across, i)) return (step > 0 ? i : i + 1) / pxPerMm_;
        }
        return std::nullopt;
    }

    // The ink of one line of text expected in `slotMm`: the runs of pixel rows, over the slot's
    // width and up to `reachMm` above and below it, that differ from the slot's background (its
    // commonest grey: the paper, or the fill the text stands on) and reach into the slot. Runs of
    // the lines above and below stay out: a row of background parts them from this line. Give a
    // text on a fill no reach, since the paper around the fill is not its background.
    QRectF lineInk(const QRectF& slotMm, double reachMm = 1.0) const {
        const int left = std::max(0, static_cast<int>(slotMm.left() * pxPerMm_));
        const int right = std::min(image_.width() - 1, static_cast<int>(slotMm.right() * pxPerMm_));
        const int slotTop = static_cast<int>(slotMm.top() * pxPerMm_);
        const int slotBottom = std::min(image_.height() - 1, static_cast<int>(slotMm.bottom() * pxPerMm_));
        const int top = std::max(0, static_cast<int>((slotMm.top() - reachMm) * pxPerMm_));
        const int bottom = std::min(image_.height() - 1, static_cast<int>((slotMm.bottom() + reachMm) * pxPerMm_));
        std::array<int, 256> greys{};
        for (int y = std::max(0, slotTop); y <= slotBottom; ++y) {
            for (int x = left; x <= right; ++x) ++greys[image_.constScanLine(y)[x]];
        }
        const int background = static_cast<int>(std::max_element(greys.begin(), greys.end()) - greys.begin());
        const auto differs = [&](int x, int y) { return std::abs(image_.constScanLine(y)[x] - background) > kInkBy; };
        int inkTop = -1;
        int inkBottom = -1;
        int inkLeft = right + 1;
        int inkRight = left - 1;
        int runStart = -1;
        int runLeft = 0;
        int runRight = 0;
        for (int y = top; y <= bottom + 1; ++y) {
            int rowLeft = right + 1;
            int rowRight = left - 1;
            for (int x = left; y <= bottom && x <= right; ++x) {
                if (differs(x, y)) {
                    rowLeft = std::min(rowLeft, x);
                    rowRight = x;
                }
            }
            if (rowRight >= left) {
                if (runStart < 0) {
                    runStart = y;
                    runLeft = rowLeft;
                    runRight = rowRight;
                }
                runLeft = std::min(runLeft, rowLeft);
                runRight = std::max(runRight, rowRight);
                continue;
            }
            if (runStart >= 0 && runStart <= slotBottom && y - 1 >= slotTop) {
                if (inkTop < 0) inkTop = runStart;
                inkBottom = y - 1;
                inkLeft = std::min(inkLeft, runLeft);
                inkRight = std::max(inkRight, runRight);
            }
            runStart = -1;
        }
        if (inkTop < 0) return {};
        return QRectF(inkLeft / pxPerMm_, inkTop / pxPerMm_, (inkRight + 1 - inkLeft) / pxPerMm_,
                      (inkBottom + 1 - inkTop) / pxPerMm_);
    }

private:
    bool inked(int x, int y) const {
        if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return false;
        return image_.constScanLine(y)[x] < 255 - kInkBy;
    }

    QImage image_;
    double pxPerMm_ = 1;
};

// Where the ink of `line` belongs when it is the only line of `text` in `slotMm` (millimetres on the
// sheet) and the page is drawn `scale` times its size: the line's box centred in the slot's height,
// 0.6 mm in from the side it is aligned to, cut at the slot's right edge. Worked out from the font
// alone, so it does not take the painter's word for it.
inline QRectF expectedLineInk(const TextObject& text, const QRectF& slotMm, const QString& line, double scale = 1) {
    constexpr double k = 100;  // pixels to the sheet's millimetre: a size where the font's metrics scale evenly
    QFont font(text.font.family);
    if (text.font.family.contains(QLatin1String("Courier"), Qt::CaseInsensitive)) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else {
        font.setStyleHint(QFont::SansSerif);
    }
    font.setBold(text.font.bold);
    font.setPixelSize(qRound(text.font.pointSize * 25.4 / 72.0 * scale * k));
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(line);
    const double advance = metrics.horizontalAdvance(line);
    const double inset = 0.6 * scale * k;
    const double width = slotMm.width() * k;
    const Qt::Alignment horizontal = text.alignment & Qt::AlignHorizontal_Mask;
    double start = inset;
    if (horizontal & Qt::AlignRight) start = width - inset - advance;
    if (horizontal & Qt::AlignHCenter) start = (width - advance) / 2;
    const double baseline = (slotMm.height() * k - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    QRectF placed = ink.translated(start, baseline);
    placed.setRight(std::min(placed.right(), width));
    return QRectF(slotMm.topLeft() + placed.topLeft() / k, placed.size() / k);
}

}  // namespace scortavia::test
