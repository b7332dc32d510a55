#pragma once

#include <optional>
#include <string>
#include <string_view>

// Reading, rounding and writing numbers the way the screens show them: decimal comma, no thousands separator.
namespace scortavia {

// Reads a number written with the decimal comma: optional blanks (chars <= 32), optional sign (+ or -), digits,
// optionally a comma followed by digits, optional blanks. At least one digit or the comma must be there, so "5,"
// reads 5, ",5" reads 0.5 and a lone "," reads 0. No thousands separator, no exponent, no point. Returns the
// double nearest to the typed decimal, std::nullopt when the text is not such a number or is too large for a
// double. A value too small for a double reads as zero.
std::optional<double> parseDecimalComma(std::string_view text);

// The parts of a text that parseDecimalComma accepts, found by the one scanner that the number rules and the
// exact sums share, so that both take exactly the same texts for numbers.
struct DecimalCommaText {
    bool negative = false;
    std::string_view whole;     // the digits before the comma as written, leading zeros kept; may be empty
    std::string_view fraction;  // the digits after the comma, trailing zeros kept; empty without a comma
};

// The parts of `text` when it has parseDecimalComma's shape, std::nullopt otherwise; the views point into `text`.
// The shape alone: a text of this shape can still be too large for a double (see decimalCommaValue).
std::optional<DecimalCommaText> scanDecimalComma(std::string_view text);

// parseDecimalComma of a text already scanned: the double nearest to its decimal, std::nullopt when too large.
std::optional<double> decimalCommaValue(const DecimalCommaText& number);

// trunc(|v| * 10^decimals + 0.5) / 10^decimals with the sign of v put back, computed exactly on the binary value
// of v; the quotient is the double nearest to the exact decimal result. Negative values therefore round half away
// from zero. A result of zero is +0. decimals is clamped to 0..15; non-finite v is returned unchanged.
double roundHalfUpExact(double v, int decimals);

// The general number format of computed values: at most 15 significant digits, decimal comma, no thousands
// separator, no trailing zeros, always positional (never an exponent) so that parseDecimalComma reads it back.
// -0 and non-finite values give "0".
std::string formatGeneral(double v);
// The same text appended to `out`, so a list row is written without a string of its own per value.
void appendGeneral(double v, std::string& out);

// Normalisation of a money box with `decimals` decimals: blank or unreadable text gives "0,00"; otherwise the value
// rounded half up, written in the general format with at least two decimals.
std::string formatMoneyText(std::string_view text, int decimals);

// Normalisation of a whole-number box: blank or unreadable text gives "0"; otherwise the value rounded half up to a
// whole number, without leading zeros.
std::string formatWholeText(std::string_view text);

}  // namespace scortavia
