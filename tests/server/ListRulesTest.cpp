// The rules of the lists, as one table of cases run on both engines: a server applies what it can of a
// list's conditions before the records travel, and the lists must come out the same as from the folder.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "movements/MovementDirection.h"
#include "movements/MovementLists.h"
#include "movements/StockPicker.h"
#include "products/ProductLists.h"
#include "storage/ArchiveEngine.h"
#include "summaries/Summaries.h"
#include "support/Records.h"
#include "support/TempFolder.h"
#include "support/TestServer.h"

namespace scortavia {
namespace {

enum class Engine { Folder, Server };
using P = ProductLayout;
using M = MovementLayout;

// A field's stored bytes set as another program might leave them: `stored` exactly, padding after it.
template <class Record>
Record withStored(Record r, typename Record::Field field, const std::string& stored, const std::string& after = {}) {
    std::uint8_t* at = r.bytes().data() + Record::Info::offset(field);
    at[0] = static_cast<std::uint8_t>(stored.size());
    std::memcpy(at + 1, stored.data(), stored.size());
    std::memcpy(at + 1 + stored.size(), after.data(), after.size());
    return r;
}

ProductRecord product(const std::string& code, const std::string& name, const std::string& stock,
                      const std::string& level, const std::string& paid) {
    return test::product(code, name, {{P::Giacenza, stock}, {P::Avviso, level}, {P::Pagato, paid}});
}

// Every way a record can meet or miss a rule, or be one the rule cannot judge.
std::vector<ProductRecord> products() {
    return {
        product("P01", "Vite inox", "5", "10", "No"),
        product("P02", "VITE ottone", "20", "10", "Sì"),
        product("P03", "dado è", "3,5", "3,50", "No"),
        product("P04", "rondella", "abc", "5", "No"),         // a stock that is no number
        product("P05", "bullone", "1.000", "5", "Sì"),        // a point is no decimal comma
        product("P06", "perno", "-2", "0", "no"),             // a sign; "no" is not "No"
        product("P07", "chiodo", "+7", "10", "Sì"),           // a plus sign the server leaves to the program
        product("P08", "tassello", "1234567890", "9", "Sì"),  // too many digits for the server to compare
        withStored(product("P09", "vite speciale", "1", "2", "Sì"), P::Nome, "vite speciale", "old"),
        withStored(product("P10", "staffa", " 7 ", "10", "Sì"), P::Pagato, "No "),
        withStored(product("P11", "gancio", "0", "1", "Sì"), P::Giacenza, "0\t"),
    };
}

std::vector<MovementRecord> movements() {
    return {
        test::movement("Ferramenta Rossi", "P01", {{M::DaSaldare, "Sì"}, {M::NumDoc, "F-12"}}),
        test::movement("Rossi & figli", "P02", {{M::DaSaldare, "No"}}),
        test::movement("Bianchi", "P03", {{M::DaSaldare, "sì"}}),
        withStored(test::movement("ROSSI Srl", "P04", {{M::DaSaldare, "Sì"}}), M::Fornitore, "ROSSI Srl", "xyz"),
        withStored(test::movement("Verdi", "p05"), M::Fornitore, "Verdi", "rossi"),
    };
}

SearchTexts productSearch(std::initializer_list<std::pair<P::Field, std::string>> typed) {
    SearchTexts texts;
    for (const auto& [field, text] : typed) {
        for (std::size_t i = 0; i < kSearchFields.size(); ++i) {
            if (kSearchFields[i] == field) texts[i] = text;
        }
    }
    return texts;
}

MovementSearchTexts movementSearch(std::initializer_list<std::pair<M::Field, std::string>> typed) {
    MovementSearchTexts texts;
    for (const auto& [field, text] : typed) {
        for (std::size_t i = 0; i < kMovementSearchFields.size(); ++i) {
            if (kMovementSearchFields[i] == field) texts[i] = text;
        }
    }
    return texts;
}

struct ListCase {
    std::string name;
    // Fills the list from the program folder; the skipped records where the list counts them.
    std::function<Status(const std::filesystem::path& folder, RowList& rows, SkippedRecords& skipped)> fill;
    std::vector<std::string> codes;  // the codes of the listed records, in any order
    std::size_t skipped = 0;
};

std::vector<ListCase> cases() {
    const auto products = [](auto fill) {
        return [fill](const std::filesystem::path& folder, RowList& rows, SkippedRecords& skipped) {
            return fill(folder / "Magazzino.pro", rows, skipped);
        };
    };
    const auto search = [products](SearchTexts texts) {
        return products([texts](const auto& archive, RowList& rows, SkippedRecords&) {
            return fillSearchList(archive, texts, rows);
        });
    };
    const auto movementList = [](auto fill) {
        return [fill](const std::filesystem::path& folder, RowList& rows, SkippedRecords&) {
            return fill(folder / "2024.ods", rows);
        };
    };
    const auto movementFind = [movementList](MovementSearchTexts texts) {
        return movementList(
            [texts](const auto& archive, RowList& rows) { return fillMovementSearchList(archive, texts, rows); });
    };
    return {
        {"under stock, with the records no rule can read counted",
         products([](const auto& a, RowList& rows, SkippedRecords& s) { return fillUnderStockList(a, rows, &s); }),
         {"P01", "P03", "P06", "P07", "P09", "P10", "P11"},
         2},
        {"unpaid",
         products([](const auto& a, RowList& rows, SkippedRecords&) { return fillUnpaidList(a, rows); }),
         {"P01", "P03", "P04", "P10"}},
        {"one field, A to Z folded", search(productSearch({{P::Nome, "vite"}})), {"P01", "P02", "P09"}},
        {"a text found only after the stored text is no match", search(productSearch({{P::Nome, "speciale old"}})), {}},
        {"two fields, both must hold",
         search(productSearch({{P::Codice, "p0"}, {P::Nome, "VITE"}})),
         {"P01", "P02", "P09"}},
        {"accented letters are not folded", search(productSearch({{P::Nome, "DADO È"}})), {}},
        {"accented letters as typed", search(productSearch({{P::Nome, "dado è"}})), {"P03"}},
        {"a text of blanks only matches where it occurs",
         search(productSearch({{P::Nome, "  "}, {P::Codice, "P01"}})),
         {"P01"}},
        {"nothing typed lists all",
         search(productSearch({})),
         {"P01", "P02", "P03", "P04", "P05", "P06", "P07", "P08", "P09", "P10", "P11"}},
        {"the picker of goods-out, the selling price at the end of each row",
         products([](const auto& a, RowList& rows, SkippedRecords&) {
             return fillPickerList(a, movementDirection(Direction::GoodsOut), rows);
         }),
         {"P01", "P02", "P03", "P04", "P05", "P06", "P07", "P08", "P09", "P10", "P11"}},
        {"open accounts", movementList(&fillOpenAccountsList), {"P01", "P04"}},
        {"a movement search", movementFind(movementSearch({{M::Fornitore, "rossi"}})), {"P01", "P02", "P04"}},
        {"a movement search on two fields",
         movementFind(movementSearch({{M::Fornitore, "rossi"}, {M::NumDoc, "f-1"}})),
         {"P01"}},
    };
}

class ListRules : public testing::TestWithParam<Engine> {
protected:
    test::TempFolder folder;
    // The same records in a folder of files, whose lists every engine must give row for row.
    test::TempFolder reference;
    std::optional<test::TestShop> shop;

