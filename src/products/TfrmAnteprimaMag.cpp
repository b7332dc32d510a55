#include "products/TfrmAnteprimaMag.h"

namespace scortavia {

TfrmAnteprimaMag::TfrmAnteprimaMag(ScreenRegistry& registry, QWidget* owner)
    : ProductPrintDialog(registry, owner, Mode::Preview) {}

}  // namespace scortavia
