#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ListRows.h"
#include "common/Result.h"
#include "storage/ProductRecord.h"

// A code read by a barcode scanner or the webcam, and the list rows of the products it names.
namespace scortavia {

// True when the scanned code is the product's code: both trimmed, equal with only A to Z folded. A
// scanner reads the whole label, so nothing shorter or longer is taken for it.
bool codeMatchesScan(std::string_view productCode, std::string_view scanned);

// Whether some product of the archive has the scanned code; the reading stops at the first.
Result<bool> archiveHasScannedCode(const std::filesystem::path& archive, std::string_view scanned);

// The places in `rows` of the products of the archive whose code is the scanned one, each product's
// row built by `buildRow` and compared trimmed (list rows cut long codes, so the code is matched on the
// record). Empty when no listed product has that code; a failure to read the archive is an error.
Result<std::vector<std::size_t>> rowsOfScannedCode(
    const std::filesystem::path& archive, std::string_view scanned, const RowList& rows,
    const std::function<void(std::string&, const ProductView&)>& buildRow);

}  // namespace scortavia
