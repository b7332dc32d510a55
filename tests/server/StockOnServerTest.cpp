// Two tills on one server selling and taking in one product at the same time: every move counts, as it
// does on a shared folder.
#include <gtest/gtest.h>

#include "movements/MovementDirection.h"
#include "movements/StockPicker.h"
#include "storage/ArchiveEngine.h"
#include "support/Processes.h"
#include "support/Records.h"
#include "support/TempFolder.h"
#include "support/TestServer.h"

namespace scortavia {
namespace {

TEST(StockOnServer, TwoTillsPickingOneProductAHundredTimesEachEndExact) {
    const test::TestShop shop;
    test::TempFolder folder;
    // Held here too, so that a child replacing it never closes the connection it shares with this process.
    const auto engine = shop.connect();
    useArchiveEngine(folder.path(), engine);
    const auto archive = folder.file("Magazzino.pro");
    {
        auto opened = openArchive(archive, ProductRecord::kSize);
        ASSERT_TRUE(opened.ok());
        const std::string bytes = test::archiveBytes(
            std::vector{test::product("VT-00"), test::product("VT-01", "Vite", {{ProductLayout::Giacenza, "0"}})});
        ASSERT_TRUE((*opened)->appendBatch({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}).ok());
    }
    constexpr int kMoves = 100;
    ASSERT_TRUE(test::allInChildren(2, [&](int n) {
        useArchiveEngine(folder.path(), shop.connect());  // a connection of its own, as a till has
        const MovementDirection& direction = movementDirection(n == 0 ? Direction::GoodsIn : Direction::GoodsOut);
        for (int i = 0; i < kMoves; ++i) {
            if (moveProductStock(archive, 2, "VT-01", n == 0 ? "2" : "1", direction).outcome !=
                StockMoveOutcome::Moved) {
                return 1;
            }
        }
        return 0;
    }));
    auto opened = openArchive(archive, ProductRecord::kSize);
    ASSERT_TRUE(opened.ok()) << opened.error();
    ProductRecord r;
    ASSERT_TRUE((*opened)->readAt(1, r.bytes()));
    EXPECT_EQ(r.text(ProductLayout::Giacenza), "100");  // +2 × 100 − 1 × 100
    ASSERT_TRUE((*opened)->readAt(0, r.bytes()));
    EXPECT_EQ(r.text(ProductLayout::Codice), "VT-00") << "the other product untouched";
    useArchiveEngine(folder.path(), nullptr);
}

}  // namespace
}  // namespace scortavia
