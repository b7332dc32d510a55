#include "shopserver/ShopTransfer.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "backups/BackupManifest.h"
#include "storage/ArchiveFile.h"
#include "storage/FileAccess.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

// Archives move in blocks of about a megabyte: a few hundred records a statement.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
// No document of a shop comes near this; a larger file is refused rather than read into memory.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

// The running SHA-256 of what a move read, as the server writes it: 64 lowercase hex digits.
class Sum {
public:
    void add(std::span<const std::uint8_t> bytes) { sum_.add(bytes.data(), bytes.size()); }
    void add(std::string_view bytes) { sum_.add(bytes.data(), bytes.size()); }
    std::string hex() { return toHex(sum_.digest()); }

private:
    Sha256Sum sum_;
};

std::string sha256Of(std::string_view bytes) {
    Sum sum;
    sum.add(bytes);
    return sum.hex();
}

bool isArchive(DataFileKind kind) { return recordSizeOf(kind) > 0; }

// What a move wrote, to be found again when it is read back.
struct Expected {
    std::string name;
    std::int64_t count = 0;  // records of an archive
    std::uint64_t size = 0;  // bytes of a file; the record size of an archive
    std::string sha256;
};

class Progress {
public:
    Progress(const MoveProgress& report, std::uint64_t total) : report_(report), total_(total) {}
    // False once the user has asked to stop.
    bool advance(std::uint64_t bytes) {
        done_ += bytes;
        return !report_ || report_(std::min(done_, total_), total_);
    }

private:
    const MoveProgress& report_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
};

Status cancelled() { return Status::failure("cancelled"); }

// Every record of a server archive in order, in blocks, each handed to `take`.
Status readServerArchive(ServerEngine& engine, const std::string& name, std::size_t recordSize,
                         const std::function<bool(std::span<const std::uint8_t>)>& take) {
    auto archive = engine.open(name, recordSize);
    if (!archive) return archive.status();
    std::vector<std::uint8_t> block((kBlockBytes / recordSize) * recordSize);
    for (std::int64_t first = 0;;) {
        auto read = (*archive)->readRecords(first, block);
        if (!read) return read.status();
        if (*read == 0) return Status::success();
        if (!take(std::span(block).first(*read))) return cancelled();
        first += static_cast<std::int64_t>(*read / recordSize);
    }
}

Result<bool> schemaExists(PgConnection& connection, const std::string& schema) {
    auto rows = connection.run("SELECT 1 FROM pg_namespace WHERE nspname = $1", {PgValue::text(schema)});
    if (!rows) return rows.status();
    return rows->rows() == 1;
}

// The shop a transfer may fill: none yet, or one of this program's that holds nothing.
Status checkEmptyShop(PgConnection& connection, const std::string& schema) {
    if (Status ours = checkShopSchema(connection, schema); !ours) return ours;
    const std::string s = quotedName(schema);
    auto rows =
        connection.run("SELECT (SELECT count(*) FROM " + s + ".archives) + (SELECT count(*) FROM " + s + ".files)");
    if (!rows) return rows.status();
    if (rows->text(0, 0) != "0") {
        return Status::failure("Sul server il negozio «" + schema +
                               "» contiene già dei dati: per non mescolarli, il trasferimento si fa solo in un negozio "
                               "vuoto.");
    }
    return Status::success();
}

// The staging shop of a transfer: a schema of its own until the transfer is whole.
std::string stagingSchemaOf(const std::string& schema) { return schema + "__trasferimento"; }

