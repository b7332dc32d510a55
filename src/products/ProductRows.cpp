#include "products/ProductRows.h"

namespace scortavia {
namespace {

using P = ProductLayout;

// The heading over a value that ends a format A row.
constexpr std::string_view endHeading(P::Field value) {
    switch (value) {
        case P::Costo:
            return "Costo";
        case P::Prezzo:
            return "Prezzo";
        default:
            return "";
    }
}

}  // namespace

void appendProductRowA(std::string& row, const ProductView& product) {
    const std::size_t start = row.size();
    appendColumns<kProductRowA>(row, product);
    blankControls(row, start);
}

ProductRowColumns productRowAEndingWith(std::string_view literal, P::Field value) {
    ProductRowColumns columns = kProductRowA;
    columns.back() = {literal, value, kWholeValue, endHeading(value)};
    return columns;
}

void appendProductRowAEndingWith(std::string& row, const ProductView& product, std::string_view literal,
                                 P::Field value) {
    const std::size_t start = row.size();
    appendColumns<kProductRowA, kProductRowA.size() - 1>(row, product);  // all but the cost
    row += literal;
    product.appendText(value, row);  // trimmed, never cut
    blankControls(row, start);
}

void appendProductRowB(std::string& row, const ProductView& product) {
    const std::size_t start = row.size();
    appendColumns<kProductRowB>(row, product);
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
