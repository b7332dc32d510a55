#pragma once

#include <QString>

#include "storage/ProductRecord.h"
#include "ui/HandOver.h"

namespace scortavia {

// A movement card that the product picker fills from the product whose stock it moved.
class ProductImportTarget {
public:
    virtual ~ProductImportTarget() = default;
    // The product's code, category, name, features and unit value (cost or selling price, as the
    // card's direction says), and the quantity moved.
    virtual void importProduct(const ProductView& product, const QString& quantity) = 0;
};

template <>
struct HandOverReceiver<HandOver::ProductImport> {
    using type = ProductImportTarget;
};

}  // namespace scortavia
