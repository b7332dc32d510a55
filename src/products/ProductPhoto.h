#pragma once

#include <QImage>
#include <QString>
#include <filesystem>

namespace scortavia {

// The photo file of the card at a position (the text of lblPosizione): "7.jpg" in the program
// folder. Empty when the position is not a card's position.
QString productPhotoPath(const std::filesystem::path& programFolder, const QString& position);

// The photo of the card at `position`, or the placeholder when the file is missing or unreadable.
QImage loadProductPhoto(const std::filesystem::path& programFolder, const QString& position);

// Writes the photo of the card at `position`, replacing the file only once the new one is
// complete. False when it could not be written.
bool saveProductPhoto(const std::filesystem::path& programFolder, const QString& position, const QImage& photo);

// Reads any picture file; a null image when it is not one.
QImage readPicture(const QString& path);

// Writes a picture as JPEG through a temporary file, so a failed write never leaves half a photo.
bool writeJpeg(const QString& path, const QImage& image);

}  // namespace scortavia
