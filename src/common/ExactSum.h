#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Numbers.h"

namespace scortavia {

// The total under a list: values written with the decimal comma (as parseDecimalComma reads them), added
// exactly as decimals, so no binary fraction ever shows (0,1 + 0,2 is 0,3 and 100,000 × 0,10 is 10000).
class ExactSum final {
public:
    // Adds the value of `text`; false, and nothing added, when it is not a number.
    bool add(std::string_view text);
    // Adds a × b (stock × unit cost); false, and nothing added, when either is not a number.
    bool addProduct(std::string_view a, std::string_view b);
    // The same for numbers scanned already (scanDecimalComma), so a caller that needs their values too reads
    // each text once; false, and nothing added, when either is too large for a double.
    bool addProduct(const DecimalCommaText& a, const DecimalCommaText& b);

    // The total as the lists show it: rounded half up at the fourth decimal, written in the general number
    // format (15 significant digits at most, decimal comma, no trailing zeros), then ",00" after a whole
    // number and "0" after a single decimal: 19,75 · 15,00 · 2,50 · 0,30 · 1,2346. A negative total rounds half away
    // from zero, as roundHalfUpExact does (-0,33335 is -0,3334); one that rounds to nothing is "0,00".
    std::string moneyText() const;
    // The total as it stands, not rounded to four decimals: the general number format alone (0,3 · 15 · 1,23456),
    // "0" for zero.
    std::string generalText() const;

private:
    using Limbs = std::vector<std::uint32_t>;  // nine decimal digits each, the least significant first
    __extension__ typedef __int128 Int128;

    static bool read(const DecimalCommaText& number, Limbs& limbs, std::size_t& fractionLimbs, bool& negative);
    void accumulate(const Limbs& limbs, std::size_t fractionLimbs, bool negative);
    // Adds a value counted in units of 10^-18 to pending_, moving it into the limbs before it could overflow.
    void addPending(Int128 units);
    // Moves pending_ into the limbs.
    void settle();
    // The total's magnitude and sign, positives less negatives.
    Limbs difference(bool& negative) const;

    // Any number of digits on either side of the comma, so any text that reads as a number adds exactly.
    // Positive and negative values are summed apart, so adding never borrows; the lowest fractionLimbs_
    // limbs of both lie after the comma.
    Limbs positive_;
    Limbs negative_;
    std::size_t fractionLimbs_ = 0;
    // The usual values and products (eighteen digits at most, eighteen decimals at most) are added here in
    // units of 10^-18, exactly, without touching a limb; the total is pending_ plus what the limbs hold.
    Int128 pending_ = 0;
    // Room for the values being added, kept between calls so that a long list allocates nothing.
    Limbs a_;
    Limbs b_;
    Limbs product_;
};

}  // namespace scortavia
