#include "products/ProductCard.h"

#include <unordered_set>

#include "common/Numbers.h"
#include "common/TextRules.h"
#include "storage/ArchiveScan.h"
#include "storage/Windows1252.h"

namespace scortavia {

std::optional<MandatoryField> firstMissingMandatory(const ProductTexts& texts) {
    for (const MandatoryField& m : kProductMandatory) {
        if (trimBlanks(texts[m.field]).empty()) return m;
    }
    return std::nullopt;
}

ProductRecord productRecordFrom(const ProductTexts& texts) {
    ProductRecord record;
    for (std::size_t i = 0; i < ProductLayout::FieldCount; ++i) {
        record.setText(static_cast<ProductLayout::Field>(i), texts[i]);
    }
    return record;
}

ProductTexts productTextsOf(const ProductView& record) {
    ProductTexts texts;
    for (std::size_t i = 0; i < ProductLayout::FieldCount; ++i) {
        texts[i] = record.text(static_cast<ProductLayout::Field>(i));
    }
    return texts;
}

bool cutChangesNumber(std::string_view text, std::size_t capacity) {
    const std::string encoded = encodeWindows1252(trimBlanks(text));
    if (encoded.size() <= capacity) return false;
    const auto full = parseDecimalComma(encoded);
    if (!full) return false;  // not a number: stored as it stands, like any text
    const auto cut = parseDecimalComma(std::string_view(encoded).substr(0, capacity));
    return !cut || *cut != *full;
}

std::optional<ProductLayout::Field> firstNumberTooLong(const ProductTexts& texts) {
    for (ProductLayout::Field f : kProductNumberFields) {
        if (cutChangesNumber(texts[f], ProductRecord::Info::capacity(f))) return f;
    }
    return std::nullopt;
}

StockTotal computeStockTotal(std::string_view stock, std::string_view quantity, bool add) {
    // A blank box counts as 0, and the dialog shows it so.
    StockTotal out;
    out.stock = trimBlanks(stock).empty() ? std::string("0") : std::string(stock);
    out.quantity = trimBlanks(quantity).empty() ? std::string("0") : std::string(quantity);
    const auto a = parseDecimalComma(out.stock);
    const auto b = parseDecimalComma(out.quantity);
    if (!a || !b) return {"0", "0", "0"};
    out.total = formatGeneral(add ? *a + *b : *a - *b);
    return out;
}

bool stockFitsField(std::string_view total) {
    return encodeWindows1252(trimBlanks(total)).size() <= ProductRecord::Info::capacity(ProductLayout::Giacenza);
}

Result<std::optional<std::string>> proposeInStoreCode(const std::filesystem::path& archive,
                                                      const RandomSource& random) {
    std::unordered_set<std::string> codes;
    const Status read = scanArchive(archive, ProductRecord::kSize, [&codes](const std::uint8_t* record, std::int64_t) {
        codes.insert(ProductView(record).text(ProductLayout::Codice));
        return true;
    });
    if (!read) return read;
    return generateInStoreEan13(codes, random);
}

}  // namespace scortavia
