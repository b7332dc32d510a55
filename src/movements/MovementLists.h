#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/ListRows.h"
#include "common/Result.h"
#include "storage/ArchiveScan.h"
#include "storage/MovementRecord.h"

namespace scortavia {

// The ten fields of the movement search, in the order of the screen.
inline constexpr std::array<MovementLayout::Field, 10> kMovementSearchFields = {
    MovementLayout::NumDoc,    MovementLayout::DataDoc, MovementLayout::Data,        MovementLayout::Codice,
    MovementLayout::Tipologia, MovementLayout::Marca,   MovementLayout::Descrizione, MovementLayout::CostoUni,
    MovementLayout::Fornitore, MovementLayout::Note};

// The search texts exactly as typed, one per search field.
using MovementSearchTexts = std::array<std::string, kMovementSearchFields.size()>;

// One movement as a list row: date, code, quantity, category and description in fixed-width
// columns, then the whole total. The movement search, the open accounts and the summaries show it.
inline constexpr std::array<RowColumn<MovementLayout::Field>, 6> kMovementRow = {{
    {"Data: ", MovementLayout::Data, 10, "Data"},
    {"  Cod. ", MovementLayout::Codice, 18, "Codice"},
    {"  Quant. ", MovementLayout::Quant, 10, "Quantità"},
    {"  Tipo ", MovementLayout::Tipologia, 28, "Tipologia"},
    {"  ", MovementLayout::Descrizione, 37, "Descrizione"},
    {"  Tot. € ", MovementLayout::CostoTot, kWholeValue, "Totale"},
}};
void appendMovementRow(std::string& out, const MovementView& movement);
std::string movementRow(const MovementView& movement);

// True when the movement's card was saved with "Conto da saldare" ticked.
bool isOpenAccount(const MovementView& movement);

// The lists read a year archive in archive order (never sorted). A failure stops the filling: the
// rows gathered so far stay in `rows` and the status says why.
// The movements whose fields contain the texts typed, one per search field (see RecordSearch).
Status fillMovementSearchList(const std::filesystem::path& archive, const MovementSearchTexts& texts, RowList& rows);
Status fillOpenAccountsList(const std::filesystem::path& archive, RowList& rows);

// The movement whose row, trimmed, equals `row` trimmed; when several do, the last in the archive.
Result<std::optional<FoundRecord>> findMovementByRow(const std::filesystem::path& archive, std::string_view row);

}  // namespace scortavia
