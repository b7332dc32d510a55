#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "support/ImportSheets.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;
using P = ProductLayout;
using test::csvRow;
using test::ImportArchive;
using test::kHeader;
using test::kindsOf;
using test::numberedCsv;
using test::previewOf;

// ---- Every row as it will be stored ----

struct RowCase {
    const char* name;
    std::string row;
    RowStatus status;
    std::vector<ProblemKind> problems;
    P::Field field;      // a field to check
    std::string stored;  // what the record holds there
};

std::ostream& operator<<(std::ostream& out, const RowCase& c) { return out << c.name; }

class ImportRows : public testing::TestWithParam<RowCase> {};

TEST_P(ImportRows, AreStoredAsTheCardStoresThemAndMarked) {
    const RowCase& c = GetParam();
    const ImportPreview preview = previewOf(std::string(kHeader) + c.row);
    ASSERT_EQ(preview.rowCount(), 1u);
    EXPECT_EQ(preview.status(0), c.status);
    EXPECT_EQ(kindsOf(preview, 0), c.problems);
    EXPECT_EQ(preview.text(0, c.field), c.stored);
    if (c.status != RowStatus::Refused) {
        EXPECT_EQ(preview.record(0).text(c.field), c.stored);
    }
    for (const RowProblem& p : preview.problems(0)) {
        EXPECT_TRUE(preview.flagged(0, static_cast<P::Field>(p.field)));
        EXPECT_FALSE(problemText(p, preview, 0, ArchiveDuplicates::Skip).empty());
    }
}

const std::string kLongName(60, 'n');

INSTANTIATE_TEST_SUITE_P(
    Rows, ImportRows,
    testing::Values(
        RowCase{"Ready", csvRow(), RowStatus::Ready, {}, P::Costo, "1,50"},
        RowCase{"UnmappedFieldsTakeTheCardsDefaults", csvRow(), RowStatus::Ready, {}, P::Avviso, "0"},
        RowCase{"MissingName", csvRow("A1", "1,50", " "), RowStatus::Refused, {ProblemKind::Missing}, P::Nome, ""},
        RowCase{"BlankCost", csvRow("A1", ""), RowStatus::Refused, {ProblemKind::Missing}, P::Costo, "0,00"},
        // Listed in the card's order: code, cost, name, appearance, category, features, price.
        RowCase{"EverythingMissing",
                ";;;;;;;;;\n;;;;;;;;;boh\n",
                RowStatus::Refused,
                {ProblemKind::Missing, ProblemKind::Missing, ProblemKind::Missing, ProblemKind::Missing,
                 ProblemKind::Missing, ProblemKind::Missing, ProblemKind::Missing, ProblemKind::BadFlag},
                P::Pagato,
                "No"},
        RowCase{
            "CostNotANumber", csvRow("A1", "dodici"), RowStatus::Refused, {ProblemKind::NotNumber}, P::Costo, "dodici"},
        RowCase{"StockTheFieldCannotHold",
                csvRow("A1", "1,50", "Vite", "12000"),
                RowStatus::Refused,
                {ProblemKind::NumberTooLong},
                P::Giacenza,
                "12000"},
        RowCase{"NegativeStockTooLong",
                csvRow("A1", "1,50", "Vite", "-1000"),
                RowStatus::Refused,
                {ProblemKind::NumberTooLong},
                P::Giacenza,
                "-1000"},
        RowCase{"PriceTheFieldCannotHold",
                csvRow("A1", "1,50", "Vite", "1", "S", "F", "M", "", "1234567890123"),
                RowStatus::Refused,
                {ProblemKind::NumberTooLong},
                P::Prezzo,
                "1234567890123,00"},
        RowCase{"MoneyRoundedAsTheCardRounds",
                csvRow("A1", "5,555"),
                RowStatus::Warning,
                {ProblemKind::Rounded},
                P::Costo,
                "5,55"},
        RowCase{"StockRoundedToAWholeNumber",
                csvRow("A1", "1,50", "Vite", "12,5"),
                RowStatus::Warning,
                {ProblemKind::Rounded},
                P::Giacenza,
                "13"},
        RowCase{
            "MoneyWrittenWithoutItsDecimalsIsNoWarning", csvRow("A1", "12,5"), RowStatus::Ready, {}, P::Costo, "12,50"},
        RowCase{"EuroSignAndThousandsDots", csvRow("A1", "€ 1.250,00"), RowStatus::Ready, {}, P::Costo, "1250,00"},
        RowCase{"BlankStockIsZero", csvRow("A1", "1,50", "Vite", ""), RowStatus::Ready, {}, P::Giacenza, "0"},
        RowCase{"TextLongerThanItsField",
                csvRow("A1", "1,50", kLongName),
                RowStatus::Warning,
                {ProblemKind::Cut},
                P::Nome,
                std::string(50, 'n')},
        RowCase{"CharacterTheArchiveCannotHold",
                csvRow("A1", "1,50", "Vite 漢"),
                RowStatus::Warning,
                {ProblemKind::Replaced},
                P::Nome,
                "Vite ?"},
        RowCase{"LineBreakInsideACell",
                csvRow("A1", "1,50", "\"Vite\nzincata\""),
                RowStatus::Ready,
                {},
                P::Nome,
                "Vite zincata"},
        RowCase{"VerticalTabInsideACell",
                csvRow("A1", "1,50", "\"Vite\vzincata\""),
                RowStatus::Ready,
                {},
                P::Nome,
                "Vite zincata"},
        RowCase{"DueDateInAnotherForm",
                csvRow("A1", "1,50", "Vite", "1", "S", "F", "M", "5/3/27"),
                RowStatus::Ready,
                {},
                P::DataSca,
                "05/03/2027"},
        RowCase{"IsoDueDate",
                csvRow("A1", "1,50", "Vite", "1", "S", "F", "M", "2028-02-29 00:00:00"),
                RowStatus::Ready,
                {},
                P::DataSca,
                "29/02/2028"},
        RowCase{"DueDateThatIsNoDate",
                csvRow("A1", "1,50", "Vite", "1", "S", "F", "M", "31/02/2027"),
                RowStatus::Warning,
                {ProblemKind::BadDate},
                P::DataSca,
                ""},
        RowCase{"PaidYes",
                csvRow("A1", "1,50", "Vite", "1", "S", "F", "M", "", "2,00", "sì"),
                RowStatus::Ready,
                {},
                P::Pagato,
                "Sì"},
        RowCase{"PaidNeitherYesNorNo",
                csvRow("A1", "1,50", "Vite", "1", "S", "F", "M", "", "2,00", "forse"),
                RowStatus::Warning,
                {ProblemKind::BadFlag},
                P::Pagato,
                "No"}),
    [](const testing::TestParamInfo<RowCase>& c) { return std::string(c.param.name); });

