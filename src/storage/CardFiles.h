#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/Result.h"

namespace scortavia {

// The photos and documents of the cards, named by their full path in the program folder, kept by the
// engine in charge of that folder: as plain files there, or on its server. A path the program does not
// keep (a picture the user chose on another disk, a print copy) is always a plain file.

// The whole file; nothing when it is not there, a failure when it is larger than `maxBytes`.
Result<std::optional<std::string>> readCardFile(const std::filesystem::path& file, std::size_t maxBytes);

// Whether the file is there.
Result<bool> cardFileExists(const std::filesystem::path& file);

// Writes the whole file, in place of any it replaces: a failure at any point leaves the old one.
Status writeCardFile(const std::filesystem::path& file, std::string_view bytes);

// Copies a file from anywhere (a document the user chose) into a card's file, whole or not at all.
Status copyIntoCardFile(const std::filesystem::path& source, const std::filesystem::path& file);

// Removes the file; one that is not there is no failure.
Status removeCardFile(const std::filesystem::path& file);

// A plain file with the card file's bytes, for the desktop to open: the file itself in a folder, a copy
// in `scratchFolder` when a server keeps it.
Result<std::filesystem::path> openableCardFile(const std::filesystem::path& file,
                                               const std::filesystem::path& scratchFolder);

}  // namespace scortavia
