#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "storage/ArchiveFile.h"
#include "storage/FileAccess.h"
#include "storage/ProductRecord.h"
#include "storage/SettingsFile.h"
#include "support/Processes.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

// Anything that waits on the FIFO kills the test after a few seconds instead of hanging the suite.
class NeverWaits : public testing::Test {
protected:
    void SetUp() override { ::alarm(5); }
    void TearDown() override { ::alarm(0); }

    fs::path fifo(const std::string& name) {
        const fs::path path = folder.file(name);
        EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0);
        return path;
    }

    test::TempFolder folder;
};

TEST_F(NeverWaits, AFifoIsNoRegularFile) {
    const fs::path pipe = fifo("unins000.dll");
    EXPECT_FALSE(readRegularFile(pipe).ok());
    EXPECT_FALSE(readIniValue(pipe, "Accesso", "Valore").ok());
    EXPECT_FALSE(ArchiveFile::openOrCreate(fifo("Magazzino.pro"), ProductRecord::kSize).ok());
    EXPECT_FALSE(copyFileReplacing(fifo("fattura.pdf"), folder.file("copia.pdf")).ok());
    EXPECT_FALSE(fs::exists(folder.file("copia.pdf")));
    EXPECT_FALSE(appendLocked(fifo("Importazione_Prodotti.txt"), "resoconto\n").ok());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 4)
        << "no temporary file is left behind";
}

TEST(FileAccess, MissingFileReadsAsNothingAndOtherThingsAsFailures) {
    test::TempFolder folder;
    auto missing = readRegularFile(folder.file("assente"));
    ASSERT_TRUE(missing.ok());
    EXPECT_FALSE(missing->has_value());
    fs::create_directory(folder.file("cartella"));
    EXPECT_FALSE(readRegularFile(folder.file("cartella")).ok());
    test::writeBytes(folder.file("grande"), std::string(100, 'x'));
    EXPECT_FALSE(readRegularFile(folder.file("grande"), 99).ok());
    auto whole = readRegularFile(folder.file("grande"), 100);
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ((*whole)->bytes, std::string(100, 'x'));
}

// A link planted under a name the program writes must not carry the write outside the folder.
TEST(FileAccess, WritingReplacesALinkAndLeavesItsTargetAlone) {
    test::TempFolder outside;
    test::TempFolder folder;
    test::writeBytes(outside.file("altro.jpg"), "non toccare");
    fs::create_symlink(outside.file("altro.jpg"), folder.file("7.jpg"));

    ASSERT_TRUE(replaceFileContents(folder.file("7.jpg"), "foto nuova").ok());

    EXPECT_EQ(test::readBytes(outside.file("altro.jpg")), "non toccare");
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(folder.file("7.jpg"))));
    EXPECT_EQ(test::readBytes(folder.file("7.jpg")), "foto nuova");
}

TEST(FileAccess, CopyReplacesTheTargetWhole) {
    test::TempFolder folder;
    test::writeBytes(folder.file("nuovo.pdf"), std::string(200000, 'n'));
    test::writeBytes(folder.file("vecchio.pdf"), "vecchio");
    ASSERT_TRUE(copyFileReplacing(folder.file("nuovo.pdf"), folder.file("vecchio.pdf")).ok());
    EXPECT_EQ(test::readBytes(folder.file("vecchio.pdf")), std::string(200000, 'n'));
    EXPECT_FALSE(copyFileReplacing(folder.file("assente.pdf"), folder.file("vecchio.pdf")).ok());
    EXPECT_EQ(test::readBytes(folder.file("vecchio.pdf")), std::string(200000, 'n'));
}

