#include "common/Scramble.h"

#include <cstdint>

#include "common/TextRules.h"

namespace scortavia {
namespace {

constexpr std::uint16_t kStartKey = 0x5E2B;
constexpr std::uint32_t kMultiplier = 40503;
constexpr std::uint32_t kIncrement = 30211;

// The scrambled byte, not the clear one, feeds the key. Unsigned arithmetic: the product exceeds int.
std::uint16_t nextKey(std::uint16_t key, std::uint8_t scrambled) {
    return static_cast<std::uint16_t>((std::uint32_t{scrambled} + key) * kMultiplier + kIncrement);
}

std::uint8_t keyMask(std::uint16_t key) { return static_cast<std::uint8_t>(key >> 8); }

// The character count is taken as one byte: 256 characters wrap round to none.
std::size_t usedCount(std::size_t count) { return count % 256; }

int hexDigit(char c) {
    if (isAsciiDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string scramblePassword(std::string_view latin1) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::size_t count = usedCount(latin1.size());
    std::string hex;
    hex.reserve(count * 2);
    std::uint16_t key = kStartKey;
    for (std::size_t i = 0; i < count; ++i) {
        const auto scrambled = static_cast<std::uint8_t>(static_cast<std::uint8_t>(latin1[i]) ^ keyMask(key));
        hex += kDigits[scrambled >> 4];
        hex += kDigits[scrambled & 0x0F];
        key = nextKey(key, scrambled);
    }
    return hex;
}

Result<std::string> unscramblePassword(std::string_view hex) {
    const std::size_t count = usedCount(hex.size() / 2);
    std::string clear;
    clear.reserve(count);
    std::uint16_t key = kStartKey;
    for (std::size_t i = 0; i < count; ++i) {
        const int high = hexDigit(hex[2 * i]);
        const int low = hexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0) return Status::failure("not a hex pair: " + std::string(hex.substr(2 * i, 2)));
        const auto scrambled = static_cast<std::uint8_t>(high * 16 + low);
        clear += static_cast<char>(scrambled ^ keyMask(key));
        key = nextKey(key, scrambled);
    }
    return clear;
}

}  // namespace scortavia
