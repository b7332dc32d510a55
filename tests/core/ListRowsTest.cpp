#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "common/ListRows.h"
#include "common/TextRules.h"

namespace scortavia {
namespace {

// ---- fitField ----

struct FitCase {
    std::string value;
    std::size_t width;
    std::string expected;
};

class ListRowsFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(ListRowsFit, TrimsPadsAndCutsByCharacters) {
    const FitCase& c = GetParam();
    EXPECT_EQ(fitField(c.value, c.width), c.expected) << "\"" << c.value << "\" width " << c.width;
}

// value, width, expected
const FitCase kFitCases[] = {
    {"abc", 5, "abc  "},
    {"  abc  ", 5, "abc  "},
    {"\tabc\r\n", 4, "abc "},
    {"abcdef", 3, "abc"},
    {"  abcdef", 3, "abc"},
    {"abc", 3, "abc"},
    {"a b", 5, "a b  "},
    {"", 3, "   "},
    {"   ", 2, "  "},
    {"abc", 0, ""},
    {"è", 3, "è  "},
    {"caffè", 5, "caffè"},
    {"caffè latte", 6, "caffè "},
    {"€€€€", 2, "€€"},
    {"Sì", 2, "Sì"},
    {"12,50 €", 7, "12,50 €"},
    {"€ 5", 1, "€"},
};

INSTANTIATE_TEST_SUITE_P(ListRows, ListRowsFit, ::testing::ValuesIn(kFitCases));

// ---- listOrderLess ----

struct OrderCase {
    std::string a;
    std::string b;
    int relation;  // -1: a first, 0: equal in list order, 1: b first
};

class ListRowsOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ListRowsOrder, ComparesFoldedCharacterCodes) {
    const OrderCase& c = GetParam();
    EXPECT_EQ(listOrderLess(c.a, c.b), c.relation < 0) << "\"" << c.a << "\" < \"" << c.b << "\"";
    EXPECT_EQ(listOrderLess(c.b, c.a), c.relation > 0) << "\"" << c.b << "\" < \"" << c.a << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    ListRows, ListRowsOrder,
    ::testing::Values(OrderCase{"abc", "ABD", -1}, OrderCase{"ABC", "abc", 0}, OrderCase{"Cod. abc", "Cod. ABD", -1},
                      OrderCase{"a", "_", -1},  // 'a' folds to 'A' (0x41), before '_' (0x5F)
                      OrderCase{"Z", "_", -1}, OrderCase{"z", "_", -1}, OrderCase{"Z", "a", 1}, OrderCase{"[", "a", 1},
                      OrderCase{"1", "A", -1}, OrderCase{" ", "0", -1}, OrderCase{"abc", "abcd", -1},
                      OrderCase{"", "a", -1}, OrderCase{"", "", 0},
                      OrderCase{"Z", "È", -1},  // non-ASCII bytes sort after every ASCII character
                      OrderCase{"È", "è", -1},  // accented letters are not folded: U+00C8 before U+00E8
                      OrderCase{"è", "€", -1}, OrderCase{"caffè", "caffe", 1}));

// ---- sortListRows ----

TEST(ListRowsSort, EqualRowsKeepArchiveOrder) {
    std::vector<std::string> rows{"zeta", "Abc", "beta", "abc", "_x", "ABC", "aBc", "Ábc"};
    sortListRows(rows);
    EXPECT_EQ(rows, (std::vector<std::string>{"Abc", "abc", "ABC", "aBc", "beta", "zeta", "_x", "Ábc"}));
}

TEST(ListRowsSort, LargeListMatchesStableReference) {
    // Rows built from few characters, so many fold to equal keys and stability matters.
    const std::vector<std::string> pieces{"a", "A", "b", "B", "_", "è", "È", " ", "1", "z", "Z"};
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 4);
    std::vector<std::string> rows(100'000);
    for (auto& row : rows) {
        const int n = length(random);
        for (int i = 0; i < n; ++i) row += pieces[pick(random)];
    }

    // Reference: stable sort of the indices by upper-cased copies (std::string compares bytes as unsigned).
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const auto& row : rows) keys.push_back(upperAZ(row));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return keys[x] < keys[y]; });
    std::vector<std::string> expected;
    expected.reserve(rows.size());
    for (std::size_t i : order) expected.push_back(rows[i]);

    RowList list;
    for (const auto& row : rows) list.add(row);
    list.sort();
    EXPECT_EQ(list.toVector(), expected);

    sortListRows(rows);
    EXPECT_EQ(rows, expected);
}

