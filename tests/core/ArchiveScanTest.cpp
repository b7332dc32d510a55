#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/ArchiveFile.h"
#include "storage/ArchiveScan.h"
#include "storage/ProductRecord.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

struct ScanCase {
    int records;
    std::size_t tailBytes;   // a partial record after the last whole one
    std::size_t blockBytes;  // small blocks make the scan cross block boundaries
};

class ArchiveScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ArchiveScanTest, ReturnsEveryWholeRecordInOrder) {
    const auto& c = GetParam();
    test::TempFolder folder;
    std::vector<ProductRecord> records;
    for (int i = 0; i < c.records; ++i) records.push_back(test::product("P" + std::to_string(i)));
    test::writeBytes(folder.file("a.pro"), test::archiveBytes(records) + std::string(c.tailBytes, 'x'));

    auto file = ArchiveFile::openOrCreate(folder.file("a.pro"), ProductRecord::kSize);
    ASSERT_TRUE(file.ok());
    ArchiveScan scan(*file, c.blockBytes);
    std::vector<std::string> codes;
    while (const std::uint8_t* r = scan.next()) {
        EXPECT_EQ(scan.index(), static_cast<std::int64_t>(codes.size()));
        codes.push_back(ProductView(r).text(ProductView::Codice));
    }
    EXPECT_TRUE(scan.status().ok());
    ASSERT_EQ(codes.size(), static_cast<std::size_t>(c.records));
    for (int i = 0; i < c.records; ++i) EXPECT_EQ(codes[i], "P" + std::to_string(i));
    EXPECT_EQ(scan.next(), nullptr);  // stays at the end
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ArchiveScanTest,
                         testing::Values(ScanCase{0, 0, 1 << 20}, ScanCase{0, 100, 1 << 20},
                                         ScanCase{1, 0, 1 << 20}, ScanCase{7, 2591, 1 << 20},
                                         ScanCase{7, 0, 1},            // one record a block
                                         ScanCase{10, 5, 3 * 2592},    // blocks of three, last one short
                                         ScanCase{9, 0, 3 * 2592}));   // blocks of three, exactly
// clang-format on

}  // namespace
}  // namespace scortavia
