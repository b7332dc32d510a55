#include "common/Barcode.h"

#include <algorithm>
#include <array>

namespace scortavia {

namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The first character that is not printable ASCII, as UTF-8 text (a whole multi-byte character).
std::optional<std::string> firstUnprintable(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte < 0x7F) continue;
        if (byte < 0x80) return std::string{};  // a control character has no face to show
        std::size_t end = i + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        return std::string(text.substr(i, end - i));
    }
    return std::nullopt;
}

std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

std::optional<char> gs1CheckDigit(std::string_view digitsWithoutCheck) {
    if (!allDigits(digitsWithoutCheck)) return std::nullopt;
    // Weights 3, 1, 3, ... from the rightmost digit, whatever the length.
    int sum = 0;
    int weight = 3;
    for (auto it = digitsWithoutCheck.rbegin(); it != digitsWithoutCheck.rend(); ++it) {
        sum += (*it - '0') * weight;
        weight = 4 - weight;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

bool hasValidGs1CheckDigit(std::string_view digits) {
    if (digits.size() < 2) return false;
    const auto check = gs1CheckDigit(digits.substr(0, digits.size() - 1));
    return check && *check == digits.back();
}

bool looksLikeEan13WithWrongCheck(std::string_view code) {
    return code.size() == 13 && allDigits(code) && !hasValidGs1CheckDigit(code);
}

BarcodeChoice barcodeFor(std::string_view productCode) {
    BarcodeChoice choice;
    choice.content = std::string(productCode);
    if (productCode.empty()) {
        choice.problem = "Il codice articolo è vuoto: non c'è nulla da rappresentare con un codice a barre.";
        return choice;
    }
    if (allDigits(productCode) && hasValidGs1CheckDigit(productCode)) {
        switch (productCode.size()) {
            case 13:
                choice.symbology = Symbology::Ean13;
                return choice;
            case 12:
                choice.symbology = Symbology::UpcA;
                return choice;
            case 8:
                choice.symbology = Symbology::Ean8;
                return choice;
            default:
                break;
        }
    }
    if (const auto bad = firstUnprintable(productCode)) {
        choice.problem =
            bad->empty() ? "Il codice articolo contiene un carattere di controllo: non può diventare un codice a barre."
                         : "Il codice articolo contiene «" + *bad +
                               "»: un codice a barre può contenere soltanto lettere senza accento, cifre, spazi "
                               "e i segni comuni.";
        return choice;
    }
    if (characterCount(productCode) > kCode128MaxLength) {
        choice.problem =
            "Il codice articolo è troppo lungo per un codice a barre leggibile su un'etichetta (al massimo " +
            std::to_string(kCode128MaxLength) + " caratteri).";
        return choice;
    }
    choice.symbology = Symbology::Code128;
    return choice;
}

std::optional<std::string> generateInStoreEan13(const std::unordered_set<std::string>& existingCodes,
                                                const RandomSource& random) {
    // 100 prefixes times 10^9 item numbers: a free code turns up at the first try in any real shop.
    constexpr int kTries = 1000;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const std::uint64_t value = random() % 100'000'000'000ULL;  // "2" + 11 digits: prefix 200..299 and the item
        std::string code = "2";
        const std::string digits = std::to_string(value);
        code.append(11 - digits.size(), '0');
        code += digits;
        code += *gs1CheckDigit(code);
        if (!existingCodes.contains(code)) return code;
    }
    return std::nullopt;
}

}  // namespace scortavia
