#pragma once

#include "products/ProductCardReport.h"

namespace scortavia {

// Prints the product card on screen, with or without its photo, through the print dialog.
class TfrmStampaMag final : public ProductPrintDialog {
    Q_OBJECT
public:
    TfrmStampaMag(ScreenRegistry& registry, QWidget* owner);
};

}  // namespace scortavia
