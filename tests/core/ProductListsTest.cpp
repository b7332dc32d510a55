#include <gtest/gtest.h>

#include "products/ProductLists.h"
#include "products/ProductRows.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"

namespace scortavia {
namespace {

using P = ProductLayout;

struct SearchCase {
    const char* name;
    std::vector<std::pair<std::size_t, std::string>> typed;  // search field index, text as typed
    std::vector<std::string> listedCodes;                    // in list order
};

class ProductSearch : public test::ProductArchiveFixture, public testing::WithParamInterface<SearchCase> {};

TEST_P(ProductSearch, ListsTheMatchingProducts) {
    withProducts({
        test::product("A1", "Vernice ROSSO fuoco", {{P::Costo, "12,00"}}),
        test::product("A2", "Smalto Rosso", {{P::Costo, "112,50"}, {P::Ditta, "Colorificio Bianchi"}}),
        test::product("A3", "VITE", {{P::Costo, "3,12"}, {P::Tipologia, "Città"}}),
        test::product("A4", "Vite autofilettante", {{P::Costo, "7,00"}, {P::Tipologia, "CITTÀ"}}),
    });
    SearchTexts texts{};
    for (const auto& [i, t] : GetParam().typed) texts[i] = t;
    RowList rows;
    ASSERT_TRUE(fillSearchList(archive, texts, rows).ok());
    std::vector<std::string> codes;
    for (std::size_t i = 0; i < rows.size(); ++i) codes.emplace_back(rows[i].substr(5, 2));
    EXPECT_EQ(codes, GetParam().listedCodes);
}

// Field indexes: 0 code, 1 cost, 2 name, 3 category, 6 supplier.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, ProductSearch,
    testing::Values(SearchCase{"AllBlankListsEverything", {}, {"A1", "A2", "A3", "A4"}},
                    SearchCase{"BlanksOnlyCountAsBlank", {{2, "   "}, {6, "\t"}}, {"A1", "A2", "A3", "A4"}},
                    SearchCase{"FoldsAToZ", {{2, "rosso"}}, {"A1", "A2"}},
                    SearchCase{"AccentsAreNotFolded", {{3, "è"}}, {}},
                    SearchCase{"AccentedCapitalOnlyFindsItself", {{3, "cittÀ"}}, {"A4"}},
                    SearchCase{"TrailingBlankMustOccur", {{2, "vite "}}, {"A4"}},  // "VITE" ends there: no blank after it
                    SearchCase{"CostDigitsAnywhere", {{1, "12"}}, {"A1", "A2", "A3"}},
                    SearchCase{"TwoFieldsMustBothMatch", {{2, "rosso"}, {6, "bianchi"}}, {"A2"}},
                    SearchCase{"NothingMatches", {{0, "zz"}}, {}}),
    [](const testing::TestParamInfo<SearchCase>& c) { return c.param.name; });
// clang-format on

class ProductWatchLists : public test::ProductArchiveFixture {};

TEST_F(ProductWatchLists, UnderStockListsStockAtOrBelowTheLevel) {
    withProducts({test::product("B", "Prodotto", {{P::Giacenza, "5"}, {P::Avviso, "5"}}),
                  test::product("C", "Prodotto", {{P::Giacenza, "6"}, {P::Avviso, "5"}}),
                  test::product("a", "Prodotto", {{P::Giacenza, "-3"}, {P::Avviso, "0"}})});
    RowList rows;
    ASSERT_TRUE(fillUnderStockList(archive, rows).ok());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].starts_with("Cod. a "));  // sorted by code, a folded to A
    EXPECT_TRUE(rows[1].starts_with("Cod. B "));
}

TEST_F(ProductWatchLists, AStockOrLevelThatIsNotANumberIsSkippedAndCounted) {
    withProducts({test::product("Z", "Prodotto", {{P::Giacenza, "1"}, {P::Avviso, "2"}}),
                  test::product("X", "Prodotto", {{P::Giacenza, "tanti"}, {P::Avviso, "2"}}),
                  test::product("Y", "Prodotto", {{P::Giacenza, "0"}, {P::Avviso, "2"}}),
                  test::product("W", "Prodotto", {{P::Giacenza, "0"}, {P::Avviso, "?"}})});
    RowList rows;
    SkippedRecords skipped;
    EXPECT_TRUE(fillUnderStockList(archive, rows, &skipped).ok());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].starts_with("Cod. Y "));
    EXPECT_TRUE(rows[1].starts_with("Cod. Z "));
    EXPECT_EQ(skipped.count, 2u);
    EXPECT_EQ(skipped.firstPositions, (std::vector<std::int64_t>{2, 4}));
}

TEST_F(ProductWatchLists, UnpaidListsExactlyNo) {
    withProducts({test::product("N", "Prodotto", {{P::Pagato, "No"}, {P::Ditta, "Rossi"}}),
                  test::product("S", "Prodotto", {{P::Pagato, "Sì"}}),
                  test::product("E", "Prodotto", {{P::Pagato, ""}}),
                  test::product("O", "Prodotto", {{P::Pagato, "no"}})});
    RowList rows;
    ASSERT_TRUE(fillUnpaidList(archive, rows).ok());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].starts_with("Cod. N "));
    EXPECT_NE(rows[0].find("  Giac. 0     Rossi"), std::string::npos) << "format B shows the supplier: " << rows[0];
}

TEST_F(ProductWatchLists, AnUnreadableArchiveIsAFailure) {
    std::filesystem::create_directory(archive);
    RowList rows;
    EXPECT_FALSE(fillSearchList(archive, SearchTexts{}, rows).ok());
    EXPECT_TRUE(rows.empty());
}

TEST_F(ProductWatchLists, ARowFindsTheLastIdenticalProduct) {
    const auto twin = test::product("T", "Gemello", {{P::Note, "primo"}});
    withProducts({twin, test::product("U"), test::withFields(twin, {{P::Note, "secondo"}})});
    const std::string row = "  " + productRowA(twin.view()) + "  ";
    auto found = findProductByRow(archive, row, RowFormat::A);
    ASSERT_TRUE(found.ok());
    ASSERT_TRUE(found->has_value());
    EXPECT_EQ((*found)->position, 3);
    EXPECT_EQ(ProductView((*found)->bytes.data()).text(P::Note), "secondo");
    auto none = findProductByRow(archive, "Cod. nessuno", RowFormat::A);
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->has_value());
}

}  // namespace
}  // namespace scortavia
