#pragma once

#include <vector>

#include "labels/LabelProducts.h"
#include "labels/LabelSheet.h"

namespace scortavia {

class ReportTemplate;

// What one run prints: the labels, on which sheet, from which label, showing which parts.
struct LabelRun {
    std::vector<LabelProduct> labels;
    LabelFormat format;
    int firstFree = 1;
    LabelParts parts;
    bool outlines = false;  // each label's edge drawn, to line a sheet up on plain paper
};

// Fills a template made for labels with the pages of a run: its paper becomes the sheet's, without
// margins, and every label its texts and barcode in its box. False when the first free label is
// outside the sheet.
bool fillLabelPages(ReportTemplate& report, const LabelRun& run);

}  // namespace scortavia
