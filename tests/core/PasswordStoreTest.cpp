#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/TextRules.h"
#include "shell/PasswordStore.h"
#include "storage/SettingsFile.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kAGrave = "\xC3\xA0";  // à

// "AB" scrambled by hand:
//   key = 0x5E2B
//   'A' = 0x41, 0x41 XOR 0x5E = 0x1F -> "1F"
//   key = (0x1F + 0x5E2B) * 40503 + 30211 = 24138 * 40503 + 30211 = 977691625 = 0x63E9 (mod 65536)
//   'B' = 0x42, 0x42 XOR 0x63 = 0x21 -> "21"
// Had the clear byte 0x41 fed the key, it would be 0x6737 and "B" would give "25".
TEST(PasswordScramble, MatchesAVectorWorkedOutByHand) {
    EXPECT_EQ(scramblePassword("AB"), "1F21");
    EXPECT_EQ(*unscramblePassword("1F21"), "AB");
}

TEST(PasswordScramble, RoundTripsEveryByteAndEveryLengthUpTo255) {
    // Length n starts at byte n, so every byte value shows up, at the front and deeper in.
    for (std::size_t length = 0; length <= 255; ++length) {
        std::string clear;
        for (std::size_t i = 0; i < length; ++i) clear += static_cast<char>((length + i) & 0xFF);
        const std::string hex = scramblePassword(clear);
        ASSERT_EQ(hex.size(), 2 * length);
        ASSERT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
        ASSERT_EQ(*unscramblePassword(hex), clear) << "length " << length;
        ASSERT_EQ(*unscramblePassword(lowerAZ(hex)), clear) << "lowercase, length " << length;
    }
}

TEST(PasswordScramble, UnscrambleReadsOnlyWholePairsCountedModulo256) {
    const std::string ab = scramblePassword("AB");
    const std::string pairs256 = scramblePassword(std::string(255, 'x')) + "00";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"1", ""},
        {"1F2", "A"},
        {ab + "7", "AB"},
        {ab + "Z", "AB"},  // the ignored odd digit need not be hex
        {"1f21", "AB"},
        {pairs256, ""},
        {pairs256 + "1F", "x"},
        {std::string(512, 'Z'), ""},  // no pair is used, so none is checked
    };
    for (const auto& [hex, clear] : cases) {
        auto result = unscramblePassword(hex);
        ASSERT_TRUE(result.ok()) << hex << ": " << result.error();
        EXPECT_EQ(*result, clear) << hex;
    }
    EXPECT_EQ(scramblePassword(std::string(256, 'x')), "");
    EXPECT_EQ(scramblePassword(std::string(257, 'A')), "1F");
}

TEST(PasswordScramble, UnscrambleRefusesAPairThatIsNotHex) {
    for (const std::string hex : {"1G", "G1", "1F2G", " 1F2", "+1F2", "0x1F", "1F-1", "1F\xC3\xA0"}) {
        EXPECT_FALSE(unscramblePassword(hex).ok()) << hex;
    }
}

TEST(PasswordText, Latin1ConversionsCoverExactlyU0000ToU00FF) {
    const std::vector<std::pair<std::string, std::string>> same = {
        {"", ""},
        {"Abc 1!", "Abc 1!"},
        {"\0x"s, "\0x"s},
        {"\xC2\x80", "\x80"},
        {"\xC3\xA0", "\xE0"},  // à
        {"\xC3\xBF", "\xFF"},  // ÿ
    };
    for (const auto& [utf8, latin1] : same) {
        EXPECT_EQ(utf8ToLatin1(utf8), latin1) << utf8;
        EXPECT_EQ(latin1ToUtf8(latin1), utf8) << utf8;
    }
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    EXPECT_EQ(utf8ToLatin1(latin1ToUtf8(everyByte)), everyByte);

    for (const std::string utf8 : {
             "\xC4\x80",          // U+0100, just past Latin-1
             "\xE2\x82\xAC",      // €
             "\xF0\x9F\x98\x80",  // an emoji
             "\xC1\x81",          // overlong "A"
             "\xC0\x80",          // overlong NUL
             "\x80",              // continuation byte alone
             "a\xC3",             // cut short
             "\xC3\x41",          // lead without its continuation
             "\xFF",
         }) {
        EXPECT_EQ(utf8ToLatin1(utf8), std::nullopt) << utf8;
    }
}

TEST(PasswordText, NormalizeUppercasesOnlyAToZAndTrims) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"abc", "ABC"},
        {"  MiXed 12 \t", "MIXED 12"},
        {kAGrave + "b" + kAGrave, kAGrave + "B" + kAGrave},  // accented letters stay as typed
        {"\r\n x \r\n", "X"},
        {"   ", ""},
    };
    for (const auto& [typed, stored] : cases) EXPECT_EQ(normalizePassword(typed), stored) << typed;
}

