#include "labels/LabelSheet.h"

#include <cmath>

namespace scortavia {

namespace {

// An A4 portrait sheet of `columns` x `rows` labels placed from its margins with the gaps given.
LabelFormat a4Sheet(std::string name, int columns, int rows, double width, double height, double left, double top,
                    double gapX, double gapY) {
    LabelFormat f;
    f.name = std::move(name);
    f.columns = columns;
    f.rows = rows;
    f.labelWidth = width;
    f.labelHeight = height;
    f.left = left;
    f.top = top;
    f.gapX = gapX;
    f.gapY = gapY;
    return f;
}

// The same, the labels centred on the sheet.
LabelFormat centredA4Sheet(std::string name, int columns, int rows, double width, double height, double gapX,
                           double gapY) {
    const LabelFormat a4;
    return a4Sheet(std::move(name), columns, rows, width, height,
                   (a4.pageWidth - columns * width - (columns - 1) * gapX) / 2.0,
                   (a4.pageHeight - rows * height - (rows - 1) * gapY) / 2.0, gapX, gapY);
}

LabelFormat roll(std::string name, double width, double height) {
    LabelFormat f;
    f.name = std::move(name);
    f.pageWidth = width;
    f.pageHeight = height;
    f.labelWidth = width;
    f.labelHeight = height;
    return f;
}

// Sizes within a hundredth of a millimetre count as fitting: the sheets' own sizes are rounded to 0.1 mm.
constexpr double kSlack = 0.01;

}  // namespace

const std::vector<LabelFormat>& labelFormats() {
    static const std::vector<LabelFormat> formats = {
        centredA4Sheet("A4 3 x 7 (70 x 42,3 mm)", 3, 7, 70.0, 42.3, 0.0, 0.0),
        centredA4Sheet("A4 3 x 8 (70 x 37 mm)", 3, 8, 70.0, 37.0, 0.0, 0.0),
        centredA4Sheet("A4 4 x 10 (48,5 x 25,4 mm)", 4, 10, 48.5, 25.4, 0.0, 0.0),
        centredA4Sheet("A4 2 x 7 (105 x 42,3 mm)", 2, 7, 105.0, 42.3, 0.0, 0.0),
        centredA4Sheet("A4 5 x 13 (38 x 21,2 mm)", 5, 13, 38.0, 21.2, 2.5, 0.0),
        roll("Rotolo 62 x 29 mm", 62.0, 29.0),
    };
    return formats;
}

Result<LabelFormat> customLabelFormat(int columns, int rows, double labelWidth, double labelHeight, double left,
                                      double top, double gapX, double gapY) {
    if (columns < 1 || rows < 1) return Status::failure("Indicare almeno una colonna e una riga di etichette.");
    if (!(labelWidth > 0.0) || !(labelHeight > 0.0))
        return Status::failure("La larghezza e l'altezza dell'etichetta devono essere maggiori di zero.");
    if (!(left >= 0.0) || !(top >= 0.0) || !(gapX >= 0.0) || !(gapY >= 0.0))
        return Status::failure("I margini e le spaziature non possono essere negativi.");
    const LabelFormat f = a4Sheet("Personalizzato", columns, rows, labelWidth, labelHeight, left, top, gapX, gapY);
    const double right = left + columns * labelWidth + (columns - 1) * gapX;
    const double bottom = top + rows * labelHeight + (rows - 1) * gapY;
    if (right > f.pageWidth + kSlack || bottom > f.pageHeight + kSlack)
        return Status::failure("Le etichette non entrano nel foglio A4 (210 x 297 mm).");
    return f;
}

Result<std::vector<LabelBox>> layOutLabels(const LabelFormat& format, int count, int firstFree) {
    const int perSheet = format.perSheet();
    if (perSheet < 1) return Status::failure("Formato di etichette senza etichette.");
    if (firstFree < 1 || firstFree > perSheet)
        return Status::failure("La prima etichetta libera deve essere tra 1 e " + std::to_string(perSheet) + ".");
    std::vector<LabelBox> boxes;
    if (count <= 0) return boxes;
    boxes.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int slot = firstFree - 1 + i;  // counted from the first label of the first sheet
        const int onSheet = slot % perSheet;
        LabelBox box;
        box.page = slot / perSheet;
        const int column = onSheet % format.columns;
        const int row = onSheet / format.columns;  // whole rows: the division is meant to drop the rest
        box.x = format.left + column * (format.labelWidth + format.gapX);
        box.y = format.top + row * (format.labelHeight + format.gapY);
        box.width = format.labelWidth;
        box.height = format.labelHeight;
        boxes.push_back(box);
    }
    return boxes;
}

int labelPageCount(const LabelFormat& format, int count, int firstFree) {
    const int perSheet = format.perSheet();
    if (count <= 0 || perSheet < 1) return 0;
    return (firstFree - 1 + count - 1) / perSheet + 1;
}

}  // namespace scortavia