Status verifyServerShop(ServerEngine& engine, const std::map<std::string, Expected>& archives,
                        const std::map<std::string, Expected>& files, Progress& progress) {
    auto stored = engine.archives();
    if (!stored) return stored.status();
    if (stored->size() != archives.size()) return Status::failure("the server holds another number of archives");
    for (const auto& got : *stored) {
        const auto want = archives.find(got.name);
        if (want == archives.end()) return Status::failure("the server holds an archive more: " + got.name);
        if (got.count != want->second.count) {
            return Status::failure("the archive " + got.name + " holds " + std::to_string(got.count) +
                                   " records on the server instead of " + std::to_string(want->second.count));
        }
        Sum sum;
        Status read = readServerArchive(engine, got.name, want->second.size, [&](auto block) {
            sum.add(block);
            return progress.advance(block.size());
        });
        if (!read) return read;
        if (sum.hex() != want->second.sha256)
            return Status::failure("the archive " + got.name + " differs on the server");
    }
    auto storedFiles = engine.files();
    if (!storedFiles) return storedFiles.status();
    if (storedFiles->size() != files.size()) return Status::failure("the server holds another number of files");
    for (const auto& got : *storedFiles) {
        const auto want = files.find(got.name);
        if (want == files.end() || got.size != want->second.size || got.sha256 != want->second.sha256) {
            return Status::failure("the file " + got.name + " differs on the server");
        }
        if (!progress.advance(got.size)) return cancelled();
    }
    return Status::success();
}

// Removes a staging schema however the transfer ended, unless it became the shop.
class StagingGuard {
public:
    StagingGuard(PgConnection& connection, std::string schema) : connection_(connection), schema_(std::move(schema)) {}
    StagingGuard(const StagingGuard&) = delete;
    StagingGuard& operator=(const StagingGuard&) = delete;
    ~StagingGuard() {
        if (!kept_) (void)connection_.runScript("DROP SCHEMA IF EXISTS " + quotedName(schema_) + " CASCADE");
    }
    void keep() { kept_ = true; }

private:
    PgConnection& connection_;
    std::string schema_;
    bool kept_ = false;
};

Result<MoveOutcome> endOf(Status failure, MoveOutcome outcome) {
    if (failure.error() == "cancelled") {
        outcome.cancelled = true;
        return outcome;
    }
    return failure;
}

}  // namespace

Result<ShopProbe> probeShop(const ServerShop& shop) {
    auto connection = PgConnection::open(shop.address);
    if (!connection) return connection.status();
    ShopProbe probe;
    probe.encrypted = connection->encrypted();
    auto exists = schemaExists(*connection, shop.schema);
    if (!exists) return exists.status();
    if (!*exists) return probe;
    if (Status ours = checkShopSchema(*connection, shop.schema); !ours) return ours;
    probe.exists = true;
    return probe;
}

