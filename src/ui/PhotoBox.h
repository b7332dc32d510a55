#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <utility>

namespace scortavia {

// Size of every product and price-list photo, and of the placeholder picture.
inline constexpr QSize kPhotoSize{366, 274};

// The built-in picture shown for a product without a photo.
const QImage& placeholderPhoto();

// The picture held in a file's bytes (any format Qt reads), turned as the camera held it; a null
// image when they are not a picture. With `fitWithin` valid, a larger picture comes only that
// large, proportions kept: a JPEG is then scaled while it is decoded, far faster than decoding it
// whole. A smaller picture is never enlarged.
QImage decodePicture(const QByteArray& bytes, QSize fitWithin = QSize());

// A photo shown scaled to fit, proportions kept, centred. A photo read from a file keeps the file's
// bytes and is decoded only as large as it is shown, off the user-interface thread (on the decoding
// threads of its screen's registry; a box on no screen decodes at once): moving from card to card never
// waits for a large photo, which appears a moment later. The whole picture is decoded the first time
// someone asks for it (zoom, print, a copy).
class PhotoBox final : public QWidget {
    Q_OBJECT
public:
    PhotoBox(const QString& name, QWidget* parent);

    // The whole picture.
    const QImage& image() const;
    // What is painted: the whole picture, or one decoded at the size shown; null while a photo
    // read from a file is still being decoded.
    const QImage& shownImage() const { return shown_; }
    // A picture made or changed in the program: from now on it comes from no file.
    void setImage(const QImage& image);
    void showPlaceholder() { setImage(placeholderPhoto()); }
    bool showsPlaceholder() const;
    // Shows the picture stored in `bytes`, a file's contents as read, and keeps them. False, with
    // the box as it was, when they are not a picture (their header already tells).
    bool showFileBytes(QByteArray bytes);
    // The bytes of the file the picture came from or was last stored as; empty once it changed.
    const QByteArray& fileBytes() const { return fileBytes_; }
    // The picture now shown has just been stored as `bytes`.
    void markStoredAs(QByteArray bytes) { fileBytes_ = std::move(bytes); }

    QSize sizeHint() const override { return kPhotoSize; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void decodeShown(QSize fitWithin);
    void decodeShownInBackground(QSize fitWithin);

    QImage shown_;
    mutable QImage image_;  // null while only fileBytes_ hold the whole picture
    QByteArray fileBytes_;
    QSize wholeSize_;        // of the whole picture, turned
    bool reduced_ = false;   // shown_ is smaller than the whole picture
    QSize decodedWithin_;    // the size shown_ was decoded to fit, while reduced
    unsigned decoding_ = 0;  // which background decode may still replace shown_
};

}  // namespace scortavia
