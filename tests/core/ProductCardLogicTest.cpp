#include <gtest/gtest.h>

#include "products/ProductCard.h"

namespace scortavia {
namespace {

using P = ProductLayout;

ProductTexts filled() {
    ProductTexts t{};
    t[P::Codice] = "VT-01";
    t[P::Costo] = "1,00";
    t[P::Nome] = "Vite";
    t[P::UM] = "Scatola";
    t[P::Tipologia] = "Ferramenta";
    t[P::Caratteristiche] = "Inox";
    t[P::Prezzo] = "2,00";
    return t;
}

TEST(ProductCardLogic, MandatoryFieldsAreCheckedInOrder) {
    EXPECT_FALSE(firstMissingMandatory(filled()).has_value());
    // Emptying fields from the last to the first: the reported one is always the earliest blank.
    ProductTexts t = filled();
    for (auto it = kProductMandatory.rbegin(); it != kProductMandatory.rend(); ++it) {
        t[it->field] = "  ";
        const auto missing = firstMissingMandatory(t);
        ASSERT_TRUE(missing.has_value());
        EXPECT_EQ(missing->field, it->field);
    }
    ProductTexts onlyNotes = filled();
    onlyNotes[P::Note] = "";
    onlyNotes[P::Giacenza] = "";
    EXPECT_FALSE(firstMissingMandatory(onlyNotes).has_value()) << "only the seven boxes are mandatory";
}

TEST(ProductCardLogic, TextsSurviveARecord) {
    ProductTexts t = filled();
    t[P::Pagato] = "Sì";
    t[P::DataSca] = "31/12/2026";
    t[P::Desc03] = "Manuale d'uso";
    t[P::Nome] = "  Vite  ";
    const ProductTexts back = productTextsOf(productRecordFrom(t).view());
    EXPECT_EQ(back[P::Nome], "Vite");
    EXPECT_EQ(back[P::Pagato], "Sì");
    EXPECT_EQ(back[P::Desc03], "Manuale d'uso");
    EXPECT_EQ(back[P::DataSca], "31/12/2026");
}

struct CutCase {
    const char* text;
    std::size_t capacity;
    bool changes;
};

class ProductCardCut : public testing::TestWithParam<CutCase> {};

TEST_P(ProductCardCut, OnlyACutThatChangesTheNumberIsRefused) {
    EXPECT_EQ(cutChangesNumber(GetParam().text, GetParam().capacity), GetParam().changes) << GetParam().text;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ProductCardCut,
                         testing::Values(CutCase{"12,50", 12, false},            // fits
                                         CutCase{"1234567890,50", 12, false},    // cut to 1234567890,5: same
                                         CutCase{"999999999999,00", 12, false},  // cut to 999999999999: same
                                         CutCase{"12345678901,25", 12, true},    // cut to 12345678901,: another
                                         CutCase{"12345", 4, true},              // stock beyond 4 characters
                                         CutCase{"-1000", 4, true},
                                         CutCase{"14,5", 4, false},
                                         CutCase{"abcdefghijklmn", 12, false}));  // not a number: plain text
// clang-format on

struct StockCase {
    const char* stock;
    const char* quantity;
    bool add;
    StockTotal expected;
};

class ProductCardStock : public testing::TestWithParam<StockCase> {};

TEST_P(ProductCardStock, CalcolaTotale) {
    const auto& c = GetParam();
    const StockTotal t = computeStockTotal(c.stock, c.quantity, c.add);
    EXPECT_EQ(t.stock, c.expected.stock);
    EXPECT_EQ(t.quantity, c.expected.quantity);
    EXPECT_EQ(t.total, c.expected.total);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ProductCardStock,
                         testing::Values(StockCase{"10", "5", true, {"10", "5", "15"}},
                                         StockCase{"2", "5", false, {"2", "5", "-3"}},
                                         StockCase{"", " ", true, {"0", "0", "0"}},
                                         StockCase{"14,5", "1", true, {"14,5", "1", "15,5"}},
                                         StockCase{"1,2,3", "1", true, {"0", "0", "0"}},
                                         StockCase{"7", "x", false, {"0", "0", "0"}}));
// clang-format on

TEST(ProductCardLogic, StockMustFitFourCharacters) {
    for (const char* ok : {"9999", "-999", "0", "15,5", " 12 "}) EXPECT_TRUE(stockFitsField(ok)) << ok;
    for (const char* bad : {"10000", "-1000", "-999,5"}) EXPECT_FALSE(stockFitsField(bad)) << bad;
}

}  // namespace
}  // namespace scortavia
