#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backups/BackupManifest.h"

// Names of backup files, the backups found in a folder, and which automatic ones to keep.
// Names: "Scortavia_2026-12-10_15-30.zip" by hand, "..._automatica.zip" and "..._prima-del-ripristino.zip";
// a second copy in the same minute adds "-2", "-3"...
namespace scortavia {

struct LocalMinute {
    std::chrono::year_month_day day;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local time now, and its text as the manifest keeps it ("2026-12-10 15:30:12").
LocalMinute localNow();
std::string manifestTime(const LocalMinute& when);

std::string backupFileName(BackupKind kind, const LocalMinute& when, int serial = 1);

struct BackupName {
    BackupKind kind;
    LocalMinute when;
    int serial = 1;
};
std::optional<BackupName> parseBackupFileName(std::string_view fileName);

// A name for a new backup in `folder` that no file takes yet.
std::filesystem::path newBackupPath(const std::filesystem::path& folder, BackupKind kind, const LocalMinute& when);

// The backup files in `folder` by their names, newest first. Leftovers of backups that were killed
// half-way (hidden temporary files) are removed on the way and never listed.
std::vector<std::filesystem::path> listBackups(const std::filesystem::path& folder);

// Among `backups` (file names or paths), the automatic ones to delete: kept are the newest of each of
// the 7 latest days that have one and the newest of each of the 4 latest weeks (Monday to Sunday) that
// have one. Copies made by hand or before a restore are never chosen.
std::vector<std::filesystem::path> automaticBackupsToDelete(const std::vector<std::filesystem::path>& backups);

// Whether `backups` hold an automatic copy made on `day`.
bool hasAutomaticBackupOn(const std::vector<std::filesystem::path>& backups, std::chrono::year_month_day day);

}  // namespace scortavia