TEST(FileAccess, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    test::TempFolder folder;
    test::writeBytes(folder.file("dati"), "vecchio");
    // A folder in place of the temporary's folder entry: the rename fails.
    fs::create_directory(folder.file("bersaglio"));
    test::writeBytes(folder.file("bersaglio/dentro"), "x");
    EXPECT_FALSE(replaceFileContents(folder.file("bersaglio"), "nuovo").ok());
    EXPECT_TRUE(fs::is_directory(folder.file("bersaglio")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

// ---- Appending ----

TEST(FileAccess, TwoCopiesAppendingAtOnceKeepEveryText) {
    test::TempFolder folder;
    const fs::path log = folder.file("Importazione_Prodotti.txt");
    const std::string section(4000, 'x');
    ASSERT_TRUE(test::allInChildren(2, [&](int copy) {
        for (int i = 0; i < 50; ++i) {
            if (!appendLocked(log, std::to_string(copy) + section + "\n")) return 1;
        }
        return 0;
    }));
    const std::string all = test::readBytes(log);
    ASSERT_EQ(all.size(), 100 * (section.size() + 2));
    for (std::size_t at = 0; at < all.size(); at += section.size() + 2) {
        EXPECT_EQ(all.substr(at + 1, section.size() + 1), section + "\n") << "text " << at / (section.size() + 2);
    }
}

TEST(FileAccess, AnAppendIsNeverWrittenThroughALink) {
    test::TempFolder elsewhere;
    test::TempFolder folder;
    const fs::path target = elsewhere.file("altro.txt");
    test::writeBytes(target, "intatto");
    fs::create_symlink(target, folder.file("Importazione_Prodotti.txt"));
    EXPECT_FALSE(appendLocked(folder.file("Importazione_Prodotti.txt"), "resoconto\n").ok());
    EXPECT_EQ(test::readBytes(target), "intatto");
}

// ---- What writes killed half-way left behind ----

enum class Entry { File, Link, Folder };

struct LeftoverCase {
    std::string name;
    Entry entry;
    int ageMinutes;
    bool removed;
};

void PrintTo(const LeftoverCase& c, std::ostream* os) { *os << testing::PrintToString(c.name); }

class LeftoverTest : public testing::TestWithParam<LeftoverCase> {};

// Writing "Estate_Foto_E_55.jpg" removes what an earlier write of that very file left when it was killed,
// and nothing else: not a file of the user's, not another file's leftover, not a write still in progress.
TEST_P(LeftoverTest, WritingAFileRemovesOnlyItsOwnOldTemporaries) {
    const LeftoverCase& c = GetParam();
    test::TempFolder outside;
    test::TempFolder folder;
    const fs::path entry = folder.file(c.name);
    switch (c.entry) {
        case Entry::File:
            test::writeBytes(entry, std::string(4096, 'x'));
            break;
        case Entry::Link:
            test::writeBytes(outside.file("foto.jpg"), "non toccare");
            fs::create_symlink(outside.file("foto.jpg"), entry);
            break;
        case Entry::Folder:
            fs::create_directory(entry);
            break;
    }
    // Aged through the link, not its target.
    const auto then = std::chrono::system_clock::now() - std::chrono::minutes(c.ageMinutes);
    const timespec times[2] = {{std::chrono::system_clock::to_time_t(then), 0},
                               {std::chrono::system_clock::to_time_t(then), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, entry.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);

    ASSERT_TRUE(replaceFileContents(folder.file("Estate_Foto_E_55.jpg"), "foto").ok());

    EXPECT_EQ(!fs::exists(fs::symlink_status(entry)), c.removed);
    if (c.entry == Entry::Link) {
        EXPECT_EQ(test::readBytes(outside.file("foto.jpg")), "non toccare");
    }
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected{"Estate_Foto_E_55.jpg"};
    if (!c.removed) expected.push_back(c.name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

constexpr int kOld = 60;
constexpr int kYoung = 1;

INSTANTIATE_TEST_SUITE_P(Table, LeftoverTest,
                         testing::Values(
                             // The program's own naming, old: a killed write.
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3xZ9", Entry::File, kOld, true},
                             LeftoverCase{".Estate_Foto_E_55.jpg.XXXXXX", Entry::File, kOld, true},
                             LeftoverCase{".Estate_Foto_E_55.jpg.tmp18429-0", Entry::File, kOld, true},
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3xZ9", Entry::File, 11, true},
                             // Young: perhaps another copy's write in progress on the shared folder.
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3xZ9", Entry::File, kYoung, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3xZ9", Entry::File, 9, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.tmp18429-0", Entry::File, kYoung, false},
                             // Not regular files.
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3xZ9", Entry::Link, kOld, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3xZ9", Entry::Folder, kOld, false},
                             // Not the program's naming for this file.
                             LeftoverCase{".Estate_Foto_E_55.jpg.tmp-notes", Entry::File, kOld, false},
                             LeftoverCase{"Estate_Foto_E_55.jpg.tmp1-0", Entry::File, kOld, false},
                             LeftoverCase{"Estate_Foto_E_55.jpg.aB3xZ9", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3xZ", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3xZ9q", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.aB3-Z9", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.tmp18429-", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.tmp18429-0.bak", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_55.jpgXaB3xZ9", Entry::File, kOld, false},
                             LeftoverCase{"..Estate_Foto_E_55.jpg.aB3xZ9", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_5.jpg.aB3xZ9", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_555.jpg.aB3xZ9", Entry::File, kOld, false},
                             LeftoverCase{".Estate_Foto_E_55.jpg.tmp18429-0", Entry::Folder, kOld, false}));

// Only the folder of the file written is looked at.
TEST(FileAccess, LeftoversInAnotherFolderStay) {
    test::TempFolder folder;
    fs::create_directory(folder.file("Foto_Listino"));
    const fs::path elsewhere = folder.file(".Estate_Foto_E_55.jpg.aB3xZ9");
    test::writeBytes(elsewhere, "x");
    fs::last_write_time(elsewhere, fs::file_time_type::clock::now() - std::chrono::hours(2));
    ASSERT_TRUE(replaceFileContents(folder.file("Foto_Listino/Estate_Foto_E_55.jpg"), "foto").ok());
    EXPECT_TRUE(fs::exists(elsewhere));
}

}  // namespace
}  // namespace scortavia
