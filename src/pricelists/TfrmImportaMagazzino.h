#pragma once

#include "products/ProductListScreens.h"

namespace scortavia {

// The product search opened from a slot of the price-list page editor: a double click fills the slot
// named in lblMemory ("prodotto_A" to "prodotto_H") with the product's texts and photo.
class TfrmImportaMagazzino final : public ProductSearchScreen {
    Q_OBJECT
public:
    TfrmImportaMagazzino(ScreenRegistry& registry, QWidget* owner);

protected:
    // The slot's name as the editor wrote it, surrounding blanks ignored.
    QString receiverKey() const override;
};

}  // namespace scortavia
