#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "movements/StockPicker.h"
#include "products/ProductRows.h"
#include "storage/ArchiveFile.h"
#include "support/Processes.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"

namespace scortavia {
namespace {

using P = ProductLayout;
namespace fs = std::filesystem;

// The picked product sits between two others, so a move that spills into a neighbour shows.
class StockPickerTest : public test::ProductArchiveFixture {
protected:
    static constexpr std::int64_t kPicked = 2;

    static ProductRecord picked(const std::string& stock) {
        return test::product("VT-01", "Vite", {{P::Giacenza, stock}, {P::Prezzo, "0,40"}, {P::Note, "Inox"}});
    }
    std::vector<ProductRecord> products(const std::string& stock) const {
        return {test::product("A"), picked(stock), test::product("C")};
    }
    std::string storedStock() const {
        return test::recordAt<ProductRecord>(test::readBytes(archive), kPicked - 1).text(P::Giacenza);
    }
};

struct MoveCase {
    const char* name;
    const char* stored;
    const char* quantity;
    const MovementDirection* direction;
    StockMoveOutcome outcome;
    const char* newStock;  // when moved
};

class StockMoveTable : public StockPickerTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(StockMoveTable, MovesOnlyWhatFits) {
    const auto& c = GetParam();
    const std::string before = withProducts(products(c.stored));
    const StockMove move = moveProductStock(archive, kPicked, "VT-01", c.quantity, *c.direction);
    ASSERT_EQ(move.outcome, c.outcome);
    const std::string after = test::readBytes(archive);
    if (c.outcome != StockMoveOutcome::Moved) {
        EXPECT_TRUE(after == before) << "nothing written";
        return;
    }
    EXPECT_EQ(move.newStock, c.newStock);
    // Only the stock changed: every other byte of the record, and its neighbours, as they were.
    std::vector<ProductRecord> expected = products(c.stored);
    expected[kPicked - 1].setText(P::Giacenza, c.newStock);
    EXPECT_TRUE(after == test::archiveBytes(expected)) << "only the stock changed";
    EXPECT_TRUE(std::ranges::equal(move.record.bytes(), expected[kPicked - 1].bytes()));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, StockMoveTable,
    testing::Values(
        MoveCase{"GoodsInAdds", "12", "5", &kGoodsIn, StockMoveOutcome::Moved, "17"},
        MoveCase{"GoodsOutSubtractsBelowZero", "3", "5", &kGoodsOut, StockMoveOutcome::Moved, "-2"},
        MoveCase{"BlankQuantityRewritesTheRecordUnchanged", "12", "  ", &kGoodsIn, StockMoveOutcome::Moved, "12"},
        MoveCase{"DecimalQuantity", "12", "2,5", &kGoodsIn, StockMoveOutcome::Moved, "14,5"},
        MoveCase{"BlankStoredStockCountsAsZero", "", "4", &kGoodsOut, StockMoveOutcome::Moved, "-4"},
        MoveCase{"QuantityTrimmed", "12", " 3 ", &kGoodsOut, StockMoveOutcome::Moved, "9"},
        MoveCase{"UpToTheLargestThatFits", "9994", "5", &kGoodsIn, StockMoveOutcome::Moved, "9999"},
        MoveCase{"DownToTheSmallestThatFits", "-994", "5", &kGoodsOut, StockMoveOutcome::Moved, "-999"},
        MoveCase{"TooLarge", "9998", "5", &kGoodsIn, StockMoveOutcome::DoesNotFit, ""},
        MoveCase{"TooSmall", "-998", "5", &kGoodsOut, StockMoveOutcome::DoesNotFit, ""},
        MoveCase{"TooManyCharacters", "123", "0,5", &kGoodsIn, StockMoveOutcome::DoesNotFit, ""},  // "123,5"
        MoveCase{"QuantityNotANumber", "12", "3 pezzi", &kGoodsIn, StockMoveOutcome::NotANumber, ""},
        // The card's quantity box holds 15 characters of the quantity, trimmed.
        MoveCase{"QuantityAsLongAsTheCardsBox", "12", "000000000000005", &kGoodsIn, StockMoveOutcome::Moved, "17"},
        MoveCase{"QuantityLongOnlyWithItsBlanks", "12", "   000000000000005\t ", &kGoodsOut,
                 StockMoveOutcome::Moved, "7"},
        MoveCase{"QuantityLongerThanTheCardsBox", "12", "0000000000000005", &kGoodsIn,
                 StockMoveOutcome::QuantityTooLong, ""},
        MoveCase{"DecimalsLongerThanTheCardsBox", "12", "-2,5000000000000", &kGoodsOut,
                 StockMoveOutcome::QuantityTooLong, ""},
        MoveCase{"LongWordsAreNotANumber", "12", "tre pezzi e mezzo circa", &kGoodsIn, StockMoveOutcome::NotANumber,
                 ""},
        MoveCase{"StoredStockNotANumber", "abc", "1", &kGoodsOut, StockMoveOutcome::NotANumber, ""}),
    [](const testing::TestParamInfo<MoveCase>& c) { return c.param.name; });
// clang-format on

TEST_F(StockPickerTest, EachMoveStartsFromTheStockStoredThen) {
    withProducts(products("12"));
    EXPECT_EQ(moveProductStock(archive, kPicked, "VT-01", "5", kGoodsIn).newStock, "17");
    EXPECT_EQ(moveProductStock(archive, kPicked, "VT-01", "5", kGoodsIn).newStock, "22");
    EXPECT_EQ(moveProductStock(archive, kPicked, "VT-01", "2", kGoodsOut).newStock, "20");
    EXPECT_EQ(storedStock(), "20");
}

TEST_F(StockPickerTest, AnotherProductAtThePositionIsLeftAlone) {
    const std::string before = withProducts(products("12"));
    for (const char* code : {"VT-02", "A", "", "VT-01X"}) {
        EXPECT_EQ(moveProductStock(archive, kPicked, code, "5", kGoodsIn).outcome, StockMoveOutcome::CodeChanged)
            << code;
    }
    EXPECT_TRUE(test::readBytes(archive) == before) << "nothing written";
    // The code compares trimmed, as the row shows it.
    EXPECT_EQ(moveProductStock(archive, kPicked, " VT-01 ", "5", kGoodsIn).outcome, StockMoveOutcome::Moved);
}

TEST_F(StockPickerTest, PositionsOutsideTheArchiveAreAccessFailures) {
    const std::string before = withProducts(products("12"));
    for (std::int64_t position : {std::int64_t{0}, std::int64_t{-1}, std::int64_t{4}, std::int64_t{1} << 60}) {
        EXPECT_EQ(moveProductStock(archive, position, "VT-01", "5", kGoodsIn).outcome, StockMoveOutcome::AccessFailed)
            << position;
    }
    EXPECT_TRUE(test::readBytes(archive) == before) << "nothing written";
}

TEST_F(StockPickerTest, AFolderInPlaceOfTheArchiveIsAnAccessFailure) {
    fs::create_directory(archive);
    EXPECT_EQ(moveProductStock(archive, 1, "VT-01", "5", kGoodsIn).outcome, StockMoveOutcome::AccessFailed);
    EXPECT_TRUE(fs::is_directory(archive));
}

// Two copies of the program importing the same product at the same time: every move counts.
TEST_F(StockPickerTest, TwoProcessesMovingOneProductLoseNoMove) {
    withProducts(products("0"));
    constexpr int kMoves = 300;
    ASSERT_TRUE(test::allInChildren(2, [&](int n) {
        // The window between reading the stock and writing it back, widened.
        ArchiveFile::setRaceHookForTesting([] { usleep(50); });
        const MovementDirection& direction = n == 0 ? kGoodsIn : kGoodsOut;
        const char* quantity = n == 0 ? "2" : "1";
        for (int i = 0; i < kMoves; ++i) {
            if (moveProductStock(archive, kPicked, "VT-01", quantity, direction).outcome != StockMoveOutcome::Moved) {
                return 1;
            }
        }
        return 0;
    }));
    std::vector<ProductRecord> expected = products("0");
    expected[kPicked - 1].setText(P::Giacenza, "300");  // +2 × 300 − 1 × 300, always within -300..600
    EXPECT_EQ(storedStock(), "300");
    EXPECT_TRUE(test::readBytes(archive) == test::archiveBytes(expected)) << "only the stock changed";
}

TEST(StockPickerRows, GoodsInIsTheSearchRow) {
    const auto p = test::product("VT-01", "Vite", {{P::Giacenza, "12"}, {P::Costo, "0,15"}, {P::Prezzo, "0,40"}});
    std::string row;
    appendPickerRow(row, p.view(), kGoodsIn);
    EXPECT_EQ(row, productRowA(p.view()));
}

TEST(StockPickerRows, GoodsOutEndsWithTheWholeSellingPrice) {
    const auto p =
        test::product("VT-01", "Vite", {{P::Giacenza, "12"}, {P::Costo, "0,15"}, {P::Prezzo, " 123456789,99 "}});
    const std::string searchRow = productRowA(p.view());
    const std::string head = searchRow.substr(0, searchRow.find("  Costo: € "));
    std::string row = "kept";
    appendPickerRow(row, p.view(), kGoodsOut);
    EXPECT_EQ(row, "kept" + head + "  Prezzo: € 123456789,99");
}

TEST_F(StockPickerTest, ListLeavesOutBlankStockAndSortsByCode) {
    withProducts(
        {test::product("b", "Prodotto", {{P::Giacenza, "3"}}), test::product("Vuoto", "Prodotto", {{P::Giacenza, ""}}),
         test::product("C", "Prodotto", {{P::Giacenza, "-1"}}), test::product("A", "Prodotto", {{P::Giacenza, "0"}}),
         test::product("Bianco", "Prodotto", {{P::Giacenza, " \t"}})});
    for (const MovementDirection* d : {&kGoodsIn, &kGoodsOut}) {
        RowList rows;
        rows.add("left over");
        ASSERT_TRUE(fillPickerList(archive, *d, rows).ok());
        std::vector<std::string> codes;
        for (std::size_t i = 0; i < rows.size(); ++i) codes.emplace_back(rows[i].substr(5, 1));
        EXPECT_EQ(codes, (std::vector<std::string>{"A", "b", "C"})) << d->token;
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_TRUE(rows[0].ends_with(std::string(d->rowValueLiteral) + (d == &kGoodsIn ? "1,00" : "2,00")));
    }
}

TEST_F(StockPickerTest, ListOfAMissingArchiveIsEmpty) {
    RowList rows;
    EXPECT_TRUE(fillPickerList(archive, kGoodsIn, rows).ok());
    EXPECT_TRUE(rows.empty());
}

TEST_F(StockPickerTest, APickedRowFindsTheLastOfIdenticalProducts) {
    withProducts({test::product("VT-01", "Vite", {{P::Giacenza, "1"}}), test::product("X"),
                  test::product("VT-01", "Vite", {{P::Giacenza, "1"}}), test::product("Y")});
    for (const MovementDirection* d : {&kGoodsIn, &kGoodsOut}) {
        RowList rows;
        ASSERT_TRUE(fillPickerList(archive, *d, rows).ok());
        ASSERT_EQ(rows.size(), 4u);
        auto found = findPickedProduct(archive, rows[0], *d);
        ASSERT_TRUE(found.ok());
        ASSERT_TRUE(found->has_value()) << d->token;
        EXPECT_EQ((*found)->position, 3);
        EXPECT_EQ(ProductView((*found)->bytes.data()).text(P::Codice), "VT-01");
    }
    // A row of the other direction's format is no picker row of this one.
    RowList goodsIn;
    ASSERT_TRUE(fillPickerList(archive, kGoodsIn, goodsIn).ok());
    auto found = findPickedProduct(archive, goodsIn[0], kGoodsOut);
    ASSERT_TRUE(found.ok());
    EXPECT_FALSE(found->has_value());
}

// A click on a row of the list filled from `before`, once another copy of the program has made the archive `after`.
struct PickCase {
    const char* name;
    std::vector<ProductRecord> before;
    std::vector<ProductRecord> after;
    std::size_t clicked;  // in list order
    PickOutcome outcome;
    std::int64_t position;  // when found or refreshed
};

class PickTable : public StockPickerTest, public testing::WithParamInterface<PickCase> {};

TEST_P(PickTable, FindsTheProductBehindTheRow) {
    const auto& c = GetParam();
    for (const MovementDirection* d : {&kGoodsIn, &kGoodsOut}) {
        withProducts(c.before);
        RowList rows;
        ASSERT_TRUE(fillPickerList(archive, *d, rows).ok());
        const std::string after = withProducts(c.after);
        const PickedProduct picked = pickProduct(archive, rows[c.clicked], *d);
        ASSERT_EQ(picked.outcome, c.outcome) << d->token;
        EXPECT_TRUE(test::readBytes(archive) == after) << "nothing written";
        if (c.outcome != PickOutcome::Found && c.outcome != PickOutcome::Refreshed) continue;
        EXPECT_EQ(picked.position, c.position) << d->token;
        const ProductRecord& stored = c.after[static_cast<std::size_t>(c.position - 1)];
        EXPECT_TRUE(std::ranges::equal(picked.record.bytes(), stored.bytes())) << d->token;
        std::string row;
        if (c.outcome == PickOutcome::Refreshed) appendPickerRow(row, stored.view(), *d);
        EXPECT_EQ(picked.row, row) << d->token;
    }
}

ProductRecord vite(const std::string& stock, const std::string& name = "Vite") {
    return test::product("VT-01", name, {{P::Giacenza, stock}, {P::Costo, "0,25"}, {P::Prezzo, "0,40"}});
}

// Two codes that the code column of a row cuts to the same 22 characters.
ProductRecord longCode(const std::string& last, const std::string& name, const std::string& stock) {
    return test::product("ABCDEFGHIJKLMNOPQRSTUV-" + last, name, {{P::Giacenza, stock}});
}

const ProductRecord kAncora = test::product("A-0", "Ancora", {{P::Giacenza, "1"}});
const ProductRecord kZanca = test::product("Z-9", "Zanca", {{P::Giacenza, "4"}});

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, PickTable,
    testing::Values(
        PickCase{"UnchangedRowIsFound", {kZanca, vite("12"), kAncora}, {kZanca, vite("12"), kAncora}, 1,
                 PickOutcome::Found, 2},
        PickCase{"MovedStockRefreshesTheRow", {kZanca, vite("12"), kAncora}, {kZanca, vite("20"), kAncora}, 1,
                 PickOutcome::Refreshed, 2},
        PickCase{"ANewNameIsStillTheProductOfThatCode", {kZanca, vite("12"), kAncora},
                 {kZanca, vite("20", "Vite inox"), kAncora}, 1, PickOutcome::Refreshed, 2},
        PickCase{"ANewCodeIsGone", {kZanca, vite("12"), kAncora},
                 {kZanca, test::withFields(vite("12"), {{P::Codice, "VT-02"}}), kAncora}, 1, PickOutcome::Gone, 0},
        PickCase{"ABlankStockLeavesTheListAndIsGone", {kZanca, vite("12"), kAncora}, {kZanca, vite(""), kAncora}, 1,
                 PickOutcome::Gone, 0},
        // Two products of one code: the one whose row this was but for the stock.
        PickCase{"TwinsToldApartByTheirNames", {vite("12"), kAncora, vite("12", "Vite lunga")},
                 {vite("20"), kAncora, vite("12", "Vite lunga")}, 1, PickOutcome::Refreshed, 1},
        PickCase{"TwinsToldApartByNothingButTheStock", {vite("12"), kAncora, vite("14")},
                 {vite("13"), kAncora, vite("14")}, 1, PickOutcome::Ambiguous, 0},
        PickCase{"CodesCutAlikeToldApartByTheirNames", {longCode("1", "Uno", "5"), longCode("2", "Due", "5")},
                 {longCode("1", "Uno", "5"), longCode("2", "Due", "6")}, 0, PickOutcome::Refreshed, 2},
        PickCase{"ARowOfANewerProductIsFoundBeforeAStaleOne", {vite("12"), kAncora},
                 {vite("13"), kAncora, vite("12", "Vite")}, 1, PickOutcome::Found, 3}),
    [](const testing::TestParamInfo<PickCase>& c) { return c.param.name; });
// clang-format on

TEST_F(StockPickerTest, APickInAnUnreadableArchiveIsAnAccessFailure) {
    withProducts(products("12"));
    RowList rows;
    ASSERT_TRUE(fillPickerList(archive, kGoodsIn, rows).ok());
    fs::remove(archive);
    fs::create_directory(archive);
    EXPECT_EQ(pickProduct(archive, rows[1], kGoodsIn).outcome, PickOutcome::AccessFailed);
    EXPECT_TRUE(fs::is_directory(archive));
}

}  // namespace
}  // namespace scortavia
