#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "shell/DesktopLauncher.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;
namespace fs = std::filesystem;

struct EntryCase {
    const char* what;
    std::string folder;
    std::string exec;  // the Exec value as the file holds it
    std::string path;  // the Path and folder values as the file holds them
    std::string fileName;
    std::string severalName;
};

// What the desktop needs to run the folder's program, whatever characters its path holds.
TEST(DesktopLauncherTest, EntryRunsTheFoldersProgramWhateverItsPath) {
    const std::vector<EntryCase> cases = {
        {"plain", "/home/negozio/Scortavia", R"("/home/negozio/Scortavia/scortavia")", "/home/negozio/Scortavia",
         "scortavia-scortavia-", "Scortavia \u2013 Scortavia"},
        {"trailing separator", "/home/negozio/Scortavia/", R"("/home/negozio/Scortavia/scortavia")",
         "/home/negozio/Scortavia", "scortavia-scortavia-", "Scortavia \u2013 Scortavia"},
        {"spaces, quotes, % and accents", "/home/negozio/Bottega \"Da Gino\" 100% Più",
         R"("/home/negozio/Bottega \\"Da Gino\\" 100%% Più/scortavia")", "/home/negozio/Bottega \"Da Gino\" 100% Più",
         "scortavia-bottega-da-gino-100-pi-", "Scortavia \u2013 Bottega \"Da Gino\" 100% Più"},
        {"shell characters and a backslash", "/srv/a$b`c\\d 'e'", R"("/srv/a\\$b\\`c\\\\d 'e'/scortavia")",
         R"(/srv/a$b`c\\d 'e')", "scortavia-a-b-c-d-e-", "Scortavia \u2013 a$b`c\\d 'e'"},
        {"no letters to name the file by", "/srv/Ùè", R"("/srv/Ùè/scortavia")", "/srv/Ùè", "scortavia-",
         "Scortavia \u2013 Ùè"},
    };
    for (const auto& c : cases) {
        const fs::path folder = c.folder;
        const std::string entry = desktopEntry({folder / "scortavia", folder}, launcherName(folder, false));
        EXPECT_NE(entry.find("\nExec=" + c.exec + "\n"), std::string::npos) << c.what << "\n" << entry;
        EXPECT_NE(entry.find("\nPath=" + c.path + "\n"), std::string::npos) << c.what << "\n" << entry;
        EXPECT_NE(entry.find("\nX-Scortavia-Folder=" + c.path + "\n"), std::string::npos) << c.what;
        // Read back, the folder is the one written, separator or not.
        EXPECT_EQ((fs::path(entryValue(entry, kLauncherFolderKey).value_or("")) / "").lexically_normal(),
                  (folder / "").lexically_normal())
            << c.what;
        EXPECT_EQ(entryValue(entry, "Name"), "Scortavia") << c.what;
        EXPECT_EQ(launcherName(folder, true), c.severalName) << c.what;

        const std::string name = launcherFileName(folder);
        EXPECT_TRUE(std::regex_match(name, std::regex(c.fileName + "[0-9a-f]{8}\\.desktop"))) << c.what << ": " << name;
    }
    // Only the whole path tells folders apart: two shops named alike get two launchers.
    EXPECT_NE(launcherFileName("/srv/Roma/Scortavia"), launcherFileName("/srv/Milano/Scortavia"));
}

// The desktop's own checker accepts every entry, the hard paths above included.
TEST(DesktopLauncherTest, TheDesktopAcceptsTheEntries) {
    if (std::system("command -v desktop-file-validate > /dev/null") != 0) GTEST_SKIP() << "no desktop-file-validate";
    TempFolder folder;
    for (const std::string shop : {"Scortavia", "Bottega \"Da Gino\" 100% Più", "a$b`c\\d 'e'"}) {
        const fs::path programFolder = folder.path() / shop;
        const fs::path file = folder.file("scortavia.desktop");
        writeBytes(file, desktopEntry({programFolder / "scortavia", programFolder}, launcherName(programFolder, true)));
        const std::string command =
            "desktop-file-validate '" + file.string() + "' > '" + folder.file("notes").string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << shop << ": " << readBytes(folder.file("notes"));
        EXPECT_EQ(readBytes(folder.file("notes")), "") << shop;
    }
}

TEST(DesktopLauncherTest, RenamingKeepsEverythingButTheName) {
    const std::string entry =
        "# kept\n[Desktop Entry]\nName=Scortavia\nName[it]=Mio\nExec=x\n[Desktop Action A]\nName=A\n";
    EXPECT_EQ(
        withName(entry, "Scortavia \u2013 Roma"),
        "# kept\n[Desktop Entry]\nName=Scortavia \u2013 Roma\nName[it]=Mio\nExec=x\n[Desktop Action A]\nName=A\n");
    EXPECT_EQ(entryValue("[Desktop Entry]\nName = a\\sb\\\\c\n", "Name"), "a b\\c");
    EXPECT_EQ(entryValue("[Other]\nName=a\n", "Name"), std::nullopt);
}

