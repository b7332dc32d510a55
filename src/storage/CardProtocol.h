#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace scortavia {

// Messages of the card screens' navigation and save.
inline constexpr std::string_view kMsgEmptyArchive = "L'archivio non contiene nessuna scheda.";
inline constexpr std::string_view kMsgCardInserted = "La scheda corrente è stata inserita in archivio.";
inline constexpr std::string_view kMsgCardUpdated =
    "Le modifiche apportate alla scheda corrente sono state salvate in archivio.";
inline constexpr std::string_view kMsgArchiveAccess =
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.";

enum class CardAction { First, Previous, Next, Last };

enum class CardMessage {
    None,
    EmptyArchive,  // information: the archive holds no card
    Inserted,      // information: a new card was appended
    Updated,       // information: the card on screen was rewritten in place
    AccessFailed,  // error: the archive could not be opened, read or written
};

std::string_view cardMessageText(CardMessage message);

// What a card screen does after a navigation or a save: when `loaded`, the record buffer holds
// the record to put on the card (then the screen runs its after-load step); `position` is the new
// text of the position label; `message` is shown last, after the after-load or after-save step.
struct CardOutcome {
    bool loaded = false;
    bool saved = false;
    std::string position;
    CardMessage message = CardMessage::None;
};

// Navigation and save shared by the product card, the movement cards and the price-list page
// editor. Each call opens the archive, reads or writes by position and closes it again; the
// position label holds the 1-based position of the card on screen, empty for a new card.
class CardProtocol final {
public:
    CardProtocol(std::filesystem::path archive, std::size_t recordSize);

    CardOutcome navigate(CardAction action, std::string_view position, std::span<std::uint8_t> record) const;

    // Rewrites the card at its position, or appends it when the position is empty.
    CardOutcome save(std::string_view position, std::span<const std::uint8_t> record) const;

    // A card with a blank position is not in the archive yet (Duplicate refuses it).
    static bool isNewCard(std::string_view position);

    // The position label as a number; empty optional when it is not a whole number.
    static std::optional<std::int64_t> parsePosition(std::string_view position);

private:
    std::filesystem::path archive_;
    std::size_t recordSize_;
};

}  // namespace scortavia