std::string repeatText(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

TEST(PasswordText, StorableMeansLatin1AndAtMost255CharactersOnceNormalized) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"abc", true},
        {std::string(255, 'a'), true},
        {"  " + std::string(255, 'a') + "  ", true},  // blanks go before counting
        {repeatText(kAGrave, 255), true},             // characters are counted, not bytes
        {std::string(256, 'a'), false},
        {repeatText(kAGrave, 256), false},
        {"euro \xE2\x82\xAC", false},
        {"\xC4\x80", false},
        {"bad \xC3", false},
    };
    for (const auto& [typed, storable] : cases) EXPECT_EQ(isStorablePassword(typed), storable) << typed;
}

class PasswordStoreTest : public testing::Test {
protected:
    TempFolder folder;
    fs::path settings = folder.file("unins000.dll");

    static std::string shippedFile(const std::string& hex) { return "[Accesso]\r\nValore=" + hex + "\r\n"; }
};

TEST_F(PasswordStoreTest, ShippedSettingsFileHoldsTheInitialPassword) {
    const fs::path data = fs::path(SCORTAVIA_SOURCE_DIR) / "data";
    EXPECT_EQ(test::readBytes(data / "unins000.dll"), shippedFile(scramblePassword("SCORTAVIA")));
    auto stored = readStoredPassword(data);
    ASSERT_TRUE(stored.ok()) << stored.error();
    EXPECT_EQ(*stored, "SCORTAVIA");
}

TEST_F(PasswordStoreTest, ALowercasePasswordIsStoredAsTheScrambleOfItsUppercaseForm) {
    test::writeBytes(settings, shippedFile(scramblePassword("SCORTAVIA")));
    ASSERT_TRUE(storePassword(folder.path(), "abc").ok());
    const std::string hex = scramblePassword("ABC");
    ASSERT_EQ(hex.size(), 6u);
    EXPECT_EQ(test::readBytes(settings), shippedFile(hex));
    EXPECT_EQ(*readStoredPassword(folder.path()), "ABC");
}

TEST_F(PasswordStoreTest, StoredPasswordsReadBackNormalized) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {" p" + kAGrave + "ss word1 ", "P" + kAGrave + "SS WORD1"},
        {"\xC3\xBF\xC2\x80", "\xC3\xBF\xC2\x80"},
        {std::string(255, 'x'), std::string(255, 'X')},
        {repeatText(kAGrave, 255), repeatText(kAGrave, 255)},
    };
    for (const auto& [typed, read] : cases) {
        ASSERT_TRUE(storePassword(folder.path(), typed).ok()) << typed;
        auto stored = readStoredPassword(folder.path());
        ASSERT_TRUE(stored.ok()) << stored.error();
        EXPECT_EQ(*stored, read);
    }
}

TEST_F(PasswordStoreTest, APasswordTheStoreCannotHoldIsRefusedAndNothingIsWritten) {
    const std::string original = shippedFile(scramblePassword("SCORTAVIA"));
    for (const std::string& typed :
         {"euro\xE2\x82\xAC"s, "\xC4\x80"s, std::string(256, 'a'), repeatText(kAGrave, 256)}) {
        test::writeBytes(settings, original);
        const Status status = storePassword(folder.path(), typed);
        EXPECT_EQ(status.error(), kMsgPasswordUnstorable);
        EXPECT_EQ(test::readBytes(settings), original);

        fs::remove(settings);
        EXPECT_FALSE(storePassword(folder.path(), typed).ok());
        EXPECT_FALSE(fs::exists(settings)) << "created by a refused password";
    }
}

TEST_F(PasswordStoreTest, ABlankPasswordIsNeverStored) {
    const std::string original = shippedFile(scramblePassword("SCORTAVIA"));
    test::writeBytes(settings, original);
    EXPECT_FALSE(storePassword(folder.path(), " \t ").ok());
    EXPECT_EQ(test::readBytes(settings), original);
}

TEST_F(PasswordStoreTest, StoredValueReadsEmptyWhenTheFileOrTheKeyIsMissing) {
    for (const std::string content : {"", "[Accesso]\r\n", "[Altro]\r\nValore=1F21\r\n", "[Accesso]\r\nValore=\r\n"}) {
        test::writeBytes(settings, content);
        auto stored = readStoredPassword(folder.path());
        ASSERT_TRUE(stored.ok()) << stored.error();
        EXPECT_EQ(*stored, "") << content;
    }
    fs::remove(settings);
    auto stored = readStoredPassword(folder.path());
    ASSERT_TRUE(stored.ok()) << stored.error();
    EXPECT_EQ(*stored, "");
}

TEST_F(PasswordStoreTest, StoredValueLosesTheBlanksScrambledIntoIt) {
    test::writeBytes(settings, shippedFile(scramblePassword("  AB\t")));
    EXPECT_EQ(*readStoredPassword(folder.path()), "AB");
}

TEST_F(PasswordStoreTest, AValueThatIsNotHexOrAnUnreadableFileIsAFailure) {
    test::writeBytes(settings, shippedFile("1F2X"));
    EXPECT_FALSE(readStoredPassword(folder.path()).ok());

    fs::remove(settings);
    fs::create_directory(settings);
    EXPECT_FALSE(readStoredPassword(folder.path()).ok());
}

}  // namespace
}  // namespace scortavia
