#include "shell/PasswordStore.h"

#include "common/TextRules.h"
#include "storage/ArchivePaths.h"
#include "storage/SettingsFile.h"

namespace scortavia {

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
    return latin1 && latin1->size() <= kMaxScrambledBytes;
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
    if (!latin1 || latin1->size() > kMaxScrambledBytes) return Status::failure(std::string(kMsgPasswordUnstorable));
    if (latin1->empty()) return Status::failure("empty password");
    return writeIniValue(paths::settingsFile(programFolder), kAccessSection, kAccessKey, scramblePassword(*latin1));
}

}  // namespace scortavia
