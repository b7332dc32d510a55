#pragma once

#include <memory>
#include <string>

#include "movements/MovementDirection.h"
#include "ui/ListScreen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class ScreenRegistry;

// The product picker of a movement card: the user clicks a product, types the quantity and imports
// it, which moves the product's stock at once and fills the card. Goods-in and goods-out are this
// one screen given their direction.
class ProductPicker : public ListScreen {
    Q_OBJECT
public:
    QLabel* titCodice;
    QLineEdit* txtCodice;
    QLabel* titDesc;
    QLineEdit* txtNome;
    QLabel* titGiacenza;
    QLineEdit* txtGiacenza;
    QLabel* titQuant;
    QLineEdit* txtQuant;
    QPushButton* btnImporta;
    QLabel* lblPosizione;  // the picked product's position in the product archive

    void lstRecordsClick();
    void btnImportaClick();
    // A double click picks the row with its first click: so does Enter.
    void lstRecordsEnter() override;
    QPushButton* btnScansiona;  // reads the product's barcode with the webcam

    // A code typed by a barcode scanner picks its product and moves on to the quantity, as a click on its
    // row would; an unknown code is said so. True when a product was picked.
    bool codeScanned(const QString& code);
    void btnScansionaClick();

protected:
    ProductPicker(ScreenRegistry& registry, QWidget* owner, const MovementDirection& direction);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class ScanPick { Picked, Unknown, AccessFailed };
    // Picks the product of a scanned code, silently.
    ScanPick pickScannedCode(const QString& code);
    void forgetPick();
    // The row at `place` of the list becomes `row`, still selected.
    void replaceRow(std::size_t place, const std::string& row);
    void fillAgain();
    std::filesystem::path archive() const;

    ScreenRegistry& registry_;
    const MovementDirection& direction_;
};

class TfrmImportaMagazzinoCar final : public ProductPicker {
    Q_OBJECT
public:
    TfrmImportaMagazzinoCar(ScreenRegistry& registry, QWidget* owner) : ProductPicker(registry, owner, kGoodsIn) {}
};

class TfrmImportaMagazzinoSca final : public ProductPicker {
    Q_OBJECT
public:
    TfrmImportaMagazzinoSca(ScreenRegistry& registry, QWidget* owner) : ProductPicker(registry, owner, kGoodsOut) {}
};

// The picker of the card's direction, made afresh for one opening.
std::unique_ptr<ProductPicker> makeProductPicker(ScreenRegistry& registry, QWidget* owner,
                                                 const MovementDirection& direction);

}  // namespace scortavia
