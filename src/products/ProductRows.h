#pragma once

#include <string>

#include "storage/ProductRecord.h"

namespace scortavia {

// List row of the product search and the under-stock list: code, name, category, stock, paid flag,
// due date and cost in fixed-width columns.
std::string productRowA(const ProductView& product);
void appendProductRowA(std::string& out, const ProductView& product);

// List row of the unpaid list: code, name, category, stock, supplier, due date and cost.
std::string productRowB(const ProductView& product);
void appendProductRowB(std::string& out, const ProductView& product);

}  // namespace scortavia
