#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/Barcode.h"

namespace scortavia {

struct ReadBarcode {
    std::string text;
    Symbology symbology;
};

// The barcodes ZBar finds in a grey picture of `width` x `height` pixels, one byte a pixel, rows one after
// the other with no padding. The product codes the program prints read back as themselves: EAN-13, EAN-8,
// UPC-A (its 12 digits) and Code 128. Nothing found, or a picture whose bytes do not match its size: an
// empty list.
std::vector<ReadBarcode> decodeBarcodes(int width, int height, std::span<const std::uint8_t> grey);

}  // namespace scortavia
