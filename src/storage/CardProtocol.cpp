#include "storage/CardProtocol.h"

#include <utility>

#include "storage/Archive.h"

namespace scortavia {

std::string_view cardMessageText(CardMessage message) {
    switch (message) {
        case CardMessage::EmptyArchive:
            return kMsgEmptyArchive;
        case CardMessage::Inserted:
            return kMsgCardInserted;
        case CardMessage::Updated:
            return kMsgCardUpdated;
        case CardMessage::AccessFailed:
            return kMsgArchiveAccess;
        case CardMessage::None:
            break;
    }
    return {};
}

CardProtocol::CardProtocol(std::filesystem::path archive, std::size_t recordSize)
    : archive_(std::move(archive)), recordSize_(recordSize) {}

namespace {

CardOutcome unchanged(CardPosition position, CardMessage message) {
    return CardOutcome{false, false, position, message};
}

// A failed action leaves the position as it was, so a new card never ends up with a position
// that no record has.
CardOutcome accessFailed(CardPosition position) { return unchanged(position, CardMessage::AccessFailed); }

CardOutcome load(Archive& file, std::int64_t index, std::span<std::uint8_t> record, CardPosition position) {
    if (!file.readAt(index, record)) return accessFailed(position);
    return CardOutcome{true, false, index + 1, CardMessage::None};
}

}  // namespace

CardOutcome CardProtocol::navigate(CardAction action, CardPosition position, std::span<std::uint8_t> record) const {
    auto opened = openArchive(archive_, recordSize_);
    if (!opened) return accessFailed(position);
    Archive* file = opened->get();
    auto counted = file->recordCount();
    if (!counted) return accessFailed(position);
    const std::int64_t count = *counted;

    switch (action) {
        case CardAction::First:
            if (count == 0) return unchanged(position, CardMessage::EmptyArchive);
            return load(*file, 0, record, position);

        case CardAction::Last:
            if (count == 0) return unchanged(position, CardMessage::EmptyArchive);
            return load(*file, count - 1, record, position);

        case CardAction::Next:
            // An empty archive holds no card: the one on screen can only be a new one.
            if (count == 0) return unchanged(kNewCard, CardMessage::EmptyArchive);
            if (position < 0) return accessFailed(position);
            if (position < count) return load(*file, position, record, position);
            return unchanged(position, CardMessage::None);  // already on the last card

        case CardAction::Previous:
            if (position == 1) return unchanged(position, CardMessage::None);
            if (count == 0) return unchanged(position, CardMessage::EmptyArchive);
            if (position == kNewCard) return load(*file, 0, record, position);
            if (position < 2 || position - 2 >= count) return accessFailed(position);
            return load(*file, position - 2, record, position);
    }
    return accessFailed(position);
}

CardOutcome CardProtocol::save(CardPosition position, std::span<const std::uint8_t> record) const {
    auto opened = openArchive(archive_, recordSize_);
    if (!opened) return accessFailed(position);
    Archive* file = opened->get();

    if (position == kNewCard) {
        auto index = file->append(record);
        if (!index) return accessFailed(position);
        return CardOutcome{false, true, *index + 1, CardMessage::Inserted};
    }
    if (position < 1) return accessFailed(position);
    if (!file->writeAt(position - 1, record)) return accessFailed(position);
    return CardOutcome{false, true, position, CardMessage::Updated};
}

bool CardProtocol::reachable() const { return openArchive(archive_, recordSize_).ok(); }

}  // namespace scortavia
