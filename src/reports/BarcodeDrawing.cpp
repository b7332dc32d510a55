#include "reports/BarcodeDrawing.h"

#include <zint.h>

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <memory>

namespace scortavia {

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

int zintSymbology(Symbology symbology) {
    switch (symbology) {
        case Symbology::Ean13:
        case Symbology::Ean8:
            return BARCODE_EANX_CHK;
        case Symbology::UpcA:
            return BARCODE_UPCA_CHK;
        case Symbology::Code128:
            break;
    }
    return BARCODE_CODE128;
}

// Zint lays the symbol out with one vector unit per module (scale 0.5), standard quiet zones included.
Symbol encode(const BarcodeChoice& choice, bool withText) {
    Symbol symbol(ZBarcode_Create());
    if (!symbol) return nullptr;
    symbol->symbology = zintSymbology(*choice.symbology);
    symbol->input_mode = UNICODE_MODE;
    symbol->scale = 0.5f;
    symbol->output_options = BARCODE_QUIET_ZONES;
    symbol->show_hrt = withText ? 1 : 0;
    const auto* data = reinterpret_cast<const unsigned char*>(choice.content.data());
    if (ZBarcode_Encode(symbol.get(), data, static_cast<int>(choice.content.size())) >= ZINT_ERROR) return nullptr;
    if (ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR || !symbol->vector) return nullptr;
    return symbol;
}

// Bars shorter than this share of the symbol's width (or 15 modules) no longer sweep well under a
// hand scanner's line; below it the modules get narrower instead.
constexpr double kMinBarsToWidth = 0.15;
constexpr double kMinBarsModules = 15.0;

struct Fit {
    int module = 0;        // device dots per module, across
    double barDots = 0.0;  // device dots per unit of the ordinary bars' height
};

}  // namespace

bool drawBarcode(QPainter& painter, const QRectF& box, const BarcodeChoice& choice, bool withText) {
    if (!choice.symbology || box.isEmpty()) return false;
    const QTransform toDevice = painter.deviceTransform();
    if (toDevice.type() > QTransform::TxScale) return false;  // whole dots need an upright symbol
    const Symbol symbol = encode(choice, withText);
    if (!symbol) return false;
    const zint_vector& vector = *symbol->vector;

    // The ordinary bars end at `mainHeight`; EAN guard bars and the digits below reach further, a part
    // that keeps its proportion to the module width while the ordinary bars may be shortened.
    double mainHeight = vector.height;
    for (const zint_vector_rect* rect = vector.rectangles; rect; rect = rect->next)
        mainHeight = std::min<double>(mainHeight, rect->y + rect->height);
    const double tail = vector.height - mainHeight;
    const double modulesAcross = vector.width;

    const QRectF deviceBox = toDevice.mapRect(box);
    const QRect dots(
        QPoint(static_cast<int>(std::ceil(deviceBox.left())), static_cast<int>(std::ceil(deviceBox.top()))),
        QPoint(static_cast<int>(std::floor(deviceBox.right())) - 1,
               static_cast<int>(std::floor(deviceBox.bottom())) - 1));
    Fit fit;
    const double minBars = std::min(mainHeight, std::max(kMinBarsToWidth * modulesAcross, kMinBarsModules));
    // A device finer than any printer (a PDF file) gets modules and edges on a 1/300-inch grid, which is
    // whole dots again for the 300, 600 and 1200 dpi printers the file will meet.
    const int dpi = painter.device() ? painter.device()->logicalDpiX() : 0;
    const int grid = dpi > 600 ? std::max(1, dpi / 300) : 1;
    for (int module = static_cast<int>(dots.width() / modulesAcross) / grid * grid; module >= 1; module -= grid) {
        const double room = dots.height() - tail * module;
        if (room >= minBars * module) {
            fit = {module, std::min<double>(module, room / mainHeight)};
            break;
        }
    }
    if (fit.module == 0) return false;

    const int width = static_cast<int>(std::lround(modulesAcross)) * fit.module;
    const double height = mainHeight * fit.barDots + tail * fit.module;
    const int centred = dots.left() + (dots.width() - width) / 2;
    const int left = (centred + grid - 1) / grid * grid + width <= dots.right() + 1 ? (centred + grid - 1) / grid * grid
                                                                                    : centred / grid * grid;
    const double top = std::round(dots.top() + (dots.height() - height) / 2);
    // A height below the ordinary bars counts in whole modules, above it in the (maybe shortened) bars.
    const auto yAt = [&](double y) {
        return top + (y <= mainHeight ? y * fit.barDots : mainHeight * fit.barDots + (y - mainHeight) * fit.module);
    };
    const auto xAt = [&](double x) { return left + static_cast<int>(std::lround(x)) * fit.module; };

    painter.save();
    // From here on one unit is one device dot: the painter's world transform undoes the rest of its
    // device transform (view, and the offset of a widget painted inside its window).
    painter.setWorldTransform(toDevice.inverted() * painter.worldTransform());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRectF(left, top, width, height), Qt::white);
    for (const zint_vector_rect* rect = vector.rectangles; rect; rect = rect->next) {
        const int x = xAt(rect->x);
        const double y = std::round(yAt(rect->y));
        painter.fillRect(QRectF(x, y, xAt(rect->x + rect->width) - x, std::round(yAt(rect->y + rect->height)) - y),
                         Qt::black);
    }
    if (withText) {
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(Qt::black);
        for (const zint_vector_string* string = vector.strings; string; string = string->next) {
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(
                std::max(1, static_cast<int>(std::lround(static_cast<double>(string->fsize) * fit.module))));
            const QString text = QString::fromUtf8(reinterpret_cast<const char*>(string->text), string->length);
            const double room = string->width > 0 ? static_cast<double>(string->width) * fit.module : width;
            const double natural = QFontMetricsF(font).horizontalAdvance(text);
            if (natural > room && natural > 0)
                font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / natural)));
            painter.setFont(font);
            const double textWidth = QFontMetricsF(font).horizontalAdvance(text);
            const double anchor = left + static_cast<double>(string->x) * fit.module;
            const double x = string->halign == 1   ? anchor
                             : string->halign == 2 ? anchor - textWidth
                                                   : anchor - textWidth / 2;
            painter.drawText(QPointF(x, yAt(string->y)), text);
        }
    }
    painter.restore();
    return true;
}

}  // namespace scortavia
