#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "backups/BackupList.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using namespace std::chrono_literals;

struct SizeCase {
    std::uint64_t bytes;
    const char* text;
};

class BackupSizeText : public testing::TestWithParam<SizeCase> {};

TEST_P(BackupSizeText, OneDecimalWithTheCommaAndNoUnitPastItsEnd) {
    EXPECT_EQ(backupSizeText(GetParam().bytes), GetParam().text) << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(Table, BackupSizeText,
                         testing::Values(SizeCase{0, "0 byte"}, SizeCase{1023, "1023 byte"}, SizeCase{1024, "1,0 KB"},
                                         SizeCase{1536, "1,5 KB"}, SizeCase{1126, "1,1 KB"},  // 1,0996 rounds up
                                         SizeCase{13002342, "12,4 MB"},
                                         // Just below a step rounds to the next unit, never to "1024,0 KB".
                                         SizeCase{1048575, "1,0 MB"}, SizeCase{1048524, "1023,9 KB"},
                                         SizeCase{std::uint64_t{5} << 30, "5,0 GB"},
                                         // The last unit goes on counting.
                                         SizeCase{std::uint64_t{2000} << 40, "2000,0 TB"}));

struct TimeCase {
    const char* created;
    const char* text;
};

class BackupTimeText : public testing::TestWithParam<TimeCase> {};

TEST_P(BackupTimeText, ReadsOnlyTheManifestsForm) {
    EXPECT_EQ(backupTimeText(std::string_view(GetParam().created)), GetParam().text) << GetParam().created;
}

INSTANTIATE_TEST_SUITE_P(Table, BackupTimeText,
                         testing::Values(TimeCase{"2026-12-10 15:30:12", "10/12/2026 15:30"},
                                         TimeCase{"2026-01-02 03:04", "02/01/2026 03:04"}, TimeCase{"", ""},
                                         TimeCase{"2026-12-10", ""}, TimeCase{"2026/12/10 15:30:12", ""},
                                         TimeCase{"2026-12-10T15:30:12", ""}, TimeCase{"20x6-12-10 15:30:12", ""}));

TEST(BackupTimeText, OfALocalMinuteHasLeadingZeros) {
    EXPECT_EQ(backupTimeText(LocalMinute{2027y / 3 / 5, 9, 7, 59}), "05/03/2027 09:07");
}

TEST(BackupListRow, ReadableShowsTheManifestsCountsAndTime) {
    BackupInfo info;
    info.file = "/copie/Scortavia_2026-12-10_15-30.zip";
    info.kind = BackupKind::Automatic;
    info.created = "2026-12-10 15:30:12";
    info.fileBytes = 13002342;
    info.counts = {1200, 345, 6};
    const BackupListRow row = backupListRow(info.file, Result<BackupInfo>(info));
    EXPECT_EQ(row.when, "10/12/2026 15:30");
    EXPECT_EQ(row.kind, "automatica");
    EXPECT_EQ(row.size, "12,4 MB");
    EXPECT_EQ(row.products, "1200");
    EXPECT_EQ(row.movements, "345");
    EXPECT_EQ(row.pages, "6");
    EXPECT_EQ(row.problem, "");
    EXPECT_EQ(backupTitle(row), "del 10/12/2026 15:30");
}

// An unreadable backup keeps its row: what its name and size tell, and why it cannot be read.
TEST(BackupListRow, UnreadableTellsItsNameAndReason) {
    test::TempFolder folder;
    const std::filesystem::path named = folder.file("Scortavia_2026-12-10_15-30_prima-del-ripristino.zip");
    test::writeBytes(named, std::string(2048, 'x'));
    BackupListRow row = backupListRow(named, Result<BackupInfo>(Status::failure("rotta")));
    EXPECT_EQ(row.when, "10/12/2026 15:30");
    EXPECT_EQ(row.kind, "prima del ripristino");
    EXPECT_EQ(row.size, "2,0 KB");
    EXPECT_EQ(row.products, "");
    EXPECT_EQ(row.problem, "rotta");

    const std::filesystem::path foreign = folder.file("archivio.zip");
    row = backupListRow(foreign, Result<BackupInfo>(Status::failure("rotta")));
    EXPECT_EQ(row.when, "");
    EXPECT_EQ(row.size, "");  // gone meanwhile
    EXPECT_EQ(backupTitle(row), "\"archivio.zip\"");
}

struct InsideCase {
    const char* name;
    const char* candidate;  // relative to a temporary folder holding "programma"
    bool inside;
};

void PrintTo(const InsideCase& c, std::ostream* os) { *os << c.name; }

class BackupFolderPlace : public testing::TestWithParam<InsideCase> {};

TEST_P(BackupFolderPlace, TheProgramFolderAndWhatIsInsideItAreRefused) {
    test::TempFolder root;
    std::filesystem::create_directories(root.file("programma/Foto_Listino"));
    std::filesystem::create_directories(root.file("programma2"));
    std::filesystem::create_directory_symlink(root.file("programma"), root.file("collegamento"));
    EXPECT_EQ(isSameOrInside(root.path() / GetParam().candidate, root.file("programma")), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(Table, BackupFolderPlace,
                         testing::Values(InsideCase{"Itself", "programma", true},
                                         InsideCase{"ItselfWithASlash", "programma/", true},
                                         InsideCase{"ASubfolder", "programma/Foto_Listino", true},
                                         InsideCase{"ANewSubfolder", "programma/Copie/Nuove", true},
                                         InsideCase{"ThroughDots", "programma2/../programma/Copie", true},
                                         InsideCase{"ThroughALink", "collegamento/Copie", true},
                                         InsideCase{"ASiblingSharingItsStart", "programma2", false},
                                         InsideCase{"ItsParent", ".", false},
                                         InsideCase{"OutOfItThroughDots", "programma/../copie", false}),
                         [](const testing::TestParamInfo<InsideCase>& c) { return std::string(c.param.name); });

}  // namespace
}  // namespace scortavia
