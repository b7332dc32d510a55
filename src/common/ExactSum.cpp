#include "common/ExactSum.h"

#include <algorithm>

#include "common/Numbers.h"
#include "common/TextRules.h"

namespace scortavia {
namespace {

constexpr std::uint32_t kLimbBase = 1000000000;
constexpr std::size_t kLimbDigits = 9;
constexpr std::size_t kShownDecimals = 4;
constexpr std::size_t kSignificantDigits = 15;

// Below this many integer digits a number is surely within a double's range; from it on, the number reader
// decides, so that exactly the texts it reads are numbers here too.
constexpr std::size_t kSurelyInRangeDigits = 308;

// A decimal written out: digits before and after the comma, neither with needless zeros.
struct DecimalDigits {
    bool negative = false;
    std::string whole;     // "" for zero
    std::string fraction;  // "" when none

    bool zero() const { return whole.empty() && fraction.empty(); }

    void tidy() {
        whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
        fraction.erase(fraction.find_last_not_of('0') + 1);
        if (zero()) negative = false;
    }

    // Keeps `decimals` decimals, adding one unit to the last when the first digit dropped is 5 or more: on the
    // magnitude, so half away from zero.
    void roundToDecimals(std::size_t decimals) {
        if (fraction.size() <= decimals) return;
        const bool up = fraction[decimals] >= '5';
        fraction.resize(decimals);
        if (!up) return;
        std::string digits = whole + fraction;
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
        whole = digits.substr(0, digits.size() - fraction.size());
        fraction = digits.substr(digits.size() - fraction.size());
    }

    // At most `count` significant digits, rounded the same way; the whole part keeps its length.
    void roundToSignificant(std::size_t count) {
        tidy();
        if (!whole.empty()) {
            if (whole.size() <= count) {
                roundToDecimals(count - whole.size());
                return;
            }
            const bool up = whole[count] >= '5';
            const std::size_t length = whole.size();
            fraction.clear();
            whole.resize(count);
            if (up) roundUpWhole();
            whole.resize(length + (whole.size() - count), '0');
            return;
        }
        const std::size_t firstSignificant = fraction.find_first_not_of('0');
        if (firstSignificant != std::string::npos) roundToDecimals(firstSignificant + count);
    }

    void roundUpWhole() {
        std::size_t i = whole.size();
        while (i > 0 && whole[i - 1] == '9') whole[--i] = '0';
        if (i == 0) {
            whole.insert(whole.begin(), '1');
        } else {
            ++whole[i - 1];
        }
    }

