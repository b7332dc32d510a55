#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

namespace scortavia::test {

// The picture as the program draws it, straight from its SVG, at `size` pixels square.
inline QImage renderedSvg(const QString& path, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return image;
}

}  // namespace scortavia::test
