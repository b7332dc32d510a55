#pragma once

#include <zbar.h>

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <memory>

namespace scortavia::test {

// zbar.h declares its C interface inside namespace zbar when compiled as C++.
using namespace ::zbar;

struct Decoded {
    QString data;
    zbar_symbol_type_t type = ZBAR_NONE;
};

// What ZBar reads in a picture, turned grey, as a scanner at the counter would (UPC-A kept as such,
// not widened to an EAN-13).
inline QList<Decoded> decode(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    QByteArray pixels;
    pixels.reserve(grey.width() * grey.height());
    for (int y = 0; y < grey.height(); ++y)
        pixels.append(reinterpret_cast<const char*>(grey.constScanLine(y)), grey.width());
    std::unique_ptr<zbar_image_scanner_t, decltype(&zbar_image_scanner_destroy)> scanner(zbar_image_scanner_create(),
                                                                                         zbar_image_scanner_destroy);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 1);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_UPCA, ZBAR_CFG_ENABLE, 1);
    std::unique_ptr<zbar_image_t, decltype(&zbar_image_destroy)> image(zbar_image_create(), zbar_image_destroy);
    zbar_image_set_format(image.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(image.get(), static_cast<unsigned>(grey.width()), static_cast<unsigned>(grey.height()));
    zbar_image_set_data(image.get(), pixels.constData(), static_cast<unsigned long>(pixels.size()), nullptr);
    zbar_scan_image(scanner.get(), image.get());
    QList<Decoded> found;
    for (const zbar_symbol_t* s = zbar_image_first_symbol(image.get()); s; s = zbar_symbol_next(s))
        found.append({QString::fromUtf8(zbar_symbol_get_data(s)), zbar_symbol_get_type(s)});
    return found;
}

}  // namespace scortavia::test
