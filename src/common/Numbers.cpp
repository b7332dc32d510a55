#include "common/Numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "common/TextRules.h"

namespace scortavia {

namespace {

__extension__ typedef unsigned __int128 Uint128;

// Every power of ten up to 10^19 is an exact double.
constexpr std::array<double, 20> kPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                                 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};

// Reads "[-]digits[.digits]" with correct rounding; the text is always well formed here.
std::optional<double> readPointText(const std::string& text) {
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// The usual value of a list, 1 <= v < 10^15, rounded to 15 significant digits in integers: v is m * 2^-k exactly,
// so v * 10^p is an exact 128-bit product shifted right, its rounding read off the bits shifted out. False, for
// the general conversion, outside that range and on an exact tie (which the general one breaks to even).
bool fifteenDigits(double v, std::array<char, 16>& digits, std::size_t& count, int& exp10) {
    if (!(v >= 1.0 && v < 1e15)) return false;
    int exponent = 0;
    const double fraction = std::frexp(v, &exponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;  // 3..52 in this range
    int e = 0;
    while (e < 14 && kPowersOfTen[static_cast<std::size_t>(e) + 1] <= v) ++e;
    const Uint128 scaled =
        static_cast<Uint128>(m) * static_cast<std::uint64_t>(kPowersOfTen[static_cast<std::size_t>(14 - e)]);
    Uint128 n = scaled >> shift;
    const Uint128 rest = scaled & ((static_cast<Uint128>(1) << shift) - 1);
    const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
    if (rest == half) return false;
    if (rest > half) ++n;
    if (n == static_cast<Uint128>(1000000000000000)) {
        n = 100000000000000;
        ++e;
    }
    auto whole = static_cast<std::uint64_t>(n);
    for (std::size_t i = 15; i-- > 0;) {
        digits[i] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    }
    count = 15;
    exp10 = e;
    return true;
}

std::string toDecimal(Uint128 n) {
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(n % 10)));
        n /= 10;
    } while (n != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::string normalised(std::string_view text, int decimals, bool money) {
    const std::string_view zero = money ? "0,00" : "0";
    const std::optional<double> value = parseDecimalComma(text);
    if (!value) return std::string(zero);
    std::string out = formatGeneral(roundHalfUpExact(*value, decimals));
    if (!money) return out;
    const std::size_t comma = out.find(',');
    if (comma == std::string::npos) {
        out += ",00";
    } else if (out.size() - comma == 2) {
        out += '0';
    }
    return out;
}

}  // namespace

std::optional<double> parseDecimalComma(std::string_view text) {
    const std::optional<DecimalCommaText> number = scanDecimalComma(text);
    if (!number) return std::nullopt;
    return decimalCommaValue(*number);
}

std::optional<DecimalCommaText> scanDecimalComma(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    std::size_t i = 0;
    DecimalCommaText number;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        number.negative = t[i] == '-';
        ++i;
    }
    const std::size_t wholeBegin = i;
    while (i < t.size() && isAsciiDigit(t[i])) ++i;
    number.whole = t.substr(wholeBegin, i - wholeBegin);
    bool comma = false;
    if (i < t.size() && t[i] == ',') {
        comma = true;
        const std::size_t fractionBegin = ++i;
        while (i < t.size() && isAsciiDigit(t[i])) ++i;
        number.fraction = t.substr(fractionBegin, i - fractionBegin);
    }
    if (i != t.size() || (number.whole.empty() && !comma)) return std::nullopt;
    return number;
}

