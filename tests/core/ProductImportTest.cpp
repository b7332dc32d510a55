#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "export/SpreadsheetExport.h"
#include "export/SpreadsheetRead.h"
#include "products/ProductImport.h"
#include "storage/ArchiveFile.h"
#include "storage/ArchiveScan.h"
#include "support/Processes.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;
using P = ProductLayout;

constexpr std::string_view kHeader =
    "Codice articolo;Costo unitario;Nome prodotto;Giacenza;Aspetto esteriore del bene;Categoria merceologica;"
    "Caratteristiche;Data scadenza;Prezzo di vendita;Pagato\n";

// One sheet row below kHeader, in its columns.
std::string csvRow(std::string code = "A1", std::string cost = "1,50", std::string name = "Vite",
                   std::string stock = "10", std::string um = "Scatola", std::string category = "Ferramenta",
                   std::string features = "M6 zincata", std::string due = "", std::string price = "2,00",
                   std::string paid = "No") {
    return code + ";" + cost + ";" + name + ";" + stock + ";" + um + ";" + category + ";" + features + ";" + due + ";" +
           price + ";" + paid + "\n";
}

ImportPreview previewOf(const std::string& csv, const ArchiveCodes& codes = {}) {
    const SheetReading reading = readSheetBytes(csv);
    EXPECT_TRUE(reading.table) << sheetProblemText(reading.problem, reading.line);
    if (!reading.table) return ImportPreview::build(SheetTable(), {}, codes);
    bool matched = false;
    ImportOptions options{mappingFromHeaders(*reading.table, matched), true};
    return ImportPreview::build(*reading.table, options, codes);
}

std::vector<ProblemKind> kindsOf(const ImportPreview& preview, std::size_t row) {
    std::vector<ProblemKind> kinds;
    for (const RowProblem& p : preview.problems(row)) kinds.push_back(p.kind);
    return kinds;
}

std::vector<ProductRecord> archiveRecords(const fs::path& archive) {
    std::vector<ProductRecord> records;
    scanArchive(archive, ProductRecord::kSize, [&](const std::uint8_t* bytes, std::int64_t) {
        ProductRecord r;
        std::memcpy(r.bytes().data(), bytes, ProductRecord::kSize);
        records.push_back(r);
        return true;
    });
    return records;
}

// ---- Headers ----

TEST(ImportHeaders, TheExportsOwnHeadersNameTheirFields) {
    for (const ExportColumn& column : exportDesign(ExportKind::Products).columns) {
        EXPECT_EQ(fieldForHeader(column.header), std::optional<P::Field>(static_cast<P::Field>(column.field)))
            << column.header;
        EXPECT_EQ(fieldForHeader(column.screenHeader), std::optional<P::Field>(static_cast<P::Field>(column.field)))
            << column.screenHeader;
    }
}

TEST(ImportHeaders, CaseAccentsBlanksAndTheLabelsColonAreIgnored) {
    const std::vector<std::pair<std::string, std::optional<P::Field>>> cases = {
        {"  PREZZO   di VENDITA: ", P::Prezzo},
        {"MODALITÀ DI PAGAMENTO", P::Pagamento},
        {"Modalita di pagamento", P::Pagamento},
        {"Avviso n.", P::Avviso},
        {"Categoria", P::Tipologia},
        {"codice_articolo", P::Codice},
        {"Colore", std::nullopt},
        {"", std::nullopt},
        {"File01", std::nullopt},
    };
    for (const auto& [header, field] : cases) EXPECT_EQ(fieldForHeader(header), field) << header;
}

TEST(ImportHeaders, AFieldNamedTwiceGoesToItsFirstColumn) {
    const SheetReading reading = readSheetBytes("Codice;Nome;Codice articolo;Colore\nA;B;C;D\n");
    ASSERT_TRUE(reading.table);
    bool matched = false;
    const ColumnMapping mapping = mappingFromHeaders(*reading.table, matched);
    EXPECT_TRUE(matched);
    EXPECT_EQ(mapping, (ColumnMapping{P::Codice, P::Nome, std::nullopt, std::nullopt}));

    const SheetReading data = readSheetBytes("A1;Vite\nA2;Dado\n");
    ASSERT_TRUE(data.table);
    mappingFromHeaders(*data.table, matched);
    EXPECT_FALSE(matched) << "a first row of data names no field";
}

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

class ImportArchive : public test::ProductArchiveFixture {};

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

