#include "ui/MessageService.h"

#include <QAbstractButton>
#include <QApplication>

namespace scortavia {
namespace {

MessageService::Hook& hook() {
    static MessageService::Hook instance;
    return instance;
}

QString titleOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QStringLiteral("Attenzione");
        case MessageKind::Error:
            return QStringLiteral("Errore");
        case MessageKind::Information:
            return QStringLiteral("Informazione");
        case MessageKind::Question:
            return QStringLiteral("Conferma");
        case MessageKind::Plain:
            break;
    }
    return QStringLiteral("Scortavia");
}

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Error:
            return QMessageBox::Critical;
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Question:
            return QMessageBox::Question;
        case MessageKind::Plain:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void MessageService::setHookForTesting(Hook h) { hook() = std::move(h); }

QString MessageService::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

std::unique_ptr<QMessageBox> MessageService::makeBox(QWidget* parent, const ShownMessage& message) {
    auto box = std::make_unique<QMessageBox>(iconOf(message.kind), titleOf(message.kind), displayText(message.text),
                                             message.buttons, parent);
    box->setTextFormat(Qt::PlainText);
    // The program's own captions, Italian even where Qt's catalogue is missing.
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
        {QMessageBox::Ok, "OK"}, {QMessageBox::Cancel, "Annulla"}, {QMessageBox::Yes, "Sì"}, {QMessageBox::No, "No"}};
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* b = box->button(button)) b->setText(QString::fromUtf8(caption));
    }
    box->setDefaultButton(message.kind == MessageKind::Question ? QMessageBox::Yes : QMessageBox::Ok);
    return box;
}

QMessageBox::StandardButton MessageService::show(QWidget* parent, const ShownMessage& message) {
    if (hook()) return hook()(message);
    return static_cast<QMessageBox::StandardButton>(makeBox(parent, message)->exec());
}

void MessageService::warning(QWidget* parent, const QString& text) {
    show(parent, {MessageKind::Warning, text, QMessageBox::Ok | QMessageBox::Cancel});
}

void MessageService::error(QWidget* parent, const QString& text) {
    show(parent, {MessageKind::Error, text, QMessageBox::Ok | QMessageBox::Cancel});
}

void MessageService::information(QWidget* parent, const QString& text) {
    show(parent, {MessageKind::Information, text, QMessageBox::Ok | QMessageBox::Cancel});
}

void MessageService::plain(QWidget* parent, const QString& text) {
    show(parent, {MessageKind::Plain, text, QMessageBox::Ok});
}

bool MessageService::question(QWidget* parent, const QString& text) {
    return show(parent, {MessageKind::Question, text, QMessageBox::Yes | QMessageBox::No}) != QMessageBox::No;
}

}  // namespace scortavia
