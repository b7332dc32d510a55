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
                      // Only the eight slots A to H.
                      PhotoNameCase{"Estate", 8, 1, std::nullopt}, PhotoNameCase{"Estate", -1, 1, std::nullopt}));

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