TEST_F(ImportArchive, TheUserChoosesOnceForCodesAlreadyInTheArchive) {
    withProducts({test::product("OLD1"), test::product("OLD2")});
    auto codes = readArchiveCodes(archive);
    ASSERT_TRUE(codes);
    const std::string csv =
        std::string(kHeader) + csvRow("NEW1") + csvRow("old2") + csvRow("OLD1", "") + csvRow("NEW2");
    const ImportPreview preview = previewOf(csv, *codes);
    EXPECT_EQ(kindsOf(preview, 1), std::vector<ProblemKind>{ProblemKind::InArchive});
    EXPECT_EQ(preview.problems(1)[0].other, 2u) << "the card already holding the code";
    EXPECT_EQ(preview.status(2), RowStatus::Refused);
    EXPECT_EQ(preview.inArchiveRows(), 1u) << "a refused row is left out either way";

    struct Choice {
        ArchiveDuplicates choice;
        std::vector<std::string> added;
    };
    for (const Choice& c : {Choice{ArchiveDuplicates::Skip, {"NEW1", "NEW2"}},
                            Choice{ArchiveDuplicates::AddAsNew, {"NEW1", "old2", "NEW2"}}}) {
        withProducts({test::product("OLD1"), test::product("OLD2")});
        const ImportOutcome outcome = writeImport(archive, preview, c.choice);
        ASSERT_TRUE(outcome.status.ok()) << outcome.status.error();
        EXPECT_EQ(outcome.added, c.added.size());
        EXPECT_EQ(outcome.skipped, 4u - c.added.size());
        EXPECT_EQ(outcome.firstPosition, 3);
        const auto records = archiveRecords(archive);
        ASSERT_EQ(records.size(), 2 + c.added.size());
        for (std::size_t i = 0; i < c.added.size(); ++i) EXPECT_EQ(records[2 + i].text(P::Codice), c.added[i]);
    }
}

// ---- Writing ----

TEST_F(ImportArchive, ARoundTripThroughTheExportGivesTheSameRecords) {
    std::vector<ProductRecord> products = {
        test::product("A-1", "Vite <M6> & dado",
                      {{P::Costo, "0,15"},
                       {P::Giacenza, "-3"},
                       {P::Avviso, "5"},
                       {P::UM, "Scatola da 100"},
                       {P::Collocazione, "Scaffale 3"},
                       {P::Ditta, "Bulloneria Rossi S.r.l."},
                       {P::Agente, "Bianchi"},
                       {P::Recapito, "0521 123456"},
                       {P::Documento, "Fattura 12/2026"},
                       {P::Pagamento, "30 gg"},
                       {P::DataSca, "31/12/2026"},
                       {P::Note, "Qualità €; \"prima\""},
                       {P::Prezzo, "1250,00"},
                       {P::Pagato, "Sì"},
                       {P::File01, "scheda.pdf"},
                       {P::Desc01, "Scheda tecnica"}}),
        test::product("B-2", "Dado", {{P::Giacenza, "9999"}, {P::Caratteristiche, std::string(250, 'c')}}),
        test::product("A-1", "Stesso codice"),
    };
    withProducts(products);
    ExportCells cells;
    ASSERT_TRUE(cells.load(archive, exportDesign(ExportKind::Products)));
    const fs::path exported = folder.file("Magazzino.xls");
    ASSERT_EQ(writeSpreadsheetFile(exported, exportDesign(ExportKind::Products), cells.rowCount(),
                                   [&](std::size_t r, std::size_t c) { return cells.cell(r, c); }),
              ExportOutcome::Written);

    test::TempFolder empty;
    const fs::path target = empty.file("Magazzino.pro");
    const SheetReading reading = readSheetFile(exported);
    ASSERT_TRUE(reading.table);
    bool matched = false;
    const ImportPreview preview =
        ImportPreview::build(*reading.table, {mappingFromHeaders(*reading.table, matched), true}, {});
    EXPECT_EQ(preview.refused(), 0u);
    const ImportOutcome outcome = writeImport(target, preview, ArchiveDuplicates::AddAsNew);
    ASSERT_EQ(outcome.added, products.size());

    const auto imported = archiveRecords(target);
    ASSERT_EQ(imported.size(), products.size());
    for (std::size_t i = 0; i < products.size(); ++i) {
        // The export carries neither the warning level nor the attachments.
        ProductRecord expected = products[i];
        expected.setText(P::Avviso, "0");
        for (const P::Field f : {P::File01, P::File02, P::File03, P::Desc01, P::Desc02, P::Desc03}) {
            expected.setText(f, "");
        }
        EXPECT_EQ(std::memcmp(imported[i].bytes().data(), expected.bytes().data(), ProductRecord::kSize), 0)
            << "record " << i;
    }
}

