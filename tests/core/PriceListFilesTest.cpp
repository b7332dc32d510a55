#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pricelists/PriceListFiles.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

struct NameCase {
    const char* what;
    std::string typed;
    std::string name;  // after trimming
    ListNameProblem problem;
};

std::string repeated(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

const std::vector<NameCase>& nameCases() {
    using P = ListNameProblem;
    static const std::vector<NameCase> cases = {
        {"plain", "Estate", "Estate", P::None},
        {"blanks around", " Estate ", "Estate", P::None},
        {"dots inside", "Listino 2.0..finale", "Listino 2.0..finale", P::None},
        {"vertical bar", "Estate|Inverno", "Estate|Inverno", P::None},
        {"pasted Windows-only characters", "Prezzi: sì? \"no\" <*>", "Prezzi: sì? \"no\" <*>", P::None},
        {"accents and euro", "Caffè e tè €", "Caffè e tè €", P::None},
        {"empty", "", "", P::Empty},
        {"blanks only", "   ", "", P::Empty},
        {"tab and blanks only", " \t ", "", P::Empty},
        {"pasted ../x", "../x", "../x", P::Separator},
        {"a/b", "a/b", "a/b", P::Separator},
        {"backslash", "a\\b", "a\\b", P::Separator},
        {"absolute path", "/etc/passwd", "/etc/passwd", P::Separator},
        {"hidden", ".hidden", ".hidden", P::LeadingDot},
        {"dot", ".", ".", P::LeadingDot},
        {"dot dot", "..", "..", P::LeadingDot},
        {"dot after a blank", " .x", ".x", P::LeadingDot},
        {"tab inside", "Est\tate", "Est\tate", P::ControlCharacter},
        {"line feed inside", "Est\nate", "Est\nate", P::ControlCharacter},
        {"delete character",
         "Est\x7F"
         "ate",
         "Est\x7F"
         "ate",
         P::ControlCharacter},
        {"C1 control",
         "Est\xC2\x85"
         "ate",
         "Est\xC2\x85"
         "ate",
         P::ControlCharacter},
        {"not UTF-8",
         "Est\xFF"
         "ate",
         "Est\xFF"
         "ate",
         P::NotUtf8},
        {"cut UTF-8", "Est\xC3", "Est\xC3", P::NotUtf8},
        {"overlong slash",
         "a\xC0\xAF"
         "b",
         "a\xC0\xAF"
         "b",
         P::NotUtf8},
        // NAME_MAX is 255 bytes; the longest name made from a list's is its page photo's temporary name,
        // "." + name + "_Foto_H_" + 10 digits + ".jpg" + ".XXXXXX": 30 bytes more.
        {"225 letters", repeated("a", 225), repeated("a", 225), P::None},
        {"226 letters", repeated("a", 226), repeated("a", 226), P::TooLong},
        {"112 accented letters: 224 bytes", repeated("è", 112), repeated("è", 112), P::None},
        {"113 accented letters: 226 bytes", repeated("è", 113), repeated("è", 113), P::TooLong},
    };
    return cases;
}

TEST(PriceListNames, TheRuleKeepsTheArchiveAPlainVisibleFileOfTheFolder) {
    for (const NameCase& c : nameCases()) {
        const ListNameCheck check = checkListName(c.typed);
        EXPECT_EQ(check.name, c.name) << c.what;
        EXPECT_EQ(check.problem, c.problem) << c.what;
    }
}

TEST(PriceListNames, EveryRefusalIsExplainedWithTheCharactersAllowed) {
    using P = ListNameProblem;
    for (const P problem : {P::NotUtf8, P::Separator, P::ControlCharacter, P::LeadingDot, P::TooLong}) {
        const std::string text = listNameWarning(problem);
        EXPECT_EQ(text.rfind("Attenzione: ", 0), 0u) << text;
        EXPECT_NE(text.find("Il nome può contenere lettere"), std::string::npos) << text;
    }
    EXPECT_NE(listNameWarning(P::Separator), listNameWarning(P::LeadingDot));
}

TEST(PriceListNames, TypingRefusesExactlyThirteenCharacters) {
    const std::u32string refused = U"\"*/:<>?\\°ÇÑçñ";
    ASSERT_EQ(refused.size(), 13u);
    for (const char32_t c : refused) EXPECT_TRUE(refusedWhenTyped(c)) << static_cast<unsigned>(c);
    for (const char32_t c : std::u32string(U"|aZ09 .,;-_'àèéìòùÀ€!@#%&()[]{}")) {
        EXPECT_FALSE(refusedWhenTyped(c)) << static_cast<unsigned>(c);
    }
}

class PriceListFolder : public testing::Test {
protected:
    TempFolder folder;

    void touch(const std::string& name, const std::string& bytes = {}) const {
        test::writeBytes(folder.file(name), bytes);
    }
    std::vector<std::string> listed() const {
        const auto archives = listArchives(folder.path());
        EXPECT_TRUE(archives.ok()) << archives.error();
        std::vector<std::string> names;
        if (archives) {
            for (const ListedArchive& a : *archives) names.push_back(a.fileName);
        }
        return names;
    }
};

TEST_F(PriceListFolder, ListsTheArchivesIgnoringTheCaseOfAToZ) {
    for (const char* name : {"c.lis", "b.lis", "A.lis"}) touch(name);
    EXPECT_EQ(listed(), (std::vector<std::string>{"A.lis", "b.lis", "c.lis"}));
}

TEST_F(PriceListFolder, OrdersByLowerCaseLettersThenByWindows1252Codes) {
    // "_" (0x5F) lies between "Z" and "a": it sorts before letters only when they are folded to lower case.
    // "€" is 0x80 in Windows-1252 and "À" 0xC0, though their code points are the other way round.
    for (const char* name : {"Zeta.lis", "Àrea.lis", "alfa.lis", "€uro.lis", "_Saldi.lis", "a.lis", "A.lis"}) {
        touch(name);
    }
    EXPECT_EQ(listed(), (std::vector<std::string>{"_Saldi.lis", "A.lis", "a.lis", "alfa.lis", "Zeta.lis", "€uro.lis",
                                                  "Àrea.lis"}));
}

TEST_F(PriceListFolder, AnExtensionInCapitalsIsListedUnderItsOwnName) {
    touch("Vecchio.LIS");
    touch("Misto.Lis");
    const auto archives = listArchives(folder.path());
    ASSERT_TRUE(archives.ok());
    ASSERT_EQ(archives->size(), 2u);
    EXPECT_EQ((*archives)[0].fileName, "Misto.Lis");
    EXPECT_EQ((*archives)[1].fileName, "Vecchio.LIS");
    EXPECT_EQ((*archives)[1].listName, "Vecchio");
    EXPECT_EQ(listedArchivePath(folder.path(), (*archives)[1]), folder.file("Vecchio.LIS"));
}

TEST_F(PriceListFolder, ListsOnlyTheFolderItsOwnVisibleArchives) {
    touch("Estate.lis");
    fs::create_directory(folder.file("Vecchi"));
    touch("Vecchi/Inverno.lis");
    fs::create_directory(folder.file("Cartella.lis"));
    fs::create_symlink(folder.file("Vecchi/Inverno.lis"), folder.file("Collegamento.lis"));
    for (const char* name : {".nascosto.lis", ".lis", " Spazio.lis", "Spazio .lis", "Estate.lis.bak", "Estate.li",
                             "Magazzino.pro", "2024.odc"}) {
        touch(name);
    }
    EXPECT_EQ(listed(), std::vector<std::string>{"Estate.lis"});
}

TEST_F(PriceListFolder, AFolderThatCannotBeReadIsAFailure) {
    EXPECT_FALSE(listArchives(folder.file("mancante")).ok());
    EXPECT_TRUE(listed().empty());
}

TEST_F(PriceListFolder, CreatesAnEmptyArchive) {
    const CreateResult created = createListArchive(folder.path(), "Estate");
    EXPECT_EQ(created.outcome, CreateOutcome::Created) << created.error;
    EXPECT_EQ(created.path, folder.file("Estate.lis"));
    ASSERT_TRUE(fs::is_regular_file(folder.file("Estate.lis")));
    EXPECT_EQ(fs::file_size(folder.file("Estate.lis")), 0u);
}

TEST_F(PriceListFolder, NeverTouchesWhatHoldsTheName) {
    touch("Estate.lis", "pagine");
    touch("Vecchio.LIS", "pagine");
    fs::create_directory(folder.file("Cartella.lis"));
    fs::create_symlink(folder.file("altrove"), folder.file("Fantasma.lis"));
    for (const char* name : {"Estate", "Vecchio", "Cartella", "Fantasma"}) {
        EXPECT_EQ(createListArchive(folder.path(), name).outcome, CreateOutcome::NameTaken) << name;
    }
    EXPECT_EQ(test::readBytes(folder.file("Estate.lis")), "pagine");
    EXPECT_EQ(test::readBytes(folder.file("Vecchio.LIS")), "pagine");
    // A list differing only in the case of its extension would share the other's photos.
    EXPECT_FALSE(fs::exists(folder.file("Vecchio.lis")));
    EXPECT_FALSE(fs::exists(folder.file("altrove")));
    // The case of the name itself makes another list on a case-sensitive file system.
    EXPECT_EQ(createListArchive(folder.path(), "estate").outcome, CreateOutcome::Created);
}

TEST_F(PriceListFolder, ACreationThatFailsSaysWhy) {
    touch("file");
    for (const fs::path& programFolder : {folder.file("mancante"), folder.file("file")}) {
        const CreateResult created = createListArchive(programFolder, "Estate");
        EXPECT_EQ(created.outcome, CreateOutcome::Failed) << programFolder;
        EXPECT_NE(created.error.find(programFolder.string()), std::string::npos) << created.error;
    }
    EXPECT_FALSE(fs::exists(folder.file("mancante")));
}

TEST_F(PriceListFolder, DeletingRemovesTheArchiveAndLeavesThePhotos) {
    touch("Estate.lis", "pagine");
    fs::create_directory(folder.file("Foto_Listino"));
    touch("Foto_Listino/Estate_Foto_A_1.jpg", "jpeg");
    touch("Foto_Listino/Estate_Anteprima_A.jpg", "jpeg");
    EXPECT_TRUE(deleteListArchive(folder.path(), "Estate.lis").ok());
    EXPECT_FALSE(fs::exists(folder.file("Estate.lis")));
    EXPECT_TRUE(fs::exists(folder.file("Foto_Listino/Estate_Foto_A_1.jpg")));
    EXPECT_TRUE(fs::exists(folder.file("Foto_Listino/Estate_Anteprima_A.jpg")));
    // Already gone (another copy of the program deleted it): what the user asked for is done.
    EXPECT_TRUE(deleteListArchive(folder.path(), "Estate.lis").ok());
}

TEST_F(PriceListFolder, DeletesNothingButAListArchive) {
    fs::create_directory(folder.file("Cartella.lis"));
    touch("Cartella.lis/dentro", "x");
    touch("Magazzino.pro", "x");
    touch(".nascosto.lis", "x");
    for (const char* name : {"Cartella.lis", "Magazzino.pro", ".nascosto.lis", "../x.lis", "Cartella.lis/dentro"}) {
        const Status deleted = deleteListArchive(folder.path(), name);
        EXPECT_FALSE(deleted.ok()) << name;
        EXPECT_FALSE(deleted.error().empty()) << name;
    }
    EXPECT_TRUE(fs::exists(folder.file("Cartella.lis/dentro")));
    EXPECT_TRUE(fs::exists(folder.file("Magazzino.pro")));
    EXPECT_TRUE(fs::exists(folder.file(".nascosto.lis")));
}

}  // namespace
}  // namespace scortavia
