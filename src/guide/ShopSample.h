#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>

namespace scortavia::guide {

// The list name, year and password of the sample shop the guide's screenshots are taken in.
inline constexpr const char* kSampleList = "Estate";
inline constexpr const char* kSampleYear = "2024";
inline constexpr const char* kSamplePassword = "SCORTAVIA";

// Fills an empty program folder with a small garden shop: the settings file with the initial
// password, eight products with their photos, a few goods received in kSampleYear and a price-list
// page of the eight products. The photos are drawn here, so nothing but the code makes them.
// False, with `problem` set, when a file could not be written.
bool writeShopSample(const std::filesystem::path& programFolder, QString& problem);

// Writes the sample shop into a program folder of its own inside the working folder (the build's), lets
// `use` work in it, then removes it. What went wrong is added to `problems`; `use` runs on a whole sample
// only.
void inShopSample(QStringList& problems, const std::function<void(const std::filesystem::path&)>& use);

// A few days of the sample shop's backups in `backupFolder`, at fixed times (so that every build shows
// the same list), chosen as its backup folder. False, with `problem` set, when one could not be made.
bool writeSampleBackups(const std::filesystem::path& programFolder, const std::filesystem::path& backupFolder,
                        QString& problem);

}  // namespace scortavia::guide