TEST_F(ImportArchive, APhotoLeftAtANewCardsPositionIsNotTakenForItsPhoto) {
    withProducts({test::product("OLD1"), test::product("OLD2")});
    for (const char* name : {"2.jpg", "3.jpg", "4.jpg", "6.jpg"}) test::writeBytes(folder.file(name), name);
    const ImportOutcome outcome =
        writeImport(archive, previewOf(std::string(kHeader) + csvRow("A1") + csvRow("A2")), ArchiveDuplicates::Skip);
    ASSERT_EQ(outcome.added, 2u);
    EXPECT_EQ(test::readBytes(folder.file("2.jpg")), "2.jpg") << "the photo of a card already there";
    EXPECT_FALSE(fs::exists(folder.file("3.jpg")));
    EXPECT_FALSE(fs::exists(folder.file("4.jpg")));
    EXPECT_EQ(test::readBytes(folder.file("6.jpg")), "6.jpg") << "no card was added there";
}

std::string numberedCsv(int rows, const std::string& prefix = "C") {
    std::string csv(kHeader);
    for (int i = 0; i < rows; ++i) csv += csvRow(prefix + std::to_string(i));
    return csv;
}

TEST_F(ImportArchive, ACancelStopsAfterWholeCards) {
    withProducts({test::product("OLD")});
    const ImportPreview preview = previewOf(numberedCsv(10));
    std::vector<std::size_t> heard;
    const ImportOutcome outcome = writeImport(
        archive, preview, ArchiveDuplicates::Skip,
        [&](std::size_t written, std::size_t total) {
            heard.push_back(written);
            EXPECT_EQ(total, 10u);
            return false;
        },
        3);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.added, 3u);
    EXPECT_EQ(outcome.skipped, 7u);
    EXPECT_EQ(heard, std::vector<std::size_t>{3});
    EXPECT_EQ(fs::file_size(archive), 4u * ProductRecord::kSize);
    const auto records = archiveRecords(archive);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(records[1 + i].bytes().data(), preview.record(i).bytes().data(), ProductRecord::kSize),
                  0);
    }
}

TEST_F(ImportArchive, TwoCopiesImportingAtOnceLoseNothing) {
    constexpr int kRows = 150;
    ASSERT_TRUE(test::allInChildren(2, [&](int copy) {
        ArchiveFile::setRaceHookForTesting([] { usleep(200); });
        const ImportPreview preview = previewOf(numberedCsv(kRows, "P" + std::to_string(copy) + "-"));
        const ImportOutcome outcome = writeImport(archive, preview, ArchiveDuplicates::AddAsNew, {}, 7);
        return outcome.status.ok() && outcome.added == static_cast<std::size_t>(kRows) ? 0 : 1;
    }));
    const auto records = archiveRecords(archive);
    ASSERT_EQ(fs::file_size(archive), 2u * kRows * ProductRecord::kSize);
    std::set<std::string> codes;
    for (const ProductRecord& r : records) {
        EXPECT_EQ(r.text(P::Nome), "Vite") << "a torn record";
        codes.insert(r.text(P::Codice));
    }
    EXPECT_EQ(codes.size(), 2u * kRows);
}

