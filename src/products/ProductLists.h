#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/ListRows.h"
#include "common/Result.h"
#include "common/SkippedRecords.h"
#include "storage/ArchiveScan.h"
#include "storage/ProductRecord.h"

namespace scortavia {

// The ten search fields of the product search, in the order of the screen (see RecordSearch).
inline constexpr std::array<ProductLayout::Field, 10> kSearchFields = {
    ProductLayout::Codice,          ProductLayout::Costo,        ProductLayout::Nome,  ProductLayout::Tipologia,
    ProductLayout::Caratteristiche, ProductLayout::Collocazione, ProductLayout::Ditta, ProductLayout::Agente,
    ProductLayout::Documento,       ProductLayout::Note};

// The search texts exactly as typed, one per search field.
using SearchTexts = std::array<std::string, kSearchFields.size()>;

enum class RowFormat { A, B };
void appendProductRow(std::string& out, const ProductView& product, RowFormat format);

// The lists of the product screens, filled from "Magazzino.pro" in archive order and then sorted.
// A failure stops the filling: the rows gathered so far stay in `rows` and the status says why.
Status fillSearchList(const std::filesystem::path& archive, const SearchTexts& texts, RowList& rows);
// A product whose stock or warning level is not a number is left out, counted in `skipped`, and the
// filling goes on.
Status fillUnderStockList(const std::filesystem::path& archive, RowList& rows, SkippedRecords* skipped = nullptr);
Status fillUnpaidList(const std::filesystem::path& archive, RowList& rows);

// The product whose row, trimmed, equals `row` trimmed; when several do, the last in the archive.
Result<std::optional<FoundRecord>> findProductByRow(const std::filesystem::path& archive, std::string_view row,
                                                    RowFormat format);
// The products behind several rows of one format, in one reading of the archive.
Result<std::vector<std::optional<FoundRecord>>> findProductsByRows(const std::filesystem::path& archive,
                                                                   const std::vector<std::string_view>& rows,
                                                                   RowFormat format);

}  // namespace scortavia
