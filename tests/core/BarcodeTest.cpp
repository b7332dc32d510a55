#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "common/Barcode.h"

namespace scortavia {
namespace {

struct ChoiceCase {
    std::string code;
    std::optional<Symbology> symbology;
};

class BarcodeChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(BarcodeChoiceTest, PicksTheSymbologyOrSaysWhyNot) {
    const auto& [code, symbology] = GetParam();
    const BarcodeChoice choice = barcodeFor(code);
    EXPECT_EQ(choice.symbology, symbology);
    EXPECT_EQ(choice.content, code);
    EXPECT_EQ(choice.problem.empty(), symbology.has_value()) << choice.problem;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, BarcodeChoiceTest,
    ::testing::Values(ChoiceCase{"5901234123457", Symbology::Ean13}, ChoiceCase{"4006381333931", Symbology::Ean13},
                      ChoiceCase{"2000000000008", Symbology::Ean13},
                      ChoiceCase{"5901234123458", Symbology::Code128},  // wrong check digit: digits only
                      ChoiceCase{"96385074", Symbology::Ean8}, ChoiceCase{"96385075", Symbology::Code128},
                      ChoiceCase{"036000291452", Symbology::UpcA}, ChoiceCase{"036000291453", Symbology::Code128},
                      ChoiceCase{"1234567", Symbology::Code128},         // seven digits are no EAN-8
                      ChoiceCase{"12345678901231", Symbology::Code128},  // fourteen digits, right check
                      ChoiceCase{"ABC-123", Symbology::Code128}, ChoiceCase{"art 12/b", Symbology::Code128},
                      ChoiceCase{"ABCDEFGHIJKLMNOPQRST", Symbology::Code128},  // the longest that fits
                      ChoiceCase{"ABCDEFGHIJKLMNOPQRSTU", std::nullopt}, ChoiceCase{"CAFFÈ-1", std::nullopt},
                      ChoiceCase{"€10", std::nullopt}, ChoiceCase{"A\tB", std::nullopt}, ChoiceCase{"", std::nullopt}));

TEST(BarcodeProblemTest, NamesTheCharacterThatCannotBeHeld) {
    EXPECT_NE(barcodeFor("CAFFÈ-1").problem.find("«È»"), std::string::npos) << barcodeFor("CAFFÈ-1").problem;
    EXPECT_NE(barcodeFor("ABCDEFGHIJKLMNOPQRSTU").problem.find("20 caratteri"), std::string::npos);
}

struct CheckCase {
    std::string digits;  // without the check digit
    char check;
};

class Gs1CheckDigitTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(Gs1CheckDigitTest, ComputesAndVerifies) {
    const auto& [digits, check] = GetParam();
    EXPECT_EQ(gs1CheckDigit(digits), check);
    EXPECT_TRUE(hasValidGs1CheckDigit(digits + check));
    EXPECT_FALSE(hasValidGs1CheckDigit(digits + static_cast<char>('0' + (check - '0' + 1) % 10)));
}

INSTANTIATE_TEST_SUITE_P(Gs1, Gs1CheckDigitTest,
                         ::testing::Values(CheckCase{"590123412345", '7'}, CheckCase{"400638133393", '1'},
                                           CheckCase{"9638507", '4'}, CheckCase{"03600029145", '2'},
                                           CheckCase{"000000000000", '0'}, CheckCase{"200000000001", '5'}));

TEST(Gs1CheckDigitTest, RefusesWhatIsNotDigits) {
    EXPECT_EQ(gs1CheckDigit("12A4"), std::nullopt);
    EXPECT_EQ(gs1CheckDigit(""), std::nullopt);
    EXPECT_FALSE(hasValidGs1CheckDigit("7"));
}

TEST(Ean13CheckWarningTest, OnlyThirteenDigitsWithAWrongCheck) {
    EXPECT_TRUE(looksLikeEan13WithWrongCheck("5901234123458"));
    EXPECT_FALSE(looksLikeEan13WithWrongCheck("5901234123457"));
    EXPECT_FALSE(looksLikeEan13WithWrongCheck("96385075"));
    EXPECT_FALSE(looksLikeEan13WithWrongCheck("59012341234AB"));
}

bool isInStoreEan13(const std::string& code) {
    return code.size() == 13 && code[0] == '2' && barcodeFor(code).symbology == Symbology::Ean13;
}

TEST(GenerateInStoreEan13Test, UniqueAndValidOverAHundredThousandProducts) {
    // The archive's codes: in-store codes of the same kind, so that clashes are possible at all.
    std::unordered_set<std::string> codes;
    codes.reserve(101'000);
    std::uint64_t state = 12345;
    const RandomSource random = [&state] { return state = state * 6364136223846793005ULL + 1442695040888963407ULL; };
    while (codes.size() < 100'000) codes.insert(*generateInStoreEan13({}, random));
    for (int i = 0; i < 1000; ++i) {
        const auto code = generateInStoreEan13(codes, random);
        ASSERT_TRUE(code);
        EXPECT_TRUE(isInStoreEan13(*code)) << *code;
        EXPECT_TRUE(codes.insert(*code).second) << *code << " is already in the archive";
    }
}

TEST(GenerateInStoreEan13Test, SkipsCodesTakenAndCoversEveryPrefix) {
    // The source first offers the item that the archive already holds, then the highest value there is.
    std::deque<std::uint64_t> values{0, 0, 99'999'999'999ULL};
    const RandomSource scripted = [&values] {
        const auto value = values.front();
        values.pop_front();
        return value;
    };
    EXPECT_EQ(generateInStoreEan13({"2000000000008"}, scripted), "2999999999991");
    const RandomSource stuck = [] { return std::uint64_t{0}; };
    EXPECT_EQ(generateInStoreEan13({"2000000000008"}, stuck), std::nullopt);
}

}  // namespace
}  // namespace scortavia
