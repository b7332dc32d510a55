#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/ExactSum.h"
#include "common/Numbers.h"

namespace scortavia {
namespace {

struct SumCase {
    const char* name;
    std::vector<std::string> added;                             // each added once, in order
    std::vector<std::pair<std::string, std::string>> products;  // stock × cost, after them
    std::string money;
    std::string general;
};

void PrintTo(const SumCase& c, std::ostream* os) { *os << c.name; }

class ExactSumTotals : public testing::TestWithParam<SumCase> {};

TEST_P(ExactSumTotals, WritesTheExactTotal) {
    const SumCase& c = GetParam();
    ExactSum sum;
    for (const std::string& text : c.added) ASSERT_TRUE(sum.add(text)) << text;
    for (const auto& [a, b] : c.products) ASSERT_TRUE(sum.addProduct(a, b)) << a << " × " << b;
    EXPECT_EQ(sum.moneyText(), c.money);
    EXPECT_EQ(sum.generalText(), c.general);
}

const std::string k300Zeros(300, '0');

// The smallest decimal the quick sum holds, then eighteen-digit values enough to carry it past 10^37 and move
// it into the long total, and the same values taken off again.
std::vector<std::string> smallestThenLargeAndBack() {
    std::vector<std::string> texts = {"0,000000000000000001"};
    for (int i = 0; i < 24; ++i) texts.push_back(std::string(i < 12 ? "" : "-") + std::string(18, '9'));
    return texts;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, ExactSumTotals,
    testing::Values(
        SumCase{"NothingAdded", {}, {}, "0,00", "0"},
        SumCase{"NoBinaryFraction", {"0,1", "0,2"}, {}, "0,30", "0,3"},
        SumCase{"TwoDecimals", {"12,50", "7,25"}, {}, "19,75", "19,75"},
        SumCase{"WholeNumbersGetTwoZeros", {"10", "5"}, {}, "15,00", "15"},
        SumCase{"OneDecimalGetsAZero", {"2,5"}, {}, "2,50", "2,5"},
        SumCase{"ThreeDecimalsStay", {"0,125"}, {}, "0,125", "0,125"},
        SumCase{"HalfAtTheFifthDecimalRoundsUp", {"0,33335"}, {}, "0,3334", "0,33335"},
        SumCase{"AboveTheHalfRoundsUp", {"1,23456"}, {}, "1,2346", "1,23456"},
        SumCase{"JustBelowTheHalfRoundsDown", {"0,333349999999"}, {}, "0,3333", "0,333349999999"},
        SumCase{"RoundingCarriesIntoTheWhole", {"9999,99995"}, {}, "10000,00", "9999,99995"},
        SumCase{"NegativeHalfRoundsAwayFromZero", {"-0,33335"}, {}, "-0,3334", "-0,33335"},
        SumCase{"NegativeTotal", {"5", "-7,25"}, {}, "-2,25", "-2,25"},
        SumCase{"NegativeRoundingToNothingIsZero", {"-0,00004"}, {}, "0,00", "-0,00004"},
        SumCase{"CancellingOut", {"1,1", "-1,1"}, {}, "0,00", "0"},
        SumCase{"ReadsAsTheNumberReaderDoes", {" +3,1 ", ",5", "5,", ","}, {}, "8,60", "8,6"},
        // Decimals far apart still meet exactly: 0,00004999999 + 0,00000000001 is exactly the half.
        SumCase{"DecimalsBeyondNineDigits", {"0,00004999999", "0,00000000001"}, {}, "0,0001", "0,00005"},
        SumCase{"CarryAcrossDigitGroups", {"123456789,999999999", "0,000000001"}, {}, "123456790,00", "123456790"},
        SumCase{"FifteenSignificantDigits", {"123456789012,3456"}, {}, "123456789012,346", "123456789012,346"},
        SumCase{"LongWholeNumberKeepsItsLength", {"12345678901234567"}, {}, "12345678901234600,00",
                "12345678901234600"},
        SumCase{"TinyValue", {"0,00000000000000000000123"}, {}, "0,00", "0,00000000000000000000123"},
        SumCase{"HugeValue", {"1" + k300Zeros}, {}, "1" + k300Zeros + ",00", "1" + k300Zeros},
        SumCase{"StockTimesCost", {}, {{"3", "2,50"}}, "7,50", "7,5"},
        SumCase{"NegativeStock", {}, {{"-2", "1,25"}, {"3", "2,50"}}, "5,00", "5"},
        SumCase{"NegativeTimesNegative", {}, {{"-2", "-1,5"}}, "3,00", "3"},
        SumCase{"ZeroStock", {}, {{"0", "4,00"}}, "0,00", "0"},
        SumCase{"ProductOfDecimalsIsExact", {}, {{"0,001", "0,05"}}, "0,0001", "0,00005"},
        SumCase{"ProductAcrossDigitGroups", {}, {{"1000", "123456789,987654321"}}, "123456789987,654",
                "123456789987,654"},
        SumCase{"SumsAndProductsTogether", {"0,1"}, {{"3", "0,1"}}, "0,40", "0,4"},
        SumCase{"QuickAndLongTotalsMeetExactly", smallestThenLargeAndBack(), {}, "0,00", "0,000000000000000001"},
        // Nineteen decimals take the long way, eighteen the quick one.
        SumCase{"ProductPastEighteenDecimals", {"0,000000000000000001"}, {{"0,000000001", "0,0000000001"}}, "0,00",
                "0,0000000000000000011"},
        SumCase{"LongAndQuickValuesTogether", {"1" + std::string(20, '0'), "-0,5", "-99999999999999999999"}, {},
                "0,50", "0,5"}),
    [](const testing::TestParamInfo<SumCase>& c) { return c.param.name; });
// clang-format on

TEST(ExactSum, AHundredThousandTimesTenCents) {
    ExactSum sum;
    for (int i = 0; i < 100000; ++i) sum.add("0,10");
    EXPECT_EQ(sum.moneyText(), "10000,00");
}

// What is not a number for the number reader is not one here either, and adds nothing.
class ExactSumReading : public testing::TestWithParam<std::string> {};

TEST_P(ExactSumReading, AcceptsExactlyWhatTheNumberReaderReads) {
    const std::string& text = GetParam();
    ExactSum sum;
    sum.add("2,5");
    EXPECT_EQ(sum.add(text), parseDecimalComma(text).has_value()) << text;
    ExactSum products;
    products.add("2,5");
    EXPECT_EQ(products.addProduct(text, "1"), parseDecimalComma(text).has_value()) << text;
    EXPECT_EQ(products.addProduct("1", text), parseDecimalComma(text).has_value()) << text;
    // Texts scanned already, as the inventory passes them, are judged the same way.
    if (const std::optional<DecimalCommaText> scanned = scanDecimalComma(text)) {
        ExactSum scannedProducts;
        EXPECT_EQ(scannedProducts.addProduct(*scanned, *scanDecimalComma("1")), parseDecimalComma(text).has_value())
            << text;
    }
    if (!parseDecimalComma(text)) {
        EXPECT_EQ(sum.moneyText(), "2,50");
        EXPECT_EQ(products.moneyText(), "2,50");
    }
}

// 309 digits: the largest double lies between these two.
const std::string kJustBelowTheLargest = "17976931348623157" + std::string(292, '0');
const std::string kAboveTheLargest = "18" + std::string(307, '0');

INSTANTIATE_TEST_SUITE_P(Table, ExactSumReading,
                         testing::Values("", "   ", "abc", "1.5", "1e5", "1,2,3", "- 5", "5-", "--5", "+", "-", "0x10",
                                         "5 €", "1 000", "inf", "nan", "12,50", "-,5", "+5", kJustBelowTheLargest,
                                         kAboveTheLargest, "-" + std::string(400, '9'),
                                         "0," + std::string(399, '0') + "1", "1.000", "1.000,50", "1,000.50", "1,,5",
                                         " -0 ", "-,", std::string(25, '0') + "1,5", "0," + std::string(30, '7')));

}  // namespace
}  // namespace scortavia
