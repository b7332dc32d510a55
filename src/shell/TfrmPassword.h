#pragma once

#include "ui/ScreenRegistry.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class FocusFrame;

// The access password screen: the main window, shown first; a correct password opens the main menu.
class TfrmPassword final : public WorkArea {
    Q_OBJECT
public:
    explicit TfrmPassword(ScreenRegistry& registry);

    QLabel* lblRigo05;
    QLineEdit* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdEsci;
    QPushButton* btnCambiaPassword;
    QLabel* lblMemory;
    FocusFrame* effPassword;

    void cmdOKClick();
    void cmdEsciClick();
    void btnCambiaPasswordClick();
    void txtPasswordChange();

    // Back from the change-password screen: a fresh start on this screen.
    void comeBack();

protected:
    void showEvent(QShowEvent* event) override;
    void onClose() override {}  // only "Esci" ends the program from here
};

}  // namespace scortavia
