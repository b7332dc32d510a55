#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "movements/MovementLists.h"
#include "summaries/Summaries.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using M = MovementLayout;
using P = ProductLayout;

std::string spaces(std::size_t n) { return std::string(n, ' '); }

// ---- Movement summary ----

// A goods-in year archive of the case's own; it exists only once the case writes it.
class MovementSummaryArchive : public testing::Test {
protected:
    test::TempFolder folder;
    const std::filesystem::path archive = folder.file("2024.odc");

    void withMovements(const std::vector<MovementRecord>& movements) const {
        test::writeBytes(archive, test::archiveBytes(movements));
    }
    static MovementSummaryFilter filter(std::string code, const char* start, const char* end) {
        return {std::move(code), *parseDate(start), *parseDate(end)};
    }
    // The code column of each row, in list order.
    static std::vector<std::string> codes(const RowList& rows) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string_view code = rows[i].substr(rows[i].find("Cod. ") + 5, 18);
            out.emplace_back(code.substr(0, code.find_last_not_of(' ') + 1));
        }
        return out;
    }
};

struct SummaryCase {
    const char* name;
    std::string code;
    const char* start;
    const char* end;
    std::vector<std::string> listedCodes;  // archive order
    std::optional<std::string> codeTitle;
    std::string total;
};

void PrintTo(const SummaryCase& c, std::ostream* os) { *os << c.name; }

class MovementSummaryRule : public MovementSummaryArchive, public testing::WithParamInterface<SummaryCase> {};

TEST_P(MovementSummaryRule, ListsTheMovementsOfThePeriodInArchiveOrder) {
    const SummaryCase& c = GetParam();
    withMovements({
        test::movement("Rossi", "AB12", {{M::Data, "07/03/2024"}, {M::CostoTot, "12,50"}}),
        test::movement("Bianchi", "xab", {{M::Data, "15/03/2024"}, {M::CostoTot, "7,25"}}),
        test::movement("Verdi", "", {{M::Data, "07/03/2024"}, {M::CostoTot, "0,1"}}),
        test::movement("Neri", "ZZ9", {{M::Data, "31/03/2024"}, {M::CostoTot, "0,2"}}),
        test::movement("Gialli", "AB99", {{M::Data, "07/03/2023"}, {M::CostoTot, "100"}}),  // another year
        test::movement("Blu", "ab7", {{M::Data, "01/04/2024"}, {M::CostoTot, "5"}}),
    });
    MovementSummary summary;
    ASSERT_TRUE(fillMovementSummary(archive, filter(c.code, c.start, c.end), summary).ok());
    EXPECT_EQ(codes(summary.rows), c.listedCodes);
    EXPECT_EQ(summary.codeTitle, c.codeTitle);
    EXPECT_EQ(summary.total, c.total);
    EXPECT_TRUE(summary.skipped.empty());
}

const std::string kAll = "Tutti gli articoli";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, MovementSummaryRule,
    testing::Values(
        SummaryCase{"NoFilterListsEmptyCodesToo", "", "01/03/2024", "31/03/2024", {"AB12", "xab", "", "ZZ9"}, kAll,
                    "€ 20,05"},
        SummaryCase{"BlankFilterIsNoFilter", "   ", "01/03/2024", "31/03/2024", {"AB12", "xab", "", "ZZ9"}, kAll,
                    "€ 20,05"},
        SummaryCase{"FilterFoldsAToZAndNeverListsAnEmptyCode", "ab", "01/03/2024", "31/03/2024", {"AB12", "xab"},
                    "ab", "€ 19,75"},
        SummaryCase{"FilterAsTypedTitleTrimmed", " ab", "01/03/2024", "31/03/2024", {}, "ab", "€ 0,00"},
        SummaryCase{"SingleDay", "", "07/03/2024", "07/03/2024", {"AB12", ""}, kAll, "€ 12,60"},
        SummaryCase{"BothEndsIncluded", "", "15/03/2024", "31/03/2024", {"xab", "ZZ9"}, kAll, "€ 7,45"},
        SummaryCase{"PeriodWithNoMovement", "", "01/01/2024", "29/02/2024", {}, kAll, "€ 0,00"},
        SummaryCase{"AnotherYearIsNeverListed", "", "01/01/2024", "31/12/2024", {"AB12", "xab", "", "ZZ9", "ab7"},
                    kAll, "€ 25,05"},
        SummaryCase{"TitleSetOutsideThePeriodToo", "zz", "01/04/2024", "30/04/2024", {}, "zz", "€ 0,00"}),
    [](const testing::TestParamInfo<SummaryCase>& c) { return c.param.name; });
