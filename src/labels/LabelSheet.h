#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"

// Label sheets: the formats the shop can print on and where each label of a run falls on its page.
// Every size is in millimetres on the page.
namespace scortavia {

struct LabelFormat {
    std::string name;  // as the format drop-down shows it
    double pageWidth = 210.0;
    double pageHeight = 297.0;
    int columns = 1;
    int rows = 1;
    double labelWidth = 0.0;
    double labelHeight = 0.0;
    double left = 0.0;  // page edge to the first column
    double top = 0.0;   // page edge to the first row
    double gapX = 0.0;  // between two columns
    double gapY = 0.0;  // between two rows

    int perSheet() const { return columns * rows; }
};

// The common A4 sheets (3x7, 3x8, 4x10, 2x7, 5x13, centred on the page) and the single-label roll, in the
// order the drop-down lists them. The custom format is not in the table: the user types its sizes.
const std::vector<LabelFormat>& labelFormats();

// The A4 sheet of the user's own sizes, checked: every size positive, at least one label, and every label
// inside the page. The failure carries the Italian text the dialog shows.
Result<LabelFormat> customLabelFormat(int columns, int rows, double labelWidth, double labelHeight, double left,
                                      double top, double gapX, double gapY);

struct LabelBox {
    int page = 0;  // 0-based
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
};

// The boxes of `count` labels, in print order (rows left to right, top to bottom, sheet after sheet). The
// first sheet is partly used: printing starts at `firstFree` (1-based, counted the same way), later sheets
// start at their first label. A first free label outside one sheet is refused rather than wrapped onto a
// later sheet, since the user means a place on the sheet in the printer.
Result<std::vector<LabelBox>> layOutLabels(const LabelFormat& format, int count, int firstFree);

// The number of pages `count` labels take from `firstFree`.
int labelPageCount(const LabelFormat& format, int count, int firstFree);

}  // namespace scortavia
