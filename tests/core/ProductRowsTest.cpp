#include <gtest/gtest.h>

#include <string>

#include "products/ProductRows.h"
#include "support/Records.h"

namespace scortavia {
namespace {

using P = ProductLayout;

// The fields the two row formats show, on an otherwise empty record.
ProductRecord sample() {
    return test::record<ProductRecord>({{P::Codice, "VT-0042"},
                                        {P::Nome, "Vite autofilettante"},
                                        {P::Tipologia, "Ferramenta"},
                                        {P::Giacenza, "120"},
                                        {P::Pagato, "Sì"},
                                        {P::DataSca, "31/12/2026"},
                                        {P::Costo, "0,15"},
                                        {P::Ditta, "Bulloneria Rossi"}});
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
    const auto r = test::withFields(sample(), {{P::Codice, "ABCDEFGHIJKLMNOPQRSTUVWXY"},  // 25 characters
                                               {P::Costo, "123456789,99"}});
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
