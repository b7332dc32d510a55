#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/Result.h"

// What the backups remember, in the section [Copie] of the settings file beside the password (which
// stays as it is kept). The settings file comes with the installation: these are never written into
// a folder that has none.
namespace scortavia {

inline constexpr std::string_view kBackupSection = "Copie";
inline constexpr std::string_view kBackupFolderKey = "Cartella";           // where the backups go (UTF-8)
inline constexpr std::string_view kLastRestoreKey = "UltimoRipristino";    // the copy made before the last restore
inline constexpr std::string_view kBackupFailureKey = "CopiaNonRiuscita";  // why the last automatic copy failed

// The value of `key` in [Copie]; "" when missing or unreadable.
std::string readBackupSetting(const std::filesystem::path& programFolder, std::string_view key);

// Sets `key` in [Copie]; a failure when the settings file is missing or cannot be written.
Status writeBackupSetting(const std::filesystem::path& programFolder, std::string_view key, std::string_view value);

}  // namespace scortavia
