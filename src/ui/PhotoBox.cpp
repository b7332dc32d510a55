#include "ui/PhotoBox.h"

#include <QPainter>
#include <QSvgRenderer>

#include "ui/Palette.h"

namespace scortavia {

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

void PhotoBox::setImage(const QImage& image) {
    image_ = image;
    update();
}

bool PhotoBox::showsPlaceholder() const { return image_ == placeholderPhoto(); }

void PhotoBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), palette::color("photoFace"));
    if (!image_.isNull()) {
        QSize fitted = image_.size().scaled(size() - QSize(2, 2), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.drawImage(target, image_);
    }
    painter.setPen(palette::color("panelBorder"));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace scortavia
