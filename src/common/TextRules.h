#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text rules shared by storage, lists and searches. Text in the core library is UTF-8.
namespace scortavia {

// The one digit test of the program: the ASCII digits 0 to 9 only, whatever the locale.
constexpr bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Removes leading and trailing characters whose code is 32 or less (blanks and control characters).
std::string_view trimBlanks(std::string_view text);

// Case folding of every search and list order: only the letters A to Z change; "è" and "È" stay apart.
char foldLowerAZ(char c);
char foldUpperAZ(char c);
std::string lowerAZ(std::string_view text);
std::string upperAZ(std::string_view text);

// True when `needle` occurs in `haystack` with A to Z folded; an empty needle never matches.
bool containsFoldedAZ(std::string_view haystack, std::string_view needle);

// Number of characters (code points) of UTF-8 text.
std::size_t countCharacters(std::string_view utf8);

// Byte length of the first `count` characters of UTF-8 text (the whole text when shorter).
std::size_t prefixBytes(std::string_view utf8, std::size_t count);

// The code point of the UTF-8 sequence at `i`, with `i` moved past it; nullopt for a malformed one.
// A bad lead or continuation byte moves `i` one byte on; an overlong or out-of-range sequence past it.
std::optional<char32_t> nextUtf8(std::string_view utf8, std::size_t& i);

// True when the whole text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

// Appends the UTF-8 form of a code point up to U+10FFFF.
void appendUtf8(char32_t cp, std::string& out);

}  // namespace scortavia
