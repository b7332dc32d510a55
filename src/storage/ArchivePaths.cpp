#include "storage/ArchivePaths.h"

#include <string>

namespace scortavia::paths {
namespace {

std::filesystem::path join(const std::filesystem::path& folder, std::string_view name) {
    return folder / std::filesystem::path(std::string(name));
}

std::string concat(std::string_view a, std::string_view b) {
    std::string s(a);
    s.append(b);
    return s;
}

}  // namespace

std::filesystem::path productArchive(const std::filesystem::path& programFolder) {
    return join(programFolder, kProductArchive);
}

std::filesystem::path movementArchive(const std::filesystem::path& programFolder, std::string_view year,
                                      Direction direction) {
    return join(programFolder, concat(year, direction == Direction::GoodsIn ? kGoodsInExtension : kGoodsOutExtension));
}

std::filesystem::path priceListArchive(const std::filesystem::path& programFolder, std::string_view listName) {
    return join(programFolder, concat(listName, kPriceListExtension));
}

std::filesystem::path productPhoto(const std::filesystem::path& programFolder, std::int64_t position) {
    return join(programFolder, std::to_string(position) + ".jpg");
}

std::filesystem::path priceListPhotoFolder(const std::filesystem::path& programFolder) {
    return join(programFolder, kPriceListPhotoFolder);
}

std::filesystem::path priceListPhoto(const std::filesystem::path& programFolder, std::string_view listName,
                                     int slotIndex, std::int64_t page) {
    std::string name(listName);
    name += "_Foto_";
    name += static_cast<char>('A' + slotIndex);
    name += '_';
    name += std::to_string(page);
    name += ".jpg";
    return join(priceListPhotoFolder(programFolder), name);
}

std::filesystem::path priceListPrintCopy(const std::filesystem::path& programFolder, std::string_view listName,
                                         int slotIndex) {
    std::string name(listName);
    name += "_Anteprima_";
    name += static_cast<char>('A' + slotIndex);
    name += ".jpg";
    return join(priceListPhotoFolder(programFolder), name);
}

std::filesystem::path attachmentFolder(const std::filesystem::path& programFolder) {
    return join(programFolder, kAttachmentFolder);
}

std::filesystem::path settingsFile(const std::filesystem::path& programFolder) {
    return join(programFolder, kSettingsFile);
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace scortavia::paths
