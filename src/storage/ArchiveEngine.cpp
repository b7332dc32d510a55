#include "storage/ArchiveEngine.h"

#include <mutex>
#include <utility>
#include <vector>

#include "storage/ArchiveFile.h"

namespace scortavia {
namespace {

struct Registered {
    std::filesystem::path folder;
    std::shared_ptr<ArchiveEngine> engine;
};

// A handful of entries at most (one per program folder a process works on: one, except in tests).
std::mutex registryMutex;
std::vector<Registered>& registry() {
    static std::vector<Registered> engines;
    return engines;
}

std::filesystem::path folderKey(const std::filesystem::path& folder) {
    return (folder.empty() ? std::filesystem::path(".") : folder).lexically_normal();
}

}  // namespace

void useArchiveEngine(const std::filesystem::path& programFolder, std::shared_ptr<ArchiveEngine> engine) {
    const std::filesystem::path key = folderKey(programFolder);
    const std::lock_guard lock(registryMutex);
    auto& engines = registry();
    std::erase_if(engines, [&](const Registered& r) { return r.folder == key; });
    if (engine) engines.push_back({key, std::move(engine)});
}

std::shared_ptr<ArchiveEngine> archiveEngineOf(const std::filesystem::path& programFolder) {
    const std::filesystem::path key = folderKey(programFolder);
    const std::lock_guard lock(registryMutex);
    for (const Registered& r : registry()) {
        if (r.folder == key) return r.engine;
    }
    return nullptr;
}

// An archive lives directly in its program folder, so the folder's engine is its parent's.
Result<std::unique_ptr<Archive>> openArchive(const std::filesystem::path& archive, std::size_t recordSize) {
    if (auto engine = archiveEngineOf(archive.parent_path())) return engine->open(archive, recordSize);
    auto file = ArchiveFile::openOrCreate(archive, recordSize);
    if (!file) return file.status();
    return std::unique_ptr<Archive>(std::make_unique<ArchiveFile>(std::move(*file)));
}

Result<bool> archiveExists(const std::filesystem::path& archive) {
    if (auto engine = archiveEngineOf(archive.parent_path())) return engine->exists(archive);
    std::error_code error;
    const bool there = std::filesystem::exists(archive, error);
    if (error) return Status::failure(archive.string() + ": " + error.message());
    return there;
}

}  // namespace scortavia
