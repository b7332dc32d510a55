#include "storage/Windows1252.h"

#include <array>
#include <cstdint>

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

// Decodes one UTF-8 sequence at `i`; returns U+FFFD for malformed input and advances past it.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
    const std::uint8_t b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + len > s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k < len; ++k) {
        const std::uint8_t b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += len;
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    return cp;
}

void appendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string encodeWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const int b = byteFor(nextCodePoint(utf8, i));
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
