#include "backups/BackupList.h"

#include <array>
#include <cstdio>
#include <system_error>

#include "common/TextRules.h"

namespace scortavia {
namespace {

std::string twoDigits(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value % 100);
    return text;
}

bool digitsAt(std::string_view text, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i) {
        if (!isAsciiDigit(text[i])) return false;
    }
    return true;
}

}  // namespace

std::string backupTimeText(const LocalMinute& when) {
    return twoDigits(static_cast<unsigned>(when.day.day())) + "/" + twoDigits(static_cast<unsigned>(when.day.month())) +
           "/" + std::to_string(static_cast<int>(when.day.year())) + " " + twoDigits(static_cast<unsigned>(when.hour)) +
           ":" + twoDigits(static_cast<unsigned>(when.minute));
}

std::string backupTimeText(std::string_view created) {
    // "yyyy-mm-dd hh:mm", seconds after it or not.
    if (created.size() < 16 || !digitsAt(created, 0, 4) || created[4] != '-' || !digitsAt(created, 5, 2) ||
        created[7] != '-' || !digitsAt(created, 8, 2) || created[10] != ' ' || !digitsAt(created, 11, 2) ||
        created[13] != ':' || !digitsAt(created, 14, 2))
        return {};
    std::string text;
    text.append(created.substr(8, 2)).append("/").append(created.substr(5, 2)).append("/");
    text.append(created.substr(0, 4)).append(" ").append(created.substr(11, 5));
    return text;
}

std::string backupSizeText(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " byte";
    constexpr std::array<const char*, 4> kUnits = {"KB", "MB", "GB", "TB"};
    std::uint64_t unit = 1024;
    std::uint64_t tenths = 0;
    std::size_t u = 0;
    for (;; ++u, unit *= 1024) {
        // Rounded to the nearest tenth in whole numbers, so that no value is cut by a double's precision.
        tenths = bytes / unit * 10 + ((bytes % unit) * 10 + unit / 2) / unit;
        if (tenths < 10240 || u + 1 == kUnits.size()) break;
    }
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " " + kUnits[u];
}

BackupListRow backupListRow(const std::filesystem::path& file, const Result<BackupInfo>& info) {
    BackupListRow row;
    row.file = file;
    const std::optional<BackupName> name = parseBackupFileName(file.filename().string());
    if (info) {
        row.when = backupTimeText(info->created);
        row.kind = std::string(backupKindText(info->kind));
        row.size = backupSizeText(info->fileBytes);
        row.products = std::to_string(info->counts.products);
        row.movements = std::to_string(info->counts.movements);
        row.pages = std::to_string(info->counts.pages);
    } else {
        row.problem = info.error();
        if (name) row.kind = std::string(backupKindText(name->kind));
        std::error_code unknown;
        const std::uintmax_t bytes = std::filesystem::file_size(file, unknown);
        if (!unknown) row.size = backupSizeText(bytes);
    }
    if (row.when.empty() && name) row.when = backupTimeText(name->when);
    return row;
}

std::string backupTitle(const BackupListRow& row) {
    return row.when.empty() ? "\"" + row.file.filename().string() + "\"" : "del " + row.when;
}

std::string unreachableFolderText(const std::filesystem::path& folder) {
    return "La cartella delle copie (\"" + folder.string() +
           "\") non è raggiungibile: controlla che la chiavetta USB sia inserita o che la cartella di rete sia "
           "collegata.";
}

bool isSameOrInside(const std::filesystem::path& candidate, const std::filesystem::path& folder) {
    std::error_code unresolved;
    std::filesystem::path inner = std::filesystem::weakly_canonical(candidate, unresolved);
    if (unresolved) inner = candidate.lexically_normal();
    std::filesystem::path outer = std::filesystem::weakly_canonical(folder, unresolved);
    if (unresolved) outer = folder.lexically_normal();
    auto at = inner.begin();
    for (const std::filesystem::path& part : outer) {
        // "a/b/" ends in an empty part: the folder itself.
        if (part.empty()) continue;
        if (at == inner.end() || *at != part) return false;
        ++at;
    }
    return true;
}

}  // namespace scortavia
