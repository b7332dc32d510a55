#include "ui/CardActions.h"

#include <QLabel>

#include "ui/MessageService.h"

namespace scortavia {
namespace {

void tell(QWidget* screen, CardMessage message) {
    switch (message) {
        case CardMessage::None: return;
        case CardMessage::AccessFailed: MessageService::error(screen, cardMessageText(message)); return;
        default: MessageService::information(screen, cardMessageText(message)); return;
    }
}

}  // namespace

bool navigateCard(QWidget* screen, const CardProtocol& protocol, CardAction action, QLabel* position,
                  std::span<std::uint8_t> record, const std::function<void()>& putOnCard) {
    const CardOutcome outcome = protocol.navigate(action, position->text().toStdString(), record);
    position->setText(QString::fromStdString(outcome.position));
    if (outcome.loaded) putOnCard();
    tell(screen, outcome.message);
    return outcome.loaded;
}

bool saveCard(QWidget* screen, const CardProtocol& protocol, QLabel* position, std::span<const std::uint8_t> record,
              const std::function<void()>& afterSave) {
    const CardOutcome outcome = protocol.save(position->text().toStdString(), record);
    position->setText(QString::fromStdString(outcome.position));
    if (outcome.saved) afterSave();
    tell(screen, outcome.message);
    return outcome.saved;
}

}  // namespace scortavia
