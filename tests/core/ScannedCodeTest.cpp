#include <gtest/gtest.h>

#include <filesystem>

#include "products/ProductLists.h"
#include "products/ScannedCode.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"

namespace scortavia {
namespace {

struct MatchCase {
    const char* code;
    const char* scanned;
    bool matches;
};

class ScanMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(ScanMatch, ExactCodeWithOnlyAToZFolded) {
    EXPECT_EQ(codeMatchesScan(GetParam().code, GetParam().scanned), GetParam().matches)
        << GetParam().code << " / " << GetParam().scanned;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ScanMatch, testing::Values(
    MatchCase{"8001234567890", "8001234567890", true},
    MatchCase{"ab-12x", "AB-12X", true},            // letters A to Z fold
    MatchCase{" AB12 ", "ab12", true},              // stored and read codes are trimmed
    MatchCase{"CAFFÈ1", "caffÈ1", true},
    MatchCase{"CAFFÈ1", "caffè1", false},           // accented letters stay apart
    MatchCase{"800123456789", "8001234567890", false},  // never a prefix...
    MatchCase{"8001234567890", "800123456789", false},  // ...nor a part
    MatchCase{"", "", false},                       // an empty read names nothing
    MatchCase{"A 1", "A1", false}));
// clang-format on

class ScannedRows : public test::ProductArchiveFixture {
protected:
    static void rowA(std::string& row, const ProductView& p) { appendProductRow(row, p, RowFormat::A); }
};

TEST_F(ScannedRows, FindsTheRowsOfTheProductsWithThatCode) {
    // Codes longer than the row's column of 22: only the record tells the two long codes apart.
    withProducts({
        test::product("ART-0001", "Vite"),
        test::product("ABCDEFGHIJKLMNOPQRSTUV-1", "Dado"),
        test::product("abcdefghijklmnopqrstuv-2", "Rondella"),
        test::product("art-0001", "Vite doppia"),
        test::product("ART-00011", "Bullone"),
    });
    RowList rows;
    ASSERT_TRUE(fillSearchList(archive, SearchTexts{}, rows).ok());
    const auto nameAt = [&](std::size_t i) { return std::string(rows[i]).substr(29, 11); };

    const auto two = rowsOfScannedCode(archive, "Art-0001", rows, rowA);
    ASSERT_TRUE(two.ok());
    ASSERT_EQ(two->size(), 2u);
    EXPECT_EQ(nameAt((*two)[0]).substr(0, 4), "Vite");
    EXPECT_EQ(nameAt((*two)[1]).substr(0, 4), "Vite");

    const auto longCode = rowsOfScannedCode(archive, "ABCDEFGHIJKLMNOPQRSTUV-2", rows, rowA);
    ASSERT_TRUE(longCode.ok());
    ASSERT_EQ(longCode->size(), 1u);
    EXPECT_EQ(nameAt((*longCode)[0]).substr(0, 8), "Rondella");

    const auto none = rowsOfScannedCode(archive, "ART-000", rows, rowA);
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none->empty());
}

TEST_F(ScannedRows, AProductLeftOutOfTheListIsNotFound) {
    withProducts({test::product("P1", "Vite"), test::product("P2", "Dado")});
    RowList rows;
    SearchTexts texts{};
    texts[2] = "Vite";
    ASSERT_TRUE(fillSearchList(archive, texts, rows).ok());
    const auto found = rowsOfScannedCode(archive, "P2", rows, rowA);
    ASSERT_TRUE(found.ok());
    EXPECT_TRUE(found->empty());
}

TEST_F(ScannedRows, AnUnreadableArchiveIsAnError) {
    std::filesystem::create_directories(archive);
    RowList rows;
    EXPECT_FALSE(rowsOfScannedCode(archive, "P1", rows, rowA).ok());
}

}  // namespace
}  // namespace scortavia
