#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/CardProtocol.h"

namespace scortavia {

// The page photo of slot `slotIndex` (0 for A) of page `page`: "Foto_Listino/Estate_Foto_B_3.jpg" for the
// list "Estate" as the editor shows it, surrounding blanks ignored. Nothing for a page not saved yet, or for
// a list name that would lead out of "Foto_Listino" (a path separator, "." or ".."): such a page has no
// photo to read or write.
std::optional<std::filesystem::path> pagePhotoPath(const std::filesystem::path& programFolder,
                                                   std::string_view listName, int slotIndex, CardPosition page);

// True when the page photo of `page` fits in a file name together with the hidden temporary name it is
// written through ("." + name + ".XXXXXX"): a list whose name is longer than new lists may be (from
// another system) has photos only for the pages whose numbers leave room.
bool pagePhotoNameFits(std::string_view listName, CardPosition page);

// Why the photos of a saved page were not all written.
struct UnsavedPhotos {
    std::vector<int> slots;    // the slots (0 for A) whose photo was not written, in order
    bool nameTooLong = false;  // their names did not fit: no free space would help
    bool empty() const { return slots.empty(); }
};

// The warning that follows the confirmation of a save whose page photos were not all written: which
// slots lost their photo, why and what to do.
std::string unsavedPhotosWarning(const UnsavedPhotos& unsaved);

// Creates "Foto_Listino", and any missing folder above it, when it is not there. False when there is
// no folder of that name afterwards (a file in its way, no right to create it).
bool makePagePhotoFolder(const std::filesystem::path& programFolder);

}  // namespace scortavia