TEST(ListRowsInPlace, RowsBuiltByAppendingKeepTheirColumns) {
    RowList list;
    for (const auto& [code, name] : std::vector<std::pair<std::string, std::string>>{
             {"B-2", "  Vite  "}, {"A-1234567890", "Città di Castello"}, {"", ""}}) {
        std::string& row = list.startRow();
        row += "Cod. ";
        std::size_t from = row.size();
        row += code;
        fitTail(row, from, 6);
        row += "|";
        from = row.size();
        row += name;
        fitTail(row, from, 5);
        list.endRow();
    }
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], "Cod. B-2   |Vite ");
    EXPECT_EQ(list[1], "Cod. A-1234|Città");
    EXPECT_EQ(list[2], "Cod.       |     ");
    list.sort();
    EXPECT_EQ(list[0], "Cod.       |     ");
    EXPECT_EQ(list[1], "Cod. A-1234|Città");
}

// ---- findInList ----

const std::vector<std::string> kRows{
    "Cod. ALFA    mela rossa",  // 0
    "Cod. BETA    pera",        // 1
    "Cod. GAMMA   Mela verde",  // 2
    "Cod. DELTA   uva",         // 3
    "Cod. EPSILON città",       // 4
};

struct FindCase {
    const char* name;
    std::optional<std::size_t> selected;
    std::string findText;
    std::string previous;
    FindOutcome outcome;
    std::optional<std::size_t> expectedSelected;
    std::string memory;
};

class ListRowsFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(ListRowsFind, MovesSelection) {
    const FindCase& c = GetParam();
    RowList list;
    for (const auto& row : kRows) list.add(row);
    for (const FindResult& r : {findInList(kRows, c.selected, c.findText, c.previous),
                                findInList(list, c.selected, c.findText, c.previous)}) {
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.selected, c.expectedSelected);
        EXPECT_EQ(r.memory, c.memory);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ListRows, ListRowsFind,
    ::testing::Values(FindCase{"NoSelectionNewText", std::nullopt, "pera", "", FindOutcome::Found, 1, "pera"},
                      FindCase{"NoSelectionNotFoundSelectsFirst", std::nullopt, "kiwi", "", FindOutcome::NotFound, 0,
                               "kiwi"},
                      FindCase{"NewTextTestsRowZeroFirst", 1, "MELA", "pera", FindOutcome::Found, 0, "mela"},
                      FindCase{"NewTextSelectedRowMatches", 2, "verde", "mela", FindOutcome::Found, 2, "verde"},
                      FindCase{"SameTextMovesToNextMatch", 0, "mela", "mela", FindOutcome::Found, 2, "mela"},
                      FindCase{"SameTextWrapsFromLastToFirst", 2, "Mela", "mela", FindOutcome::Found, 0, "mela"},
                      FindCase{"SameTextFromLastRowWraps", 4, "cod", "cod", FindOutcome::Found, 0, "cod"},
                      FindCase{"SingleMatchStays", 1, "pera", "pera", FindOutcome::Found, 1, "pera"},
                      FindCase{"NotFoundLeavesSelection", 3, "kiwi", "", FindOutcome::NotFound, 3, "kiwi"},
                      FindCase{"SameTextNotFoundLeavesSelection", 3, "kiwi", "kiwi", FindOutcome::NotFound, 3, "kiwi"},
                      FindCase{"EmptyTextMatchesNothing", 2, "", "mela", FindOutcome::NotFound, 2, ""},
                      FindCase{"EmptyTextAgainMatchesNothing", 2, "", "", FindOutcome::NotFound, 2, ""},
                      FindCase{"FoldsOnlyAZ", std::nullopt, "CITTà", "", FindOutcome::Found, 4, "città"},
                      FindCase{"AccentedCapitalNotFolded", 1, "CITTÀ", "", FindOutcome::NotFound, 1, "cittÀ"},
                      FindCase{"SelectionPastEndIsNone", 7, "uva", "", FindOutcome::Found, 3, "uva"},
                      FindCase{"SelectionPastEndNotFound", 7, "kiwi", "", FindOutcome::NotFound, 0, "kiwi"}),
    [](const ::testing::TestParamInfo<FindCase>& c) { return std::string(c.param.name); });

TEST(ListRowsFindEmpty, EmptyListChangesNothing) {
    const std::vector<std::string> none;
    for (std::optional<std::size_t> selected : {std::optional<std::size_t>{}, std::optional<std::size_t>{3}}) {
        const FindResult r = findInList(none, selected, "Mela", "pera");
        EXPECT_EQ(r.outcome, FindOutcome::EmptyList);
        EXPECT_EQ(r.selected, selected);
        EXPECT_EQ(r.memory, "pera");
    }
}

TEST(ListRowsFindRepeat, PressingAgainCyclesThroughMatches) {
    std::optional<std::size_t> selected;
    std::string memory;
    std::vector<std::size_t> visited;
    for (int press = 0; press < 5; ++press) {
        const FindResult r = findInList(kRows, selected, "MELA", memory);
        ASSERT_EQ(r.outcome, FindOutcome::Found);
        selected = r.selected;
        memory = r.memory;
        visited.push_back(*selected);
    }
    EXPECT_EQ(visited, (std::vector<std::size_t>{0, 2, 0, 2, 0}));
}

}  // namespace
}  // namespace scortavia
