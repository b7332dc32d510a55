#include "products/ProductPhoto.h"

#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include "storage/ArchivePaths.h"
#include "ui/PhotoBox.h"

namespace scortavia {

QString productPhotoPath(const std::filesystem::path& programFolder, CardPosition position) {
    if (position < 1) return {};
    return QString::fromStdString(paths::productPhoto(programFolder, position).string());
}

QImage readPicture(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);  // photos from phones carry their orientation
    return reader.read();
}

QImage loadProductPhoto(const std::filesystem::path& programFolder, CardPosition position) {
    const QString path = productPhotoPath(programFolder, position);
    QImage photo = path.isEmpty() ? QImage() : readPicture(path);
    return photo.isNull() ? placeholderPhoto() : photo;
}

bool writeJpeg(const QString& path, const QImage& image) {
    if (path.isEmpty() || image.isNull()) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&file, "jpg");
    writer.setQuality(92);
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool saveProductPhoto(const std::filesystem::path& programFolder, CardPosition position, const QImage& photo) {
    return writeJpeg(productPhotoPath(programFolder, position), photo);
}

}  // namespace scortavia
