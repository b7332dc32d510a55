#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
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

TEST(PriceListArchiveNames, EveryNameEndingInLisInAnyCaseIsAList) {
    const std::string tooLong = std::string(240, 'a') + ".lis";
    for (const std::string name : {"Estate.lis", "Estate.LIS", "Estate.Lis", " Estate.lis", "Estate .lis",
                                   ".Estate.lis", ".lis", "Caff\xE8.lis", "Est\tate.lis", tooLong.c_str()}) {
        EXPECT_TRUE(isListArchiveName(name)) << name;
    }
    // The program's own side and temporary files, and what only looks like a list.
    for (const std::string name :
         {".Estate.lis.1a2b3c", ".Estate.lis.tmp", ".Estate_Foto_E_55.jpg.XXXXXX", ".Magazzino.xls.tmp18429-0",
          "Estate.lis.bak", "Estate.li", "lis", "Estatelis", "Magazzino.pro", "a/b.lis", ""}) {
        EXPECT_FALSE(isListArchiveName(name)) << name;
    }
}

struct ShownNameCase {
    const char* what;
    std::string fileName;
    std::string shown;
};

TEST(PriceListArchiveNames, NamesAreShownAsText) {
    const std::vector<ShownNameCase> cases = {
        {"UTF-8 as it is", "Caffè e tè.lis", "Caffè e tè.lis"},
        {"blanks kept", " Estate .lis", " Estate .lis"},
        {"Windows-1252 from another system", "Caff\xE8.lis", "Caffè.lis"},
        {"euro sign, 0x80 in Windows-1252", "\x80uro.lis", "€uro.lis"},
        {"a byte Windows-1252 leaves unassigned", "Caff\x81.lis", "Caff?.lis"},
        {"control characters", "Est\tate\n.lis", "Est?ate?.lis"},
    };
    for (const ShownNameCase& c : cases) EXPECT_EQ(shownFileName(c.fileName), c.shown) << c.what;
}

TEST(PriceListArchiveNames, PhotosAreNamedAfterTheNameTrimmed) {
    EXPECT_EQ(photoListName("Estate.lis"), "Estate");
    EXPECT_EQ(photoListName("Estate.LIS"), "Estate");
    EXPECT_EQ(photoListName("  Estate \t.lis"), "Estate");
    EXPECT_EQ(photoListName(".Estate.lis"), ".Estate");
    EXPECT_EQ(photoListName("Caff\xE8.lis"), "Caff\xE8");
    EXPECT_EQ(photoListName(" .lis"), "");
}

// What the list shows of one archive, in list order.
struct Listed {
    std::string shown;
    ArchiveProblem problem = ArchiveProblem::None;
    std::vector<std::string> sharing = {};
    bool operator==(const Listed&) const = default;
};

void PrintTo(const Listed& l, std::ostream* os) {
    *os << "{\"" << l.shown << "\", problem " << static_cast<int>(l.problem) << ", sharing " << l.sharing.size() << "}";
}

struct ListingCase {
    const char* what;
    std::vector<std::string> files;
    std::vector<Listed> expected;
};

class ArchiveListing : public testing::TestWithParam<ListingCase> {
protected:
    TempFolder folder;
};

TEST_P(ArchiveListing, ListsEveryArchiveAndWhatKeepsItShut) {
    const ListingCase& c = GetParam();
    for (const std::string& name : c.files) test::writeBytes(folder.file(name), "");
    const auto archives = listArchives(folder.path());
    ASSERT_TRUE(archives.ok()) << archives.error();
    std::vector<Listed> listed;
    for (const ListedArchive& a : *archives) {
        listed.push_back({a.shownName, a.problem, a.sharingPhotos});
        // Opened by the bytes on disk, whatever the list shows.
        EXPECT_TRUE(fs::is_regular_file(listedArchivePath(folder.path(), a))) << a.shownName;
        EXPECT_EQ(a.listName + a.shownName.substr(a.shownName.size() - 4), a.shownName);
        EXPECT_EQ(openRefusal(a).empty(), a.canOpen()) << a.shownName;
    }
    EXPECT_EQ(listed, c.expected);
}

