#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "export/SpreadsheetExport.h"
#include "products/ImportWrite.h"
#include "storage/ArchiveFile.h"
#include "storage/ArchiveScan.h"
#include "support/ImportSheets.h"
#include "support/Processes.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"
#include "support/TempFolder.h"

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

std::vector<ProductRecord> archiveRecords(const fs::path& archive) {
    std::vector<ProductRecord> records;
    const Status scanned = scanArchive(archive, ProductRecord::kSize, [&](const std::uint8_t* bytes, std::int64_t) {
        ProductRecord r;
        std::memcpy(r.bytes().data(), bytes, ProductRecord::kSize);
        records.push_back(r);
        return true;
    });
    EXPECT_TRUE(scanned.ok()) << scanned.error();
    return records;
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

}  // namespace
}  // namespace scortavia
