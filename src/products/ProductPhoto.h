#pragma once

#include <QImage>
#include <QString>
#include <filesystem>

#include "storage/CardProtocol.h"

namespace scortavia {

// The photo file of the card at a position: "7.jpg" in the program folder. Empty for a new card.
QString productPhotoPath(const std::filesystem::path& programFolder, CardPosition position);

// The photo of the card at `position`, or the placeholder when the file is missing or unreadable.
QImage loadProductPhoto(const std::filesystem::path& programFolder, CardPosition position);

// Writes the photo of the card at `position`, replacing the file only once the new one is
// complete. False when it could not be written.
bool saveProductPhoto(const std::filesystem::path& programFolder, CardPosition position, const QImage& photo);

// Reads any picture file; a null image when it is not one.
QImage readPicture(const QString& path);

// Writes a picture as JPEG through a temporary file, so a failed write never leaves half a photo.
bool writeJpeg(const QString& path, const QImage& image);

}  // namespace scortavia
