#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace scortavia {

// The texts of the barcodes ZBar finds in a grey picture of `width` x `height` pixels, one byte a pixel,
// rows one after the other with no padding. The product codes the program prints read back as
// themselves: EAN-13, EAN-8, UPC-A (its 12 digits) and Code 128. Nothing found, or a picture whose bytes
// do not match its size: an empty list.
std::vector<std::string> decodeBarcodes(int width, int height, std::span<const std::uint8_t> grey);

}  // namespace scortavia
