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
    shown.replace(QChar('\r'), QChar('\n'));
    return shown;
}

QMessageBox::StandardButton MessageService::show(QWidget* parent, const ShownMessage& message) {
    if (hook()) return hook()(message);
    QMessageBox box(iconOf(message.kind), titleOf(message.kind), displayText(message.text), message.buttons, parent);
    box.setTextFormat(Qt::PlainText);
    // The program speaks Italian whatever the system's language.
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
        {QMessageBox::Ok, "OK"}, {QMessageBox::Cancel, "Annulla"}, {QMessageBox::Yes, "Sì"}, {QMessageBox::No, "No"}};
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(caption));
    }
    box.setDefaultButton(message.kind == MessageKind::Question ? QMessageBox::Yes : QMessageBox::Ok);
    return static_cast<QMessageBox::StandardButton>(box.exec());
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
