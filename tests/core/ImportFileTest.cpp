#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "products/ImportFile.h"
#include "support/ImportSheets.h"
#include "support/Processes.h"
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
