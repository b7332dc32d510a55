#pragma once

#include <memory>
#include <string>

#include "server/ServerEngine.h"

namespace scortavia::test {

// The test cluster the test run starts (tests/support/pg-cluster), reached on its Unix socket.
ServerAddress testServer();

// A schema name no other test of any process uses, starting with `prefix`.
std::string freshSchemaName(const std::string& prefix);

// A fresh, empty shop schema on the test cluster for one test, dropped with everything in it at the end.
class TestShop final {
public:
    TestShop();
    ~TestShop();
    TestShop(const TestShop&) = delete;
    TestShop& operator=(const TestShop&) = delete;

    const ServerShop& shop() const { return shop_; }
    // An engine of its own for this process (a child process needs one: connections do not survive a fork).
    std::shared_ptr<ServerEngine> connect() const;
    // A plain connection to the cluster, to look at the tables the way another program would.
    PgConnection admin() const;

private:
    ServerShop shop_;
};

}  // namespace scortavia::test
