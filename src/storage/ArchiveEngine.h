#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // Whether the archive has been made (opened once, even if it holds no record yet).
    virtual Result<bool> exists(const std::filesystem::path& archive) = 0;
    // The file names of every archive made ("Magazzino.pro", "2024.odc", "Estate.lis", …).
    virtual Result<std::vector<std::string>> archiveNames() = 0;
    // Makes an empty archive, unless one of that name is there: then the answer is false.
    virtual Result<bool> createArchive(const std::filesystem::path& archive) = 0;
    // Removes an archive and its records; one that is not there is no failure.
    virtual Status removeArchive(const std::filesystem::path& archive) = 0;

    // The photos and documents that go with the cards, named by their path inside the program folder
    // ("7.jpg", "Documenti_Allegati/Fattura.pdf", "Foto_Listino/Estate_Foto_B_3.jpg"). A file is read
    // and written whole; reading one that is not there gives nothing, one larger than `maxBytes` fails.
    virtual Result<std::optional<std::string>> readFile(const std::filesystem::path& name, std::size_t maxBytes) = 0;
    virtual Result<bool> fileExists(const std::filesystem::path& name) = 0;
    virtual Status writeFile(const std::filesystem::path& name, std::string_view bytes) = 0;
    // Removing a file that is not there is no failure.
    virtual Status removeFile(const std::filesystem::path& name) = 0;
};

// Puts `engine` in charge of the archives of `programFolder`, or gives them back to the folder's own
// files when it is null.
void useArchiveEngine(const std::filesystem::path& programFolder, std::shared_ptr<ArchiveEngine> engine);

// The engine in charge of `programFolder`; null when it is the folder's own files.
std::shared_ptr<ArchiveEngine> archiveEngineOf(const std::filesystem::path& programFolder);

}  // namespace scortavia
