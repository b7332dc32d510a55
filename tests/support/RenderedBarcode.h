#pragma once

#include <zint.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace scortavia::test {

// A barcode as a camera would see it held flat: drawn by Zint, one byte a pixel (black 0, white 255),
// with a white margin all round.
struct GreyPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// `symbology` is Zint's (BARCODE_EANX, BARCODE_UPCA, BARCODE_CODE128...); empty when Zint refuses the text.
inline GreyPicture renderBarcode(int symbology, const std::string& text, int margin = 40) {
    const std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> symbol(ZBarcode_Create(), &ZBarcode_Delete);
    symbol->symbology = symbology;
    symbol->scale = 2;
    symbol->show_hrt = 0;
    if (ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size())) >= ZINT_ERROR ||
        ZBarcode_Buffer(symbol.get(), 0) >= ZINT_ERROR) {
        return {};
    }
    GreyPicture picture;
    picture.width = symbol->bitmap_width + 2 * margin;
    picture.height = symbol->bitmap_height + 2 * margin;
    picture.pixels.assign(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height), 255);
    for (int y = 0; y < symbol->bitmap_height; ++y) {
        for (int x = 0; x < symbol->bitmap_width; ++x) {
            // Zint's raster is red, green, blue a pixel; black and white only, so red tells them apart.
            const std::size_t from = (static_cast<std::size_t>(y) * symbol->bitmap_width + x) * 3;
            picture.pixels[static_cast<std::size_t>(y + margin) * picture.width + x + margin] = symbol->bitmap[from];
        }
    }
    return picture;
}

}  // namespace scortavia::test
