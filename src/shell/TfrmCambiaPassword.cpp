#include "shell/TfrmCambiaPassword.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/TextRules.h"
#include "shell/PasswordStore.h"
#include "shell/TfrmPassword.h"
#include "ui/MessageService.h"
#include "ui/Widgets.h"

namespace scortavia {

inline constexpr std::string_view kMsgOldPasswordWrong = "Attenzione: vecchia password errata.";
inline constexpr std::string_view kMsgNotConfirmed =
    "Attenzione: la nuova password non è stata confermata correttamente. E' necessario reinserire entrambi i "
    "valori.";
inline constexpr std::string_view kMsgChanged = "Modifica della password completata con successo.";
inline constexpr std::string_view kMsgChangeError =
    "Attenzione: si è verificato un errore durante la procedura di modifica della password. Si consiglia di "
    "reinstallare il software.";

namespace {

std::string trimmedText(const QLineEdit* box) { return std::string(trimBlanks(box->text().toStdString())); }

}  // namespace

TfrmCambiaPassword::TfrmCambiaPassword(ScreenRegistry& registry)
    : WorkArea(registry, toQString(screen::kCambiaPassword)) {
    auto* layout = setUpFixedWindow(this, QStringLiteral(" Cambia password"), {480, 262});
    auto* heading = new QLabel(QStringLiteral("Modifica della password di accesso"), this);
    heading->setObjectName(QStringLiteral("lblTitolo"));
    heading->setProperty("heading", true);
    layout->addWidget(heading);
    layout->addSpacing(12);
    auto* grid = formGrid(14, 14);
    layout->addLayout(grid);

    auto row = [&](int r, QLabel*& label, const char* caption, const char* labelName, QLineEdit*& box,
                   const char* boxName, FocusFrame*& frame, const char* frameName) {
        label = new QLabel(QString::fromUtf8(caption), this);
        label->setObjectName(QString::fromLatin1(labelName));
        box = passwordBox(QString::fromLatin1(boxName), this);
        box->setMinimumHeight(30);
        grid->addWidget(label, r, 0);
        grid->addWidget(box, r, 1);
        frame = new FocusFrame(QString::fromLatin1(frameName), box);
        connect(box, &QLineEdit::textChanged, this, &TfrmCambiaPassword::txtChange);
    };
    row(0, lblRigo05, "Vecchia password:", "lblRigo05", txtPasswordOld, "txtPasswordOld", effPasswordOld,
        "effPasswordOld");
    row(1, lblRigo06, "Nuova password:", "lblRigo06", txtPasswordNew, "txtPasswordNew", effPasswordNew,
        "effPasswordNew");
    row(2, lblRigo07, "Conferma nuova password:", "lblRigo07", txtConferma, "txtConferma", effConferma, "effConferma");
    connect(txtPasswordOld, &QLineEdit::returnPressed, txtPasswordNew, qOverload<>(&QWidget::setFocus));
    connect(txtPasswordNew, &QLineEdit::returnPressed, txtConferma, qOverload<>(&QWidget::setFocus));
    connect(txtConferma, &QLineEdit::returnPressed, txtPasswordOld, qOverload<>(&QWidget::setFocus));

    layout->addStretch(1);
    cmdOK = textButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), this);
    cmdOK->setEnabled(false);
    cmdEsci = textButton(QStringLiteral("cmdEsci"), QStringLiteral("Chiudi"), this);
    layout->addLayout(buttonRow({cmdOK, cmdEsci}));

    lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);

    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdEsciClick);
}

void TfrmCambiaPassword::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (event->spontaneous()) return;
    centerOnScreen(this);
    for (QLineEdit* box : {txtPasswordOld, txtPasswordNew, txtConferma}) box->clear();
    lblMemory->clear();
    txtPasswordOld->setFocus();
}

void TfrmCambiaPassword::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdEsciClick();
        return;
    }
    WorkArea::keyPressEvent(event);
}

void TfrmCambiaPassword::txtChange() {
    cmdOK->setEnabled(!trimmedText(txtPasswordOld).empty() && !trimmedText(txtPasswordNew).empty() &&
                      !trimmedText(txtConferma).empty());
}

void TfrmCambiaPassword::refuse(std::string_view message, QLineEdit* focus, std::initializer_list<QLineEdit*> empty) {
    MessageService::plain(this, message);
    for (QLineEdit* box : empty) box->clear();
    focus->setFocus();
}

void TfrmCambiaPassword::cmdOKClick() {
    const auto stored = readStoredPassword(registry().programFolder());
    if (!stored) {
        MessageService::plain(this, kMsgChangeError);
        return;
    }
    if (normalizePassword(txtPasswordOld->text().toStdString()) != *stored) {
        refuse(kMsgOldPasswordWrong, txtPasswordOld, {txtPasswordOld});
        return;
    }
    const std::string newPassword = trimmedText(txtPasswordNew);
    if (newPassword != trimmedText(txtConferma)) {
        refuse(kMsgNotConfirmed, txtPasswordNew, {txtPasswordNew, txtConferma});
        return;
    }
    // Checked before anything is written: the old password stays in force.
    if (!isStorablePassword(newPassword)) {
        refuse(kMsgPasswordUnstorable, txtPasswordNew, {txtPasswordNew, txtConferma});
        return;
    }
    if (!storePassword(registry().programFolder(), newPassword)) {
        MessageService::plain(this, kMsgChangeError);
        return;
    }
    MessageService::plain(this, kMsgChanged);
    onClose();
}

void TfrmCambiaPassword::cmdEsciClick() { onClose(); }

void TfrmCambiaPassword::onClose() {
    hide();
    if (auto* password = registry().get<TfrmPassword>(toQString(screen::kPassword))) password->comeBack();
}

}  // namespace scortavia