Result<MoveOutcome> transferToServer(const fs::path& programFolder, const ServerShop& shop,
                                     const MoveProgress& progress) {
    auto listed = listDataFiles(programFolder);
    if (!listed) return listed.status();
    std::vector<DataFile> data;
    std::uint64_t totalBytes = 0;
    for (const DataFile& file : *listed) {
        if (file.kind == DataFileKind::Settings) continue;
        data.push_back(file);
        totalBytes += file.size;
    }
    MoveOutcome outcome;
    outcome.counts = countRecords(data);
    Progress done(progress, 2 * totalBytes);

    auto connection = PgConnection::open(shop.address);
    if (!connection) return connection.status();
    auto exists = schemaExists(*connection, shop.schema);
    if (!exists) return exists.status();
    if (*exists) {
        if (Status empty = checkEmptyShop(*connection, shop.schema); !empty) return empty;
    }
    const std::string staging = stagingSchemaOf(shop.schema);
    // A staging shop left by a transfer that was cut off is of no use to anyone.
    if (Status cleared = connection->runScript("DROP SCHEMA IF EXISTS " + quotedName(staging) + " CASCADE"); !cleared) {
        return cleared;
    }
    if (Status made = createShopSchema(*connection, staging); !made) return made;
    StagingGuard guard(*connection, staging);
    auto connected = ServerEngine::connect({shop.address, staging});
    if (!connected) return connected.status();
    std::shared_ptr<ServerEngine> engine = *connected;

    std::map<std::string, Expected> archives;
    std::map<std::string, Expected> files;
    for (const DataFile& file : data) {
        const fs::path path = programFolder / file.path;
        if (isArchive(file.kind)) {
            const std::size_t size = recordSizeOf(file.kind);
            auto source = ArchiveFile::openOrCreate(path, size);
            if (!source) return source.status();
            auto target = engine->open(path, size);
            if (!target) return target.status();
            auto count = source->recordCount();
            if (!count) return count.status();
            outcome.partialRecordBytes += file.size - static_cast<std::uint64_t>(*count) * size;
            Sum sum;
            std::vector<std::uint8_t> block((kBlockBytes / size) * size);
            for (std::int64_t first = 0; first < *count;) {
                auto read = source->readRecords(first, block);
                if (!read) return read.status();
                if (*read == 0) break;
                const auto records = std::span(block).first(*read);
                auto appended = (*target)->appendBatch(records);
                if (!appended) return appended.status();
                sum.add(records);
                first += static_cast<std::int64_t>(*read / size);
                if (!done.advance(*read)) return endOf(cancelled(), outcome);
            }
            archives[file.path] = {file.path, *count, size, sum.hex()};
            ++outcome.archives;
        } else {
            auto read = readRegularFile(path, kMaxFileBytes);
            if (!read) return read.status();
            if (!read->has_value()) return Status::failure(path.string() + " vanished during the transfer");
            const std::string& bytes = (*read)->bytes;
            if (Status written = engine->writeFile(file.path, bytes); !written) return written;
            files[file.path] = {file.path, 0, bytes.size(), sha256Of(bytes)};
            ++outcome.files;
            if (!done.advance(bytes.size())) return endOf(cancelled(), outcome);
        }
    }
    if (Status same = verifyServerShop(*engine, archives, files, done); !same) return endOf(same, outcome);
    engine.reset();

    // The one step that makes the copy the shop.
    std::string finish = "BEGIN;\n";
    if (*exists) finish += "DROP SCHEMA " + quotedName(shop.schema) + " CASCADE;\n";
    finish += "ALTER SCHEMA " + quotedName(staging) + " RENAME TO " + quotedName(shop.schema) + ";\nCOMMIT;";
    if (Status renamed = connection->runScript(finish); !renamed) {
        if (!connection->lost()) (void)connection->runScript("ROLLBACK");
        return renamed;
    }
    guard.keep();
    return outcome;
}

namespace {

Status writeNewFile(const fs::path& path, std::span<const std::uint8_t> bytes, bool append) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (append ? O_APPEND : O_EXCL);
    const UniqueFd fd(::open(path.c_str(), flags, 0644));
    if (fd.get() < 0) return Status::failure("create " + path.string() + ": " + std::strerror(errno));
    return writeAll(fd.get(), {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, path);
}

Status syncFile(const fs::path& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0)
        return Status::failure("flush " + path.string() + ": " + std::strerror(errno));
    return Status::success();
}

// Whether `folder` is missing, or an empty folder.
Result<bool> missingOrEmpty(const fs::path& folder) {
    std::error_code error;
    if (!fs::exists(folder, error)) return true;
    if (!fs::is_directory(folder, error)) return false;
    const bool empty = fs::is_empty(folder, error);
    if (error) return Status::failure(folder.string() + ": " + error.message());
    return empty;
}

}  // namespace

