#include "backups/BackupSettings.h"

#include <system_error>

#include "storage/ArchivePaths.h"
#include "storage/SettingsFile.h"

namespace scortavia {

std::string readBackupSetting(const std::filesystem::path& programFolder, std::string_view key) {
    auto value = readIniValue(paths::settingsFile(programFolder), kBackupSection, key);
    return value ? *value : std::string();
}

Status writeBackupSetting(const std::filesystem::path& programFolder, std::string_view key, std::string_view value) {
    const std::filesystem::path file = paths::settingsFile(programFolder);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return Status::failure("the settings file " + file.string() + " is missing");
    }
    return writeIniValue(file, kBackupSection, key, value);
}

}  // namespace scortavia
