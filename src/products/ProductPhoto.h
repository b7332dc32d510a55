#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <filesystem>

#include "storage/CardProtocol.h"

namespace scortavia {

class PhotoBox;

// The photo file of the card at a position: "7.jpg" in the program folder. Empty for a new card.
QString productPhotoPath(const std::filesystem::path& programFolder, CardPosition position);

// The bytes of a picture file; empty when it is missing, unreadable or not a regular file (a FIFO
// or a device in its place is refused at once instead of hanging the program).
QByteArray readPictureFile(const QString& path);

// The same for a path taken as the bytes of its name, which may be in any encoding.
QByteArray readPictureFile(const std::filesystem::path& path);

// Reads any picture file whole; a null image when it is not one.
QImage readPicture(const QString& path);

// The photo of the card at `position`, whole, or the placeholder when the file is missing or unreadable.
QImage loadProductPhoto(const std::filesystem::path& programFolder, CardPosition position);

// Shows the photo of the card at `position` in `box`, decoded at the size shown, or the
// placeholder when there is none to show.
void showProductPhoto(const std::filesystem::path& programFolder, CardPosition position, PhotoBox& box);

// Writes the photo of `box` as the photo of the card at `position`, replacing the file only once the
// new one is complete. A photo unchanged since it was read is never encoded again: its own bytes are
// written, and nothing at all when the file already holds them. A changed one is encoded as JPEG once
// and the box keeps the bytes written. False when it could not be written.
bool saveProductPhoto(const std::filesystem::path& programFolder, CardPosition position, PhotoBox& box);

// Writes a picture as JPEG through a temporary file, so a failed write never leaves half a photo
// and a link at `path` is replaced, never written through.
bool writeJpeg(const QString& path, const QImage& image);
bool writeJpeg(const std::filesystem::path& path, const QImage& image);

// Writes the photo of `box` as a JPEG file: the bytes it was read or stored as when they are JPEG,
// otherwise the whole picture encoded.
bool writePhotoCopy(const QString& path, const PhotoBox& box);

}  // namespace scortavia