std::optional<double> decimalCommaValue(const DecimalCommaText& number) {
    const std::string_view whole = number.whole;
    const std::string_view fraction = number.fraction;
    // The usual short number: its digits as an integer below 2^53 and a power of ten up to 10^19 are both exact
    // doubles, so their one correctly rounded quotient is the double nearest to the decimal, as from_chars gives.
    if (whole.size() + fraction.size() <= 19) {
        std::uint64_t digits = 0;
        for (char c : whole) digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        for (char c : fraction) digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        if (digits <= (std::uint64_t{1} << 53)) {
            const double magnitude = static_cast<double>(digits) / kPowersOfTen[fraction.size()];
            return number.negative ? -magnitude : magnitude;
        }
    }

    // from_chars takes neither '+' nor a bare point, so rebuild a plain "[-]123.45".
    std::string rebuilt;
    rebuilt.reserve(whole.size() + fraction.size() + 3);
    if (number.negative) rebuilt += '-';
    rebuilt += whole.empty() ? std::string_view("0") : whole;
    if (!fraction.empty()) {
        rebuilt += '.';
        rebuilt += fraction;
    }
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(rebuilt.data(), rebuilt.data() + rebuilt.size(), value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Too large is an error; too small is simply the nearest double, zero.
        const bool large = std::any_of(whole.begin(), whole.end(), [](char c) { return c != '0'; });
        if (large) return std::nullopt;
        return number.negative ? -0.0 : 0.0;
    }
    if (ec != std::errc() || ptr != rebuilt.data() + rebuilt.size()) return std::nullopt;
    return value;
}

double roundHalfUpExact(double v, int decimals) {
    if (!std::isfinite(v)) return v;
    if (v == 0.0) return 0.0;
    decimals = std::clamp(decimals, 0, 15);

    // |v| = m * 2^-k exactly, with m a 53-bit integer.
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(v), &exponent);
    std::uint64_t m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    int k = 53 - exponent;
    if (k <= 0) return v;  // already an integer
    while (k > 0 && (m & 1U) == 0) {
        m >>= 1;
        --k;
    }
    if (k == 0) return v;
    // m * 10^15 < 2^103, so for larger k the rounded value is below one unit of the last decimal.
    if (k > 120) return 0.0;

    Uint128 scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const Uint128 q = (static_cast<Uint128>(m) * scale + (static_cast<Uint128>(1) << (k - 1))) >> k;
    if (q == 0) return 0.0;

    std::string digits = toDecimal(q);
    const std::size_t d = static_cast<std::size_t>(decimals);
    if (digits.size() <= d) digits.insert(0, d + 1 - digits.size(), '0');
    std::string text = v < 0 ? "-" : "";
    text.append(digits, 0, digits.size() - d);
    if (d > 0) {
        text += '.';
        text.append(digits, digits.size() - d, d);
    }
    return readPointText(text).value_or(v);
}

std::string formatGeneral(double v) {
    std::string out;
    appendGeneral(v, out);
    return out;
}

void appendGeneral(double v, std::string& out) {
    if (!std::isfinite(v) || v == 0.0) {
        out += '0';
        return;
    }

    // The value's first 15 significant digits, correctly rounded, and the power of ten of the first.
    std::array<char, 16> digitBuffer{};
    std::size_t count = 0;
    int exp10 = 0;
    if (!fifteenDigits(std::fabs(v), digitBuffer, count, exp10)) {
        // Scientific with 14 digits after the point rounds correctly to 15 significant digits.
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 14);
        const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
        const std::size_t e = sci.find('e');
        count = 0;
        for (char c : sci.substr(0, e)) {
            if (isAsciiDigit(c) && count < digitBuffer.size()) digitBuffer[count++] = c;
        }
        std::string_view expText = sci.substr(e + 1);
        const bool expNegative = expText.front() == '-';
        if (expText.front() == '+' || expText.front() == '-') expText.remove_prefix(1);
        std::from_chars(expText.data(), expText.data() + expText.size(), exp10);
        if (expNegative) exp10 = -exp10;
    }
    // The digits are laid out positionally, because the number reader accepts no exponent.
    while (count > 1 && digitBuffer[count - 1] == '0') --count;
    const std::string_view digits(digitBuffer.data(), count);

    if (v < 0) out += '-';
    if (exp10 >= 0) {
        const std::size_t intLength = static_cast<std::size_t>(exp10) + 1;
        if (digits.size() <= intLength) {
            out += digits;
            out.append(intLength - digits.size(), '0');
        } else {
            out += digits.substr(0, intLength);
            out += ',';
            out += digits.substr(intLength);
        }
    } else {
        out += "0,";
        out.append(static_cast<std::size_t>(-exp10 - 1), '0');
        out += digits;
    }
}

std::string formatMoneyText(std::string_view text, int decimals) { return normalised(text, decimals, true); }

std::string formatWholeText(std::string_view text) { return normalised(text, 0, false); }

}  // namespace scortavia