// clang-format on

TEST_F(MovementSummaryArchive, RowsAreTheMovementRows) {
    const MovementRecord movement = test::movement("Rossi", "AB12", {{M::CostoTot, "12,50"}, {M::Quant, "3"}});
    withMovements({movement});
    MovementSummary summary;
    ASSERT_TRUE(fillMovementSummary(archive, filter("", "07/03/2024", "07/03/2024"), summary).ok());
    ASSERT_EQ(summary.rows.toVector(), std::vector<std::string>{movementRow(movement.view())});
}

TEST_F(MovementSummaryArchive, NoRecordWithACodeLeavesTheTitleUnset) {
    MovementSummary summary;
    ASSERT_TRUE(fillMovementSummary(archive, filter("", "01/01/2024", "31/12/2024"), summary).ok());
    EXPECT_EQ(summary.codeTitle, std::nullopt);
    EXPECT_TRUE(summary.rows.empty());
    EXPECT_EQ(summary.total, "€ 0,00");

    withMovements({test::movement("Verdi", "")});
    ASSERT_TRUE(fillMovementSummary(archive, filter("ab", "01/01/2024", "31/12/2024"), summary).ok());
    EXPECT_EQ(summary.codeTitle, std::nullopt);
    EXPECT_TRUE(summary.rows.empty());
}

TEST_F(MovementSummaryArchive, UnreadableDatesAndTotalsAreSkippedAndTheRestListed) {
    withMovements({
        test::movement("Rossi", "A1", {{M::CostoTot, "1,25"}}),
        test::movement("Rossi", "A2", {{M::Data, "31/02/2024"}}),  // 2: no date
        test::movement("Rossi", "A3", {{M::CostoTot, "2,5"}}),
        test::movement("Rossi", "A4", {{M::CostoTot, "dodici"}}),                      // 4: no number
        test::movement("Rossi", "B5", {{M::Data, "ieri"}}),                            // filtered out: not counted
        test::movement("Rossi", "A6", {{M::Data, "07/04/2024"}, {M::CostoTot, "x"}}),  // outside the period
        test::movement("Rossi", "A7", {{M::Data, "07/03/2024"}, {M::CostoTot, "0,25"}}),
    });
    MovementSummary summary;
    ASSERT_TRUE(fillMovementSummary(archive, filter("a", "01/03/2024", "31/03/2024"), summary).ok());
    EXPECT_EQ(codes(summary.rows), (std::vector<std::string>{"A1", "A3", "A7"}));
    EXPECT_EQ(summary.total, "€ 4,00");
    EXPECT_EQ(summary.skipped.count, 2u);
    EXPECT_EQ(summary.skipped.firstPositions, (std::vector<std::int64_t>{2, 4}));
}

TEST_F(MovementSummaryArchive, AnArchiveThatCannotBeReadIsAFailure) {
    std::filesystem::create_directory(archive);
    MovementSummary summary;
    EXPECT_FALSE(fillMovementSummary(archive, filter("", "01/01/2024", "31/12/2024"), summary).ok());
    EXPECT_TRUE(summary.rows.empty());
}

TEST(MovementSummaryFooter, PeriodAndPrintedLines) {
    EXPECT_EQ(intervalText("07/03/2024", "31/03/2024"), "Dal   07/03/2024   al   31/03/2024");
    EXPECT_EQ(summaryFooterLines(" Dal   07/03/2024   al   31/03/2024 ", "3 ", " € 19,75"),
              (std::vector<std::string>{"- - - - - - - - - - - - - - - -",
                                        "INTERVALLO SELEZIONATO:    Dal   07/03/2024   al   31/03/2024",
                                        "NUMERO OPERAZIONI:         3", "IMPORTO TOTALE:            € 19,75"}));
}

