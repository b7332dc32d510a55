#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

#include "common/Result.h"
#include "storage/Archive.h"

namespace scortavia {

// What keeps the archives of one program folder. The folder's own files do unless another engine
// (a database server) has been put in their place for that folder; the screens never know which.
class ArchiveEngine {
public:
    ArchiveEngine() = default;
    ArchiveEngine(const ArchiveEngine&) = delete;
    ArchiveEngine& operator=(const ArchiveEngine&) = delete;
    virtual ~ArchiveEngine() = default;

    // Opens the archive of the folder named by its file name there ("Magazzino.pro", "2024.odc",
    // "Estate.lis"), creating it empty when missing.
    virtual Result<std::unique_ptr<Archive>> open(const std::filesystem::path& archive, std::size_t recordSize) = 0;
};

// Puts `engine` in charge of the archives of `programFolder`, or gives them back to the folder's own
// files when it is null.
void useArchiveEngine(const std::filesystem::path& programFolder, std::shared_ptr<ArchiveEngine> engine);

// The engine in charge of `programFolder`; null when it is the folder's own files.
std::shared_ptr<ArchiveEngine> archiveEngineOf(const std::filesystem::path& programFolder);

}  // namespace scortavia
