#pragma once

#include <string>
#include <string_view>

#include "storage/ProductRecord.h"

namespace scortavia {

// List row of the product search and the under-stock list: code, name, category, stock, paid flag,
// due date and cost in fixed-width columns.
std::string productRowA(const ProductView& product);
void appendProductRowA(std::string& out, const ProductView& product);

// Row format A with another value at its end in place of the cost: `literal`, then the field's text,
// trimmed and never cut (the goods-out picker shows the selling price).
void appendProductRowAEndingWith(std::string& out, const ProductView& product, std::string_view literal,
                                 ProductLayout::Field value);

// List row of the unpaid list: code, name, category, stock, supplier, due date and cost.
std::string productRowB(const ProductView& product);
void appendProductRowB(std::string& out, const ProductView& product);

}  // namespace scortavia
