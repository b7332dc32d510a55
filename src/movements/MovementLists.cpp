#include "movements/MovementLists.h"

#include <algorithm>
#include <array>
#include <functional>
#include <span>
#include <vector>

#include "common/TextRules.h"
#include "storage/RecordSearch.h"

namespace scortavia {
namespace {

using M = MovementLayout;

// Room for a row per record up front costs less than growing a buffer of megabytes again and again.
constexpr std::size_t kRowBytes = 168;  // 151 characters of columns, the euro sign and a total

// `server` is what a server may apply first: every record `listed` takes meets it; `ruleFields` are the
// fields `listed` reads.
Status fillList(const std::filesystem::path& archive, RowList& rows,
                const std::function<bool(const MovementView&)>& listed, const RecordFilter& server,
                std::span<const M::Field> ruleFields) {
    rows.clear();
    const std::vector<std::size_t> fields = fieldsOfList(kMovementRow, ruleFields);
    return scanArchiveWhere(
        archive, MovementRecord::kSize, server,
        [&](const std::uint8_t* record, std::int64_t) {
            const MovementView movement(record);
            if (listed(movement)) {
                appendMovementRow(rows.startRow(), movement);
                rows.endRow();
            }
            return true;
        },
        [&rows](std::int64_t count) { rows.reserve(static_cast<std::size_t>(count), kRowBytes); }, fields);
}

}  // namespace

void appendMovementRow(std::string& row, const MovementView& movement) {
    const std::size_t start = row.size();
    appendColumns<kMovementRow>(row, movement);
    blankControls(row, start);
}

std::string movementRow(const MovementView& movement) {
    std::string row;
    appendMovementRow(row, movement);
    return row;
}

bool isOpenAccount(const MovementView& movement) {
    // "Sì" as stored in Windows-1252: compared without decoding, for every record of the archive.
    return trimBlanks(movement.stored(M::DaSaldare)) == "S\xEC";
}

Status fillMovementSearchList(const std::filesystem::path& archive, const MovementSearchTexts& texts, RowList& rows) {
    const RecordSearch<MovementLayout> search(kMovementSearchFields, texts);
    return fillList(
        archive, rows, [&search](const MovementView& m) { return search.matches(m); }, search.filter(),
        // With nothing typed every movement is listed without a look at its fields.
        search.filled() > 0 ? std::span<const M::Field>(kMovementSearchFields) : std::span<const M::Field>());
}

Status fillOpenAccountsList(const std::filesystem::path& archive, RowList& rows) {
    return fillList(archive, rows, &isOpenAccount,
                    {{RecordCondition::Kind::Contains, M::DaSaldare, std::string(kFlagYes)}}, std::array{M::DaSaldare});
}

Result<std::optional<FoundRecord>> findMovementByRow(const std::filesystem::path& archive, std::string_view row) {
    return findRecordByRow(archive, MovementRecord::kSize, row, [](std::string& out, const std::uint8_t* record) {
        appendMovementRow(out, MovementView(record));
    });
}

}  // namespace scortavia
