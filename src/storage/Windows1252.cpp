#include "storage/Windows1252.h"

#include <array>
#include <cstdint>

#include "common/TextRules.h"

namespace scortavia {
namespace {

// Code points of bytes 0x80-0x9F; the other bytes equal their code point (Latin-1).
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Byte for a code point, or -1 when the code page has no place for it.
int byteFor(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == cp) return static_cast<int>(0x80 + i);
    }
    return -1;
}

}  // namespace

std::string encodeWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        // Runs of plain ASCII, most of any text, are the same bytes in both encodings.
        std::size_t ascii = i;
        while (ascii < utf8.size() && static_cast<std::uint8_t>(utf8[ascii]) < 0x80) ++ascii;
        out.append(utf8.data() + i, ascii - i);
        i = ascii;
        if (i == utf8.size()) break;
        const int b = byteFor(nextUtf8(utf8, i).value_or(0xFFFD));
        out.push_back(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

void appendDecodedWindows1252(std::string_view bytes, std::string& out) {
    // Stored texts are mostly plain ASCII: copy runs of it in one go.
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t run = i;
        while (run < bytes.size() && static_cast<std::uint8_t>(bytes[run]) < 0x80) ++run;
        out.append(bytes.data() + i, run - i);
        if (run == bytes.size()) break;
        const auto b = static_cast<std::uint8_t>(bytes[run]);
        appendUtf8(b < 0xA0 ? kHighTable[b - 0x80] : b, out);
        i = run + 1;
    }
}

std::string decodeWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    appendDecodedWindows1252(bytes, out);
    return out;
}

}  // namespace scortavia
