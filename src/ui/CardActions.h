#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "storage/CardProtocol.h"

class QLabel;
class QWidget;

namespace scortavia {

// The card screens' side of the card protocol: the position label, the messages, and the
// screen's own steps after a record is loaded or saved.

// Moves through the archive; `putOnCard` fills the controls from `record` and runs the
// screen's after-load step. Returns true when a record was loaded.
bool navigateCard(QWidget* screen, const CardProtocol& protocol, CardAction action, QLabel* position,
                  std::span<std::uint8_t> record, const std::function<void()>& putOnCard);

// Saves the card (rewrite at its position or append); `afterSave` runs before the message.
bool saveCard(QWidget* screen, const CardProtocol& protocol, QLabel* position, std::span<const std::uint8_t> record,
              const std::function<void()>& afterSave);

}  // namespace scortavia