    void SetUp() override {
        if (GetParam() == Engine::Server) {
            shop.emplace();
            useArchiveEngine(folder.path(), shop->connect());
        }
        append("Magazzino.pro", ProductRecord::kSize, products());
        append("2024.ods", MovementRecord::kSize, movements());
        test::writeBytes(reference.file("Magazzino.pro"), test::archiveBytes(products()));
        test::writeBytes(reference.file("2024.ods"), test::archiveBytes(movements()));
    }
    void TearDown() override { useArchiveEngine(folder.path(), nullptr); }

    template <class Record>
    void append(const std::string& name, std::size_t size, const std::vector<Record>& records) {
        auto archive = openArchive(folder.file(name), size);
        ASSERT_TRUE(archive.ok()) << archive.error();
        const std::string bytes = test::archiveBytes(records);
        ASSERT_TRUE((*archive)->appendBatch({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}).ok());
    }
};

TEST_P(ListRules, EveryListComesOutAsItsRuleSays) {
    for (const ListCase& c : cases()) {
        RowList rows;
        SkippedRecords skipped;
        ASSERT_TRUE(c.fill(folder.path(), rows, skipped)) << c.name;
        EXPECT_EQ(rows.size(), c.codes.size()) << c.name;
        for (const std::string& code : c.codes) {
            bool found = false;
            for (std::size_t i = 0; i < rows.size(); ++i) found = found || rows[i].find(code) != std::string_view::npos;
            EXPECT_TRUE(found) << c.name << ": " << code;
        }
        EXPECT_EQ(skipped.count, c.skipped) << c.name;
        RowList expected;
        SkippedRecords alsoSkipped;
        ASSERT_TRUE(c.fill(reference.path(), expected, alsoSkipped)) << c.name;
        EXPECT_EQ(rows.toVector(), expected.toVector()) << c.name << ": the rows as the folder's files give them";
        EXPECT_EQ(skipped.firstPositions, alsoSkipped.firstPositions) << c.name;
    }
}

// The summaries read every record on either engine, and agree.
TEST_P(ListRules, SummariesAndTheInventoryComeOutTheSame) {
    Inventory inventory;
    ASSERT_TRUE(fillInventory(folder.file("Magazzino.pro"), "", inventory));
    EXPECT_EQ(inventory.rows.size(), 9u);
    EXPECT_EQ(inventory.skipped.count, 2u);
    EXPECT_EQ(inventory.total, "€ 1275,50");
    MovementSummary summary;
    ASSERT_TRUE(fillMovementSummary(folder.file("2024.ods"), {"p0", {2024, 1, 1}, {2024, 12, 31}}, summary));
    EXPECT_EQ(summary.rows.size(), 5u);
    EXPECT_EQ(summary.total, "€ 5,00");

    Inventory expectedInventory;
    ASSERT_TRUE(fillInventory(reference.file("Magazzino.pro"), "", expectedInventory));
    EXPECT_EQ(inventory.rows.toVector(), expectedInventory.rows.toVector());
    EXPECT_EQ(inventory.skipped.firstPositions, expectedInventory.skipped.firstPositions);
    MovementSummary expectedSummary;
    ASSERT_TRUE(fillMovementSummary(reference.file("2024.ods"), {"p0", {2024, 1, 1}, {2024, 12, 31}}, expectedSummary));
    EXPECT_EQ(summary.rows.toVector(), expectedSummary.rows.toVector());
    EXPECT_EQ(summary.codeTitle, expectedSummary.codeTitle);
}

// What the server applies really stays there: of a thousand products only those that may be listed
// travel, and those kept with their exact bytes.
TEST(ServerFilter, OnlyTheRecordsThatMayBeListedTravel) {
    const test::TestShop shop;
    auto engine = shop.connect();
    auto archive = engine->open("Magazzino.pro", ProductRecord::kSize);
    ASSERT_TRUE(archive.ok());
    std::string bytes;
    for (int i = 0; i < 1000; ++i) {
        ProductRecord r =
            product("C" + std::to_string(i), i % 300 == 7 ? "Vite" : "Dado", "5", i == 500 ? "x" : "1", "Sì");
        if (i == 999) r = withStored(r, P::Nome, "Dado", "old");
        bytes += test::archiveBytes(std::vector{r});
    }
    ASSERT_TRUE((*archive)->appendBatch({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}).ok());
    const auto visited = [&](const RecordFilter& filter) {
        std::vector<std::int64_t> indexes;
        EXPECT_TRUE((*archive)->scanWhere(filter, [&](const std::uint8_t*, std::int64_t index) {
            indexes.push_back(index);
            return true;
        }));
        return indexes;
    };
    EXPECT_EQ(visited({{RecordCondition::Kind::ContainsFoldedAZ, P::Nome, "VITE"}}),
              (std::vector<std::int64_t>{7, 307, 607, 907, 999}));
    EXPECT_EQ(visited({{RecordCondition::Kind::NumberAtMost, P::Giacenza, {}, P::Avviso}}),
              (std::vector<std::int64_t>{500, 999}));
    EXPECT_EQ(visited({}).size(), 1000u);
}

INSTANTIATE_TEST_SUITE_P(Engines, ListRules, testing::Values(Engine::Folder, Engine::Server),
                         [](const testing::TestParamInfo<Engine>& engine) {
                             return engine.param == Engine::Folder ? "Folder" : "Server";
                         });

}  // namespace
}  // namespace scortavia
