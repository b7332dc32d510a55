#include "common/TextRules.h"

#include <algorithm>

namespace scortavia {

std::string_view trimBlanks(std::string_view text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

char foldLowerAZ(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

char foldUpperAZ(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string lowerAZ(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), foldLowerAZ);
    return out;
}

std::string upperAZ(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), foldUpperAZ);
    return out;
}

bool containsFoldedAZ(std::string_view haystack, std::string_view needle) {
    if (needle.empty() || needle.size() > haystack.size()) return false;
    // UTF-8 continuation bytes never equal an ASCII letter, so folding byte by byte is safe.
    auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                          [](char a, char b) { return foldLowerAZ(a) == foldLowerAZ(b); });
    return it != haystack.end();
}

std::size_t countCharacters(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    }
    return n;
}

std::size_t prefixBytes(std::string_view utf8, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (seen == count) return i;
            ++seen;
        }
    }
    return utf8.size();
}

}  // namespace scortavia