// ---- The warning about skipped records ----

struct WarningCase {
    const char* name;
    std::vector<std::int64_t> positions;  // added in order
    bool listHasTotal;
    std::string text;
};

void PrintTo(const WarningCase& c, std::ostream* os) { *os << c.name; }

class SkippedWarning : public testing::TestWithParam<WarningCase> {};

TEST_P(SkippedWarning, SaysHowManyAndWhere) {
    SkippedRecords skipped;
    for (const std::int64_t p : GetParam().positions) skipped.add(p);
    EXPECT_EQ(skippedRecordsWarning(skipped, GetParam().listHasTotal), GetParam().text);
}

const std::string kTotalLine = "\n\r\n\rIl totale riguarda soltanto le voci elencate.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, SkippedWarning,
    testing::Values(
        WarningCase{"One", {12}, true,
                    "Attenzione: 1 scheda non è stata inclusa perché contiene dati non leggibili (posizione in "
                    "archivio: 12)." + kTotalLine},
        WarningCase{"Several", {12, 57, 90}, true,
                    "Attenzione: 3 schede non sono state incluse perché contengono dati non leggibili (posizioni in "
                    "archivio: 12, 57, 90)." + kTotalLine},
        WarningCase{"MoreThanShown", {1, 2, 3, 4, 5, 6, 7}, true,
                    "Attenzione: 7 schede non sono state incluse perché contengono dati non leggibili (posizioni in "
                    "archivio: 1, 2, 3, 4, 5, …)." + kTotalLine},
        WarningCase{"ListWithoutATotal", {4, 9}, false,
                    "Attenzione: 2 schede non sono state incluse perché contengono dati non leggibili (posizioni in "
                    "archivio: 4, 9)."}),
    [](const testing::TestParamInfo<WarningCase>& c) { return c.param.name; });
// clang-format on

// ---- Inventory ----

class InventoryArchive : public test::ProductArchiveFixture {
protected:
    void withShop() {
        withProducts({
            test::product("Z1", "Acqua", {{P::Tipologia, "Bevande"}, {P::Giacenza, "3"}, {P::Costo, "2,50"}}),
            test::product("b2", "Tè", {{P::Tipologia, "BEVANDE CALDE"}, {P::Giacenza, "0"}, {P::Costo, "4,00"}}),
            test::product("A3", "Vite", {{P::Tipologia, ""}, {P::Giacenza, "10"}, {P::Costo, "0,1"}}),
            test::product("C4", "Succo", {{P::Tipologia, "Alimentari"}, {P::Giacenza, "-2"}, {P::Costo, "1,25"}}),
        });
    }
    static std::vector<std::string> codes(const RowList& rows) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string_view code = rows[i].substr(0, 25);
            out.emplace_back(code.substr(0, code.find_last_not_of(' ') + 1));
        }
        return out;
    }
};

struct InventoryCase {
    const char* name;
    std::string category;
    std::vector<std::string> listedCodes;  // sorted
    std::optional<std::string> categoryTitle;
    std::string total;
};

void PrintTo(const InventoryCase& c, std::ostream* os) { *os << c.name; }

class InventoryRule : public InventoryArchive, public testing::WithParamInterface<InventoryCase> {};

TEST_P(InventoryRule, ListsTheCategorySortedWithItsValue) {
    const InventoryCase& c = GetParam();
    withShop();
    Inventory inventory;
    ASSERT_TRUE(fillInventory(archive, c.category, inventory).ok());
    EXPECT_EQ(codes(inventory.rows), c.listedCodes);
    EXPECT_EQ(inventory.categoryTitle, c.categoryTitle);
    EXPECT_EQ(inventory.total, c.total);
    EXPECT_TRUE(inventory.skipped.empty());
}

