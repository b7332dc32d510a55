#include "products/ProductLists.h"

#include <algorithm>
#include <array>
#include <functional>
#include <span>
#include <vector>

#include "common/Numbers.h"
#include "common/TextRules.h"
#include "products/ProductRows.h"
#include "storage/RecordSearch.h"

namespace scortavia {
namespace {

using P = ProductLayout;

// Reads every product in archive order; `visit` returns false to stop early. A server may apply `filter`
// first and send only `fieldsRead` (see Archive::scanWhere).
Status scanProducts(const std::filesystem::path& archive,
                    const std::function<bool(const ProductView&, std::int64_t index)>& visit,
                    RowList* reserveFor = nullptr, const RecordFilter& filter = {},
                    std::span<const std::size_t> fieldsRead = {}) {
    return scanArchiveWhere(
        archive, ProductRecord::kSize, filter,
        [&](const std::uint8_t* record, std::int64_t index) { return visit(ProductView(record), index); },
        [reserveFor](std::int64_t count) {
            // Room for a row per record up front: growing a buffer of megabytes copies it again and again.
            if (reserveFor) reserveFor->reserve(static_cast<std::size_t>(count), 160);
        },
        fieldsRead);
}

// `listed` answers nothing for a record it cannot judge: that record is left out, and counted in `skipped`.
// `server` is what a server may apply first: every record `listed` takes, or cannot judge, meets it;
// `ruleFields` are the fields `listed` reads.
Status fillList(const std::filesystem::path& archive, RowList& rows, RowFormat format,
                const std::function<std::optional<bool>(const ProductView&)>& listed, SkippedRecords* skipped,
                const RecordFilter& server, std::span<const P::Field> ruleFields) {
    rows.clear();
    const std::vector<std::size_t> fields =
        format == RowFormat::A ? fieldsOfList(kProductRowA, ruleFields) : fieldsOfList(kProductRowB, ruleFields);
    Status scanned = scanProducts(
        archive,
        [&](const ProductView& product, std::int64_t index) {
            const std::optional<bool> take = listed(product);
            if (!take) {
                if (skipped) skipped->add(index + 1);
            } else if (*take) {
                appendProductRow(rows.startRow(), product, format);
                rows.endRow();
            }
            return true;
        },
        &rows, server, fields);
    rows.sort();
    return scanned;
}

}  // namespace

void appendProductRow(std::string& out, const ProductView& product, RowFormat format) {
    if (format == RowFormat::A) {
        appendProductRowA(out, product);
    } else {
        appendProductRowB(out, product);
    }
}

Status fillSearchList(const std::filesystem::path& archive, const SearchTexts& texts, RowList& rows) {
    const RecordSearch<ProductLayout> search(kSearchFields, texts);
    return fillList(
        archive, rows, RowFormat::A, [&](const ProductView& p) -> std::optional<bool> { return search.matches(p); },
        // With nothing typed every product is listed without a look at its fields.
        nullptr, search.filter(),
        search.filled() > 0 ? std::span<const P::Field>(kSearchFields) : std::span<const P::Field>());
}

Status fillUnderStockList(const std::filesystem::path& archive, RowList& rows, SkippedRecords* skipped) {
    return fillList(
        archive, rows, RowFormat::A,
        [](const ProductView& p) -> std::optional<bool> {
            const auto stock = parseDecimalComma(p.text(P::Giacenza));
            const auto level = parseDecimalComma(p.text(P::Avviso));
            if (!stock || !level) return std::nullopt;
            return *stock <= *level;
        },
        skipped, {{RecordCondition::Kind::NumberAtMost, P::Giacenza, {}, P::Avviso}},
        std::array{P::Giacenza, P::Avviso});
}

Status fillUnpaidList(const std::filesystem::path& archive, RowList& rows) {
    return fillList(
        archive, rows, RowFormat::B,
        [](const ProductView& p) -> std::optional<bool> { return p.text(P::Pagato) == kFlagNo; }, nullptr,
        {{RecordCondition::Kind::Contains, P::Pagato, std::string(kFlagNo)}}, std::array{P::Pagato});
}

namespace {

RowBuilder productRows(RowFormat format) {
    return
        [format](std::string& out, const std::uint8_t* record) { appendProductRow(out, ProductView(record), format); };
}

}  // namespace

Result<std::optional<FoundRecord>> findProductByRow(const std::filesystem::path& archive, std::string_view row,
                                                    RowFormat format) {
    return findRecordByRow(archive, ProductRecord::kSize, row, productRows(format));
}

Result<std::vector<std::optional<FoundRecord>>> findProductsByRows(const std::filesystem::path& archive,
                                                                   const std::vector<std::string_view>& rows,
                                                                   RowFormat format) {
    return findRecordsByRows(archive, ProductRecord::kSize, rows, productRows(format));
}

}  // namespace scortavia
