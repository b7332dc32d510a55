#pragma once

#include "ui/ScreenRegistry.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class FocusFrame;

// Change of the access password, reached from the password screen and returning to it.
class TfrmCambiaPassword final : public WorkArea {
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(ScreenRegistry& registry);

    QLabel* lblRigo05;
    QLineEdit* txtPasswordOld;
    QLabel* lblRigo06;
    QLineEdit* txtPasswordNew;
    QLabel* lblRigo07;
    QLineEdit* txtConferma;
    QPushButton* cmdOK;
    QPushButton* cmdEsci;
    QLabel* lblMemory;
    FocusFrame* effPasswordOld;
    FocusFrame* effPasswordNew;
    FocusFrame* effConferma;

    void cmdOKClick();
    void cmdEsciClick();
    void txtChange();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape leaves as "Chiudi" does, changing nothing, as it leaves every other dialog.
    void keyPressEvent(QKeyEvent* event) override;
    void onClose() override;

private:
    void refuse(std::string_view message, QLineEdit* focus, std::initializer_list<QLineEdit*> empty);
};

}  // namespace scortavia
