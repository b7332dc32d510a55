#include "backups/BackupManifest.h"

#include <charconv>

namespace scortavia {

namespace {

constexpr std::string_view kFirstLine = "Scortavia - copia di sicurezza, versione 1";

struct Kind {
    BackupKind kind;
    std::string_view text;
};
constexpr Kind kKinds[] = {{BackupKind::Manual, "manuale"},
                           {BackupKind::Automatic, "automatica"},
                           {BackupKind::BeforeRestore, "prima del ripristino"}};

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Splits off the first line of `text` (its LF dropped); false at the end of the text.
bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) return false;
    const std::size_t end = text.find('\n');
    line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return true;
}

// "key: value" with the expected key.
std::optional<std::string_view> field(std::string_view& text, std::string_view key) {
    std::string_view line;
    if (!nextLine(text, line) || !line.starts_with(key) || line.substr(key.size(), 2) != ": ") return std::nullopt;
    return line.substr(key.size() + 2);
}

}  // namespace

std::string_view backupKindText(BackupKind kind) {
    for (const Kind& k : kKinds) {
        if (k.kind == kind) return k.text;
    }
    return {};
}

std::string toHex(const Sha256& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (std::uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::string writeManifest(const Manifest& manifest) {
    std::string text;
    text.reserve(128 + manifest.files.size() * 100);
    text.append(kFirstLine).append("\n");
    text.append("tipo: ").append(backupKindText(manifest.kind)).append("\n");
    text.append("creata: ").append(manifest.created).append("\n");
    text.append("prodotti: ").append(std::to_string(manifest.counts.products)).append("\n");
    text.append("movimenti: ").append(std::to_string(manifest.counts.movements)).append("\n");
    text.append("pagine: ").append(std::to_string(manifest.counts.pages)).append("\n");
    text.append("file: ").append(std::to_string(manifest.files.size())).append("\n");
    // Data paths hold no control character, so one line a file needs no escaping.
    for (const ManifestFile& file : manifest.files) {
        text.append(toHex(file.sha256)).append(" ").append(std::to_string(file.size)).append(" ");
        text.append(file.path).append("\n");
    }
    return text;
}

std::optional<Manifest> parseManifest(std::string_view text) {
    Manifest manifest;
    std::string_view line;
    if (!nextLine(text, line) || line != kFirstLine) return std::nullopt;
    const auto kindText = field(text, "tipo");
    if (!kindText) return std::nullopt;
    bool known = false;
    for (const Kind& k : kKinds) {
        if (k.text == *kindText) {
            manifest.kind = k.kind;
            known = true;
        }
    }
    const auto created = field(text, "creata");
    if (!known || !created) return std::nullopt;
    manifest.created = std::string(*created);
    std::optional<std::uint64_t> numbers[4];
    constexpr std::string_view kKeys[] = {"prodotti", "movimenti", "pagine", "file"};
    for (int i = 0; i < 4; ++i) {
        const auto value = field(text, kKeys[i]);
        if (!value || !(numbers[i] = parseNumber(*value))) return std::nullopt;
    }
    manifest.counts = {*numbers[0], *numbers[1], *numbers[2]};
    // Each file line is at least 68 bytes: a count the text cannot hold is a lie, not a reason to reserve.
    if (*numbers[3] > text.size() / 68) return std::nullopt;
    manifest.files.reserve(*numbers[3]);
    while (nextLine(text, line)) {
        if (line.size() < 68 || line[64] != ' ') return std::nullopt;
        ManifestFile file;
        for (std::size_t i = 0; i < 32; ++i) {
            const int high = hexValue(line[2 * i]);
            const int low = hexValue(line[2 * i + 1]);
            if (high < 0 || low < 0) return std::nullopt;
            file.sha256[i] = static_cast<std::uint8_t>(high * 16 + low);
        }
        const std::string_view rest = line.substr(65);
        const std::size_t space = rest.find(' ');
        if (space == std::string_view::npos) return std::nullopt;
        const auto size = parseNumber(rest.substr(0, space));
        file.path = std::string(rest.substr(space + 1));
        if (!size || !dataFileKind(file.path)) return std::nullopt;
        if (!manifest.files.empty() && !(manifest.files.back().path < file.path)) return std::nullopt;
        file.size = *size;
        manifest.files.push_back(std::move(file));
    }
    if (manifest.files.size() != *numbers[3]) return std::nullopt;
    return manifest;
}

}  // namespace scortavia
