#include <gtest/gtest.h>

#include <string>

#include "products/ProductRows.h"
#include "support/Records.h"

namespace scortavia {
namespace {

ProductRecord sample() {
    ProductRecord r;
    r.setText(ProductRecord::Codice, "VT-0042");
    r.setText(ProductRecord::Nome, "Vite autofilettante");
    r.setText(ProductRecord::Tipologia, "Ferramenta");
    r.setText(ProductRecord::Giacenza, "120");
    r.setText(ProductRecord::Pagato, "Sì");
    r.setText(ProductRecord::DataSca, "31/12/2026");
    r.setText(ProductRecord::Costo, "0,15");
    r.setText(ProductRecord::Ditta, "Bulloneria Rossi");
    return r;
}

TEST(ProductRows, FormatAPlacesEveryColumn) {
    EXPECT_EQ(productRowA(sample().view()),
              "Cod. VT-0042               "
              "  Vite autofilettante               "
              "  Cat. Ferramenta            "
              "  Giac. 120 "
              "  Pagato: Sì"
              "  Scad. 31/12/2026"
              "  Costo: € 0,15");
}

TEST(ProductRows, FormatBPlacesEveryColumn) {
    EXPECT_EQ(productRowB(sample().view()),
              "Cod. VT-0042             "
              "  Vite autofilettante           "
              "  Ferramenta          "
              "  Giac. 120 "
              "  Bulloneria Rossi        "
              "  Scad. 31/12/2026"
              "  Costo: € 0,15");
}

TEST(ProductRows, LongCodesAreCutButTheCostNeverIs) {
    auto r = sample();
    r.setText(ProductRecord::Codice, "ABCDEFGHIJKLMNOPQRSTUVWXY");  // 25 characters
    r.setText(ProductRecord::Costo, "123456789,99");
    const std::string a = productRowA(r.view());
    const std::string b = productRowB(r.view());
    EXPECT_EQ(a.substr(0, 29), "Cod. ABCDEFGHIJKLMNOPQRSTUV  ");
    EXPECT_EQ(b.substr(0, 27), "Cod. ABCDEFGHIJKLMNOPQRST  ");
    EXPECT_TRUE(a.ends_with("Costo: € 123456789,99"));
    EXPECT_TRUE(b.ends_with("Costo: € 123456789,99"));
}

TEST(ProductRows, EmptyRecordStillGivesFixedColumns) {
    const std::string a = productRowA(ProductRecord().view());
    EXPECT_EQ(a, "Cod. " + std::string(22, ' ') + "  " + std::string(34, ' ') + "  Cat. " + std::string(22, ' ') +
                     "  Giac.     " + "  Pagato:   " + "  Scad. " + std::string(10, ' ') + "  Costo: € ");
}

}  // namespace
}  // namespace scortavia
