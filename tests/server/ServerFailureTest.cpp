// What a till meets when the server or the link to it fails: a clear message, nothing half written, and
// the program working again once the server is back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "storage/ProductRecord.h"
#include "support/Records.h"
#include "support/TestServer.h"

namespace scortavia {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool says(const Status& status, const std::string& text) { return status.error().find(text) != std::string::npos; }

TEST(ServerConnection, EachReasonNotToWorkOnAShopIsSaidInItalian) {
    const test::TestShop other;
    auto admin = other.admin();
    const std::string foreign = test::freshSchemaName("foreign");
    const std::string newer = test::freshSchemaName("newer");
    ASSERT_TRUE(admin.runScript("CREATE SCHEMA " + foreign + "; CREATE TABLE " + foreign +
                                ".meta (program text, version int); INSERT INTO " + foreign +
                                ".meta VALUES ('Altro', 1)"));
    ASSERT_TRUE(createShopSchema(admin, newer));
    ASSERT_TRUE(admin.runScript("UPDATE " + newer + ".meta SET version = version + 1"));
    const test::TestShop forbidden;
    const std::string granted = other.shop().schema;
    ASSERT_TRUE(admin.runScript("GRANT USAGE ON SCHEMA " + granted + " TO cassa; GRANT ALL ON ALL TABLES IN SCHEMA " +
                                granted + " TO cassa"));

    ServerAddress nowhere = test::testServer();
    nowhere.host = "/nonexistent-socket-folder";
    ServerAddress wrongPassword = test::testServer();
    wrongPassword.user = "cassa";
    wrongPassword.password = "sbagliata";
    ServerAddress rightPassword = wrongPassword;
    rightPassword.password = "segreta";
    struct Case {
        std::string what;
        ServerShop shop;
        std::string message;  // empty: the shop opens
    };
    const std::vector<Case> cases = {
        {"no server there", {nowhere, other.shop().schema}, "Impossibile collegarsi al server."},
        {"a wrong password", {wrongPassword, other.shop().schema}, "Il server non accetta l'utente o la password"},
        {"the right password", {rightPassword, other.shop().schema}, ""},
        {"a shop the user may not read", {rightPassword, forbidden.shop().schema}, "non ha i permessi necessari"},
        {"no such shop", {test::testServer(), "missing_shop"}, "Sul server non c'è il negozio «missing_shop»."},
        {"another program's schema", {test::testServer(), foreign}, "appartiene a un altro programma"},
        {"a newer version's shop", {test::testServer(), newer}, "versione più recente di Scortavia"},
    };
    for (const Case& c : cases) {
        const auto engine = ServerEngine::connect(c.shop);
        if (c.message.empty()) {
            EXPECT_TRUE(engine.ok()) << c.what << ": " << engine.error();
        } else {
            ASSERT_FALSE(engine.ok()) << c.what;
            EXPECT_TRUE(says(engine.status(), c.message)) << c.what << ": " << engine.error();
        }
    }
    (void)admin.runScript("DROP SCHEMA " + foreign + " CASCADE; DROP SCHEMA " + newer + " CASCADE");
}

// The server process serving the engine's connection is stopped, as a dropped network link or a
// restarted server would leave it.
void dropConnection(PgConnection& admin, int serverProcess) {
    ASSERT_TRUE(admin.run("SELECT pg_terminate_backend($1)", {PgValue::text(std::to_string(serverProcess))}));
}

TEST(ServerConnection, ALostLinkFailsOneOperationAndTheNextConnectsAgain) {
    const test::TestShop shop;
    auto admin = shop.admin();
    auto engine = shop.connect();
    auto archive = engine->open("Magazzino.pro", ProductRecord::kSize);
    ASSERT_TRUE(archive.ok());
    ASSERT_TRUE((*archive)->append(test::product("A").bytes()).ok());
    const auto serverProcess = [&] { return engine->session().connection().serverProcess(); };

    // Dropped while a list reads.
    dropConnection(admin, serverProcess());
    Bytes all(10 * ProductRecord::kSize);
    const auto read = (*archive)->readRecords(0, all);
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(says(read.status(), "Il collegamento con il server si è interrotto.")) << read.error();
    ASSERT_TRUE((*archive)->readRecords(0, all).ok()) << "the next operation connects again";

    // Dropped in the middle of a save: the record stays as it was.
    ProductRecord r;
    const int serving = serverProcess();
    const auto saved = (*archive)->updateAt(0, r.bytes(), [&](std::span<std::uint8_t> bytes) {
        dropConnection(admin, serving);
        std::memset(bytes.data(), 'Z', bytes.size());
        return true;
    });
    EXPECT_FALSE(saved.ok());
    ASSERT_TRUE((*archive)->readAt(0, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Codice), "A");
    EXPECT_EQ(*(*archive)->recordCount(), 1);
}

ProductRecord numbered(int batch, int i) {
    return test::product("B" + std::to_string(batch) + "-" + std::to_string(i), "Prodotto " + std::to_string(i));
}

// A till killed while it imports a batch or saves a card: the server holds whole batches and whole
// records only, and the count matches them.
TEST(ServerConnection, AClientKilledMidWriteLeavesOnlyWholeRecords) {
    constexpr int kBatch = 1000;
    for (const int afterMs : {30, 120, 400}) {
        const test::TestShop shop;
        const pid_t child = fork();
        if (child == 0) {
            auto engine = shop.connect();
            auto archive = engine->open("Magazzino.pro", ProductRecord::kSize);
            if (!archive) _exit(1);
            for (int batch = 0;; ++batch) {
                Bytes records;
                for (int i = 0; i < kBatch; ++i) {
                    const auto r = numbered(batch, i);
                    records.insert(records.end(), r.bytes().begin(), r.bytes().end());
                }
                if (!(*archive)->appendBatch(records).ok()) _exit(2);
                // And a card saved again and again.
                for (int i = 0; i < 20; ++i) (void)(*archive)->writeAt(0, numbered(batch, i).bytes());
            }
        }
        usleep(static_cast<useconds_t>(afterMs) * 1000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed before it was killed";

        auto engine = shop.connect();
        auto archive = engine->open("Magazzino.pro", ProductRecord::kSize);
        const std::int64_t count = *(*archive)->recordCount();
        EXPECT_EQ(count % kBatch, 0) << "after " << afterMs << " ms: a batch in part";
        Bytes all(static_cast<std::size_t>(count) * ProductRecord::kSize);
        ASSERT_EQ(*(*archive)->readRecords(0, all), all.size());
        for (std::int64_t at = 0; at < count; ++at) {
            ProductRecord r;
            std::memcpy(r.bytes().data(), all.data() + at * ProductRecord::kSize, ProductRecord::kSize);
            int batch = -1, i = -1;
            ASSERT_EQ(std::sscanf(r.text(ProductRecord::Codice).c_str(), "B%d-%d", &batch, &i), 2);
            const auto expected = numbered(batch, i);
            EXPECT_EQ(std::memcmp(r.bytes().data(), expected.bytes().data(), ProductRecord::kSize), 0)
                << "torn record at " << at;
            if (at > 0) {
                EXPECT_EQ(at, static_cast<std::int64_t>(batch) * kBatch + i);
            }
        }
    }
}

}  // namespace
}  // namespace scortavia
