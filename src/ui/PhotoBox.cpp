#include "ui/PhotoBox.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>
#include <QThreadPool>
#include <optional>

#include "ui/Palette.h"
#include "ui/ScreenRegistry.h"

namespace scortavia {
namespace {

struct Decoded {
    QImage image;
    QSize whole;  // the whole picture's size, turned; valid only with the image
};

Decoded decode(const QByteArray& bytes, QSize fitWithin) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (bytes.isEmpty() || !buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);  // photos from phones carry their orientation
    // The scaled size applies to the picture as stored, before it is turned.
    const QSize stored = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    QSize whole = turned ? stored.transposed() : stored;
    if (fitWithin.isValid() && whole.isValid() &&
        (whole.width() > fitWithin.width() || whole.height() > fitWithin.height())) {
        const QSize fitted = whole.scaled(fitWithin, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        reader.setScaledSize(turned ? fitted.transposed() : fitted);
    }
    QImage image = reader.read();
    if (image.isNull()) return {};
    if (!whole.isValid()) whole = image.size();
    return {std::move(image), whole};
}

// The size of the picture in `bytes`, turned, read from its header alone; nullopt when they hold no
// picture Qt can read.
std::optional<QSize> pictureSize(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (bytes.isEmpty() || !buffer.open(QIODevice::ReadOnly)) return std::nullopt;
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!reader.canRead() || !stored.isValid()) return std::nullopt;
    return (reader.transformation() & QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
}

// The decoding threads of the registry whose screen (or a dialog of it) holds `box`; null for a box of
// no screen.
QThreadPool* decodingPoolOf(const QWidget* box) {
    for (const QWidget* w = box; w; w = w->parentWidget()) {
        if (const auto* area = qobject_cast<const WorkArea*>(w)) return &area->registry().photoDecoding();
    }
    return nullptr;
}

}  // namespace

QImage decodePicture(const QByteArray& bytes, QSize fitWithin) { return decode(bytes, fitWithin).image; }

const QImage& placeholderPhoto() {
    static const QImage image = [] {
        QImage picture(kPhotoSize, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        QSvgRenderer(QStringLiteral(":/placeholder.svg")).render(&painter, QRectF(QPointF(0, 0), QSizeF(kPhotoSize)));
        return picture;
    }();
    return image;
}

PhotoBox::PhotoBox(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setMinimumSize(kPhotoSize / 2);
    showPlaceholder();
}

const QImage& PhotoBox::image() const {
    if (image_.isNull() && !fileBytes_.isEmpty()) {
        image_ = decodePicture(fileBytes_);
        // Too large to decode whole: what is shown is the most there is.
        if (image_.isNull()) image_ = shown_;
    }
    return image_;
}

void PhotoBox::setImage(const QImage& image) {
    ++decoding_;  // a decode still running for the previous photo is not wanted any more
    image_ = image;
    shown_ = image;
    fileBytes_.clear();
    wholeSize_ = image.size();
    reduced_ = false;
    update();
}

bool PhotoBox::showsPlaceholder() const { return image_ == placeholderPhoto(); }

bool PhotoBox::showFileBytes(QByteArray bytes) {
    const std::optional<QSize> whole = pictureSize(bytes);
    if (!whole) return false;
    fileBytes_ = std::move(bytes);
    wholeSize_ = *whole;
    image_ = QImage();
    shown_ = QImage();
    reduced_ = true;
    // The largest the box shows is the photo size, in device pixels; paintEvent decodes again
    // should a larger box or a sharper screen need more.
    decodeShownInBackground(kPhotoSize * devicePixelRatioF());
    update();
    return true;
}

void PhotoBox::decodeShownInBackground(QSize fitWithin) {
    const unsigned ticket = ++decoding_;
    decodedWithin_ = fitWithin;
    // The worker never touches the box: the result comes back through the event loop, where the
    // box (if it still exists and still waits for this decode) takes it.
    auto deliver = [box = QPointer<PhotoBox>(this), ticket](Decoded decoded) {
        if (!box || box->decoding_ != ticket) return;
        box->reduced_ = decoded.image.isNull() || decoded.image.size() != box->wholeSize_;
        // Not one conditional expression: its const type would copy the decoded image instead of moving it.
        if (decoded.image.isNull()) {
            box->shown_ = placeholderPhoto();
        } else {
            box->shown_ = std::move(decoded.image);
        }
        if (!box->reduced_) box->image_ = box->shown_;
        box->update();
    };
    QThreadPool* pool = decodingPoolOf(this);
    // A box on no screen has no decoding threads that anyone waits for: it decodes here and now.
    if (!pool) {
        deliver(decode(fileBytes_, fitWithin));
        return;
    }
    pool->start([bytes = fileBytes_, fitWithin, deliver = std::move(deliver)]() mutable {
        Decoded decoded = decode(bytes, fitWithin);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [deliver = std::move(deliver), decoded = std::move(decoded)]() mutable { deliver(std::move(decoded)); },
            Qt::QueuedConnection);
    });
}

void PhotoBox::decodeShown(QSize fitWithin) {
    // Tried once for this size even if it fails: a paint never decodes the same size twice.
    decodedWithin_ = fitWithin;
    Decoded decoded = decode(fileBytes_, fitWithin);
    if (decoded.image.isNull()) return;
    reduced_ = decoded.image.size() != wholeSize_;
    shown_ = std::move(decoded.image);
    if (!reduced_) image_ = shown_;
}

void PhotoBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), palette::color("photoFace"));
    if (!shown_.isNull()) {
        const QSize fitted = wholeSize_.scaled(size() - QSize(2, 2), Qt::KeepAspectRatio);
        const QSize needed = fitted * devicePixelRatioF();
        if (reduced_ && !fileBytes_.isEmpty() &&
            (needed.width() > decodedWithin_.width() || needed.height() > decodedWithin_.height())) {
            decodeShown(needed.expandedTo(decodedWithin_));
        }
        const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.drawImage(target, shown_);
    }
    painter.setPen(palette::color("panelBorder"));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace scortavia
