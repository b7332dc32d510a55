#pragma once

#include "common/Barcode.h"

class QPainter;
class QRectF;

namespace scortavia {

// Draws the barcode of `choice` inside `box` (the painter's logical units) so that it scans when printed:
// each module is a whole number of device dots (from the painter's device and transform), the quiet zones
// are kept, the bars are never stretched out of proportion (the symbol sits centred in a larger box), and
// `withText` puts the human-readable digits under the bars. Returns false, drawing nothing, when the
// choice has no symbology or the box is too small for one dot per module.
bool drawBarcode(QPainter& painter, const QRectF& box, const BarcodeChoice& choice, bool withText);

}  // namespace scortavia