// "Non importarle" is decided again when the rows are written: a code another copy appended after
// the preview is skipped then, and said so; importing them as new cards adds them all the same.
TEST_F(ImportArchive, TwoCopiesImportingTheSameFileOneAfterTheOtherAddEachCodeOnce) {
    struct Choice {
        ArchiveDuplicates choice;
        std::size_t secondAdds;
    };
    for (const Choice& c : {Choice{ArchiveDuplicates::Skip, 0}, Choice{ArchiveDuplicates::AddAsNew, 300}}) {
        withProducts({test::product("OLD")});
        auto codes = readArchiveCodes(archive);
        ASSERT_TRUE(codes);
        // Both copies show the preview before either imports.
        const ImportPreview first = previewOf(numberedCsv(300), *codes);
        const ImportPreview second = previewOf(numberedCsv(300), *codes);
        ASSERT_EQ(writeImport(archive, first, c.choice, {}, 64).added, 300u);

        std::vector<std::pair<std::size_t, std::size_t>> heard;
        const ImportOutcome outcome = writeImport(
            archive, second, c.choice,
            [&](std::size_t written, std::size_t total) {
                heard.emplace_back(written, total);
                return true;
            },
            64);
        ASSERT_TRUE(outcome.status.ok()) << outcome.status.error();
        EXPECT_EQ(outcome.added, c.secondAdds);
        EXPECT_EQ(outcome.skipped, 300u - c.secondAdds);
        EXPECT_EQ(fs::file_size(archive), (301u + c.secondAdds) * ProductRecord::kSize);
        if (c.choice == ArchiveDuplicates::AddAsNew) {
            EXPECT_TRUE(outcome.arrived.empty());
            continue;
        }
        ASSERT_EQ(outcome.arrived.size(), 300u);
        EXPECT_EQ(outcome.arrived[5].row, 5u);
        EXPECT_EQ(outcome.arrived[5].position, 7) << "the card the other copy added";
        EXPECT_EQ(heard.back(), (std::pair<std::size_t, std::size_t>{0, 0})) << "nothing was left to write";

        const std::string log = importLogText("10/12/2026 09:30", "prodotti.csv", second, c.choice, outcome);
        for (const std::string_view expected :
             {"Schede aggiunte al magazzino: 0", "Righe non importate: 300",
              "Righe non importate perché nel frattempo un'altra postazione ha aggiunto lo stesso codice articolo: 300",
              "Riga 7 (codice \"C5\"): Il codice articolo è stato aggiunto al magazzino da un'altra postazione dopo "
              "l'anteprima (scheda n. 7): la riga non viene importata."}) {
            EXPECT_NE(log.find(expected), std::string::npos) << expected << "\nin:\n" << log;
        }
    }
}

// The same file, both copies importing at once: each batch reads what the other appended before it,
// so every code is written once, and twice in the file stays a warning that does not skip.
TEST_F(ImportArchive, TwoCopiesImportingTheSameFileAtOnceAddEachCodeOnce) {
    constexpr int kRows = 120;
    const std::string csv = numberedCsv(kRows) + csvRow("C0");
    ASSERT_TRUE(test::allInChildren(2, [&](int) {
        ArchiveFile::setRaceHookForTesting([] { usleep(300); });
        const ImportPreview preview = previewOf(csv);
        const ImportOutcome outcome = writeImport(archive, preview, ArchiveDuplicates::Skip, {}, 7);
        return outcome.status.ok() ? 0 : 1;
    }));
    std::multiset<std::string> codes;
    for (const ProductRecord& r : archiveRecords(archive)) codes.insert(r.text(P::Codice));
    EXPECT_EQ(codes.count("C0"), 2u) << "the file holds it twice";
    for (int i = 1; i < kRows; ++i) EXPECT_EQ(codes.count("C" + std::to_string(i)), 1u) << i;
    EXPECT_EQ(codes.size(), static_cast<std::size_t>(kRows) + 1);
}

TEST_F(ImportArchive, TheLogTellsWhichRowsWereLeftOutAndWhy) {
    withProducts({test::product("OLD")});
    auto codes = readArchiveCodes(archive);
    ASSERT_TRUE(codes);
    const ImportPreview preview =
        previewOf(std::string(kHeader) + csvRow("A1") + csvRow("A2", "1,50", "") + csvRow("OLD"), *codes);
    const ImportOutcome outcome = writeImport(archive, preview, ArchiveDuplicates::Skip);
    const std::string log =
        importLogText("10/12/2026 09:30", "/home/negozio/prodotti.csv", preview, ArchiveDuplicates::Skip, outcome);
    for (const std::string_view expected :
         {"10/12/2026 09:30", "/home/negozio/prodotti.csv", "Righe lette: 3", "Schede aggiunte al magazzino: 1",
          "Righe non importate: 2",
          "Riga 3 (codice \"A2\"): Per salvare la scheda è necessario indicare il nome del prodotto.",
          "Riga 4 (codice \"OLD\"): Il codice articolo è già presente in magazzino (scheda n. 1)"}) {
        EXPECT_NE(log.find(expected), std::string::npos) << expected << "\nin:\n" << log;
    }

    ASSERT_TRUE(appendImportLog(folder.path(), "prima\n"));
    ASSERT_TRUE(appendImportLog(folder.path(), "seconda\n"));
    EXPECT_EQ(test::readBytes(folder.file(std::string(kImportLogName))), "prima\nseconda\n");
}