class LauncherWriteTest : public testing::Test {
protected:
    TempFolder home;  // the desktop's data folder
    TempFolder shops;
    fs::path applications = home.path() / "applications";

    fs::path shop(const std::string& name) const {
        fs::create_directories(shops.path() / name);
        return shops.path() / name;
    }
    Result<LauncherWritten> press(const fs::path& folder) const {
        return writeLauncher(home.path(), {folder / "scortavia", folder}, "<svg/>");
    }
    std::string nameIn(const fs::path& folder) const {
        return entryValue(readBytes(applications / launcherFileName(folder)), "Name").value_or("(none)");
    }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(home.path())) {
            if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), home.path()).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(LauncherWriteTest, OneShopIsScortaviaAndASecondPressReplacesIt) {
    const fs::path roma = shop("Roma");
    for (int pressed = 0; pressed < 2; ++pressed) {
        const auto written = press(roma);
        ASSERT_TRUE(written.ok()) << written.error();
        EXPECT_EQ(written->entry, applications / launcherFileName(roma));
        EXPECT_TRUE(written->renamed.empty());
        EXPECT_EQ(readBytes(written->entry), desktopEntry({roma / "scortavia", roma}, "Scortavia"));
        EXPECT_EQ(readBytes(written->icon), "<svg/>");
        // Nothing else: no second entry, no temporary file left.
        EXPECT_EQ(files(), (std::vector<std::string>{"applications/" + launcherFileName(roma),
                                                     "icons/hicolor/scalable/apps/it.scortavia.Scortavia.svg"}));
    }
}

TEST_F(LauncherWriteTest, SeveralShopsAreEachNamedAfterTheirFolder) {
    const fs::path roma = shop("Roma");
    const fs::path milano = shop("Negozio Milano");
    ASSERT_TRUE(press(roma).ok());
    EXPECT_EQ(nameIn(roma), "Scortavia");

    const auto second = press(milano);
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(second->renamed, std::vector<fs::path>{applications / launcherFileName(roma)});
    EXPECT_EQ(nameIn(milano), "Scortavia \u2013 Negozio Milano");
    EXPECT_EQ(nameIn(roma), "Scortavia \u2013 Roma");
    // The renamed entry is the same launcher under its new name.
    EXPECT_EQ(readBytes(applications / launcherFileName(roma)),
              desktopEntry({roma / "scortavia", roma}, "Scortavia \u2013 Roma"));

    // Pressed again in the first shop: both keep their folder names.
    ASSERT_TRUE(press(roma).ok());
    EXPECT_EQ(nameIn(roma), "Scortavia \u2013 Roma");
    EXPECT_EQ(nameIn(milano), "Scortavia \u2013 Negozio Milano");
}

// The shop's folder reached through a link is the same shop: still one, still "Scortavia".
TEST_F(LauncherWriteTest, AFolderReachedThroughALinkIsNoSecondShop) {
    const fs::path roma = shop("Roma");
    ASSERT_TRUE(press(roma).ok());
    const fs::path link = shops.path() / "Collegamento a Roma";
    fs::create_directory_symlink(roma, link);
    const auto written = press(link);
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_TRUE(written->renamed.empty());
    EXPECT_EQ(nameIn(link), "Scortavia");
    EXPECT_EQ(nameIn(roma), "Scortavia");
}

TEST_F(LauncherWriteTest, ALauncherOfAVanishedFolderOrAnotherProgramIsLeftAlone) {
    const fs::path gone = shop("Chiuso");
    ASSERT_TRUE(press(gone).ok());
    fs::remove_all(gone);
    const std::string goneEntry = readBytes(applications / launcherFileName(gone));
    const std::string other = "[Desktop Entry]\nType=Application\nName=Altro\nExec=altro\n";
    writeBytes(applications / "altro.desktop", other);

    const fs::path roma = shop("Roma");
    const auto written = press(roma);
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_TRUE(written->renamed.empty());
    EXPECT_EQ(nameIn(roma), "Scortavia");
    EXPECT_EQ(readBytes(applications / launcherFileName(gone)), goneEntry);
    EXPECT_EQ(readBytes(applications / "altro.desktop"), other);
}

TEST_F(LauncherWriteTest, AFailureIsReportedAndWritesNoEntry) {
    // The applications folder cannot be made: a file stands in its place.
    writeBytes(applications, "");
    const auto written = press(shop("Roma"));
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.error().find("applications"), std::string::npos) << written.error();

    // A path that is no UTF-8 text cannot go into an entry.
    fs::remove(applications);
    const auto latin1 = press(shops.path() / "Citt\xE0");
    EXPECT_FALSE(latin1.ok());
    EXPECT_FALSE(fs::exists(applications / launcherFileName(shops.path() / "Citt\xE0")));
}

}  // namespace
}  // namespace scortavia
