#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
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

inline constexpr std::string_view kMsgDuplicateNewCard =
    "Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che questa è stata inserita in archivio.";
inline constexpr std::string_view kMsgCardDuplicated =
    "E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
    "Al termine premere Salva per inserire la scheda in archivio.";

enum class CardAction { First, Previous, Next, Last };

enum class CardMessage {
    None,
    EmptyArchive,  // information: the archive holds no card
    Inserted,      // information: a new card was appended
    Updated,       // information: the card on screen was rewritten in place
    AccessFailed,  // error: the archive could not be opened, read or written
};

std::string_view cardMessageText(CardMessage message);

// A card's 1-based position in its archive; 0 is a new card, not in the archive yet.
using CardPosition = std::int64_t;
inline constexpr CardPosition kNewCard = 0;

// What a card screen does after a navigation or a save: when `loaded`, the record buffer holds
// the record to put on the card (then the screen runs its after-load step); `position` is the new
// position of the card; `message` is shown last, after the after-load or after-save step.
struct CardOutcome {
    bool loaded = false;
    bool saved = false;
    CardPosition position = kNewCard;
    CardMessage message = CardMessage::None;
};

// Navigation and save shared by the product card, the movement cards and the price-list page
// editor. Each call opens the archive, reads or writes by position and closes it again.
class CardProtocol final {
public:
    CardProtocol(std::filesystem::path archive, std::size_t recordSize);

    CardOutcome navigate(CardAction action, CardPosition position, std::span<std::uint8_t> record) const;

    // Rewrites the card at its position, all or nothing (see ArchiveFile), or appends it when it is a new card.
    CardOutcome save(CardPosition position, std::span<const std::uint8_t> record) const;

    // Opens the archive (creating it empty) and closes it again: whether the card could be saved there.
    bool reachable() const;

private:
    std::filesystem::path archive_;
    std::size_t recordSize_;
};

}  // namespace scortavia