using AP = ArchiveProblem;
INSTANTIATE_TEST_SUITE_P(
    PriceListFolder, ArchiveListing,
    testing::Values(
        ListingCase{"extensions differing in case share their photos",
                    {"Estate.lis", "Estate.LIS", "Inverno.lis"},
                    {{"Estate.LIS", AP::SharedPhotos, {"Estate.lis"}},
                     {"Estate.lis", AP::SharedPhotos, {"Estate.LIS"}},
                     {"Inverno.lis"}}},
        ListingCase{"three of one name",
                    {"Estate.lis", "Estate.Lis", " Estate .LIS"},
                    {{" Estate .LIS", AP::SharedPhotos, {"Estate.Lis", "Estate.lis"}},
                     {"Estate.Lis", AP::SharedPhotos, {" Estate .LIS", "Estate.lis"}},
                     {"Estate.lis", AP::SharedPhotos, {" Estate .LIS", "Estate.Lis"}}}},
        ListingCase{"blanks around a name alone", {" Estate.lis", "Inverno .lis"}, {{" Estate.lis"}, {"Inverno .lis"}}},
        ListingCase{
            "blanks around the name of another",
            {"Estate .lis", "Estate.lis"},
            {{"Estate .lis", AP::SharedPhotos, {"Estate.lis"}}, {"Estate.lis", AP::SharedPhotos, {"Estate .lis"}}}},
        ListingCase{
            "a hidden list has photos of its own", {".Estate.lis", "Estate.lis"}, {{".Estate.lis"}, {"Estate.lis"}}},
        ListingCase{"the case of the name itself makes another list",
                    {"estate.lis", "Estate.lis"},
                    {{"Estate.lis"}, {"estate.lis"}}},
        ListingCase{
            "longer than new lists may be", {std::string(240, 'a') + ".lis"}, {{std::string(240, 'a') + ".lis"}}},
        ListingCase{"Windows-1252 beside UTF-8: two lists, photos apart",
                    {"Caff\xE8.lis", "Caffè.lis", "Bar.lis"},
                    {{"Bar.lis"}, {"Caffè.lis"}, {"Caffè.lis"}}},
        ListingCase{"a control character", {"Est\tate.lis"}, {{"Est?ate.lis"}}},
        ListingCase{"names that give the photos none",
                    {".lis", "  .lis", "..lis", "...lis", "....lis", "a\\b.lis"},
                    {{"  .lis", AP::EmptyName},
                     {"....lis"},
                     {"...lis", AP::DotsOnly},
                     {"..lis", AP::DotsOnly},
                     {".lis", AP::EmptyName},
                     {"a\\b.lis", AP::Backslash}}}));

TEST_F(PriceListFolder, ListsNeitherSubfoldersNorLinksNorTheProgramsOtherFiles) {
    touch("Estate.lis");
    fs::create_directory(folder.file("Vecchi"));
    touch("Vecchi/Inverno.lis");
    fs::create_directory(folder.file("Cartella.lis"));
    fs::create_symlink(folder.file("Vecchi/Inverno.lis"), folder.file("Collegamento.lis"));
    for (const char* name : {".Estate.lis.1a2b3c", ".Magazzino.xls.tmp18429-0", "Estate.lis.bak", "Estate.li",
                             "Magazzino.pro", "2024.odc"}) {
        touch(name);
    }
    EXPECT_EQ(listed(), std::vector<std::string>{"Estate.lis"});
}

