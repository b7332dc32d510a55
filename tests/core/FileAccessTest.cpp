#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "shell/SettingsFile.h"
#include "storage/ArchiveFile.h"
#include "storage/FileAccess.h"
#include "storage/ProductRecord.h"
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
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 3)
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

}  // namespace
}  // namespace scortavia