Result<MoveOutcome> copyToFolder(const ServerShop& shop, const fs::path& folder, const MoveProgress& progress) {
    auto free = missingOrEmpty(folder);
    if (!free) return free.status();
    if (!*free)
        return Status::failure("La cartella «" + folder.string() + "» non è vuota: scegliere una cartella vuota.");
    auto engine = ServerEngine::connect(shop);
    if (!engine) return engine.status();
    auto archives = (*engine)->archives();
    if (!archives) return archives.status();
    auto files = (*engine)->files();
    if (!files) return files.status();

    MoveOutcome outcome;
    std::uint64_t totalBytes = 0;
    std::vector<std::pair<std::string, std::size_t>> sized;
    for (const auto& archive : *archives) {
        const auto kind = dataFileKind(archive.name);
        if (!kind || !isArchive(*kind) || archive.name.find('/') != std::string::npos) {
            return Status::failure("the server keeps an archive of unknown name: " + archive.name);
        }
        sized.emplace_back(archive.name, recordSizeOf(*kind));
        totalBytes += static_cast<std::uint64_t>(archive.count) * recordSizeOf(*kind);
    }
    for (const auto& file : *files) {
        if (!isSafeRelativePath(file.name))
            return Status::failure("the server keeps a file of unsafe name: " + file.name);
        totalBytes += file.size;
    }
    Progress done(progress, 2 * totalBytes);

    // Everything goes into a hidden folder beside the target first; renamed over it (missing or empty)
    // once whole, it becomes the shop's folder in one step.
    const fs::path staging = folder.parent_path() / ("." + folder.filename().string() + ".copia-in-corso");
    std::error_code error;
    fs::remove_all(staging, error);
    if (!fs::create_directories(staging, error)) {
        return Status::failure("create " + staging.string() + ": " + error.message());
    }
    struct Cleanup {
        fs::path path;
        bool keep = false;
        ~Cleanup() {
            std::error_code ignored;
            if (!keep) fs::remove_all(path, ignored);
        }
    } cleanup{staging};

    std::vector<Expected> written;
    for (std::size_t i = 0; i < archives->size(); ++i) {
        // Named, not bound: the lambda below takes them.
        const std::string& name = sized[i].first;
        const std::size_t size = sized[i].second;
        const fs::path path = staging / name;
        if (Status made = writeNewFile(path, {}, false); !made) return made;
        Sum sum;
        std::int64_t count = 0;
        Status status = Status::success();
        Status read = readServerArchive(**engine, name, size, [&](std::span<const std::uint8_t> block) {
            status = writeNewFile(path, block, true);
            sum.add(block);
            count += static_cast<std::int64_t>(block.size() / size);
            return status.ok() && done.advance(block.size());
        });
        if (!status) return status;
        if (!read) return endOf(read, outcome);
        if (count != (*archives)[i].count) return Status::failure("the archive " + name + " changed during the copy");
        if (Status synced = syncFile(path); !synced) return synced;
        written.push_back({name, count, 0, sum.hex()});
        ++outcome.archives;
        const auto kind = dataFileKind(name);
        if (*kind == DataFileKind::Products) outcome.counts.products += static_cast<std::uint64_t>(count);
        if (*kind == DataFileKind::GoodsIn || *kind == DataFileKind::GoodsOut)
            outcome.counts.movements += static_cast<std::uint64_t>(count);
        if (*kind == DataFileKind::PriceList) outcome.counts.pages += static_cast<std::uint64_t>(count);
    }
    for (const auto& file : *files) {
        const fs::path path = staging / file.name;
        fs::create_directories(path.parent_path(), error);
        auto bytes = (*engine)->readFile(file.name, kMaxFileBytes);
        if (!bytes) return bytes.status();
        if (!bytes->has_value() || sha256Of(**bytes) != file.sha256) {
            return Status::failure("the file " + file.name + " changed during the copy");
        }
        const auto& b = **bytes;
        if (Status made = writeNewFile(path, {reinterpret_cast<const std::uint8_t*>(b.data()), b.size()}, false); !made)
            return made;
        if (Status synced = syncFile(path); !synced) return synced;
        written.push_back({file.name, 0, file.size, file.sha256});
        ++outcome.files;
        if (!done.advance(file.size)) return endOf(cancelled(), outcome);
    }
    // Read back from the disk.
    for (const Expected& want : written) {
        auto read = readRegularFile(staging / want.name, kMaxFileBytes * 4);
        if (!read) return read.status();
        if (!read->has_value() || sha256Of((*read)->bytes) != want.sha256) {
            return Status::failure("the file " + want.name + " was not written whole");
        }
        if (!done.advance((*read)->bytes.size())) return endOf(cancelled(), outcome);
    }
    if (Status synced = syncFolder(staging); !synced) return synced;
    if (::rename(staging.c_str(), folder.c_str()) != 0) {
        return Status::failure("rename " + staging.string() + ": " + std::strerror(errno));
    }
    cleanup.keep = true;
    (void)syncFolder(folder.parent_path().empty() ? fs::path(".") : folder.parent_path());
    return outcome;
}

}  // namespace scortavia
