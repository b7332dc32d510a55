#include <gtest/gtest.h>

#include "shopserver/ServerSettings.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

ServerShop sample() { return {{"db.negozio.it", "5433", "magazzino", "cassa1", "Pàss=w;ord #1"}, "negozio_centro"}; }

bool sameShop(const ServerShop& a, const ServerShop& b) {
    return a.address.host == b.address.host && a.address.port == b.address.port &&
           a.address.database == b.address.database && a.address.user == b.address.user &&
           a.address.password == b.address.password && a.schema == b.schema;
}

TEST(ServerSettings, AFolderWithoutAServerKeepsItsArchives) {
    test::TempFolder folder;
    EXPECT_FALSE(readServerSettings(folder.path())->has_value()) << "no settings file";
    test::writeBytes(folder.file("unins000.dll"), "[Accesso]\r\nValore=41\r\n");
    EXPECT_FALSE(readServerSettings(folder.path())->has_value()) << "no [Server]";
}

TEST(ServerSettings, TheShopIsKeptWithItsPasswordScrambledAndForgottenOnRequest) {
    test::TempFolder folder;
    test::writeBytes(folder.file("unins000.dll"), "[Accesso]\r\nValore=41\r\n");
    ASSERT_TRUE(writeServerSettings(folder.path(), sample()));
    const auto read = readServerSettings(folder.path());
    ASSERT_TRUE(read.ok()) << read.error();
    ASSERT_TRUE(read->has_value());
    EXPECT_TRUE(sameShop(**read, sample()));
    const std::string file = test::readBytes(folder.file("unins000.dll"));
    EXPECT_EQ(file.find("Pàss"), std::string::npos) << "the password is never written in clear";
    EXPECT_NE(file.find("[Accesso]\r\nValore=41\r\n"), std::string::npos) << "the other settings stay";

    ASSERT_TRUE(forgetServer(folder.path()));
    EXPECT_FALSE(readServerSettings(folder.path())->has_value());
    EXPECT_NE(test::readBytes(folder.file("unins000.dll")).find("Utente=cassa1"), std::string::npos)
        << "the rest is kept for the next time";
}

TEST(ServerSettings, WhatIsWrongWithTypedSettingsIsSaid) {
    struct Case {
        std::string what;
        void (*edit)(ServerShop&);
        std::string problem;  // a piece of the message; empty: no problem
    };
    const std::vector<Case> cases = {
        {"as typed", [](ServerShop&) {}, ""},
        {"no port: the usual one", [](ServerShop& s) { s.address.port.clear(); }, ""},
        {"no address", [](ServerShop& s) { s.address.host = "  "; }, "indirizzo"},
        {"a port of letters", [](ServerShop& s) { s.address.port = "54a"; }, "porta"},
        {"a port too high", [](ServerShop& s) { s.address.port = "70000"; }, "porta"},
        {"no database", [](ServerShop& s) { s.address.database.clear(); }, "database"},
        {"no user", [](ServerShop& s) { s.address.user.clear(); }, "utente"},
        {"a password too long", [](ServerShop& s) { s.address.password = std::string(256, 'x'); }, "255"},
        {"a shop with capitals", [](ServerShop& s) { s.schema = "Negozio"; }, "nome del negozio"},
        {"a shop with blanks", [](ServerShop& s) { s.schema = "negozio centro"; }, "nome del negozio"},
        {"a shop starting with a digit", [](ServerShop& s) { s.schema = "1negozio"; }, "nome del negozio"},
        {"a shop of the server's own", [](ServerShop& s) { s.schema = "pg_catalog"; }, "nome del negozio"},
        {"a shop name too long", [](ServerShop& s) { s.schema = std::string(41, 'a'); }, "nome del negozio"},
    };
    for (const Case& c : cases) {
        ServerShop shop = sample();
        c.edit(shop);
        const auto problem = serverSettingsProblem(shop);
        if (c.problem.empty()) {
            EXPECT_FALSE(problem.has_value()) << c.what << ": " << *problem;
        } else {
            ASSERT_TRUE(problem.has_value()) << c.what;
            EXPECT_NE(problem->find(c.problem), std::string::npos) << c.what << ": " << *problem;
        }
    }
}

}  // namespace
}  // namespace scortavia
