#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "products/BarcodeDecode.h"
#include "support/RenderedBarcode.h"

namespace scortavia {
namespace {

struct DecodeCase {
    const char* name;
    int symbology;
    const char* printed;  // what Zint is given
    const char* read;     // what the product code must read back as
    Symbology readAs;
};

class BarcodeDecode : public testing::TestWithParam<DecodeCase> {};

TEST_P(BarcodeDecode, ReadsBackTheProductCode) {
    const test::GreyPicture picture = test::renderBarcode(GetParam().symbology, GetParam().printed);
    ASSERT_FALSE(picture.pixels.empty());
    const std::vector<ReadBarcode> found = decodeBarcodes(picture.width, picture.height, picture.pixels);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, GetParam().read);
    EXPECT_EQ(found[0].symbology, GetParam().readAs);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, BarcodeDecode, testing::Values(
    DecodeCase{"ean13", BARCODE_EANX, "400638133393", "4006381333931", Symbology::Ean13},  // Zint adds the check
    DecodeCase{"ean8", BARCODE_EANX, "9638507", "96385074", Symbology::Ean8},
    DecodeCase{"upca", BARCODE_UPCA, "03600029145", "036000291452", Symbology::UpcA},     // not an EAN-13
    DecodeCase{"code128", BARCODE_CODE128, "ART-0001/b", "ART-0001/b", Symbology::Code128}),
    [](const testing::TestParamInfo<DecodeCase>& tested) { return std::string(tested.param.name); });
// clang-format on

TEST(BarcodeDecodeEdges, NothingFoundOrABadPictureIsAnEmptyList) {
    const std::vector<std::uint8_t> white(200 * 100, 255);
    EXPECT_TRUE(decodeBarcodes(200, 100, white).empty());
    const test::GreyPicture picture = test::renderBarcode(BARCODE_EANX, "400638133393");
    // A size that does not match the bytes is refused, not read past the end.
    EXPECT_TRUE(decodeBarcodes(picture.width, picture.height + 1, picture.pixels).empty());
    EXPECT_TRUE(decodeBarcodes(0, 0, {}).empty());
}

}  // namespace
}  // namespace scortavia