// ---- Memory ----

// One letter a line, 2 bytes a row in the file: the rows cost what the preview keeps for each.
std::string oneLetterLines(int rows) {
    std::string csv;
    for (int i = 0; i < rows; ++i) csv += "a\n";
    return csv;
}

TEST_F(ImportArchive, AFileWhosePreviewWouldNotFitIsRefusedBeforeItIsRead) {
    struct Case {
        const char* name;
        std::string bytes;
        std::uint64_t budget;
        bool refused;
    };
    for (const Case& c : {Case{"ManyShortLines", oneLetterLines(100'000), 8u << 20, true},
                          Case{"ManyShortLinesWithRoom", oneLetterLines(100'000), 256u << 20, false},
                          Case{"AShopsSheet", numberedCsv(2'000), 8u << 20, false}}) {
        const fs::path file = folder.file("prodotti.csv");
        test::writeBytes(file, c.bytes);
        const ImportFile read = readImportFile(file, c.budget);
        EXPECT_EQ(!read.table, c.refused) << c.name;
        if (c.refused) {
            EXPECT_EQ(
                read.refusal.rfind("Attenzione: il file scelto è troppo grande per la memoria di questo computer: "
                                   "per mostrarne l'anteprima servirebbero circa ",
                                   0),
                0u)
                << read.refusal;
            EXPECT_NE(read.refusal.find(", mentre se ne possono usare 8.\n\nDividere il file in più parti"),
                      std::string::npos)
                << read.refusal;
        }
    }
    EXPECT_GT(importMemoryBudget(), 0u);
    EXPECT_LE(importMemoryBudget(), kImportMemoryCeiling);
}

std::size_t heldBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The estimate made before reading covers what the table and the preview then hold, and a row of one
// short cell costs the preview far less than a field offset each (215 bytes before).
TEST_F(ImportArchive, TheEstimateCoversWhatThePreviewHolds) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's allocator keeps no glibc heap figures";
#endif
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t rows;
        std::size_t previewBytesPerRow;  // at most
    };
    for (const Case& c : {Case{"OneLetterLines", oneLetterLines(200'000), 200'000, 120},
                          Case{"AShopsSheet", numberedCsv(20'000), 20'000, 160}}) {
        const fs::path file = folder.file("prodotti.csv");
        test::writeBytes(file, c.bytes);
        SheetCensus census;
        ASSERT_EQ(censusSheetFile(file, census), SheetProblem::None);
        const std::size_t before = heldBytes();
        {
            const SheetReading reading = readSheetFile(file);
            ASSERT_TRUE(reading.table);
            const std::size_t table = heldBytes() - before;
            EXPECT_LE(table, sheetTableBytes(census)) << c.name;
            bool matched = false;
            const ImportOptions options{mappingFromHeaders(*reading.table, matched), matched};
            const auto preview = ImportPreview::tryBuild(*reading.table, options, {});
            ASSERT_TRUE(preview);
            ASSERT_EQ(preview->rowCount(), c.rows);
            const std::size_t kept = heldBytes() - before - table;
            EXPECT_LE(kept, previewBytes(census.records, census.textBytes)) << c.name;
            EXPECT_LE(kept / c.rows, c.previewBytesPerRow) << c.name;
        }
    }
}

// Memory that runs out all the same, here under an address-space limit, is a refusal, not the end.
TEST_F(ImportArchive, RunningOutOfMemoryIsARefusal) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit leaves";
#endif
    const std::string lines = oneLetterLines(1'000'000);
    const SheetReading reading = readSheetBytes(lines);
    ASSERT_TRUE(reading.table);
    const std::string big(64u << 20, 'a');
    EXPECT_EQ(test::inChild([&] {
                  std::ifstream statm("/proc/self/statm");
                  std::uint64_t pages = 0;
                  statm >> pages;
                  const auto used = pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
                  const rlimit limit{used + (48u << 20), used + (48u << 20)};
                  if (setrlimit(RLIMIT_AS, &limit) != 0) return 2;
                  if (readSheetBytes(big).problem != SheetProblem::NoMemory) return 3;
                  if (ImportPreview::tryBuild(*reading.table, {ColumnMapping(1), false}, {})) return 4;
                  return 0;
              }),
              0);
}

}  // namespace
}  // namespace scortavia
