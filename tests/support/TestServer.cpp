#include "support/TestServer.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace scortavia::test {

ServerAddress testServer() { return {SCORTAVIA_TEST_PG_SOCKET, "", "postgres", "postgres", ""}; }

std::string freshSchemaName(const std::string& prefix) {
    static std::atomic<int> made{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(made++) + "_" + std::to_string(now % 1000000);
}

TestShop::TestShop() {
    shop_ = {testServer(), freshSchemaName("shop")};
    auto connection = admin();
    if (Status made = createShopSchema(connection, shop_.schema); !made) throw std::runtime_error(made.error());
}

TestShop::~TestShop() {
    auto connection = admin();
    (void)connection.runScript("DROP SCHEMA " + quotedName(shop_.schema) + " CASCADE");
}

std::shared_ptr<ServerEngine> TestShop::connect() const {
    auto engine = ServerEngine::connect(shop_);
    if (!engine) throw std::runtime_error(engine.error());
    return *engine;
}

PgConnection TestShop::admin() const {
    auto connection = PgConnection::open(testServer());
    if (!connection) throw std::runtime_error("the test cluster is not running: " + connection.error());
    return std::move(*connection);
}

}  // namespace scortavia::test
