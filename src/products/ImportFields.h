#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sheets/SheetTable.h"
#include "storage/ProductRecord.h"

// Which column of a spreadsheet fills which card field: the fields a column can fill, their names, and the
// headers that name them.
namespace scortavia {

// The fields a column can fill: every field of the card but the attachments, in record order.
inline constexpr std::size_t kImportFieldCount = ProductLayout::Pagato + 1;

// The field's name where the user chooses it: the export's header ("Codice articolo").
std::string_view importFieldName(ProductLayout::Field field);
// The field in a sentence ("il costo unitario").
std::string_view importFieldSubject(ProductLayout::Field field);

// Latin letters without their accents, A-Z lowered: enough to compare Italian words however typed.
std::string foldedWords(std::string_view utf8);

// The card field a column header names: the export's headers (the file's and the grid's), the card's
// captions and a few usual words, with case, accents, blanks and a final ":" or "." ignored.
std::optional<ProductLayout::Field> fieldForHeader(std::string_view header);

// Per column of the file, the field it fills, if any.
using ColumnMapping = std::vector<std::optional<ProductLayout::Field>>;

// The mapping the first row's headers give; a field named twice goes to its first column.
// `matched` tells whether any header was recognised (if none was, the first row is likely data).
ColumnMapping mappingFromHeaders(const SheetTable& table, bool& matched);

}  // namespace scortavia