TEST(ImportRows, ACostColumnNotInTheFileTakesTheNewCardsZero) {
    const ImportPreview preview = previewOf(
        "Codice;Nome;Aspetto;Categoria;Caratteristiche;Prezzo\n"
        "A1;Vite;Scatola;Ferramenta;M6;2,00\n");
    ASSERT_EQ(preview.rowCount(), 1u);
    EXPECT_EQ(preview.status(0), RowStatus::Ready);
    EXPECT_EQ(preview.text(0, P::Costo), "0,00");
    EXPECT_EQ(preview.text(0, P::Pagato), "No");
}

// ---- The decimal separator of the file ----

struct DecimalCase {
    const char* name;
    std::vector<std::string> costs;
    bool decimalPoint;
    std::vector<std::string> stored;  // empty: refused as no number
};

std::ostream& operator<<(std::ostream& out, const DecimalCase& c) { return out << c.name; }

class ImportDecimals : public testing::TestWithParam<DecimalCase> {};

TEST_P(ImportDecimals, TheFullStopIsDecimalOnlyWhenTheFileClearlySaysSo) {
    const DecimalCase& c = GetParam();
    std::string csv(kHeader);
    // The price column says the same, so every number of the file agrees.
    for (std::size_t i = 0; i < c.costs.size(); ++i) {
        csv += csvRow("A" + std::to_string(i), c.costs[i], "Vite", "10", "Scatola", "Ferramenta", "M6", "", c.costs[i]);
    }
    const ImportPreview preview = previewOf(csv);
    EXPECT_EQ(preview.decimalPoint(), c.decimalPoint);
    ASSERT_EQ(preview.rowCount(), c.costs.size());
    for (std::size_t i = 0; i < c.costs.size(); ++i) {
        if (c.stored[i].empty()) {
            EXPECT_EQ(preview.status(i), RowStatus::Refused) << c.costs[i];
            EXPECT_EQ(kindsOf(preview, i).at(0), ProblemKind::NotNumber) << c.costs[i];
        } else {
            EXPECT_EQ(preview.text(i, P::Costo), c.stored[i]) << c.costs[i];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportDecimals,
    testing::Values(
        DecimalCase{"FullStopFile", {"12.50", "3.5", "1,250.00", "7"}, true, {"12,50", "3,50", "1250,00", "7,00"}},
        DecimalCase{"CommaFile", {"12,50", "1.250", "1.250,50"}, false, {"12,50", "1250,00", "1250,50"}},
        // One comma is enough to make the full stops doubtful: "12.50" is then refused, not guessed.
        DecimalCase{"MixedFile", {"12.50", "3,5"}, false, {"", "3,50"}},
        DecimalCase{"OnlyAmbiguousThousands", {"1.250", "2.500"}, false, {"1250,00", "2500,00"}}),
    [](const testing::TestParamInfo<DecimalCase>& c) { return std::string(c.param.name); });

// ---- Codes already there ----

TEST_F(ImportArchive, CodesTwiceInTheFileWarnBothRows) {
    const ImportPreview preview =
        previewOf(std::string(kHeader) + csvRow("A1") + csvRow("B1") + csvRow("a1") + csvRow("A1"));
    ASSERT_EQ(preview.rowCount(), 4u);
    const auto other = [&](std::size_t row) { return preview.problems(row).at(0).other; };
    EXPECT_EQ(kindsOf(preview, 0), std::vector<ProblemKind>{ProblemKind::TwiceInFile});
    EXPECT_EQ(other(0), 4u) << "the first row names the second holding its code";
    EXPECT_EQ(preview.status(1), RowStatus::Ready);
    EXPECT_EQ(other(2), 2u) << "codes compare with A to Z folded, as the searches find them";
    EXPECT_EQ(other(3), 2u);
    EXPECT_EQ(preview.counts(ArchiveDuplicates::Skip).warnings, 3u);
    EXPECT_EQ(preview.importedRows(ArchiveDuplicates::Skip), 4u) << "twice in the file is only a warning";
}

// A row whose code is in the archive is excluded, not a warning, while the user skips such rows; the
// counts are the tally of the outcomes under each choice.
TEST_F(ImportArchive, OutcomesAndCountsFollowTheDuplicateChoice) {
    withProducts({test::product("OLD1"), test::product("OLD2")});
    auto codes = readArchiveCodes(archive);
    ASSERT_TRUE(codes);
    const std::string csv = std::string(kHeader) + csvRow("NEW1") + csvRow("NEW2", "14,905") + csvRow("old1") +
                            csvRow("OLD2", "2,345") + csvRow("OLD1", "") + csvRow("NEW3", "1,50", "");
    const ImportPreview preview = previewOf(csv, *codes);
    ASSERT_EQ(preview.rowCount(), 6u);

    using O = RowOutcome;
    struct Choice {
        ArchiveDuplicates choice;
        std::vector<RowOutcome> outcomes;
        std::size_t ready, warnings, refused, excluded;
    };
    for (const Choice& c : {
             Choice{ArchiveDuplicates::Skip,
                    {O::Ready, O::Warning, O::Excluded, O::Excluded, O::Refused, O::Refused},
                    1,
                    1,
                    2,
                    2},
             // A refused row stays refused whatever the choice.
             Choice{ArchiveDuplicates::AddAsNew,
                    {O::Ready, O::Warning, O::Warning, O::Warning, O::Refused, O::Refused},
                    1,
                    3,
                    2,
                    0},
         }) {
        const bool skip = c.choice == ArchiveDuplicates::Skip;
        std::vector<RowOutcome> outcomes;
        OutcomeCounts tally;
        for (std::size_t row = 0; row < preview.rowCount(); ++row) {
            const RowOutcome o = preview.outcome(row, c.choice);
            outcomes.push_back(o);
            EXPECT_EQ(preview.imported(row, c.choice), o == O::Ready || o == O::Warning) << "row " << row;
            ++(o == O::Ready     ? tally.ready
               : o == O::Warning ? tally.warnings
               : o == O::Refused ? tally.refused
                                 : tally.excluded);
        }
        EXPECT_EQ(outcomes, c.outcomes) << (skip ? "skip" : "add");
        const OutcomeCounts counts = preview.counts(c.choice);
        EXPECT_EQ(counts.ready, c.ready);
        EXPECT_EQ(counts.warnings, c.warnings) << (skip ? "skip" : "add");
        EXPECT_EQ(counts.refused, c.refused);
        EXPECT_EQ(counts.excluded, c.excluded);
        EXPECT_EQ(counts.warnings, tally.warnings);
        EXPECT_EQ(counts.excluded, tally.excluded);
        EXPECT_EQ(preview.importedRows(c.choice), counts.ready + counts.warnings);
    }
}

}  // namespace
}  // namespace scortavia