TEST_F(PriceListFolder, TheWindows1252NameIsTheOneOnDisk) {
    touch("Caff\xE8.lis", "pagine");
    const auto archives = listArchives(folder.path());
    ASSERT_TRUE(archives.ok());
    ASSERT_EQ(archives->size(), 1u);
    EXPECT_EQ((*archives)[0].fileName, "Caff\xE8.lis");
    EXPECT_EQ((*archives)[0].shownName, "Caffè.lis");
    EXPECT_EQ((*archives)[0].listName, "Caffè");
    EXPECT_EQ(test::readBytes(listedArchivePath(folder.path(), (*archives)[0])), "pagine");
}

TEST_F(PriceListFolder, RefusalsNameTheFilesAndSayWhatToDo) {
    touch("Estate.lis");
    touch("Estate.LIS");
    touch(".lis");
    touch("a\\b.lis");
    const auto archives = listArchives(folder.path());
    ASSERT_TRUE(archives.ok());
    std::vector<std::string> refusals;
    for (const ListedArchive& a : *archives) refusals.push_back(openRefusal(a));
    ASSERT_EQ(refusals.size(), 4u);
    EXPECT_EQ(refusals[0],
              "Attenzione: il file «.lis» non può essere aperto come listino prezzi, perché il suo nome senza "
              "l'estensione è vuoto e le foto delle sue pagine non avrebbero un nome.\r\n\r\nPer aprire il listino, "
              "rinominare prima il file nella cartella di installazione del programma.");
    EXPECT_EQ(refusals[1],
              "Attenzione: il file «a\\b.lis» non può essere aperto come listino prezzi, perché il suo nome contiene "
              "la barra rovesciata \\, che non può comparire nei nomi delle foto delle sue pagine.\r\n\r\nPer aprire "
              "il listino, rinominare prima il file nella cartella di installazione del programma.");
    EXPECT_EQ(refusals[2],
              "Attenzione: i file «Estate.LIS» e «Estate.lis» sono due listini prezzi diversi con lo stesso nome, a "
              "parte le maiuscole dell'estensione .lis o gli spazi all'inizio e alla fine: le foto delle loro pagine "
              "nella cartella Foto_Listino avrebbero gli stessi nomi, e salvando una pagina dell'uno si "
              "sostituirebbero le foto dell'altro.\r\n\r\nPer aprire il listino, rinominare prima uno dei due file "
              "nella cartella di installazione del programma.");
    EXPECT_EQ(refusals[3].rfind("Attenzione: i file «Estate.lis» e «Estate.LIS» sono due listini", 0), 0u);
}

TEST_F(PriceListFolder, OpeningLooksAtTheFolderAsItIsNow) {
    touch("Estate.lis");
    EXPECT_TRUE(archiveToOpen(folder.path(), "Estate.lis").canOpen());
    touch("Estate.LIS");
    const ListedArchive twins = archiveToOpen(folder.path(), "Estate.lis");
    EXPECT_EQ(twins.problem, ArchiveProblem::SharedPhotos);
    EXPECT_EQ(twins.sharingPhotos, std::vector<std::string>{"Estate.LIS"});
    // Gone since it was listed: the editor would make it again, beside a list of its photo names.
    fs::remove(folder.file("Estate.lis"));
    const ListedArchive gone = archiveToOpen(folder.path(), "Estate.lis");
    EXPECT_EQ(gone.problem, ArchiveProblem::SharedPhotos);
    EXPECT_EQ(gone.sharingPhotos, std::vector<std::string>{"Estate.LIS"});
    // Gone with no other of its photo names: it is made again empty, as any archive is.
    const ListedArchive alone = archiveToOpen(folder.path(), "Inverno.lis");
    EXPECT_TRUE(alone.canOpen());
    EXPECT_EQ(alone.shownName, "Inverno.lis");
    EXPECT_EQ(alone.listName, "Inverno");
    EXPECT_EQ(archiveToOpen(folder.path(), " .lis").problem, ArchiveProblem::EmptyName);
}

