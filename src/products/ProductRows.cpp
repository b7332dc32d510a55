#include "products/ProductRows.h"

#include "common/ListRows.h"

namespace scortavia {
namespace {

using P = ProductLayout;

constexpr std::string_view kCostLiteral = "  Costo: € ";

void column(std::string& row, std::string_view literal, const ProductView& product, P::Field field, std::size_t width) {
    row += literal;
    product.appendFitted(field, width, row);
}

void lastValue(std::string& row, const ProductView& product, std::string_view literal, P::Field field) {
    row += literal;
    product.appendText(field, row);  // trimmed, never cut
}

void cost(std::string& row, const ProductView& product) { lastValue(row, product, kCostLiteral, P::Costo); }

}  // namespace

void appendProductRowAEndingWith(std::string& row, const ProductView& product, std::string_view literal,
                                 P::Field value) {
    const std::size_t start = row.size();
    column(row, "Cod. ", product, P::Codice, 22);
    column(row, "  ", product, P::Nome, 34);
    column(row, "  Cat. ", product, P::Tipologia, 22);
    column(row, "  Giac. ", product, P::Giacenza, 4);
    column(row, "  Pagato: ", product, P::Pagato, 2);
    column(row, "  Scad. ", product, P::DataSca, 10);
    lastValue(row, product, literal, value);
    blankControls(row, start);
}

void appendProductRowA(std::string& row, const ProductView& product) {
    appendProductRowAEndingWith(row, product, kCostLiteral, P::Costo);
}

void appendProductRowB(std::string& row, const ProductView& product) {
    const std::size_t start = row.size();
    column(row, "Cod. ", product, P::Codice, 20);
    column(row, "  ", product, P::Nome, 30);
    column(row, "  ", product, P::Tipologia, 20);
    column(row, "  Giac. ", product, P::Giacenza, 4);
    column(row, "  ", product, P::Ditta, 24);
    column(row, "  Scad. ", product, P::DataSca, 10);
    cost(row, product);
    blankControls(row, start);
}

std::string productRowA(const ProductView& product) {
    std::string row;
    appendProductRowA(row, product);
    return row;
}

std::string productRowB(const ProductView& product) {
    std::string row;
    appendProductRowB(row, product);
    return row;
}

}  // namespace scortavia
