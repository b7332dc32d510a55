#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/Numbers.h"

namespace scortavia {
namespace {

// ---- parseDecimalComma ----

struct ParseCase {
    std::string text;
    std::optional<double> expected;
};

class NumbersParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(NumbersParse, ReadsOnlyDecimalCommaNumbers) {
    const ParseCase& c = GetParam();
    const std::optional<double> value = parseDecimalComma(c.text);
    ASSERT_EQ(value.has_value(), c.expected.has_value()) << "text: \"" << c.text << "\"";
    if (c.expected) {
        EXPECT_EQ(*value, *c.expected) << "text: \"" << c.text << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumbersParse,
    ::testing::Values(ParseCase{"5", 5.0}, ParseCase{"5,", 5.0}, ParseCase{",5", 0.5}, ParseCase{",", 0.0},
                      ParseCase{"+5", 5.0}, ParseCase{"-5", -5.0}, ParseCase{"-,5", -0.5}, ParseCase{"+,", 0.0},
                      ParseCase{" \t5,25\r\n ", 5.25}, ParseCase{"0042,1", 42.1}, ParseCase{"2,675", 2.675},
                      ParseCase{"0,1", 0.1}, ParseCase{"12,3456789", 12.3456789},
                      ParseCase{"9007199254740993", 9007199254740992.0},  // nearest double, ties to even
                      ParseCase{"", std::nullopt}, ParseCase{"   ", std::nullopt}, ParseCase{"- 5", std::nullopt},
                      ParseCase{"5 5", std::nullopt}, ParseCase{"1.5", std::nullopt}, ParseCase{"1e5", std::nullopt},
                      ParseCase{"1,2,3", std::nullopt}, ParseCase{"abc", std::nullopt}, ParseCase{"5-", std::nullopt},
                      ParseCase{"--5", std::nullopt}, ParseCase{"+-5", std::nullopt}, ParseCase{"+", std::nullopt},
                      ParseCase{"-", std::nullopt}, ParseCase{"0x10", std::nullopt}, ParseCase{"5 €", std::nullopt},
                      ParseCase{"1 000", std::nullopt}, ParseCase{"inf", std::nullopt},
                      ParseCase{"nan", std::nullopt}));

TEST(NumbersParseLong, FourHundredDigits) {
    // Too large for a double: not a number.
    EXPECT_EQ(parseDecimalComma("1" + std::string(399, '0')), std::nullopt);
    EXPECT_EQ(parseDecimalComma("-" + std::string(400, '9')), std::nullopt);
    // Too small for a double: the nearest double, zero.
    EXPECT_EQ(parseDecimalComma("0," + std::string(399, '0') + "1"), 0.0);
    // Long but in range: still correctly rounded.
    EXPECT_EQ(parseDecimalComma("0," + std::string(400, '3')), 1.0 / 3.0);
    EXPECT_EQ(parseDecimalComma(std::string(300, '0') + "7," + std::string(100, '0')), 7.0);
    EXPECT_EQ(parseDecimalComma("0," + std::string(300, '0') + "1"), 1e-301);
}

// ---- scanDecimalComma / decimalCommaValue: the scanner the exact sums share ----

struct ScanCase {
    std::string text;
    bool number;
    bool negative;
    std::string whole;
    std::string fraction;
};

class NumbersScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(NumbersScan, SplitsSignWholeAndFraction) {
    const ScanCase& c = GetParam();
    const std::optional<DecimalCommaText> scanned = scanDecimalComma(c.text);
    ASSERT_EQ(scanned.has_value(), c.number) << "text: \"" << c.text << "\"";
    // The number reader takes exactly the scanned texts whose value fits a double: the exact sums rely on it.
    EXPECT_EQ(parseDecimalComma(c.text).has_value(), scanned && decimalCommaValue(*scanned).has_value())
        << "text: \"" << c.text << "\"";
    if (!scanned) return;
    EXPECT_EQ(scanned->negative, c.negative) << c.text;
    EXPECT_EQ(scanned->whole, c.whole) << c.text;
    EXPECT_EQ(scanned->fraction, c.fraction) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumbersScan,
    ::testing::Values(ScanCase{" \t-0012,5000\r\n", true, true, "0012", "5000"}, ScanCase{"+,", true, false, "", ""},
                      ScanCase{"-,5", true, true, "", "5"}, ScanCase{"7,", true, false, "7", ""},
                      ScanCase{"", false, false, "", ""}, ScanCase{" \x01 ", false, false, "", ""},
                      ScanCase{"1,2,3", false, false, "", ""}, ScanCase{"1,,2", false, false, "", ""},
                      ScanCase{"1.000", false, false, "", ""}, ScanCase{"1.000,50", false, false, "", ""},
                      ScanCase{"1,000.50", false, false, "", ""}, ScanCase{"- 5", false, false, "", ""},
                      ScanCase{"+-5", false, false, "", ""}, ScanCase{"5 ,5", false, false, "", ""},
                      ScanCase{"\xd9\xa3", false, false, "", ""},  // an Arabic-Indic three is no digit
                      ScanCase{std::string(400, '9') + "," + std::string(400, '1'), true, false, std::string(400, '9'),
                               std::string(400, '1')}));

// The double the reader gives, correctly rounded, computed the slow way for comparison.
std::optional<double> referenceValue(std::string_view text) {
    const std::optional<DecimalCommaText> n = scanDecimalComma(text);
    if (!n) return std::nullopt;
    std::string plain = n->negative ? "-" : "";
    plain += n->whole.empty() ? std::string_view("0") : n->whole;
    plain += '.';
    plain += n->fraction.empty() ? std::string_view("0") : n->fraction;
    return std::strtod(plain.c_str(), nullptr);
}

TEST(NumbersParseProperty, ShortNumbersReadAsTheCorrectlyRoundedDouble) {
    // Short numbers take a quicker road than long ones: both must give the nearest double, sign of zero included.
    std::vector<std::string> texts = {"9007199254740992",
                                      "9007199254740993",
                                      "9007199254740994,5",
                                      "9999999999999999999",
                                      "99999999999999999999",
                                      "0,0000000000000000001",
                                      "0,1234567890123456789",
                                      "1234567890,123456789",
                                      "-0",
                                      "-,",
                                      "-0,000",
                                      "0000000000000000000000,5",
                                      "4,35",
                                      "0,3",
                                      "-123456,78"};
    std::mt19937_64 random(25);
    std::uniform_int_distribution<int> length(1, 22);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int i = 0; i < 100'000; ++i) {
        std::string digits;
        const int n = length(random);
        for (int k = 0; k < n; ++k) digits += static_cast<char>('0' + digit(random));
        std::uniform_int_distribution<int> comma(0, n);
        digits.insert(static_cast<std::size_t>(comma(random)), ",");
        texts.push_back((i % 2 == 0 ? "-" : "") + digits);
    }
    for (const std::string& text : texts) {
        const std::optional<double> value = parseDecimalComma(text);
        const std::optional<double> expected = referenceValue(text);
        ASSERT_TRUE(value && expected) << text;
        ASSERT_EQ(*value, *expected) << text;
        ASSERT_EQ(std::signbit(*value), std::signbit(*expected)) << text;
    }
}

// ---- roundHalfUpExact ----

struct RoundCase {
    double value;
    int decimals;
    double expected;
};

class NumbersRound : public ::testing::TestWithParam<RoundCase> {};

TEST_P(NumbersRound, RoundsTheExactBinaryValue) {
    const RoundCase& c = GetParam();
    const double r = roundHalfUpExact(c.value, c.decimals);
    EXPECT_EQ(r, c.expected) << "value " << c.value << " decimals " << c.decimals;
    if (r == 0.0) {
        EXPECT_FALSE(std::signbit(r)) << "a zero result must be +0";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumbersRound,
    ::testing::Values(
        // Just below the half: rounds down; evaluating v * 100 + 0.5 in double would round these up.
        RoundCase{5.555, 2, 5.55}, RoundCase{2.675, 2, 2.67}, RoundCase{1.005, 2, 1.0},
        // In double, 0.49999999999999994 + 0.5 is 1.0; exactly it is below one.
        RoundCase{0.49999999999999994, 0, 0.0},
        // Just above the half, or exactly on it: rounds up.
        RoundCase{5.575, 2, 5.58}, RoundCase{12.345, 2, 12.35}, RoundCase{0.125, 2, 0.13}, RoundCase{0.5, 0, 1.0},
        RoundCase{2.5, 0, 3.0}, RoundCase{12.3456789, 4, 12.3457}, RoundCase{1.23456, 4, 1.2346},
        // Negatives mirror the positives (half away from zero).
        RoundCase{-2.5, 0, -3.0}, RoundCase{-2.7, 0, -3.0}, RoundCase{-2.4, 0, -2.0}, RoundCase{-3.0, 2, -3.0},
        RoundCase{-0.125, 2, -0.13}, RoundCase{-5.555, 2, -5.55}, RoundCase{-0.3, 0, 0.0}, RoundCase{-0.0, 2, 0.0},
        // Integers, huge and tiny values, and the widest precision.
        RoundCase{42.0, 2, 42.0}, RoundCase{1e300, 2, 1e300}, RoundCase{9007199254740993.0, 0, 9007199254740992.0},
        RoundCase{4503599627370495.5, 0, 4503599627370496.0}, RoundCase{1e-300, 15, 0.0}, RoundCase{5e-324, 2, 0.0},
        RoundCase{0.1, 15, 0.1}, RoundCase{1.0000000000000002, 15, 1.0},
        RoundCase{0.0000000000000005, 15, 0.000000000000001}, RoundCase{0.0000000000000004, 15, 0.0}));

TEST(NumbersRoundSpecial, NonFiniteUnchanged) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(roundHalfUpExact(inf, 2), inf);
    EXPECT_EQ(roundHalfUpExact(-inf, 0), -inf);
    EXPECT_TRUE(std::isnan(roundHalfUpExact(std::numeric_limits<double>::quiet_NaN(), 2)));
}

// Independent reference: the exact decimal expansion of the double (m * 5^k digits for m * 2^-k), rounded half
// up as decimal text and read back by strtod.
double referenceRound(double v, int decimals) {
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(v), &exponent);
    std::uint64_t m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    int k = 53 - exponent;
    if (k <= 0) return v;
    std::vector<int> digits;  // little endian
    for (std::uint64_t t = m; t != 0; t /= 10) digits.push_back(static_cast<int>(t % 10));
    for (int i = 0; i < k; ++i) {
        int carry = 0;
        for (int& d : digits) {
            const int x = d * 5 + carry;
            d = x % 10;
            carry = x / 10;
        }
        while (carry != 0) {
            digits.push_back(carry % 10);
            carry /= 10;
        }
    }
    while (static_cast<int>(digits.size()) <= k) digits.push_back(0);
    std::string exact;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) exact += static_cast<char>('0' + *it);
    const std::size_t point = exact.size() - static_cast<std::size_t>(k);
    std::string kept = exact.substr(0, point) + exact.substr(point, static_cast<std::size_t>(decimals));
    kept.append(point + static_cast<std::size_t>(decimals) - kept.size(), '0');
    const bool up = point + static_cast<std::size_t>(decimals) < exact.size() &&
                    exact[point + static_cast<std::size_t>(decimals)] >= '5';
    if (up) {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
        if (i == 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[i - 1];
    }
    std::string text = v < 0 ? "-" : "";
    text += kept.substr(0, kept.size() - static_cast<std::size_t>(decimals)) + "." +
            kept.substr(kept.size() - static_cast<std::size_t>(decimals)) + "0";
    const double r = std::strtod(text.c_str(), nullptr);
    return r == 0.0 ? 0.0 : r;
}

TEST(NumbersRoundProperty, MatchesExactDecimalReference) {
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<std::int64_t> units(0, 99'999'999);
    std::uniform_int_distribution<int> places(2, 3);
    std::uniform_int_distribution<int> precision(0, 4);
    for (int i = 0; i < 200'000; ++i) {
        const int p = places(random);
        std::string digits = std::to_string(units(random));
        if (digits.size() <= static_cast<std::size_t>(p)) digits.insert(0, p + 1 - digits.size(), '0');
        std::string text = (i % 2 == 0 ? "-" : "") + digits;
        text.insert(text.size() - static_cast<std::size_t>(p), ",");
        const std::optional<double> v = parseDecimalComma(text);
        ASSERT_TRUE(v.has_value()) << text;
        // Rounding to two decimals is the case that matters most; mix in the others.
        const int d = (i % 3 == 0) ? precision(random) : 2;
        ASSERT_EQ(roundHalfUpExact(*v, d), referenceRound(*v, d)) << text << " decimals " << d;
    }
}

// ---- formatGeneral ----

struct GeneralCase {
    double value;
    std::string expected;
};

class NumbersGeneral : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(NumbersGeneral, WritesFifteenDigitsPositionally) {
    EXPECT_EQ(formatGeneral(GetParam().value), GetParam().expected);
    // The rows append the same text after what they hold.
    std::string row = "Valore: € ";
    appendGeneral(GetParam().value, row);
    EXPECT_EQ(row, "Valore: € " + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumbersGeneral,
    ::testing::Values(
        GeneralCase{1e20, "100000000000000000000"}, GeneralCase{1.5e-7, "0,00000015"},
        GeneralCase{123456789012345678.0, "123456789012346000"}, GeneralCase{12.5, "12,5"}, GeneralCase{12.0, "12"},
        GeneralCase{12.34, "12,34"}, GeneralCase{-12.34, "-12,34"}, GeneralCase{-0.0, "0"}, GeneralCase{0.0, "0"},
        GeneralCase{0.1, "0,1"}, GeneralCase{0.1 + 0.2, "0,3"}, GeneralCase{1.0 / 3.0, "0,333333333333333"},
        GeneralCase{-2.0 / 3.0, "-0,666666666666667"}, GeneralCase{9999999999999996.0, "10000000000000000"},
        GeneralCase{0.001, "0,001"}, GeneralCase{100.0, "100"}, GeneralCase{1234.5678, "1234,5678"},
        GeneralCase{5e-324, "0," + std::string(323, '0') + "494065645841247"},
        // Exact halves at the fifteenth digit go to the even digit; just below 10^15 carries.
        GeneralCase{100000000000000.5, "100000000000000"}, GeneralCase{100000000000001.5, "100000000000002"},
        GeneralCase{999999999999999.9, "1000000000000000"}, GeneralCase{1.0000000000000009, "1"},
        GeneralCase{37.019999999999996, "37,02"}, GeneralCase{123456.789, "123456,789"},
        GeneralCase{std::numeric_limits<double>::infinity(), "0"},
        GeneralCase{std::numeric_limits<double>::quiet_NaN(), "0"}));

TEST(NumbersGeneralProperty, ReadsBackAsFifteenDigitValue) {
    // What the program writes must read back as the value rounded to 15 significant digits.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 50'000; ++i) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.14e", v);
        const double fifteen = std::strtod(buffer, nullptr);
        const std::string text = formatGeneral(v);
        ASSERT_EQ(text.find_first_of(".eE"), std::string::npos) << text;
        const std::optional<double> back = parseDecimalComma(text);
        ASSERT_TRUE(back.has_value()) << text;
        ASSERT_EQ(*back, fifteen) << text;
    }
}

TEST(NumbersGeneralProperty, InventoryValuesReadBackAsFifteenDigitValue) {
    // Stock times cost, the values the inventory writes on every row, mostly between 1 and 10^15.
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> stock(0, 100'000);
    std::uniform_int_distribution<std::int64_t> cents(1, 99'999'999);
    for (int i = 0; i < 100'000; ++i) {
        const double v = stock(random) / 10.0 * (static_cast<double>(cents(random)) / 100.0);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.14e", v);
        const std::string text = formatGeneral(v);
        const std::optional<double> back = parseDecimalComma(text);
        ASSERT_TRUE(back.has_value()) << text;
        ASSERT_EQ(*back, std::strtod(buffer, nullptr)) << text;
        ASSERT_TRUE(text.find(',') == std::string::npos || text.back() != '0') << text;
    }
}

// ---- formatMoneyText / formatWholeText ----

struct BoxCase {
    std::string text;
    int decimals;
    std::string expected;
};

class NumbersMoney : public ::testing::TestWithParam<BoxCase> {};

TEST_P(NumbersMoney, NormalisesMoneyBox) {
    const BoxCase& c = GetParam();
    EXPECT_EQ(formatMoneyText(c.text, c.decimals), c.expected) << "\"" << c.text << "\" d=" << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    TwoDecimals, NumbersMoney,
    ::testing::Values(BoxCase{"5", 2, "5,00"}, BoxCase{"5,5", 2, "5,50"}, BoxCase{",5", 2, "0,50"},
                      BoxCase{"5,", 2, "5,00"}, BoxCase{"12,345", 2, "12,35"}, BoxCase{"5,575", 2, "5,58"},
                      BoxCase{"5,555", 2, "5,55"}, BoxCase{"2,675", 2, "2,67"}, BoxCase{"1,005", 2, "1,00"},
                      BoxCase{"0,125", 2, "0,13"}, BoxCase{"", 2, "0,00"}, BoxCase{"   ", 2, "0,00"},
                      BoxCase{"1,2,3", 2, "0,00"}, BoxCase{",", 2, "0,00"}, BoxCase{"abc", 2, "0,00"},
                      BoxCase{" 7 ", 2, "7,00"}, BoxCase{"0042,1", 2, "42,10"}, BoxCase{"+5", 2, "5,00"},
                      BoxCase{"1.5", 2, "0,00"}, BoxCase{"1e5", 2, "0,00"}, BoxCase{"12,999", 2, "13,00"},
                      BoxCase{"37,5", 2, "37,50"}, BoxCase{"100000000000000000000", 2, "100000000000000000000,00"},
                      // Negatives round half away from zero and never show "-0".
                      BoxCase{"-3", 2, "-3,00"}, BoxCase{"-2,675", 2, "-2,67"}, BoxCase{"-5,575", 2, "-5,58"},
                      BoxCase{"-0,125", 2, "-0,13"}, BoxCase{"-0,001", 2, "0,00"}, BoxCase{"-0", 2, "0,00"}));

INSTANTIATE_TEST_SUITE_P(FourDecimals, NumbersMoney,
                         ::testing::Values(BoxCase{"12,3456789", 4, "12,3457"}, BoxCase{"1,23456", 4, "1,2346"},
                                           BoxCase{",5", 4, "0,50"}, BoxCase{"0,1", 4, "0,10"},
                                           BoxCase{"1,5", 4, "1,50"}, BoxCase{"3", 4, "3,00"},
                                           BoxCase{"0,12345", 4, "0,1235"}, BoxCase{"0,125", 4, "0,125"},
                                           BoxCase{"", 4, "0,00"}, BoxCase{"x", 4, "0,00"},
                                           BoxCase{"0,00004", 4, "0,00"}, BoxCase{"-1,23456", 4, "-1,2346"}));

class NumbersWhole : public ::testing::TestWithParam<BoxCase> {};

TEST_P(NumbersWhole, NormalisesWholeNumberBox) {
    EXPECT_EQ(formatWholeText(GetParam().text), GetParam().expected) << "\"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(Numbers, NumbersWhole,
                         ::testing::Values(BoxCase{"0042", 0, "42"}, BoxCase{"", 0, "0"}, BoxCase{"  ", 0, "0"},
                                           BoxCase{"2,5", 0, "3"}, BoxCase{"2,4", 0, "2"}, BoxCase{"1,2,3", 0, "0"},
                                           BoxCase{"x", 0, "0"}, BoxCase{" 7 ", 0, "7"}, BoxCase{"0,5", 0, "1"},
                                           BoxCase{",", 0, "0"}, BoxCase{"0000", 0, "0"},
                                           BoxCase{"99999999999999999999", 0, "100000000000000000000"},
                                           BoxCase{"-2,5", 0, "-3"}, BoxCase{"-2,7", 0, "-3"}, BoxCase{"-2,4", 0, "-2"},
                                           BoxCase{"-0,3", 0, "0"}));

}  // namespace
}  // namespace scortavia
