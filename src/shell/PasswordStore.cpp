#include "shell/PasswordStore.h"

#include <cstdint>

#include "common/TextRules.h"
#include "storage/ArchivePaths.h"
#include "storage/SettingsFile.h"

namespace scortavia {
namespace {

constexpr std::uint16_t kStartKey = 0x5E2B;
constexpr std::uint32_t kMultiplier = 40503;
constexpr std::uint32_t kIncrement = 30211;
constexpr std::size_t kMaxCharacters = 255;

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

std::optional<std::string> utf8ToLatin1(std::string_view utf8) {
    std::string latin1;
    latin1.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            latin1 += static_cast<char>(lead);
            continue;
        }
        // U+0080 to U+00FF are exactly the two-byte forms led by C2 and C3; any other lead is
        // either a character beyond Latin-1 or not UTF-8 at all (C0 and C1 are overlong).
        if (lead != 0xC2 && lead != 0xC3) return std::nullopt;
        if (i + 1 == utf8.size()) return std::nullopt;
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        latin1 += static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F));
    }
    return latin1;
}

std::string latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size() * 2);
    for (char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string normalizePassword(std::string_view typedUtf8) {
    const std::string upper = upperAZ(typedUtf8);
    return std::string(trimBlanks(upper));
}

bool isStorablePassword(std::string_view utf8) {
    const auto latin1 = utf8ToLatin1(normalizePassword(utf8));
    return latin1 && latin1->size() <= kMaxCharacters;
}

Result<std::string> readStoredPassword(const std::filesystem::path& programFolder) {
    auto hex = readIniValue(paths::settingsFile(programFolder), kAccessSection, kAccessKey);
    if (!hex) return hex.status();
    auto latin1 = unscramblePassword(*hex);
    if (!latin1) return latin1.status();
    const std::string utf8 = latin1ToUtf8(*latin1);
    return std::string(trimBlanks(utf8));
}

Status storePassword(const std::filesystem::path& programFolder, std::string_view newPasswordUtf8) {
    const std::string normalized = normalizePassword(newPasswordUtf8);
    const auto latin1 = utf8ToLatin1(normalized);
    if (!latin1 || latin1->size() > kMaxCharacters) return Status::failure(std::string(kMsgPasswordUnstorable));
    if (latin1->empty()) return Status::failure("empty password");
    return writeIniValue(paths::settingsFile(programFolder), kAccessSection, kAccessKey, scramblePassword(*latin1));
}

}  // namespace scortavia
