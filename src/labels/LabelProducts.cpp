#include "labels/LabelProducts.h"

#include <cmath>
#include <map>

#include "common/Numbers.h"
#include "storage/Archive.h"
#include "storage/ArchiveScan.h"
#include "storage/MovementRecord.h"

namespace scortavia {

std::string labelPriceText(std::string_view priceField) { return "\xE2\x82\xAC " + formatMoneyText(priceField, 2); }

LabelProduct labelProduct(const ProductView& product) {
    using P = ProductLayout;
    LabelProduct out;
    out.code = product.text(P::Codice);
    out.name = product.text(P::Nome);
    out.price = labelPriceText(product.text(P::Prezzo));
    out.category = product.text(P::Tipologia);
    return out;
}

int labelPiecesOf(std::string_view quantity) {
    const std::optional<double> value = parseDecimalComma(quantity);
    if (!value || !(*value > 0.0)) return 0;
    if (*value != std::floor(*value)) return 1;
    // A slip of the finger (a quantity of a million) must not start a print of a million labels.
    constexpr double kMostPieces = 10000.0;
    return static_cast<int>(std::min(*value, kMostPieces));
}

Result<std::vector<LabelPieces>> goodsInLabelPieces(const std::filesystem::path& archive, const CalendarDate& day) {
    using M = MovementLayout;
    std::vector<LabelPieces> out;
    const auto exists = archiveExists(archive);
    if (!exists) return exists.status();
    if (!*exists) return out;
    const Status scanned = scanArchive(archive, MovementRecord::kSize, [&](const std::uint8_t* record, std::int64_t) {
        const MovementView movement(record);
        if (parseDate(movement.text(M::Data)) != day) return true;
        const int count = labelPiecesOf(movement.text(M::Quant));
        if (count > 0) out.push_back({movement.text(M::Codice), count});
        return true;
    });
    if (!scanned) return scanned;
    return out;
}

Result<std::vector<LabelProduct>> labelsForPieces(const std::filesystem::path& productArchive,
                                                  const std::vector<LabelPieces>& pieces) {
    std::map<std::string, LabelProduct, std::less<>> wanted;
    for (const LabelPieces& p : pieces) wanted.emplace(p.code, LabelProduct{p.code, {}, {}, {}});
    const auto exists = archiveExists(productArchive);
    if (!exists) return exists.status();
    if (*exists) {
        const Status scanned =
            scanArchive(productArchive, ProductRecord::kSize, [&](const std::uint8_t* record, std::int64_t) {
                const ProductView product(record);
                const auto it = wanted.find(product.text(ProductLayout::Codice));
                if (it != wanted.end()) it->second = labelProduct(product);
                return true;
            });
        if (!scanned) return scanned;
    }
    std::vector<LabelProduct> out;
    for (const LabelPieces& p : pieces)
        for (int i = 0; i < p.count; ++i) out.push_back(wanted.at(p.code));
    return out;
}

Result<std::vector<LabelProduct>> goodsInDayLabels(const std::filesystem::path& goodsInArchive,
                                                   const std::filesystem::path& productArchive,
                                                   const CalendarDate& day) {
    const auto pieces = goodsInLabelPieces(goodsInArchive, day);
    if (!pieces) return pieces.status();
    return labelsForPieces(productArchive, *pieces);
}

}  // namespace scortavia
