#include <gtest/gtest.h>

#include "products/ProductLists.h"
#include "products/ProductRows.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using P = ProductLayout;

ProductRecord card(const std::string& code, std::initializer_list<std::pair<P::Field, std::string>> fields) {
    ProductRecord r = test::product(code);
    for (const auto& [f, v] : fields) r.setText(f, v);
    return r;
}

struct SearchCase {
    const char* name;
    std::vector<std::pair<std::size_t, std::string>> typed;  // search field index, text as typed
    std::vector<std::string> listedCodes;                    // in list order
};

class ProductSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(ProductSearch, ListsTheMatchingProducts) {
    test::TempFolder folder;
    const std::vector<ProductRecord> products = {
        card("A1", {{P::Nome, "Vernice ROSSO fuoco"}, {P::Costo, "12,00"}}),
        card("A2", {{P::Nome, "Smalto Rosso"}, {P::Costo, "112,50"}, {P::Ditta, "Colorificio Bianchi"}}),
        card("A3", {{P::Nome, "VITE"}, {P::Costo, "3,12"}, {P::Tipologia, "Città"}}),
        card("A4", {{P::Nome, "Vite autofilettante"}, {P::Costo, "7,00"}, {P::Tipologia, "CITTÀ"}}),
    };
    test::writeBytes(folder.file("Magazzino.pro"), test::archiveBytes(products));
    SearchTexts texts{};
    for (const auto& [i, t] : GetParam().typed) texts[i] = t;
    RowList rows;
    ASSERT_TRUE(fillSearchList(folder.file("Magazzino.pro"), texts, rows).ok());
    std::vector<std::string> codes;
    for (std::size_t i = 0; i < rows.size(); ++i) codes.emplace_back(rows[i].substr(5, 2));
    EXPECT_EQ(codes, GetParam().listedCodes);
}

// Field indexes: 0 code, 1 cost, 2 name, 3 category, 6 supplier.
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

TEST(ProductWatchLists, UnderStockListsStockAtOrBelowTheLevel) {
    test::TempFolder folder;
    test::writeBytes(folder.file("Magazzino.pro"),
                     test::archiveBytes(std::vector{card("B", {{P::Giacenza, "5"}, {P::Avviso, "5"}}),
                                                    card("C", {{P::Giacenza, "6"}, {P::Avviso, "5"}}),
                                                    card("a", {{P::Giacenza, "-3"}, {P::Avviso, "0"}})}));
    RowList rows;
    ASSERT_TRUE(fillUnderStockList(folder.file("Magazzino.pro"), rows).ok());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].starts_with("Cod. a "));  // sorted by code, a folded to A
    EXPECT_TRUE(rows[1].starts_with("Cod. B "));
}

TEST(ProductWatchLists, AStockThatIsNotANumberEndsTheFillingKeepingTheRowsSoFar) {
    test::TempFolder folder;
    test::writeBytes(folder.file("Magazzino.pro"),
                     test::archiveBytes(std::vector{card("Z", {{P::Giacenza, "1"}, {P::Avviso, "2"}}),
                                                    card("X", {{P::Giacenza, "tanti"}, {P::Avviso, "2"}}),
                                                    card("Y", {{P::Giacenza, "0"}, {P::Avviso, "2"}})}));
    RowList rows;
    EXPECT_FALSE(fillUnderStockList(folder.file("Magazzino.pro"), rows).ok());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].starts_with("Cod. Z "));
}

TEST(ProductWatchLists, UnpaidListsExactlyNo) {
    test::TempFolder folder;
    test::writeBytes(folder.file("Magazzino.pro"),
                     test::archiveBytes(std::vector{card("N", {{P::Pagato, "No"}, {P::Ditta, "Rossi"}}), card("S", {{P::Pagato, "Sì"}}),
                                                    card("E", {{P::Pagato, ""}}), card("O", {{P::Pagato, "no"}})}));
    RowList rows;
    ASSERT_TRUE(fillUnpaidList(folder.file("Magazzino.pro"), rows).ok());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].starts_with("Cod. N "));
    EXPECT_NE(rows[0].find("  Giac. 0     Rossi"), std::string::npos) << "format B shows the supplier: " << rows[0];
}

TEST(ProductWatchLists, AnUnreadableArchiveIsAFailure) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.file("Magazzino.pro"));
    RowList rows;
    EXPECT_FALSE(fillSearchList(folder.file("Magazzino.pro"), SearchTexts{}, rows).ok());
    EXPECT_TRUE(rows.empty());
}

TEST(ProductWatchLists, ARowFindsTheLastIdenticalProduct) {
    test::TempFolder folder;
    auto twin = card("T", {{P::Nome, "Gemello"}, {P::Note, "primo"}});
    auto later = card("T", {{P::Nome, "Gemello"}, {P::Note, "secondo"}});
    test::writeBytes(folder.file("Magazzino.pro"), test::archiveBytes(std::vector{twin, card("U", {}), later}));
    const std::string row = "  " + productRowA(twin.view()) + "  ";
    auto found = findProductByRow(folder.file("Magazzino.pro"), row, RowFormat::A);
    ASSERT_TRUE(found.ok());
    ASSERT_TRUE(found->has_value());
    EXPECT_EQ((*found)->position, 3);
    EXPECT_EQ(ProductView((*found)->bytes.data()).text(P::Note), "secondo");
    auto none = findProductByRow(folder.file("Magazzino.pro"), "Cod. nessuno", RowFormat::A);
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->has_value());
}

}  // namespace
}  // namespace scortavia
