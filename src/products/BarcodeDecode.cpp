#include "products/BarcodeDecode.h"

#include <zbar.h>

#include <memory>
#include <utility>

namespace scortavia {
namespace {

// ZBar's name for grey pictures of one byte a pixel, spelt out: its macro casts the old way.
constexpr unsigned long kGrey8 = 'Y' | ('8' << 8) | ('0' << 16) | (static_cast<unsigned long>('0') << 24);

// The symbologies a product code is printed in, as ZBar names them.
constexpr std::pair<zbar::zbar_symbol_type_t, Symbology> kRead[] = {{zbar::ZBAR_EAN13, Symbology::Ean13},
                                                                    {zbar::ZBAR_EAN8, Symbology::Ean8},
                                                                    {zbar::ZBAR_UPCA, Symbology::UpcA},
                                                                    {zbar::ZBAR_CODE128, Symbology::Code128}};

}  // namespace

std::vector<ReadBarcode> decodeBarcodes(int width, int height, std::span<const std::uint8_t> grey) {
    std::vector<ReadBarcode> texts;
    if (width <= 0 || height <= 0 ||
        grey.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return texts;
    }
    const std::unique_ptr<zbar::zbar_image_scanner_t, decltype(&zbar::zbar_image_scanner_destroy)> scanner(
        zbar::zbar_image_scanner_create(), &zbar::zbar_image_scanner_destroy);
    // Only the symbologies a product code is printed in: fewer false reads from shelves and packaging.
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    for (const auto& [type, symbology] : kRead) {
        zbar::zbar_image_scanner_set_config(scanner.get(), type, zbar::ZBAR_CFG_ENABLE, 1);
    }
    const std::unique_ptr<zbar::zbar_image_t, decltype(&zbar::zbar_image_destroy)> image(zbar::zbar_image_create(),
                                                                                         &zbar::zbar_image_destroy);
    zbar::zbar_image_set_format(image.get(), kGrey8);
    zbar::zbar_image_set_size(image.get(), static_cast<unsigned>(width), static_cast<unsigned>(height));
    // ZBar only reads the bytes; no cleanup handler, the caller keeps them.
    zbar::zbar_image_set_data(image.get(), grey.data(), grey.size(), nullptr);
    if (zbar::zbar_scan_image(scanner.get(), image.get()) <= 0) return texts;
    for (const zbar::zbar_symbol_t* symbol = zbar::zbar_image_first_symbol(image.get()); symbol != nullptr;
         symbol = zbar::zbar_symbol_next(symbol)) {
        const zbar::zbar_symbol_type_t type = zbar::zbar_symbol_get_type(symbol);
        for (const auto& [known, symbology] : kRead) {
            if (known == type) {
                texts.push_back(
                    {std::string(zbar::zbar_symbol_get_data(symbol), zbar::zbar_symbol_get_data_length(symbol)),
                     symbology});
            }
        }
    }
    return texts;
}

}  // namespace scortavia
