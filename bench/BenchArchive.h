#pragma once

#include <filesystem>

namespace scortavia::bench {

// A folder of its own for this benchmark run, removed at exit.
const std::filesystem::path& benchFolder();

// Writes (once per run) a product archive of `count` realistic cards and returns its path.
std::filesystem::path archiveOf(int count);

// A program folder of its own holding archiveOf(count) as "Magazzino.pro" (a hard link, so no second copy).
const std::filesystem::path& programFolderOf(int count);

// Writes (once per run) a year archive of `count` realistic goods-in movements and returns its path.
std::filesystem::path movementArchiveOf(int count);

// The floor every scan is compared with: reading the same file in 1 MiB blocks, nothing more.
double rawReadSeconds(const std::filesystem::path& path);

}  // namespace scortavia::bench
