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

// The product search over "Magazzino.pro": ten fields to fill, then the list of the products that contain
// them. A double click hands the product to whoever the key in lblMemory names. The search of the product
// card and the import into a price list are this one screen, each with its own design.
class ProductSearchScreen : public SearchScreen {
    Q_OBJECT
public:
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

    // A code read by a barcode scanner chooses its product's row, running the search for that code first
    // when none has run yet; an unknown code is said so. True when a row was chosen.
    bool codeScanned(const QString& code);

protected:
    ProductSearchScreen(ScreenRegistry& registry, QWidget* owner, const Design& design);
    // The hand-over key of who receives the product, read at the double click; lblMemory as written.
    virtual QString receiverKey() const;
    const std::filesystem::path& archive() const { return archive_; }

private:
    std::filesystem::path archive_;
};

// The product search of the product card: a double click puts the product on the card named by lblMemory.
class TfrmTrovaMagazzino final : public ProductSearchScreen {
    Q_OBJECT
public:
    TfrmTrovaMagazzino(ScreenRegistry& registry, QWidget* owner);

    // Labels for the rows chosen in the list.
    void btnEtichetteClick();

private:
    ScreenRegistry& registry_;
};

}  // namespace scortavia
