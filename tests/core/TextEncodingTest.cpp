#include <gtest/gtest.h>

#include <string>

#include "common/ListRows.h"
#include "storage/AnsiField.h"
#include "storage/Windows1252.h"

namespace scortavia {
namespace {

TEST(Windows1252, EveryByteSurvivesDecodeAndEncode) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(encodeWindows1252(decodeWindows1252(byte)), byte) << "byte " << b;
    }
}

struct EncodeCase {
    const char* utf8;
    std::string expected;
};

class Windows1252Encode : public testing::TestWithParam<EncodeCase> {};

TEST_P(Windows1252Encode, MapsOrReplacesWithQuestionMark) {
    EXPECT_EQ(encodeWindows1252(GetParam().utf8), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, Windows1252Encode,
    testing::Values(EncodeCase{"Sì", "S\xEC"}, EncodeCase{"€ 12,50", "\x80 12,50"},
                    EncodeCase{"perché È già", "perch\xE9 \xC8 gi\xE0"}, EncodeCase{"‘a’ “b” …", "\x91" "a\x92 \x93" "b\x94 \x85"},
                    EncodeCase{"Œœ Ÿ ™", "\x8C\x9C \x9F \x99"},
                    EncodeCase{"vite 中 x", "vite ? x"},            // ideograph: no place in the code page
                    EncodeCase{"a😀b", "a?b"},                      // outside the BMP: one "?"
                    EncodeCase{"a\xC3", "a?"},                      // truncated sequence
                    EncodeCase{"a\xFF" "b", "a?b"},                  // never valid in UTF-8
                    EncodeCase{"\xC0\xAF", "?"},                    // overlong encoding of "/"
                    EncodeCase{"Ā", "?"}));
// clang-format on

// The field is built in the middle of a buffer so that writes past its end would show.
struct FieldFixture {
    static constexpr std::size_t kGuard = 4;
    std::string buffer;
    std::size_t capacity;

    explicit FieldFixture(std::size_t cap) : buffer(cap + 1 + 2 * kGuard, '\xAA'), capacity(cap) {}
    std::uint8_t* field() { return reinterpret_cast<std::uint8_t*>(buffer.data()) + kGuard; }
    std::string stored() const { return buffer.substr(kGuard, capacity + 1); }
    bool guardsIntact() const {
        return buffer.substr(0, kGuard) == std::string(kGuard, '\xAA') &&
               buffer.substr(kGuard + capacity + 1) == std::string(kGuard, '\xAA');
    }
};

struct AssignCase {
    std::size_t capacity;
    std::string text;
    std::string expectedLengthAndText;  // length byte followed by the text bytes; the rest must be zero
};

class AnsiFieldAssign : public testing::TestWithParam<AssignCase> {};

TEST_P(AnsiFieldAssign, StoresTrimmedEncodedCutText) {
    const auto& c = GetParam();
    FieldFixture f(c.capacity);
    AnsiField(f.field(), c.capacity).assignText(c.text);
    std::string expected = c.expectedLengthAndText;
    expected.resize(c.capacity + 1, '\0');
    EXPECT_EQ(f.stored(), expected);
    EXPECT_TRUE(f.guardsIntact());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, AnsiFieldAssign,
    testing::Values(AssignCase{4, "  12345 ", std::string("\x04" "1234")},
                    AssignCase{10, "", std::string("\x00", 1)},
                    AssignCase{10, " \t\r\n ", std::string("\x00", 1)},
                    AssignCase{10, "\x01" "ab\x1f", "\x02" "ab"},            // control characters trimmed too
                    AssignCase{10, " a  b ", "\x04" "a  b"},                 // inner blanks kept
                    AssignCase{2, "Sì", "\x02" "S\xEC"},                     // the paid flag: 02 53 EC
                    AssignCase{2, "No", "\x02" "No"},
                    AssignCase{5, "中文", "\x02??"},
                    AssignCase{3, "€€€€", "\x03\x80\x80\x80"},              // cut counts bytes of the code page
                    AssignCase{1, "\xC2\xA0x", "\x01\xA0"}));               // no-break space is not a blank
// clang-format on

TEST(AnsiField, TextLongerThan255IsCutTo255ThenToCapacity) {
    FieldFixture f(255);
    AnsiField(f.field(), 255).assignText(std::string(300, 'x'));
    EXPECT_EQ(static_cast<unsigned char>(f.stored()[0]), 255);
    EXPECT_EQ(AnsiField(f.field(), 255).readText(), std::string(255, 'x'));
}

TEST(AnsiField, OverwritingALongTextWithAShortOneLeavesCleanFiller) {
    FieldFixture f(8);
    AnsiField field(f.field(), 8);
    field.assignText("abcdefgh");
    field.assignText("xy");
    EXPECT_EQ(f.stored(), std::string("\x02xy\0\0\0\0\0\0", 9));
}

struct ReadCase {
    std::size_t capacity;
    std::string stored;  // length byte and bytes, padded with 'Z' filler to the capacity
    std::string expected;
};

class AnsiFieldRead : public testing::TestWithParam<ReadCase> {};

TEST_P(AnsiFieldRead, DecodesTrimsAndNeverReadsPastTheField) {
    const auto& c = GetParam();
    FieldFixture f(c.capacity);
    std::string bytes = c.stored;
    bytes.resize(c.capacity + 1, 'Z');
    f.buffer.replace(FieldFixture::kGuard, bytes.size(), bytes);
    EXPECT_EQ(AnsiField(f.field(), c.capacity).readText(), c.expected);
    EXPECT_EQ(readFieldText(f.field(), c.capacity), c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, AnsiFieldRead,
    testing::Values(ReadCase{10, "\x03" "abc", "abc"},                 // filler ignored
                    ReadCase{10, "\x05  ab ", "ab"},                   // stored blanks trimmed
                    ReadCase{10, std::string("\x00", 1), ""},
                    ReadCase{4, "\xFF" "abcd", "abcd"},                // length beyond capacity: clamped
                    ReadCase{2, "\x09" "No", "No"},
                    ReadCase{6, "\x06\x80 \xE8\xC8\x85\x92", "€ èÈ…’"},
                    ReadCase{3, std::string("\x03\x00\x01\x02", 4), ""}));             // only control characters
// clang-format on

// A list column built straight from the stored bytes must be what fitField makes of the text.
TEST_P(AnsiFieldRead, GivesTheColumnFitFieldWouldGive) {
    const ReadCase& c = GetParam();
    FieldFixture f(c.capacity);
    std::string bytes = c.stored;
    bytes.resize(c.capacity + 1, 'Z');
    f.buffer.replace(FieldFixture::kGuard, bytes.size(), bytes);
    for (std::size_t width : {0, 1, 2, 3, 5, 12}) {
        std::string column = "Cod. ";
        appendFittedField(f.field(), c.capacity, width, column);
        EXPECT_EQ(column, "Cod. " + fitField(readFieldText(f.field(), c.capacity), width)) << width;
    }
}

}  // namespace
}  // namespace scortavia