TEST_F(PriceListFolder, ASaveIsRefusedWhileAnotherArchiveHasItsPhotoNames) {
    touch("Estate.lis");
    EXPECT_TRUE(archivesSharingPhotos(folder.path(), "Estate.lis", "Estate").empty());
    touch("Estate.LIS");
    touch(" Estate.lis");
    touch("Estate2.lis");
    const std::vector<std::string> others = archivesSharingPhotos(folder.path(), "Estate.lis", "Estate");
    EXPECT_EQ(others, (std::vector<std::string>{" Estate.lis", "Estate.LIS"}));
    EXPECT_EQ(sharedPhotosSaveRefusal("Estate.lis", {"Estate.LIS"}),
              "Attenzione: la scheda non è stata salvata. Nella cartella del programma c'è anche il listino prezzi "
              "«Estate.LIS», con lo stesso nome di questo («Estate.lis») a parte le maiuscole dell'estensione .lis o "
              "gli spazi all'inizio e alla fine: le foto delle sue pagine hanno gli stessi nomi, e salvando questa "
              "pagina si sostituirebbero.\r\n\r\nRinominare uno dei due file nella cartella di installazione del "
              "programma, poi aprire di nuovo il listino.");
    EXPECT_EQ(sharedPhotosSaveRefusal("Estate.lis", others)
                  .rfind("Attenzione: la scheda non è stata salvata. Nella cartella del programma ci sono anche i "
                         "listini prezzi « Estate.lis» e «Estate.LIS», con lo stesso nome di questo («Estate.lis»)",
                         0),
              0u);
    // A folder that cannot be read hides nothing it could tell: the save goes on to fail on its own.
    EXPECT_TRUE(archivesSharingPhotos(folder.file("mancante"), "Estate.lis", "Estate").empty());
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

TEST_F(PriceListFolder, NeverMakesAListWhosePhotosWouldBeAnothersNamesake) {
    touch(" Inverno.lis", "pagine");
    touch("Autunno .LIS", "pagine");
    touch(".Primavera.lis", "pagine");
    for (const char* name : {"Inverno", "Autunno"}) {
        EXPECT_EQ(createListArchive(folder.path(), name).outcome, CreateOutcome::NameTaken) << name;
        EXPECT_FALSE(fs::exists(folder.file(std::string(name) + ".lis"))) << name;
    }
    // Photos named ".Primavera_Foto_..." are another list's.
    EXPECT_EQ(createListArchive(folder.path(), "Primavera").outcome, CreateOutcome::Created);
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
    touch(".Estate.lis.1a2b3c", "x");
    for (const char* name :
         {"Cartella.lis", "Magazzino.pro", ".Estate.lis.1a2b3c", "../x.lis", "Cartella.lis/dentro", "..", "."}) {
        const Status deleted = deleteListArchive(folder.path(), name);
        EXPECT_FALSE(deleted.ok()) << name;
        EXPECT_FALSE(deleted.error().empty()) << name;
    }
    EXPECT_TRUE(fs::exists(folder.file("Cartella.lis/dentro")));
    EXPECT_TRUE(fs::exists(folder.file("Magazzino.pro")));
    EXPECT_TRUE(fs::exists(folder.file(".Estate.lis.1a2b3c")));
}

TEST_F(PriceListFolder, DeletesAListByTheBytesOfItsName) {
    touch("Caff\xE8.lis", "pagine");
    touch("Caffè.lis", "pagine");
    touch(".nascosto.lis", "pagine");
    touch(" Estate.lis", "pagine");
    for (const char* name : {"Caff\xE8.lis", ".nascosto.lis", " Estate.lis"}) {
        EXPECT_TRUE(deleteListArchive(folder.path(), name).ok()) << name;
        EXPECT_FALSE(fs::exists(folder.file(name))) << name;
    }
    EXPECT_EQ(listed(), std::vector<std::string>{"Caffè.lis"});
}

}  // namespace
}  // namespace scortavia
