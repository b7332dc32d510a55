#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "storage/CardProtocol.h"

namespace scortavia {

// The page photo of slot `slotIndex` (0 for A) of page `page`: "Foto_Listino/Estate_Foto_B_3.jpg" for the
// list "Estate" as the editor shows it, surrounding blanks ignored. Nothing for a page not saved yet, or for
// a list name that would lead out of "Foto_Listino" (a path separator, "." or ".."): such a page has no
// photo to read or write.
std::optional<std::filesystem::path> pagePhotoPath(const std::filesystem::path& programFolder,
                                                   std::string_view listName, int slotIndex, CardPosition page);

// Creates "Foto_Listino", and any missing folder above it, when it is not there. False when there is
// no folder of that name afterwards (a file in its way, no right to create it).
bool makePagePhotoFolder(const std::filesystem::path& programFolder);

}  // namespace scortavia
