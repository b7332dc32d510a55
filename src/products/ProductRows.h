#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/ListRows.h"
#include "storage/ProductRecord.h"

namespace scortavia {

using ProductColumn = RowColumn<ProductLayout::Field>;
using ProductRowColumns = std::array<ProductColumn, 7>;

// Row format A, of the product search, the under-stock list and the goods-in picker: code, name, category, stock,
// paid flag, due date and cost.
inline constexpr ProductRowColumns kProductRowA = {{
    {"Cod. ", ProductLayout::Codice, 22, "Codice"},
    {"  ", ProductLayout::Nome, 34, "Nome prodotto"},
    {"  Cat. ", ProductLayout::Tipologia, 22, "Categoria"},
    {"  Giac. ", ProductLayout::Giacenza, 4, "Giac."},
    {"  Pagato: ", ProductLayout::Pagato, 2, "Pagato"},
    {"  Scad. ", ProductLayout::DataSca, 10, "Scadenza"},
    {"  Costo: € ", ProductLayout::Costo, kWholeValue, "Costo"},
}};

// Row format B, of the unpaid list: code, name, category, stock, supplier, due date and cost.
inline constexpr ProductRowColumns kProductRowB = {{
    {"Cod. ", ProductLayout::Codice, 20, "Codice"},
    {"  ", ProductLayout::Nome, 30, "Nome prodotto"},
    {"  ", ProductLayout::Tipologia, 20, "Categoria"},
    {"  Giac. ", ProductLayout::Giacenza, 4, "Giac."},
    {"  ", ProductLayout::Ditta, 24, "Fornitore"},
    {"  Scad. ", ProductLayout::DataSca, 10, "Scadenza"},
    {"  Costo: € ", ProductLayout::Costo, kWholeValue, "Costo"},
}};

std::string productRowA(const ProductView& product);
void appendProductRowA(std::string& out, const ProductView& product);

// Format A's columns with another value at the end in place of the cost: `literal`, then the field's text, trimmed
// and never cut (the goods-out picker shows the selling price).
ProductRowColumns productRowAEndingWith(std::string_view literal, ProductLayout::Field value);
void appendProductRowAEndingWith(std::string& out, const ProductView& product, std::string_view literal,
                                 ProductLayout::Field value);

std::string productRowB(const ProductView& product);
void appendProductRowB(std::string& out, const ProductView& product);

}  // namespace scortavia
