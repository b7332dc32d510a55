#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "common/ListRows.h"
#include "common/TextRules.h"
#include "movements/MovementDirection.h"
#include "movements/MovementLists.h"
#include "movements/StockPicker.h"
#include "products/ProductRows.h"
#include "storage/Windows1252.h"
#include "summaries/Summaries.h"
#include "support/Records.h"

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
                      OrderCase{"€", "è", -1},  // by their stored codes: 0x80 before 0xE8
                      OrderCase{"caffè", "caffe", 1}));

// Archives store texts as Windows-1252 bytes, and lists follow those codes, not code points.
INSTANTIATE_TEST_SUITE_P(
    Windows1252, ListRowsOrder,
    ::testing::Values(OrderCase{"Œ", "œ", -1},         // 0x8C before 0x9C: only a-z fold
                      OrderCase{"œ", "À", -1},         // 0x9C before 0xC0
                      OrderCase{"\u0081", "‚", -1},    // the unassigned 0x81 is kept as U+0081, before 0x82
                      OrderCase{"€", "€uro", -1},      // a prefix comes first
                      OrderCase{"ÿ", "☃", -1},         // 0xFF, the last code, before what the code page cannot hold
                      OrderCase{"ÿ", "\u0080", -1},    // U+0080 has no byte (0x80 is "€"), so it comes after
                      OrderCase{"☃", "😀", -1},         // beyond the code page, by code point
                      OrderCase{"😀", "\xE2\x82", -1},  // a cut character comes after every character
                      OrderCase{"a\x80", "A\x80", 0}));

// ---- Windows-1252 codes ----

// The typographic characters are stored as 0x80-0x9F: they come after ASCII and before "À" (0xC0), although their
// code points are larger. Listed in list order.
const std::vector<std::string> kCodePageRows{"alfa", "Zeta", "€uro", "„x", "Œuvre", "Ž", "Àncora"};

TEST(ListRowsCodePage, RowsSortByTheirStoredCodes) {
    for (std::size_t i = 0; i + 1 < kCodePageRows.size(); ++i) {
        EXPECT_TRUE(listOrderLess(kCodePageRows[i], kCodePageRows[i + 1])) << kCodePageRows[i];
        EXPECT_FALSE(listOrderLess(kCodePageRows[i + 1], kCodePageRows[i])) << kCodePageRows[i];
    }
    std::vector<std::string> rows(kCodePageRows.rbegin(), kCodePageRows.rend());
    for (std::size_t turn = 0; turn < rows.size(); ++turn) {
        std::rotate(rows.begin(), rows.begin() + 1, rows.end());
        RowList list;
        for (const auto& row : rows) list.add(row);
        list.sort();
        EXPECT_EQ(list.toVector(), kCodePageRows);
        std::vector<std::string> sorted = rows;
        sortListRows(sorted);
        EXPECT_EQ(sorted, kCodePageRows);
    }
}

TEST(ListRowsCodePage, EveryStoredByteSortsByItsCode) {
    // Rows are the archive bytes decoded, so the order must agree with the storage's code table byte for byte.
    std::vector<std::string> decoded;
    for (int b = 0; b < 256; ++b) decoded.push_back(decodeWindows1252(std::string(1, static_cast<char>(b))));
    const auto folded = [](int b) { return b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b; };
    for (int b = 0; b < 256; ++b) {
        for (int c = 0; c < 256; ++c) {
            ASSERT_EQ(listOrderLess(decoded[b], decoded[c]), folded(b) < folded(c)) << std::hex << b << " " << c;
        }
    }
}

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

struct SortCase {
    const char* name;
    std::vector<std::string> pieces;  // rows are "Cod. " and up to maxPieces of these
    std::size_t rows;
    int maxPieces;
};

class ListRowsSortMany : public ::testing::TestWithParam<SortCase> {};

TEST_P(ListRowsSortMany, MatchesStableSortByListOrder) {
    const SortCase& c = GetParam();
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, c.pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, c.maxPieces);
    std::vector<std::string> rows(c.rows, "Cod. ");
    for (auto& row : rows) {
        for (int n = length(random); n > 0; --n) row += c.pieces[pick(random)];
    }
    std::vector<std::string> expected = rows;
    std::stable_sort(expected.begin(), expected.end(), listOrderLess);

    RowList list;
    for (const auto& row : rows) list.add(row);
    list.sort();
    EXPECT_EQ(list.toVector(), expected);
    sortListRows(rows);
    EXPECT_EQ(rows, expected);
}

