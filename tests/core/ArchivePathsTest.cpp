#include <gtest/gtest.h>

#include "storage/ArchivePaths.h"

namespace scortavia {
namespace {

TEST(ArchivePaths, EveryFileLivesInTheProgramFolderUnderItsName) {
    const std::filesystem::path folder = "/opt/Scortavia";
    using paths::Direction;
    const std::vector<std::pair<std::filesystem::path, std::string>> table = {
        {paths::productArchive(folder), "/opt/Scortavia/Magazzino.pro"},
        {paths::movementArchive(folder, "2024", Direction::GoodsIn), "/opt/Scortavia/2024.odc"},
        {paths::movementArchive(folder, "2024", Direction::GoodsOut), "/opt/Scortavia/2024.ods"},
        {paths::priceListArchive(folder, "Estate"), "/opt/Scortavia/Estate.lis"},
        {paths::priceListArchive(folder, "Listino primavera"), "/opt/Scortavia/Listino primavera.lis"},
        {paths::productPhoto(folder, 7), "/opt/Scortavia/7.jpg"},
        {paths::priceListPhoto(folder, "Estate", 1, 3), "/opt/Scortavia/Foto_Listino/Estate_Foto_B_3.jpg"},
        {paths::priceListPhoto(folder, "Estate", 7, 12), "/opt/Scortavia/Foto_Listino/Estate_Foto_H_12.jpg"},
        {paths::priceListPrintCopy(folder, "Estate", 0), "/opt/Scortavia/Foto_Listino/Estate_Anteprima_A.jpg"},
        {paths::attachmentFolder(folder), "/opt/Scortavia/Documenti_Allegati"},
        {paths::settingsFile(folder), "/opt/Scortavia/unins000.dll"},
    };
    for (const auto& [path, expected] : table) EXPECT_EQ(path.string(), expected);
}

TEST(ArchivePaths, PlainFileNamesCannotLeaveTheirFolder) {
    for (const char* ok : {"fattura.pdf", "Listino 2024", "a..b", ".nascosto"})
        EXPECT_TRUE(paths::isPlainFileName(ok)) << ok;
    for (const char* bad : {"", ".", "..", "../x", "a/b", "..\\x", "/etc/passwd"})
        EXPECT_FALSE(paths::isPlainFileName(bad)) << bad;
}

}  // namespace
}  // namespace scortavia
