#include "storage/CardProtocol.h"

#include <charconv>
#include <utility>

#include "common/TextRules.h"
#include "storage/ArchiveFile.h"

namespace scortavia {

std::string_view cardMessageText(CardMessage message) {
    switch (message) {
        case CardMessage::EmptyArchive: return kMsgEmptyArchive;
        case CardMessage::Inserted: return kMsgCardInserted;
        case CardMessage::Updated: return kMsgCardUpdated;
        case CardMessage::AccessFailed: return kMsgArchiveAccess;
        case CardMessage::None: break;
    }
    return {};
}

CardProtocol::CardProtocol(std::filesystem::path archive, std::size_t recordSize)
    : archive_(std::move(archive)), recordSize_(recordSize) {}

bool CardProtocol::isNewCard(std::string_view position) { return trimBlanks(position).empty(); }

std::optional<std::int64_t> CardProtocol::parsePosition(std::string_view position) {
    const std::string_view digits = trimBlanks(position);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

namespace {

CardOutcome unchanged(std::string_view position, CardMessage message) {
    return CardOutcome{false, false, std::string(position), message};
}

// A failed action leaves the position label as it was, so a new card never ends up with a
// position that no record has.
CardOutcome accessFailed(std::string_view position) { return unchanged(position, CardMessage::AccessFailed); }

CardOutcome load(ArchiveFile& file, std::int64_t index, std::span<std::uint8_t> record, std::string_view position) {
    if (!file.readAt(index, record)) return accessFailed(position);
    return CardOutcome{true, false, std::to_string(index + 1), CardMessage::None};
}

}  // namespace

CardOutcome CardProtocol::navigate(CardAction action, std::string_view position,
                                   std::span<std::uint8_t> record) const {
    auto file = ArchiveFile::openOrCreate(archive_, recordSize_);
    if (!file) return accessFailed(position);
    auto counted = file->recordCount();
    if (!counted) return accessFailed(position);
    const std::int64_t count = *counted;
    const bool isNew = isNewCard(position);

    switch (action) {
        case CardAction::First:
            if (count == 0) return unchanged(position, CardMessage::EmptyArchive);
            return load(*file, 0, record, position);

        case CardAction::Last:
            if (count == 0) return unchanged(position, CardMessage::EmptyArchive);
            return load(*file, count - 1, record, position);

        case CardAction::Next: {
            if (count == 0) return unchanged("", CardMessage::EmptyArchive);
            const auto p = isNew ? std::optional<std::int64_t>(0) : parsePosition(position);
            if (!p || *p < 0) return accessFailed(position);
            if (*p < count) return load(*file, *p, record, position);
            return unchanged(position, CardMessage::None);  // already on the last card
        }

        case CardAction::Previous: {
            if (position == "1") return unchanged(position, CardMessage::None);
            if (count == 0) return unchanged(position, CardMessage::EmptyArchive);
            if (isNew) return load(*file, 0, record, position);
            const auto p = parsePosition(position);
            if (!p || *p < 2 || *p - 2 >= count) return accessFailed(position);
            return load(*file, *p - 2, record, position);
        }
    }
    return accessFailed(position);
}

CardOutcome CardProtocol::save(std::string_view position, std::span<const std::uint8_t> record) const {
    auto file = ArchiveFile::openOrCreate(archive_, recordSize_);
    if (!file) return accessFailed(position);

    if (isNewCard(position)) {
        auto index = file->append(record);
        if (!index) return accessFailed(position);
        return CardOutcome{false, true, std::to_string(*index + 1), CardMessage::Inserted};
    }
    const auto p = parsePosition(position);
    if (!p || *p < 1) return accessFailed(position);
    if (!file->writeAt(*p - 1, record)) return accessFailed(position);
    return CardOutcome{false, true, std::to_string(*p), CardMessage::Updated};
}

}  // namespace scortavia
