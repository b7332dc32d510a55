#pragma once

#include "products/ProductCardReport.h"

namespace scortavia {

// Shows the product card on screen, with or without its photo, in the preview window.
class TfrmAnteprimaMag final : public ProductPrintDialog {
    Q_OBJECT
public:
    TfrmAnteprimaMag(ScreenRegistry& registry, QWidget* owner);
};

}  // namespace scortavia
