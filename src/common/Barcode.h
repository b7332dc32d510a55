#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace scortavia {

enum class Symbology { Ean13, Ean8, UpcA, Code128 };

struct BarcodeChoice {
    std::optional<Symbology> symbology;  // nullopt: the code cannot be a barcode
    std::string content;                 // what the bars hold
    std::string problem;                 // why it cannot be one, for the hover hint; else empty
};

// The longest code drawn as Code 128: twenty characters still fit a 3x8 label sheet's label with
// bars two printer dots wide at 300 dpi, so the label stays readable by an ordinary scanner.
inline constexpr std::size_t kCode128MaxLength = 20;

// The barcode of a product code as stored (UTF-8 text): EAN-13, EAN-8 or UPC-A when the code is all
// digits of that length with a right check digit, else Code 128 when it holds only printable ASCII
// (a scanner types each character back as a key; letters beyond ASCII come back garbled on most
// keyboards and scanners) and is at most kCode128MaxLength long.
BarcodeChoice barcodeFor(std::string_view productCode);

// The GS1 modulo-10 check digit ('0'..'9') of the digits before it; nullopt when a character is not a digit.
std::optional<char> gs1CheckDigit(std::string_view digitsWithoutCheck);

// True when the last digit is the GS1 check digit of the digits before it.
bool hasValidGs1CheckDigit(std::string_view digits);

// A code the user typed that looks like an EAN-13 (13 digits) whose last digit is not its check digit.
bool looksLikeEan13WithWrongCheck(std::string_view code);

// A source of random numbers, e.g. a std::mt19937_64 wrapped in a lambda.
using RandomSource = std::function<std::uint64_t()>;

// An in-store EAN-13 (prefix 200 to 299, kept by the numbering system for use inside a shop) with its
// check digit, not among `existingCodes`; nullopt if none was found in a generous number of tries.
std::optional<std::string> generateInStoreEan13(const std::unordered_set<std::string>& existingCodes,
                                                const RandomSource& random);

}  // namespace scortavia
