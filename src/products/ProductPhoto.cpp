#include "products/ProductPhoto.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <string_view>

#include "storage/ArchivePaths.h"
#include "storage/CardFiles.h"
#include "ui/PhotoBox.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

// Larger than any photo a camera makes; a bigger file is not read into memory at all.
constexpr std::size_t kMaxPictureBytes = std::size_t{256} << 20;

fs::path nativePath(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

std::string_view viewOf(const QByteArray& bytes) { return {bytes.constData(), static_cast<std::size_t>(bytes.size())}; }

bool writeFile(const fs::path& path, const QByteArray& bytes) {
    return !path.empty() && !bytes.isEmpty() && writeCardFile(path, viewOf(bytes)).ok();
}

// True when the file at `path` holds exactly `bytes` (in a folder: itself, not a link to one).
bool holdsExactly(const fs::path& path, const QByteArray& bytes) {
    std::error_code error;
    if (fs::symlink_status(path, error).type() == fs::file_type::symlink) return false;
    const auto read = readCardFile(path, static_cast<std::size_t>(bytes.size()));
    return read && read->has_value() && **read == viewOf(bytes);
}

// The picture as JPEG (quality 92); empty when it cannot be encoded.
QByteArray encodeJpeg(const QImage& image) {
    if (image.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(92);
    if (!writer.write(image)) return {};
    return bytes;
}

bool isJpeg(const QByteArray& bytes) { return bytes.startsWith("\xFF\xD8\xFF"); }

}  // namespace

QString productPhotoPath(const fs::path& programFolder, CardPosition position) {
    if (position < 1) return {};
    return QString::fromStdString(paths::productPhoto(programFolder, position).string());
}

QByteArray readPictureFile(const QString& path) {
    if (path.isEmpty()) return {};
    return readPictureFile(nativePath(path));
}

QByteArray readPictureFile(const fs::path& path) {
    if (path.empty()) return {};
    const auto read = readCardFile(path, kMaxPictureBytes);
    if (!read || !read->has_value()) return {};
    const std::string& bytes = **read;
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QImage readPicture(const QString& path) { return decodePicture(readPictureFile(path)); }

QImage loadProductPhoto(const fs::path& programFolder, CardPosition position) {
    const QImage photo = decodePicture(readPictureFile(productPhotoPath(programFolder, position)));
    return photo.isNull() ? placeholderPhoto() : photo;
}

void showProductPhoto(const fs::path& programFolder, CardPosition position, PhotoBox& box) {
    if (!box.showFileBytes(readPictureFile(productPhotoPath(programFolder, position)))) box.showPlaceholder();
}

bool saveProductPhoto(const fs::path& programFolder, CardPosition position, PhotoBox& box) {
    if (position < 1) return false;
    const fs::path path = paths::productPhoto(programFolder, position);
    if (!box.fileBytes().isEmpty()) {
        // Unchanged since it was read: the same bytes, wherever the card is saved.
        return holdsExactly(path, box.fileBytes()) || writeFile(path, box.fileBytes());
    }
    QByteArray jpeg = encodeJpeg(box.image());
    if (!writeFile(path, jpeg)) return false;
    box.markStoredAs(std::move(jpeg));
    return true;
}

bool writeJpeg(const QString& path, const QImage& image) {
    return !path.isEmpty() && writeJpeg(nativePath(path), image);
}

bool writeJpeg(const fs::path& path, const QImage& image) { return writeFile(path, encodeJpeg(image)); }

bool writePhotoCopy(const QString& path, const PhotoBox& box) {
    if (isJpeg(box.fileBytes())) return !path.isEmpty() && writeFile(nativePath(path), box.fileBytes());
    return writeJpeg(path, box.image());
}

}  // namespace scortavia
