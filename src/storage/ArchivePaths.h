#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Every file and folder the program keeps, all inside the program folder (the executable's folder).
namespace scortavia::paths {

inline constexpr std::string_view kProductArchive = "Magazzino.pro";
inline constexpr std::string_view kGoodsInExtension = ".odc";
inline constexpr std::string_view kGoodsOutExtension = ".ods";
inline constexpr std::string_view kPriceListExtension = ".lis";
inline constexpr std::string_view kPriceListPhotoFolder = "Foto_Listino";
inline constexpr std::string_view kAttachmentFolder = "Documenti_Allegati";
inline constexpr std::string_view kSettingsFile = "unins000.dll";
inline constexpr std::string_view kGuide = "Guida.pdf";

enum class Direction { GoodsIn, GoodsOut };

std::filesystem::path productArchive(const std::filesystem::path& programFolder);

// Year archive of one direction: the year as typed (four characters) + ".odc" or ".ods".
std::filesystem::path movementArchive(const std::filesystem::path& programFolder, std::string_view year,
                                      Direction direction);

// Price list archive: list name + ".lis".
std::filesystem::path priceListArchive(const std::filesystem::path& programFolder, std::string_view listName);

// Product photo, named after the card's 1-based position: "7.jpg".
std::filesystem::path productPhoto(const std::filesystem::path& programFolder, std::int64_t position);

std::filesystem::path priceListPhotoFolder(const std::filesystem::path& programFolder);

// Photo of one slot of one page: "Estate_Foto_B_3.jpg" for slot B (index 1) of page 3.
std::filesystem::path priceListPhoto(const std::filesystem::path& programFolder, std::string_view listName,
                                     int slotIndex, std::int64_t page);

// Print copy of one slot, one set per list: "Estate_Anteprima_B.jpg".
std::filesystem::path priceListPrintCopy(const std::filesystem::path& programFolder, std::string_view listName,
                                         int slotIndex);

std::filesystem::path attachmentFolder(const std::filesystem::path& programFolder);
std::filesystem::path settingsFile(const std::filesystem::path& programFolder);

// A name typed by the user (a year, a list name) or read from a record (an attachment) that can be
// joined to a folder without leaving it: not empty, no path separator, not "." or "..".
bool isPlainFileName(std::string_view name);

}  // namespace scortavia::paths
