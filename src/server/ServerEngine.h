#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "server/PgConnection.h"
#include "storage/ArchiveEngine.h"

namespace scortavia {

// A shop on a server: where the server is, and the schema that holds the shop's archives.
struct ServerShop {
    ServerAddress address;
    std::string schema;
};

// The version of the tables this program writes; a shop of a newer version is left alone.
inline constexpr int kShopSchemaVersion = 1;

// Makes the tables of a new, empty shop in `schema` (which must not exist yet), in one transaction.
Status createShopSchema(PgConnection& connection, std::string_view schema);

// Whether `schema` holds a shop this program can work on: one of its own, of a version it reads.
Status checkShopSchema(PgConnection& connection, std::string_view schema);

// The archives of a program folder kept on a server: each archive is named by its file name as in the
// folder, and its records are rows of the table of its layout. One connection serves every archive the
// process opens, one operation at a time; a lost connection is made again at the next operation.
class ServerEngine final : public ArchiveEngine, public std::enable_shared_from_this<ServerEngine> {
public:
    // Connects and checks the shop's schema.
    static Result<std::shared_ptr<ServerEngine>> connect(const ServerShop& shop);

    Result<std::unique_ptr<Archive>> open(const std::filesystem::path& archive, std::size_t recordSize) override;
    Result<bool> exists(const std::filesystem::path& archive) override;
    Result<std::vector<std::string>> archiveNames() override;
    Result<bool> createArchive(const std::filesystem::path& archive) override;
    Status removeArchive(const std::filesystem::path& archive) override;
    Result<std::optional<std::string>> readFile(const std::filesystem::path& name, std::size_t maxBytes) override;
    Result<bool> fileExists(const std::filesystem::path& name) override;
    Status writeFile(const std::filesystem::path& name, std::string_view bytes) override;
    Status removeFile(const std::filesystem::path& name) override;

    // What the shop holds: every archive with its count, and every file with its size and SHA-256
    // checksum (64 lowercase hex digits), worked out by the server.
    struct StoredArchive {
        std::string name;
        std::int64_t count = 0;
    };
    Result<std::vector<StoredArchive>> archives();
    struct StoredFile {
        std::string name;
        std::uint64_t size = 0;
        std::string sha256;
    };
    Result<std::vector<StoredFile>> files();

    // The connection, locked for one operation; made again first when it was lost.
    class Session {
    public:
        explicit Session(ServerEngine& engine);
        PgConnection& connection() { return *engine_.connection_; }
        const std::string& schema() const { return engine_.schemaName_; }
        const Status& ready() const { return ready_; }

    private:
        std::unique_lock<std::recursive_mutex> lock_;
        ServerEngine& engine_;
        Status ready_ = Status::success();
    };
    Session session();
    // The shop's schema, quoted for statements.
    const std::string& schemaName() const { return schemaName_; }

    // Makes the count row of an archive that has none yet.
    Status ensureArchive(PgConnection& connection, const std::string& name);

private:
    ServerEngine(ServerShop shop, PgConnection connection);

    ServerShop shop_;
    std::string schemaName_;  // quoted, ready for statements
    std::unique_ptr<PgConnection> connection_;
    std::recursive_mutex mutex_;
};

}  // namespace scortavia