INSTANTIATE_TEST_SUITE_P(
    ListRows, ListRowsSortMany,
    ::testing::Values(SortCase{"AFewRows", {"a", "B", "€", "À", " "}, 12, 6},
                      SortCase{"Hundreds", {"a", "A", "b", "€", "Ž", "è", "È"}, 700, 10},
                      SortCase{"Thousands", {"a", "A", "b", "€", "Ž", "è", "È", "1", "_"}, 20'000, 10},
                      // Two letters over up to 40 places: long runs of rows agree far beyond their start.
                      SortCase{"LongCommonStarts", {"a", "A", "b"}, 20'000, 40},
                      // "ÿ" (0xFF), characters past the code page and cut ones: all alike to a quick first look.
                      SortCase{"BeyondTheCodePage", {"ÿ", "☃", "😀", "\u0080", "\xC3", "y"}, 20'000, 12}),
    [](const ::testing::TestParamInfo<SortCase>& c) { return std::string(c.param.name); });

TEST(ListRowsSort, RowsAddedAfterSortingFollowThenSortAgain) {
    RowList list;
    for (const char* row : {"delta", "Alfa", "charlie"}) list.add(row);
    list.sort();
    list.add("bravo");
    list.add("alfa");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"Alfa", "charlie", "delta", "bravo", "alfa"}));
    list.sort();
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"Alfa", "alfa", "bravo", "charlie", "delta"}));
}