    // The general number format: decimal comma, no needless zeros, "0" for zero.
    std::string text() {
        tidy();
        if (zero()) return "0";
        std::string out = negative ? "-" : "";
        out += whole.empty() ? "0" : whole;
        if (!fraction.empty()) out += ',' + fraction;
        return out;
    }
};

constexpr std::size_t kPendingDecimals = 18;
constexpr std::uint64_t kPendingLimb = kLimbBase;
// The pending total is handed over as whole limbs of the fraction.
static_assert(kPendingDecimals % kLimbDigits == 0);

// The digits of a value with at most kPendingDecimals digits in all: the integer they make, and how many
// follow the comma. False for a longer value.
bool smallDecimal(const DecimalCommaText& number, std::uint64_t& digits, std::size_t& wholeDigits,
                  std::size_t& decimals) {
    std::string_view whole = number.whole;
    std::string_view fraction = number.fraction;
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
    if (whole.size() + fraction.size() > kPendingDecimals) return false;
    digits = 0;
    for (char c : whole) digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    for (char c : fraction) digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    wholeDigits = whole.size();
    decimals = fraction.size();
    return true;
}

constexpr std::uint64_t powerOfTen(std::size_t n) {
    std::uint64_t p = 1;
    for (std::size_t i = 0; i < n; ++i) p *= 10;
    return p;
}

DecimalDigits digitsOf(const std::vector<std::uint32_t>& limbs, std::size_t fractionLimbs, bool negative) {
    std::string all;
    all.reserve(limbs.size() * kLimbDigits);
    for (auto it = limbs.rbegin(); it != limbs.rend(); ++it) {
        std::string group = std::to_string(*it);
        all.append(kLimbDigits - group.size(), '0');
        all += group;
    }
    const std::size_t fractionDigits = fractionLimbs * kLimbDigits;
    if (all.size() < fractionDigits) all.insert(0, fractionDigits - all.size(), '0');
    DecimalDigits d;
    d.negative = negative;
    d.whole = all.substr(0, all.size() - fractionDigits);
    d.fraction = all.substr(all.size() - fractionDigits);
    d.tidy();
    return d;
}

void dropLeadingZeroLimbs(std::vector<std::uint32_t>& limbs) {
    while (!limbs.empty() && limbs.back() == 0) limbs.pop_back();
}

// -1, 0 or 1 as a is less than, equal to or greater than b.
int compareMagnitudes(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    const std::size_t size = std::max(a.size(), b.size());
    for (std::size_t i = size; i-- > 0;) {
        const std::uint32_t x = i < a.size() ? a[i] : 0;
        const std::uint32_t y = i < b.size() ? b[i] : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

}  // namespace

bool ExactSum::read(const DecimalCommaText& number, Limbs& limbs, std::size_t& fractionLimbs, bool& negative) {
    negative = number.negative;
    std::string_view whole = number.whole;
    std::string_view fraction = number.fraction;
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
    if (whole.size() >= kSurelyInRangeDigits && !decimalCommaValue(number)) return false;

    // Digits are grouped from the comma outwards, so the groups of every number line up with the total's.
    fractionLimbs = (fraction.size() + kLimbDigits - 1) / kLimbDigits;
    const std::size_t wholeLimbs = (whole.size() + kLimbDigits - 1) / kLimbDigits;
    limbs.assign(fractionLimbs + wholeLimbs, 0);
    for (std::size_t k = 0; k < fractionLimbs; ++k) {
        std::uint32_t value = 0;
        const std::size_t first = (fractionLimbs - 1 - k) * kLimbDigits;
        for (std::size_t d = first; d < first + kLimbDigits; ++d) {
            value = value * 10 + (d < fraction.size() ? static_cast<std::uint32_t>(fraction[d] - '0') : 0);
        }
        limbs[k] = value;
    }
    for (std::size_t k = 0; k < wholeLimbs; ++k) {
        std::uint32_t value = 0;
        const std::size_t end = whole.size() - k * kLimbDigits;
        const std::size_t begin = end >= kLimbDigits ? end - kLimbDigits : 0;
        for (std::size_t d = begin; d < end; ++d) value = value * 10 + static_cast<std::uint32_t>(whole[d] - '0');
        limbs[fractionLimbs + k] = value;
    }
    return true;
}

void ExactSum::accumulate(const Limbs& limbs, std::size_t fractionLimbs, bool negative) {
    if (fractionLimbs > fractionLimbs_) {
        const std::size_t more = fractionLimbs - fractionLimbs_;
        positive_.insert(positive_.begin(), more, 0);
        negative_.insert(negative_.begin(), more, 0);
        fractionLimbs_ = fractionLimbs;
    }
    Limbs& total = negative ? negative_ : positive_;
    const std::size_t offset = fractionLimbs_ - fractionLimbs;
    if (total.size() < offset + limbs.size()) total.resize(offset + limbs.size(), 0);
    std::uint32_t carry = 0;
    std::size_t i = 0;
    for (; i < limbs.size() || carry != 0; ++i) {
        if (offset + i == total.size()) total.push_back(0);
        std::uint32_t sum = total[offset + i] + carry + (i < limbs.size() ? limbs[i] : 0);
        carry = sum >= kLimbBase ? 1 : 0;
        total[offset + i] = sum - carry * kLimbBase;
    }
}

void ExactSum::addPending(Int128 units) {
    // Each value added is below 10^36, so pending_ stays well inside 128 bits (about 1.7 * 10^38).
    constexpr Int128 kLimit = static_cast<Int128>(powerOfTen(18)) * static_cast<Int128>(powerOfTen(19));
    pending_ += units;
    if (pending_ >= kLimit || pending_ <= -kLimit) settle();
}

void ExactSum::settle() {
    if (pending_ == 0) return;
    const bool negative = pending_ < 0;
    __extension__ typedef unsigned __int128 Uint128;
    auto magnitude = static_cast<Uint128>(negative ? -pending_ : pending_);
    a_.clear();
    while (magnitude != 0) {
        a_.push_back(static_cast<std::uint32_t>(magnitude % kPendingLimb));
        magnitude /= kPendingLimb;
    }
    pending_ = 0;
    accumulate(a_, kPendingDecimals / kLimbDigits, negative);
}

bool ExactSum::add(std::string_view text) {
    const std::optional<DecimalCommaText> number = scanDecimalComma(text);
    if (!number) return false;
    std::uint64_t digits = 0;
    std::size_t wholeDigits = 0;
    std::size_t decimals = 0;
    if (smallDecimal(*number, digits, wholeDigits, decimals)) {
        // Below 10^(wholeDigits + 18) <= 10^36.
        const Int128 units = static_cast<Int128>(digits) * static_cast<Int128>(powerOfTen(kPendingDecimals - decimals));
        addPending(number->negative ? -units : units);
        return true;
    }
    std::size_t fractionLimbs = 0;
    bool negative = false;
    if (!read(*number, a_, fractionLimbs, negative)) return false;
    accumulate(a_, fractionLimbs, negative);
    return true;
}

bool ExactSum::addProduct(std::string_view a, std::string_view b) {
    const std::optional<DecimalCommaText> first = scanDecimalComma(a);
    const std::optional<DecimalCommaText> second = scanDecimalComma(b);
    return first && second && addProduct(*first, *second);
}

bool ExactSum::addProduct(const DecimalCommaText& a, const DecimalCommaText& b) {
    std::uint64_t digitsA = 0;
    std::uint64_t digitsB = 0;
    std::size_t wholeA = 0;
    std::size_t wholeB = 0;
    std::size_t decimalsA = 0;
    std::size_t decimalsB = 0;
    if (smallDecimal(a, digitsA, wholeA, decimalsA) && smallDecimal(b, digitsB, wholeB, decimalsB) &&
        wholeA + wholeB <= kPendingDecimals && decimalsA + decimalsB <= kPendingDecimals) {
        // Below 10^(wholeA + wholeB + 18) <= 10^36.
        const Int128 units = static_cast<Int128>(digitsA) * static_cast<Int128>(digitsB) *
                             static_cast<Int128>(powerOfTen(kPendingDecimals - decimalsA - decimalsB));
        addPending(a.negative != b.negative ? -units : units);
        return true;
    }
    std::size_t fractionA = 0;
    std::size_t fractionB = 0;
    bool negativeA = false;
    bool negativeB = false;
    if (!read(a, a_, fractionA, negativeA) || !read(b, b_, fractionB, negativeB)) return false;
    product_.assign(a_.size() + b_.size(), 0);
    for (std::size_t i = 0; i < a_.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < b_.size(); ++j) {
            const std::uint64_t cell = product_[i + j] + static_cast<std::uint64_t>(a_[i]) * b_[j] + carry;
            product_[i + j] = static_cast<std::uint32_t>(cell % kLimbBase);
            carry = cell / kLimbBase;
        }
        product_[i + b_.size()] = static_cast<std::uint32_t>(carry);
    }
    dropLeadingZeroLimbs(product_);
    accumulate(product_, fractionA + fractionB, negativeA != negativeB);
    return true;
}

ExactSum::Limbs ExactSum::difference(bool& negative) const {
    negative = compareMagnitudes(positive_, negative_) < 0;
    const Limbs& larger = negative ? negative_ : positive_;
    const Limbs& smaller = negative ? positive_ : negative_;
    Limbs out(larger);
    std::uint32_t borrow = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint32_t take = borrow + (i < smaller.size() ? smaller[i] : 0);
        if (out[i] >= take) {
            out[i] -= take;
            borrow = 0;
        } else {
            out[i] = out[i] + kLimbBase - take;
            borrow = 1;
        }
    }
    return out;
}

std::string ExactSum::moneyText() const {
    if (pending_ != 0) {
        ExactSum settled(*this);
        settled.settle();
        return settled.moneyText();
    }
    bool negative = false;
    const Limbs total = difference(negative);
    DecimalDigits d = digitsOf(total, fractionLimbs_, negative);
    // The four decimals the lists have always shown, then the general format's fifteen digits.
    d.roundToDecimals(kShownDecimals);
    d.roundToSignificant(kSignificantDigits);
    std::string out = d.text();
    const std::size_t comma = out.find(',');
    if (comma == std::string::npos) {
        out += ",00";
    } else if (out.size() - comma == 2) {
        out += '0';
    }
    return out;
}

std::string ExactSum::generalText() const {
    if (pending_ != 0) {
        ExactSum settled(*this);
        settled.settle();
        return settled.generalText();
    }
    bool negative = false;
    const Limbs total = difference(negative);
    DecimalDigits d = digitsOf(total, fractionLimbs_, negative);
    d.roundToSignificant(kSignificantDigits);
    return d.text();
}

}  // namespace scortavia
