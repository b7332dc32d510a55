#include "storage/CardFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "storage/ArchiveEngine.h"
#include "storage/ArchivePaths.h"
#include "storage/FileAccess.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

// Far larger than any document a shop attaches; a copy from a larger file is refused.
constexpr std::size_t kMaxDocumentBytes = std::size_t{1} << 30;

struct Kept {
    std::shared_ptr<ArchiveEngine> engine;
    fs::path name;  // inside the program folder
};

// The engine and the name of a file the program keeps for a card: a product photo in the program
// folder, or any file of the documents' or the price-list photos' folder. Null for a plain file.
Kept keeperOf(const fs::path& file) {
    const fs::path parent = file.parent_path();
    if (auto engine = archiveEngineOf(parent)) {
        const std::string name = file.filename().string();
        const bool photo =
            name.size() > 4 && name.ends_with(".jpg") && name.find_first_not_of("0123456789") == name.size() - 4;
        if (photo) return {engine, file.filename()};
        return {};
    }
    const std::string folder = parent.filename().string();
    if (folder == paths::kAttachmentFolder || folder == paths::kPriceListPhotoFolder) {
        if (auto engine = archiveEngineOf(parent.parent_path())) return {engine, fs::path(folder) / file.filename()};
    }
    return {};
}

}  // namespace

Result<std::optional<std::string>> readCardFile(const fs::path& file, std::size_t maxBytes) {
    if (Kept kept = keeperOf(file); kept.engine) return kept.engine->readFile(kept.name, maxBytes);
    auto read = readRegularFile(file, maxBytes);
    if (!read) return read.status();
    if (!read->has_value()) return std::optional<std::string>();
    return std::optional<std::string>(std::move((*read)->bytes));
}

Result<bool> cardFileExists(const fs::path& file) {
    if (Kept kept = keeperOf(file); kept.engine) return kept.engine->fileExists(kept.name);
    std::error_code error;
    const bool there = fs::exists(file, error);
    if (error) return Status::failure(file.string() + ": " + error.message());
    return there;
}

Status writeCardFile(const fs::path& file, std::string_view bytes) {
    if (Kept kept = keeperOf(file); kept.engine) return kept.engine->writeFile(kept.name, bytes);
    return replaceFileContents(file, bytes);
}

Status copyIntoCardFile(const fs::path& source, const fs::path& file) {
    Kept kept = keeperOf(file);
    if (!kept.engine) return copyFileReplacing(source, file);
    auto read = readRegularFile(source, kMaxDocumentBytes);
    if (!read) return read.status();
    if (!read->has_value()) return Status::failure(source.string() + ": no such file");
    return kept.engine->writeFile(kept.name, (*read)->bytes);
}

Status removeCardFile(const fs::path& file) {
    if (Kept kept = keeperOf(file); kept.engine) return kept.engine->removeFile(kept.name);
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
        return Status::failure("remove " + file.string() + ": " + std::strerror(errno));
    }
    return Status::success();
}

Result<fs::path> openableCardFile(const fs::path& file, const fs::path& scratchFolder) {
    Kept kept = keeperOf(file);
    if (!kept.engine) return file;
    auto read = kept.engine->readFile(kept.name, kMaxDocumentBytes);
    if (!read) return read.status();
    if (!read->has_value()) return Status::failure(file.filename().string() + " is not on the server");
    std::error_code error;
    fs::create_directories(scratchFolder, error);
    const fs::path copy = scratchFolder / file.filename();
    if (Status written = replaceFileContents(copy, **read); !written) return written;
    return copy;
}

}  // namespace scortavia
