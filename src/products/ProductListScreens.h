#pragma once

#include "products/ProductLists.h"
#include "ui/ListScreen.h"
#include "ui/SearchScreen.h"

namespace scortavia {

class ScreenRegistry;

// The product behind a row of a product list, in the list's row format.
ListScreen::Find productOfRow(const ScreenRegistry& registry, RowFormat format);

// Products whose stock is at or below their warning level.
class TfrmSottoscorta final : public ListScreen {
    Q_OBJECT
public:
    TfrmSottoscorta(ScreenRegistry& registry, QWidget* owner);
};

// Products whose purchase is marked not paid.
class TfrmDaSaldare final : public ListScreen {
    Q_OBJECT
public:
    TfrmDaSaldare(ScreenRegistry& registry, QWidget* owner);
};

// The product search: ten fields to fill, then the list of the products that contain them. A double
// click puts the product on the card named by the key in lblMemory.
class TfrmTrovaMagazzino final : public SearchScreen {
    Q_OBJECT
public:
    TfrmTrovaMagazzino(ScreenRegistry& registry, QWidget* owner);

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
};

}  // namespace scortavia