const std::string kAllProducts = "Tutti gli articoli in magazzino.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, InventoryRule,
    testing::Values(
        // 7,5 + 0 + 1 - 2,5: a negative stock lowers the total.
        InventoryCase{"NoFilterListsEmptyCategoriesToo", "", {"A3", "b2", "C4", "Z1"}, kAllProducts, "€ 6,00"},
        InventoryCase{"BlankFilterIsNoFilter", "  ", {"A3", "b2", "C4", "Z1"}, kAllProducts, "€ 6,00"},
        InventoryCase{"FilterFoldsAToZ", "bev", {"b2", "Z1"}, "bev", "€ 7,50"},
        InventoryCase{"ZeroStockIsListed", "CALDE", {"b2"}, "CALDE", "€ 0,00"},
        InventoryCase{"NothingMatches", " xyz ", {}, "xyz", "€ 0,00"}),
    [](const testing::TestParamInfo<InventoryCase>& c) { return c.param.name; });
// clang-format on

TEST(InventoryRow, ColumnsThenTheUnroundedValue) {
    const ProductRecord water =
        test::product("Z1", "Acqua\tfrizzante",
                      {{P::Giacenza, "3"}, {P::Costo, "2,50"}, {P::DataSca, "31/12/2026"}, {P::Tipologia, "Bevande"}});
    std::string row = "prima|";
    ASSERT_TRUE(appendInventoryRow(row, water.view()));
    EXPECT_EQ(row, "prima|Z1" + spaces(23) + "  Acqua frizzante" + spaces(27) + "  Scad. 31/12/2026  Costo: € 2,50" +
                       spaces(8) + "  Giacenza: 3" + spaces(9) + "  Valore: € 7,5");

    for (const auto& [stock, value] : {std::pair{"0", "  Valore: € 0"}, std::pair{"-2", "  Valore: € -5"}}) {
        std::string other;
        ASSERT_TRUE(appendInventoryRow(other, test::withFields(water, {{P::Giacenza, stock}}).view()));
        EXPECT_TRUE(other.ends_with(value)) << other;
    }
    for (const auto& bad :
         {test::withFields(water, {{P::Giacenza, "tre"}}), test::withFields(water, {{P::Costo, ""}})}) {
        std::string untouched = "prima|";
        EXPECT_FALSE(appendInventoryRow(untouched, bad.view()));
        EXPECT_EQ(untouched, "prima|");
    }
}

TEST_F(InventoryArchive, UnreadableStockOrCostIsSkippedAndTheRestListed) {
    withProducts({
        test::product("A1", "Prodotto", {{P::Giacenza, "2"}, {P::Costo, "1,10"}}),
        test::product("A2", "Prodotto", {{P::Giacenza, "tre"}}),  // 2
        test::product("A3", "Prodotto", {{P::Giacenza, "1"}, {P::Costo, "0,15"}}),
        test::product("A4", "Prodotto", {{P::Costo, "1.50"}}),                        // 4
        test::product("B5", "Prodotto", {{P::Tipologia, "Altro"}, {P::Costo, "x"}}),  // filtered out: not counted
    });
    Inventory inventory;
    ASSERT_TRUE(fillInventory(archive, "vari", inventory).ok());
    EXPECT_EQ(codes(inventory.rows), (std::vector<std::string>{"A1", "A3"}));
    EXPECT_EQ(inventory.total, "€ 2,35");
    EXPECT_EQ(inventory.skipped.count, 2u);
    EXPECT_EQ(inventory.skipped.firstPositions, (std::vector<std::int64_t>{2, 4}));
}

TEST_F(InventoryArchive, EmptyOrUnreadableArchive) {
    withProducts({});
    Inventory inventory;
    ASSERT_TRUE(fillInventory(archive, "", inventory).ok());
    EXPECT_TRUE(inventory.rows.empty());
    EXPECT_EQ(inventory.categoryTitle, std::nullopt);
    EXPECT_EQ(inventory.total, "€ 0,00");

    std::filesystem::remove(archive);
    std::filesystem::create_directory(archive);
    EXPECT_FALSE(fillInventory(archive, "", inventory).ok());
    EXPECT_TRUE(inventory.rows.empty());
    EXPECT_EQ(inventory.partialTotal, "0,00");
}

}  // namespace
}  // namespace scortavia
