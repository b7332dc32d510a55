#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/SettingsFile.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

class SettingsFileTest : public testing::Test {
protected:
    TempFolder folder;
    fs::path file = folder.file("unins000.dll");

    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.path())) names.push_back(entry.path().filename());
        return names;
    }
};

struct ReadCase {
    const char* what;
    std::string content;
    std::string expected;
};

TEST_F(SettingsFileTest, ReadFindsTheKeyOfItsSection) {
    const std::vector<ReadCase> cases = {
        {"CRLF", "[Accesso]\r\nValore=ABC\r\n", "ABC"},
        {"LF", "[Accesso]\nValore=ABC\n", "ABC"},
        {"no final line break", "[Accesso]\r\nValore=ABC", "ABC"},
        {"byte order mark", "\xEF\xBB\xBF[Accesso]\r\nValore=ABC\r\n", "ABC"},
        {"names in another case", "[aCCESSO]\nvALORE=ABC\n", "ABC"},
        {"blanks around names and value", "  [ Accesso ]  \r\n\t Valore  =  A B \t\r\n", "A B"},
        {"value holding '='", "[Accesso]\nValore=a=b\n", "a=b"},
        {"among other sections", "[Prima]\nValore=1\n\n[Accesso]\nAltro=2\nValore=3\n[Dopo]\nValore=4\n", "3"},
        {"first of two", "[Accesso]\nValore=1\nValore=2\n", "1"},
        {"blank value", "[Accesso]\nValore=  \n", ""},
        {"key only in another section", "[Altro]\nValore=1\n[Accesso]\nAltro=2\n", ""},
        {"key before any section", "Valore=1\n[Accesso]\n", ""},
        {"section missing", "[Altro]\nValore=1\n", ""},
        {"key name is only a prefix", "[Accesso]\nValoreX=1\n", ""},
        {"empty file", "", ""},
    };
    for (const auto& c : cases) {
        test::writeBytes(file, c.content);
        auto value = readIniValue(file, "Accesso", "Valore");
        ASSERT_TRUE(value.ok()) << c.what << ": " << value.error();
        EXPECT_EQ(*value, c.expected) << c.what;
    }
}

TEST_F(SettingsFileTest, AMissingFileReadsEmptyButAFolderInItsPlaceFails) {
    auto missing = readIniValue(file, "Accesso", "Valore");
    ASSERT_TRUE(missing.ok()) << missing.error();
    EXPECT_EQ(*missing, "");

    fs::create_directory(file);
    EXPECT_FALSE(readIniValue(file, "Accesso", "Valore").ok());
    EXPECT_FALSE(writeIniValue(file, "Accesso", "Valore", "X").ok());
    EXPECT_TRUE(fs::is_directory(file));
}

struct WriteCase {
    const char* what;
    std::string before;
    std::string after;
};

