// Moving a shop from its folder to a server and back, whole or not at all.
#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <string>

#include "shopserver/ShopTransfer.h"
#include "storage/ArchiveEngine.h"
#include "storage/CardFiles.h"
#include "storage/MovementRecord.h"
#include "storage/PriceListPage.h"
#include "storage/ProductRecord.h"
#include "support/Processes.h"
#include "support/Records.h"
#include "support/TempFolder.h"
#include "support/TestServer.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

// Path → bytes of every data file of a folder but the settings.
std::map<std::string, std::string> dataOf(const fs::path& folder) {
    std::map<std::string, std::string> out;
    auto files = listDataFiles(folder);
    EXPECT_TRUE(files.ok()) << files.error();
    if (!files) return out;
    for (const DataFile& f : *files) {
        if (f.kind != DataFileKind::Settings) out[f.path] = test::readBytes(folder / f.path);
    }
    return out;
}

template <class Record>
std::string bytesOf(const Record& r) {
    return std::string(reinterpret_cast<const char*>(r.bytes().data()), r.bytes().size());
}

class ShopTransferTest : public testing::Test {
protected:
    test::TempFolder source;
    test::TempFolder elsewhere;
    std::string schema = test::freshSchemaName("moved");
    ServerShop shop{test::testServer(), schema};

    ~ShopTransferTest() override {
        auto admin = PgConnection::open(test::testServer());
        if (admin) {
            for (const std::string& s : {schema, schema + "__trasferimento"})
                (void)admin->runScript("DROP SCHEMA IF EXISTS " + quotedName(s) + " CASCADE");
        }
    }

    // A folder with every kind of data the program keeps, and records as odd as other programs leave.
    void fillSource() {
        ProductRecord odd = test::product("P2", "Caffè “speciale” €");
        odd.bytes()[ProductRecord::Info::offset(ProductLayout::Nome) + 40] = 'x';  // left after the text
        std::string products = bytesOf(test::product("P1")) + bytesOf(odd);
        for (int i = 3; i <= 40; ++i) products += bytesOf(test::product("P" + std::to_string(i)));
        test::writeBytes(source.file("Magazzino.pro"), products);
        test::writeBytes(source.file("2024.odc"),
                         bytesOf(test::movement("Fornitore Srl", "P1")) + bytesOf(test::movement("Ditta è", "P2")));
        test::writeBytes(source.file("2024.ods"), bytesOf(test::movement("Cliente", "P1")));
        test::writeBytes(source.file("2025.ods"), "");  // opened once, never written
        PriceListPage page;
        page.setText(0, PriceListSlot::Nome, "Pàgina uno");
        test::writeBytes(source.file("Estate è.lis"), bytesOf(page) + bytesOf(PriceListPage()));
        test::writeBytes(source.file("1.jpg"), "\xFF\xD8\xFF photo one");
        test::writeBytes(source.file("12.jpg"), std::string("\xFF\xD8\xFF\0\0 twelve", 14));
        fs::create_directories(source.file("Documenti_Allegati/2024"));
        test::writeBytes(source.file("Documenti_Allegati/Fattura n° 7 – perché.pdf"), std::string(100000, '\x25'));
        test::writeBytes(source.file("Documenti_Allegati/2024/bolla.txt"), "bolla");
        test::writeBytes(source.file("Documenti_Allegati/caff\xE8 vecchio.txt"), "a name from an old system");
        fs::create_directories(source.file("Foto_Listino"));
        test::writeBytes(source.file("Foto_Listino/Estate è_Foto_A_1.jpg"), "list photo");
        test::writeBytes(source.file("unins000.dll"), "[Accesso]\r\nValore=41\r\n");
    }
};

TEST_F(ShopTransferTest, AFolderGoesToTheServerAndComesBackByteForByte) {
    fillSource();
    const auto before = dataOf(source.path());
    std::uint64_t lastDone = 0, lastTotal = 0;
    const auto moved = transferToServer(source.path(), shop, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_GE(done, lastDone);
        lastDone = done;
        lastTotal = total;
        return true;
    });
    ASSERT_TRUE(moved.ok()) << moved.error();
    EXPECT_FALSE(moved->cancelled);
    EXPECT_EQ(moved->counts.products, 40u);
    EXPECT_EQ(moved->counts.movements, 3u);
    EXPECT_EQ(moved->counts.pages, 2u);
    EXPECT_EQ(moved->archives, 5u);
    EXPECT_EQ(moved->files, 6u);
    EXPECT_EQ(lastDone, lastTotal);
    EXPECT_EQ(dataOf(source.path()), before) << "the source is only read";

    // The program working on the server finds the shop as it was.
    test::TempFolder till;
    auto engine = ServerEngine::connect(shop);
    ASSERT_TRUE(engine.ok()) << engine.error();
    useArchiveEngine(till.path(), *engine);
    auto products = openArchive(till.file("Magazzino.pro"), ProductRecord::kSize);
    ASSERT_TRUE(products.ok());
    EXPECT_EQ(*(*products)->recordCount(), 40);
    EXPECT_EQ(readCardFile(till.file("Documenti_Allegati/Fattura n° 7 – perché.pdf"), 1 << 20)->value(),
              std::string(100000, '\x25'));
    useArchiveEngine(till.path(), nullptr);

    const fs::path back = elsewhere.file("copia");
    const auto copied = copyToFolder(shop, back);
    ASSERT_TRUE(copied.ok()) << copied.error();
    EXPECT_EQ(copied->counts.products, 40u);
    EXPECT_EQ(dataOf(back), before);
    EXPECT_FALSE(fs::exists(back / "unins000.dll")) << "the settings belong to each installation";
}

