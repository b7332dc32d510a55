#include "products/TfrmStampaMag.h"

namespace scortavia {

TfrmStampaMag::TfrmStampaMag(ScreenRegistry& registry, QWidget* owner)
    : ProductPrintDialog(registry, owner, Mode::Print) {}

}  // namespace scortavia