// Every case writes Valore=NEW in [Accesso]; all other bytes must survive.
TEST_F(SettingsFileTest, WriteChangesOnlyTheValueOrAddsWhatIsMissing) {
    const std::vector<WriteCase> cases = {
        {"CRLF, other lines kept as they are",
         "; note\r\n[Prima]\r\n a = 1 \r\n\r\n[Accesso]\r\nAltro=x\r\nValore=OLD\r\n\t\r\n[Dopo]\r\nValore=OLD\r\n",
         "; note\r\n[Prima]\r\n a = 1 \r\n\r\n[Accesso]\r\nAltro=x\r\nValore=NEW\r\n\t\r\n[Dopo]\r\nValore=OLD\r\n"},
        {"LF, other lines kept as they are", "x=0\n[Prima]\nValore=1\n[Accesso]\nValore=OLD\n\n[Dopo]\n  b=2\n",
         "x=0\n[Prima]\nValore=1\n[Accesso]\nValore=NEW\n\n[Dopo]\n  b=2\n"},
        {"spelling and spacing of the key line kept", "[accesso]\r\n  VALORE = OLD  \r\n",
         "[accesso]\r\n  VALORE = NEW  \r\n"},
        {"blank old value", "[Accesso]\nValore=   \n", "[Accesso]\nValore=NEW\n"},
        {"no final line break", "[Accesso]\r\nValore=OLD", "[Accesso]\r\nValore=NEW"},
        {"only the first of two", "[Accesso]\nValore=1\nValore=2\n", "[Accesso]\nValore=NEW\nValore=2\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[Accesso]\r\nValore=OLD\r\n", "\xEF\xBB\xBF[Accesso]\r\nValore=NEW\r\n"},
        {"key added after the section's last non-blank line", "[Accesso]\r\nAltro=1\r\n\r\n[Dopo]\r\nb=2\r\n",
         "[Accesso]\r\nAltro=1\r\nValore=NEW\r\n\r\n[Dopo]\r\nb=2\r\n"},
        {"key added to an LF section", "[Accesso]\n; note\n\n\n", "[Accesso]\n; note\nValore=NEW\n\n\n"},
        {"key added under a bare header", "[Accesso]\r\n[Dopo]\r\n", "[Accesso]\r\nValore=NEW\r\n[Dopo]\r\n"},
        {"key added to a last line without break", "a=1\n[Accesso]", "a=1\n[Accesso]\nValore=NEW\n"},
        {"section added at the end, CRLF", "[Prima]\r\na=1\r\n", "[Prima]\r\na=1\r\n[Accesso]\r\nValore=NEW\r\n"},
        {"section added at the end, LF", "[Prima]\na=1\n\n", "[Prima]\na=1\n\n[Accesso]\nValore=NEW\n"},
        {"section added after a last line without break", "[Prima]\na=1", "[Prima]\na=1\n[Accesso]\nValore=NEW\n"},
        {"key before any section is not the key", "Valore=OLD\n", "Valore=OLD\n[Accesso]\nValore=NEW\n"},
        {"empty file", "", "[Accesso]\r\nValore=NEW\r\n"},
    };
    for (const auto& c : cases) {
        test::writeBytes(file, c.before);
        const Status status = writeIniValue(file, "Accesso", "Valore", "NEW");
        ASSERT_TRUE(status.ok()) << c.what << ": " << status.error();
        EXPECT_EQ(test::readBytes(file), c.after) << c.what;
        EXPECT_EQ(*readIniValue(file, "Accesso", "Valore"), "NEW") << c.what;
    }
}

TEST_F(SettingsFileTest, WriteCreatesAMissingFileWithCRLF) {
    ASSERT_TRUE(writeIniValue(file, "Accesso", "Valore", "1F21").ok());
    EXPECT_EQ(test::readBytes(file), "[Accesso]\r\nValore=1F21\r\n");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"unins000.dll"});
}

TEST_F(SettingsFileTest, WriteKeepsPermissionsAndWritesThroughALink) {
    const fs::path real = folder.file("real.ini");
    test::writeBytes(real, "[Accesso]\nValore=OLD\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, file);

    ASSERT_TRUE(writeIniValue(file, "Accesso", "Valore", "NEW").ok());
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(test::readBytes(real), "[Accesso]\nValore=NEW\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SettingsFileTest, WriteRefusesNamesAndValuesThatWouldBreakTheFile) {
    const std::string original = "[Accesso]\r\nValore=OLD\r\n";
    const std::vector<std::vector<std::string>> cases = {
        {"Accesso", "Valore", "A\r\nB"}, {"Accesso", "Valore", "A\nB"}, {"Accesso", "  ", "A"},
        {"Accesso", "Val=ore", "A"},     {"Accesso", "[Valore]", "A"},  {"Acc]esso", "Valore", "A"},
        {"Acc\nesso", "Valore", "A"},
    };
    for (const auto& c : cases) {
        test::writeBytes(file, original);
        EXPECT_FALSE(writeIniValue(file, c[0], c[1], c[2]).ok()) << c[0] << " " << c[1] << " " << c[2];
        EXPECT_EQ(test::readBytes(file), original);
    }
}

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    const fs::path missingFolder = folder.file("missing");
    EXPECT_FALSE(writeIniValue(missingFolder / "unins000.dll", "Accesso", "Valore", "X").ok());
    EXPECT_FALSE(fs::exists(missingFolder));

    // A child that may not write past 64 bytes: the temporary file is cut short (a full disk).
    const std::string original = "[Accesso]\r\nValore=OLD\r\n";
    test::writeBytes(file, original);
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(writeIniValue(file, "Accesso", "Valore", std::string(200, 'A')).ok() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(test::readBytes(file), original);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"unins000.dll"});
}

}  // namespace
}  // namespace scortavia
