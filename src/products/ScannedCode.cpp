#include "products/ScannedCode.h"

#include <string>

#include "common/TextRules.h"
#include "storage/ArchiveScan.h"

namespace scortavia {

bool codeMatchesScan(std::string_view productCode, std::string_view scanned) {
    const std::string_view code = trimBlanks(productCode);
    const std::string_view read = trimBlanks(scanned);
    if (read.empty() || code.size() != read.size()) return false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (foldLowerAZ(code[i]) != foldLowerAZ(read[i])) return false;
    }
    return true;
}

Result<bool> archiveHasScannedCode(const std::filesystem::path& archive, std::string_view scanned) {
    bool found = false;
    const Status read = scanArchive(archive, ProductRecord::kSize, [&](const std::uint8_t* record, std::int64_t) {
        found = codeMatchesScan(ProductView(record).text(ProductLayout::Codice), scanned);
        return !found;
    });
    if (!read) return read;
    return found;
}

Result<std::vector<std::size_t>> rowsOfScannedCode(
    const std::filesystem::path& archive, std::string_view scanned, const RowList& rows,
    const std::function<void(std::string&, const ProductView&)>& buildRow) {
    std::vector<std::string> wanted;
    std::string row;
    const Status read = scanArchive(archive, ProductRecord::kSize, [&](const std::uint8_t* record, std::int64_t) {
        const ProductView product(record);
        if (!codeMatchesScan(product.text(ProductLayout::Codice), scanned)) return true;
        row.clear();
        buildRow(row, product);
        wanted.emplace_back(trimBlanks(row));
        return true;
    });
    if (!read) return read;
    std::vector<std::size_t> places;
    if (wanted.empty()) return places;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string_view shown = trimBlanks(rows[i]);
        for (const std::string& w : wanted) {
            if (shown == w) {
                places.push_back(i);
                break;
            }
        }
    }
    return places;
}

}  // namespace scortavia