TEST(ListRowsMemory, ReleasingOrReplacingAListGivesItsBuffersBack) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's allocator keeps no glibc heap figures";
#endif
    const auto heldBytes = [] {
        const struct mallinfo2 info = mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    const std::vector<std::pair<const char*, void (*)(RowList&)>> ways{
        {"release", [](RowList& list) { list.release(); }},
        {"assign an empty list", [](RowList& list) { list = RowList(); }},
    };
    for (const auto& [way, release] : ways) {
        const std::size_t before = heldBytes();
        RowList list;
        list.reserve(20'000, 150);
        for (int i = 0; i < 20'000; ++i) list.add("Cod. " + std::to_string(i * 7919 % 20'000) + std::string(140, ' '));
        list.sort();
        ASSERT_GT(heldBytes(), before + 2'000'000) << way;
        release(list);
        EXPECT_LT(heldBytes(), before + 64 * 1024) << way;
        EXPECT_TRUE(list.empty()) << way;
    }
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

// ---- Column headings ----

using P = ProductLayout;
using M = MovementLayout;

// Every shown field filled, some past their column's width, with accented letters before later columns so that
// a heading placed by bytes instead of characters would land off its column.
const ProductRecord kFullProduct =
    test::record<ProductRecord>({{P::Codice, "VT-0042-ACCIAIO-INOX-ZINCATO"},
                                 {P::Nome, "Vite autofilettante città più lunga del nome"},
                                 {P::Tipologia, "Ferramenta è minuteria varia"},
                                 {P::Giacenza, "-120"},
                                 {P::Pagato, "Sì"},
                                 {P::DataSca, "31/12/2026"},
                                 {P::Costo, "1234,15"},
                                 {P::Prezzo, "2,50"},
                                 {P::Ditta, "Bulloneria Rossi & Figli d'Italia"}});
const MovementRecord kFullMovement =
    test::record<MovementRecord>({{M::Data, "07/03/2024"},
                                  {M::Codice, "VT-0042-ACCIAIO-INOX"},
                                  {M::Quant, "1250,5"},
                                  {M::Tipologia, "Ferramenta è minuteria varia assortita"},
                                  {M::Descrizione, "Viti già zincate, più lunghe del previsto"},
                                  {M::CostoTot, "98765,43"}});

struct HeadingCase {
    const char* name;
    ListHeadings headings;
    std::string row;
    // Each heading, and how the value under it begins.
    std::vector<std::pair<std::string, std::string>> columns;
};

std::string pickerRow(const MovementDirection& direction) {
    std::string row;
    appendPickerRow(row, kFullProduct.view(), direction);
    return row;
}

std::string inventoryRow() {
    std::string row;
    appendInventoryRow(row, kFullProduct.view());
    return row;
}

const std::vector<std::pair<std::string, std::string>> kRowAStart = {
    {"Codice", "VT-0042-ACCIAIO-INOX-Z "},
    {"Nome prodotto", "Vite autofilettante città più lung "},
    {"Categoria", "Ferramenta è minuteria "},
    {"Giac.", "-120 "},
    {"Pagato", "Sì "},
    {"Scadenza", "31/12/2026 "}};

std::vector<std::pair<std::string, std::string>> rowAEndingWith(const char* heading, const char* value) {
    auto columns = kRowAStart;
    columns.emplace_back(heading, value);
    return columns;
}

const HeadingCase kHeadingCases[] = {
    {"FormatA", listHeadings(kProductRowA), productRowA(kFullProduct.view()), rowAEndingWith("Costo", "1234,15")},
    {"GoodsInPicker", listHeadings(productRowAEndingWith(kGoodsIn.rowValueLiteral, kGoodsIn.copiedValue)),
     pickerRow(kGoodsIn), rowAEndingWith("Costo", "1234,15")},
    {"GoodsOutPicker", listHeadings(productRowAEndingWith(kGoodsOut.rowValueLiteral, kGoodsOut.copiedValue)),
     pickerRow(kGoodsOut), rowAEndingWith("Prezzo", "2,50")},
    {"FormatB",
     listHeadings(kProductRowB),
     productRowB(kFullProduct.view()),
     {{"Codice", "VT-0042-ACCIAIO-INOX "},
      {"Nome prodotto", "Vite autofilettante città più  "},
      {"Categoria", "Ferramenta è minuter "},
      {"Giac.", "-120 "},
      {"Fornitore", "Bulloneria Rossi & Figli "},
      {"Scadenza", "31/12/2026 "},
      {"Costo", "1234,15"}}},
    {"Movement",
     listHeadings(kMovementRow),
     movementRow(kFullMovement.view()),
     {{"Data", "07/03/2024 "},
      {"Codice", "VT-0042-ACCIAIO-IN "},
      {"Quantità", "1250,5     "},
      {"Tipologia", "Ferramenta è minuteria varia "},
      {"Descrizione", "Viti già zincate, più lunghe del prev "},
      {"Totale", "98765,43"}}},
    {"Inventory",
     listHeadings(kInventoryRow),
     inventoryRow(),
     {{"Codice", "VT-0042-ACCIAIO-INOX-ZINC "},
      {"Nome prodotto", "Vite autofilettante città più lunga del no "},
      {"Scadenza", "31/12/2026 "},
      {"Costo", "1234,15      "},
      {"Giacenza", "-120       "},
      {"Valore", "-148098"}}},
};

class ListHeadingsOverRows : public ::testing::TestWithParam<HeadingCase> {};

TEST_P(ListHeadingsOverRows, EachHeadingStartsWhereItsValueStarts) {
    const HeadingCase& c = GetParam();
    ASSERT_EQ(c.headings.columns.size(), c.columns.size());
    for (std::size_t i = 0; i < c.columns.size(); ++i) {
        const ColumnHeading& heading = c.headings.columns[i];
        const auto& [text, value] = c.columns[i];
        EXPECT_EQ(heading.text, text);
        const std::string_view from = std::string_view(c.row).substr(prefixBytes(c.row, heading.offset));
        EXPECT_TRUE(from.starts_with(value)) << text << " over \"" << from.substr(0, 24) << "\"";
        // A heading ends before the next begins, so every one is read whole.
        if (i + 1 < c.columns.size()) {
            EXPECT_LT(heading.offset + countCharacters(heading.text), c.headings.columns[i + 1].offset) << text;
        }
    }
    // A list as wide as the headings say shows every column and room for the last value.
    EXPECT_GE(c.headings.rowWidth, c.headings.columns.back().offset + kWholeValueRoom);
}

INSTANTIATE_TEST_SUITE_P(ListRows, ListHeadingsOverRows, ::testing::ValuesIn(kHeadingCases),
                         [](const ::testing::TestParamInfo<HeadingCase>& c) { return std::string(c.param.name); });

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
