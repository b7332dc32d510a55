#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class ScreenRegistry;

// Adds a quantity to, or subtracts it from, the stock box of the product card.
class TfrmGiacenza final : public QDialog {
    Q_OBJECT
public:
    TfrmGiacenza(ScreenRegistry& registry, QWidget* owner, bool add);

    QLabel* lblGiacenza;
    QLineEdit* txtGiacenza;
    QLabel* lblAggiunta;
    QLineEdit* txtAggiunta;
    QPushButton* btnTotale;
    QLineEdit* txtTotale;
    QPushButton* btnAggiorna;
    QPushButton* btnChiudi;

    void btnTotaleClick();
    void btnAggiornaClick();

private:
    // The product card's stock box, which the dialog starts from and writes back.
    QLineEdit* cardStock() const;

    ScreenRegistry& registry_;
};

}  // namespace scortavia
