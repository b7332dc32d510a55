#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "pricelists/PriceListPhotos.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

struct PhotoNameCase {
    const char* listName;
    int slot;
    CardPosition page;
    std::optional<std::string> expected;  // relative to the program folder
};

class PagePhotoPath : public ::testing::TestWithParam<PhotoNameCase> {};

TEST_P(PagePhotoPath, NamesTheSlotsFileOrNothing) {
    const PhotoNameCase& c = GetParam();
    const std::filesystem::path folder = "/opt/Scortavia";
    const auto path = pagePhotoPath(folder, c.listName, c.slot, c.page);
    ASSERT_EQ(path.has_value(), c.expected.has_value());
    if (path) {
        EXPECT_EQ(path->string(), (folder / *c.expected).string());
    }
}

INSTANTIATE_TEST_SUITE_P(
    PriceListPhotos, PagePhotoPath,
    ::testing::Values(PhotoNameCase{"Estate", 0, 1, "Foto_Listino/Estate_Foto_A_1.jpg"},
                      PhotoNameCase{"Estate", 1, 3, "Foto_Listino/Estate_Foto_B_3.jpg"},
                      PhotoNameCase{"Listino 2024", 7, 120, "Foto_Listino/Listino 2024_Foto_H_120.jpg"},
                      // The name as the title bar shows it: surrounding blanks are no part of it.
                      PhotoNameCase{"  Estate \t", 2, 4, "Foto_Listino/Estate_Foto_C_4.jpg"},
                      // A page not saved yet has no photos.
                      PhotoNameCase{"Estate", 0, 0, std::nullopt},
                      // Names that would lead out of "Foto_Listino".
                      PhotoNameCase{"../Magazzino", 0, 1, std::nullopt}, PhotoNameCase{"a/b", 0, 1, std::nullopt},
                      PhotoNameCase{"..", 0, 1, std::nullopt}, PhotoNameCase{"   ", 0, 1, std::nullopt},
                      // A name in Windows-1252 from another system keeps its bytes, as its photos on disk do.
                      PhotoNameCase{"Caff\xE8", 0, 2, "Foto_Listino/Caff\xE8_Foto_A_2.jpg"},
                      PhotoNameCase{".Estate", 0, 1, "Foto_Listino/.Estate_Foto_A_1.jpg"},
                      // Only the eight slots A to H.
                      PhotoNameCase{"Estate", 8, 1, std::nullopt}, PhotoNameCase{"Estate", -1, 1, std::nullopt}));

struct FitCase {
    std::size_t nameBytes;
    CardPosition page;
    bool fits;
};

// A photo name, and the temporary name it is written through ("." + name + ".XXXXXX"), must fit in
// 255 bytes: name + "_Foto_A_" + page + ".jpg" + 8.
TEST(PriceListPhotos, APhotoNameFitsInAFileNameWithItsTemporaryName) {
    const FitCase cases[] = {
        {6, 1, true},
        {225, 9999999999, true},  // the longest name a new list may have, at the highest page
        {226, 9999999999, false},
        {226, 999999999, true},
        {234, 9, true},
        {234, 10, false},
        {235, 1, false},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(pagePhotoNameFits(std::string(c.nameBytes, 'a'), c.page), c.fits) << c.nameBytes << " " << c.page;
    }
    // Blanks around are no part of the name.
    EXPECT_TRUE(pagePhotoNameFits("   " + std::string(234, 'a') + "   ", 9));
}

struct WarningCase {
    const char* what;
    UnsavedPhotos unsaved;
    std::string text;
};

TEST(PriceListPhotos, UnsavedPhotosAreToldBySlotWithWhatToDo) {
    const std::string disk =
        " nella cartella Foto_Listino: il disco potrebbe essere pieno oppure la cartella protetta in scrittura. ";
    const std::string advice =
        "\r\n\r\nLiberare spazio sul disco o accertarsi di possedere i privilegi di scrittura nella cartella, poi "
        "caricare di nuovo ";
    const WarningCase cases[] = {
        {"one slot",
         {{2}},
         "Attenzione: la foto del riquadro C non è stata salvata" + disk +
             "Nel riquadro ora compare l'immagine predefinita." + advice + "la foto e salvare ancora la scheda."},
        {"two slots",
         {{2, 7}},
         "Attenzione: le foto dei riquadri C e H non sono state salvate" + disk +
             "Nei riquadri ora compare l'immagine predefinita." + advice + "le foto e salvare ancora la scheda."},
        {"six slots",
         {{2, 3, 4, 5, 6, 7}},
         "Attenzione: le foto dei riquadri C, D, E, F, G e H non sono state salvate" + disk +
             "Nei riquadri ora compare l'immagine predefinita." + advice + "le foto e salvare ancora la scheda."},
        {"every slot",
         {{0, 1, 2, 3, 4, 5, 6, 7}},
         "Attenzione: le foto di tutti i riquadri, dalla A alla H, non sono state salvate" + disk +
             "Nei riquadri ora compare l'immagine predefinita." + advice + "le foto e salvare ancora la scheda."},
        {"a name too long",
         {{0, 1, 2, 3, 4, 5, 6, 7}, true},
         "Attenzione: le foto di tutti i riquadri, dalla A alla H, non sono state salvate nella cartella "
         "Foto_Listino, perché il nome del listino è troppo lungo per i nomi dei file delle foto (le lettere "
         "accentate e i simboli occupano più spazio delle lettere semplici).\r\n\r\nPer conservare le foto delle "
         "pagine, rinominare il file del listino con un nome più breve nella cartella di installazione del "
         "programma."},
    };
    for (const WarningCase& c : cases) EXPECT_EQ(unsavedPhotosWarning(c.unsaved), c.text) << c.what;
}

TEST(PriceListPhotos, ThePhotoFolderIsCreatedWithTheFoldersAboveIt) {
    const test::TempFolder temp;
    const std::filesystem::path program = temp.file("Programmi") / "Scortavia";
    EXPECT_TRUE(makePagePhotoFolder(program));
    EXPECT_TRUE(std::filesystem::is_directory(program / "Foto_Listino"));
    EXPECT_TRUE(makePagePhotoFolder(program));  // already there

    // A file standing where the folder should be.
    test::writeBytes(temp.file("Foto_Listino"), "x");
    EXPECT_FALSE(makePagePhotoFolder(temp.path()));
    EXPECT_EQ(test::readBytes(temp.file("Foto_Listino")), "x");
}

}  // namespace
}  // namespace scortavia
