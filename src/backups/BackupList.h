#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "backups/BackupArchive.h"
#include "backups/BackupSchedule.h"
#include "common/Result.h"

// What the backup window says of the backups, in words: the rows of its list, times and sizes as the
// program writes them, and where backups may go.
namespace scortavia {

// "10/12/2026 15:30".
std::string backupTimeText(const LocalMinute& when);
// The manifest's time ("2026-12-10 15:30:12") as backupTimeText writes it; "" for any other text.
std::string backupTimeText(std::string_view created);

// "850 byte", "12,4 KB", "3,0 MB", "1,2 GB": one decimal, the decimal comma, 1024 to a step.
std::string backupSizeText(std::uint64_t bytes);

// The texts of one row of the list of backups. A backup that cannot be read keeps its row, with what
// its name tells and the reason, so that a damaged copy is seen rather than missed.
struct BackupListRow {
    std::filesystem::path file;
    std::string when;  // "" when neither the manifest nor the name tell it
    std::string kind;
    std::string size;
    std::string products;
    std::string movements;
    std::string pages;
    std::string problem;  // why it cannot be read; "" for a readable one
};
BackupListRow backupListRow(const std::filesystem::path& file, const Result<BackupInfo>& info);

// How a message names a backup after the word "copia": "del 10/12/2026 15:30", or its file name in
// quotes when its time is unknown.
std::string backupTitle(const BackupListRow& row);

// Why nothing can be done in `folder`: it is not there (a USB stick not plugged in, a network folder not
// connected). Also the reason an automatic copy could not be made: the folder is named, so the user
// knows what to plug in.
std::string unreachableFolderText(const std::filesystem::path& folder);

// Whether `candidate` is `folder` or lies inside it, links followed: backups kept there would be lost
// with the folder they protect, and a restore would replace them.
bool isSameOrInside(const std::filesystem::path& candidate, const std::filesystem::path& folder);

}  // namespace scortavia
