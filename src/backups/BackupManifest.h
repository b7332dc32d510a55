#pragma once

#include <nettle/sha2.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backups/BackupFiles.h"

// The list a backup carries of itself: what kind of copy it is, when it was made, what it counts, and
// every file with its size and SHA-256. It is the last entry of the backup, a UTF-8 text.
namespace scortavia {

enum class BackupKind { Manual, Automatic, BeforeRestore };

// "manuale", "automatica", "prima del ripristino": what the list of backups shows.
std::string_view backupKindText(BackupKind kind);

using Sha256 = std::array<std::uint8_t, 32>;
std::string toHex(const Sha256& digest);

// A SHA-256 sum worked out piece by piece.
class Sha256Sum final {
public:
    Sha256Sum() { sha256_init(&context_); }
    void add(const void* bytes, std::size_t size) {
        sha256_update(&context_, size, static_cast<const std::uint8_t*>(bytes));
    }
    Sha256 digest() {
        Sha256 result{};
        sha256_digest(&context_, result.size(), result.data());
        return result;
    }

private:
    sha256_ctx context_{};
};

struct ManifestFile {
    std::string path;
    std::uint64_t size = 0;
    Sha256 sha256{};
};

struct Manifest {
    BackupKind kind = BackupKind::Manual;
    std::string created;  // "2026-12-10 15:30:12", local time
    DataCounts counts;
    std::vector<ManifestFile> files;  // sorted by path, no path twice
};

// The name of the manifest entry inside a backup; never a data path.
inline constexpr std::string_view kManifestName = "Scortavia-copia.txt";
// No real manifest comes near this; a bigger one is refused before it is read.
inline constexpr std::uint64_t kManifestMaxBytes = std::uint64_t{64} << 20;

std::string writeManifest(const Manifest& manifest);

// The manifest written by writeManifest, or nullopt for any other text: a first line that is not this
// program's, a field missing, a path that is not data (dataFileKind) or comes twice, a bad digest.
std::optional<Manifest> parseManifest(std::string_view text);

}  // namespace scortavia
