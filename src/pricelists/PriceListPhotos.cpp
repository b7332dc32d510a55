#include "pricelists/PriceListPhotos.h"

#include <system_error>

#include "common/TextRules.h"
#include "storage/ArchivePaths.h"
#include "storage/PriceListPage.h"

namespace scortavia {

std::optional<std::filesystem::path> pagePhotoPath(const std::filesystem::path& programFolder,
                                                   std::string_view listName, int slotIndex, CardPosition page) {
    const std::string_view name = trimBlanks(listName);
    if (page < 1 || slotIndex < 0 || slotIndex >= PriceListPage::kSlots || !paths::isPlainFileName(name))
        return std::nullopt;
    return paths::priceListPhoto(programFolder, name, slotIndex, page);
}

bool makePagePhotoFolder(const std::filesystem::path& programFolder) {
    const std::filesystem::path folder = paths::priceListPhotoFolder(programFolder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

}  // namespace scortavia
