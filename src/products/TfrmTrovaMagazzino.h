#pragma once

#include <array>

#include "products/ProductListScreens.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class FocusFrame;

// The product search: ten fields to fill, then the list of the products that contain them.
class TfrmTrovaMagazzino final : public ProductListScreen {
    Q_OBJECT
public:
    TfrmTrovaMagazzino(ScreenRegistry& registry, QWidget* owner);

    QWidget* panAvvio;
    QLineEdit* txtCodice;
    QLineEdit* txtCosto;
    QLineEdit* txtNome;
    QLineEdit* txtTipologia;
    QLineEdit* txtCaratteristiche;
    QLineEdit* txtCollocazione;
    QLineEdit* txtDitta;
    QLineEdit* txtAgente;
    QLineEdit* txtDocumento;
    QLineEdit* txtNote;
    QPushButton* btnCerca;
    QPushButton* btnAnnulla;
    QLabel* lblAttendere;
    QLabel* lblConta;
    QLabel* lblMemory;
    QLabel* lblTrovate;

    void btnCercaClick();
    const std::array<QLineEdit*, 10>& fields() const { return fields_; }

protected:
    bool putsOnCard() const override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    std::array<QLineEdit*, 10> fields_{};
};

}  // namespace scortavia
