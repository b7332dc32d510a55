#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "backups/BackupFiles.h"
#include "common/Result.h"
#include "server/ServerEngine.h"

// Moving a shop between its program folder and a server, both ways. Either move reads its source only,
// and what it writes becomes the shop only at the end, in one step, after every archive and file has
// been read back and found equal (counts and SHA-256 checksums): a move that fails, is cancelled or is
// cut off at any point leaves the source as it was and nothing that passes for the shop.
namespace scortavia {

// How far a move has gone, in bytes of data; false stops it.
using MoveProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

struct MoveOutcome {
    DataCounts counts;
    std::uint64_t files = 0;     // photos and documents
    std::uint64_t archives = 0;  // archives, empty ones too
    // Bytes of a record cut short at the end of an archive (a write that failed in the middle): no
    // record, so not moved, as the program never reads them.
    std::uint64_t partialRecordBytes = 0;
    bool cancelled = false;
};

// What a server says of a shop before the program works on it: there and ready, or not made yet.
struct ShopProbe {
    bool exists = false;     // a shop of this program, of a version it reads
    bool encrypted = false;  // the link is encrypted (TLS)
};
// Connects and looks; a server that cannot be reached, a wrong password, a schema of another program or
// of a newer version are failures with their Italian text.
Result<ShopProbe> probeShop(const ServerShop& shop);

// Copies the data of `programFolder` (archives, product photos, documents, price-list photos; not the
// settings) to the shop `shop.schema`, which must not exist or be an empty shop. Nobody may write the
// folder meanwhile (the caller holds it alone).
Result<MoveOutcome> transferToServer(const std::filesystem::path& programFolder, const ServerShop& shop,
                                     const MoveProgress& progress = {});

// Writes the data of the shop into `folder` (missing or empty) as the program folder would hold it,
// byte for byte.
Result<MoveOutcome> copyToFolder(const ServerShop& shop, const std::filesystem::path& folder,
                                 const MoveProgress& progress = {});

}  // namespace scortavia
