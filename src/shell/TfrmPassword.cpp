#include "shell/TfrmPassword.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/TextRules.h"
#include "shell/PasswordStore.h"
#include "ui/MessageService.h"
#include "ui/Widgets.h"

namespace scortavia {

inline constexpr std::string_view kMsgWrongPassword = "Attenzione: password errata.";
inline constexpr std::string_view kMsgPasswordReadError =
    "Attenzione: si è verificato un errore durante la procedura di lettura della password. Si consiglia di "
    "reinstallare il software.";

TfrmPassword::TfrmPassword(ScreenRegistry& registry) : WorkArea(registry, toQString(screen::kPassword)) {
    auto* layout = setUpFixedWindow(this, QStringLiteral(" Scortavia - Autenticazione"), {460, 262});
    layout->setSpacing(10);
    layout->addWidget(
        new Picture(QStringLiteral("imgBanner"), QStringLiteral(":/password_banner.svg"), {420, 90}, this), 0,
        Qt::AlignHCenter);

    lblRigo05 = new QLabel(QStringLiteral("Immetti la password e premi OK."), this);
    lblRigo05->setObjectName(QStringLiteral("lblRigo05"));
    layout->addWidget(lblRigo05);

    txtPassword = passwordBox(QStringLiteral("txtPassword"), this);
    txtPassword->setMinimumHeight(30);
    layout->addWidget(txtPassword);
    effPassword = new FocusFrame(QStringLiteral("effPassword"), txtPassword);
    layout->addSpacing(4);

    btnCambiaPassword = textButton(QStringLiteral("btnCambiaPassword"), QStringLiteral("Cambia password"), this);
    cmdOK = textButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), this);
    cmdOK->setEnabled(false);
    cmdEsci = textButton(QStringLiteral("cmdEsci"), QStringLiteral("Esci"), this);
    layout->addLayout(lineOf({btnCambiaPassword, nullptr, cmdOK, cmdEsci}));

    lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);

    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::txtPasswordChange);
    connect(txtPassword, &QLineEdit::returnPressed, this, [this] {
        if (cmdOK->isEnabled()) cmdOKClick();
    });
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmPassword::cmdEsciClick);
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::btnCambiaPasswordClick);
}

void TfrmPassword::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (!event->spontaneous()) {
        centerOnScreen(this);
        txtPassword->setFocus();
    }
}

void TfrmPassword::txtPasswordChange() { cmdOK->setEnabled(!trimBlanks(txtPassword->text().toStdString()).empty()); }

void TfrmPassword::cmdOKClick() {
    const auto stored = readStoredPassword(registry().programFolder());
    if (!stored) {
        MessageService::plain(this, kMsgPasswordReadError);
        return;
    }
    const bool match = normalizePassword(txtPassword->text().toStdString()) == *stored;
    if (!match) {
        MessageService::plain(this, kMsgWrongPassword);
        txtPassword->clear();
        txtPassword->setFocus();
        return;
    }
    txtPassword->clear();
    registry().switchTo(toQString(screen::kAvvio), this);
}

void TfrmPassword::cmdEsciClick() { registry().endProgram(); }

void TfrmPassword::btnCambiaPasswordClick() { registry().switchTo(toQString(screen::kCambiaPassword), this); }

void TfrmPassword::comeBack() {
    txtPassword->clear();
    lblMemory->clear();
    present();
    txtPassword->setFocus();
}

}  // namespace scortavia