TEST_F(ShopTransferTest, AShopThatHoldsDataIsNeverFilledAgain) {
    fillSource();
    ASSERT_TRUE(transferToServer(source.path(), shop).ok());
    test::writeBytes(source.file("Magazzino.pro"), bytesOf(test::product("ONLY")));
    const auto again = transferToServer(source.path(), shop);
    ASSERT_FALSE(again.ok());
    EXPECT_NE(again.error().find("contiene già dei dati"), std::string::npos) << again.error();
    auto engine = ServerEngine::connect(shop);
    ASSERT_TRUE(engine.ok());
    auto products = (*engine)->open("Magazzino.pro", ProductRecord::kSize);
    EXPECT_EQ(*(*products)->recordCount(), 40) << "the shop is as the first transfer left it";
}

TEST_F(ShopTransferTest, AnEmptyShopMadeBeforehandIsFilled) {
    fillSource();
    auto admin = PgConnection::open(test::testServer());
    ASSERT_TRUE(createShopSchema(*admin, schema));
    const auto moved = transferToServer(source.path(), shop);
    ASSERT_TRUE(moved.ok()) << moved.error();
    EXPECT_EQ(moved->counts.products, 40u);
}

// Stopped by the user, or cut off with the process killed, at any point: no shop on the server, the
// folder as it was, and the next transfer goes through.
TEST_F(ShopTransferTest, AStoppedOrKilledTransferLeavesNoShopAndTheFolderAsItWas) {
    fillSource();
    const auto before = dataOf(source.path());
    auto shopExists = [&] {
        auto admin = PgConnection::open(test::testServer());
        auto rows = admin->run("SELECT 1 FROM pg_namespace WHERE nspname = $1", {PgValue::text(schema)});
        return rows && rows->rows() == 1;
    };
    for (const double at : {0.1, 0.5, 0.9}) {
        const auto stopped = transferToServer(source.path(), shop, [&](std::uint64_t done, std::uint64_t total) {
            return done < at * static_cast<double>(total);
        });
        ASSERT_TRUE(stopped.ok()) << stopped.error();
        EXPECT_TRUE(stopped->cancelled) << at;
        EXPECT_FALSE(shopExists()) << "stopped at " << at;

        EXPECT_EQ(test::inChild([&] {
                      (void)transferToServer(source.path(), shop, [&](std::uint64_t done, std::uint64_t total) {
                          if (done >= at * static_cast<double>(total)) raise(SIGKILL);
                          return true;
                      });
                      return 0;
                  }),
                  100)
            << "killed at " << at;
        EXPECT_FALSE(shopExists()) << "killed at " << at;
        EXPECT_EQ(dataOf(source.path()), before);
    }
    const auto moved = transferToServer(source.path(), shop);
    ASSERT_TRUE(moved.ok()) << moved.error();
    EXPECT_EQ(moved->counts.products, 40u);
}

TEST_F(ShopTransferTest, ACopyGoesOnlyIntoAnEmptyFolderAndAppearsOnlyWhole) {
    fillSource();
    ASSERT_TRUE(transferToServer(source.path(), shop).ok());
    fs::create_directories(elsewhere.file("full"));
    test::writeBytes(elsewhere.file("full/something.txt"), "x");
    EXPECT_FALSE(copyToFolder(shop, elsewhere.file("full")).ok());

    const fs::path target = elsewhere.file("copia");
    EXPECT_EQ(test::inChild([&] {
                  (void)copyToFolder(shop, target, [](std::uint64_t done, std::uint64_t total) {
                      if (2 * done >= total) raise(SIGKILL);
                      return true;
                  });
                  return 0;
              }),
              100);
    EXPECT_FALSE(fs::exists(target)) << "a copy cut off is no folder of the shop";
    const auto copied = copyToFolder(shop, target);
    ASSERT_TRUE(copied.ok()) << copied.error();
    EXPECT_EQ(dataOf(target), dataOf(source.path()));
}

TEST_F(ShopTransferTest, ARecordCutShortAtTheEndIsNotMovedAndIsCounted) {
    test::writeBytes(source.file("Magazzino.pro"), bytesOf(test::product("P1")) + std::string(100, '\x7F'));
    const auto moved = transferToServer(source.path(), shop);
    ASSERT_TRUE(moved.ok()) << moved.error();
    EXPECT_EQ(moved->partialRecordBytes, 100u);
    const auto copied = copyToFolder(shop, elsewhere.file("copia"));
    ASSERT_TRUE(copied.ok());
    EXPECT_EQ(test::readBytes(elsewhere.file("copia/Magazzino.pro")), bytesOf(test::product("P1")));
}

}  // namespace
}  // namespace scortavia
