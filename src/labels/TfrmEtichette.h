#pragma once

#include <vector>

#include "labels/LabelPage.h"
#include "ui/PrintDialog.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace scortavia {

class ScreenRegistry;

// Prints labels with the product's name, price, barcode, code and category on a sheet of labels or a
// roll: the products come from the screen that opens it (the card, the rows chosen in the search, the
// goods-in of a day).
class TfrmEtichette final : public PrintDialog {
    Q_OBJECT
public:
    TfrmEtichette(const ScreenRegistry& registry, QWidget* owner, std::vector<LabelProduct> labels);

    QComboBox* cboFormato;
    QSpinBox* spnColonne;
    QSpinBox* spnRighe;
    QDoubleSpinBox* txtLarghezza;
    QDoubleSpinBox* txtAltezza;
    QDoubleSpinBox* txtMargineSinistro;
    QDoubleSpinBox* txtMargineSuperiore;
    QDoubleSpinBox* txtSpazioOrizzontale;
    QDoubleSpinBox* txtSpazioVerticale;
    QSpinBox* spnPrimaLibera;
    QCheckBox* chkNome;
    QCheckBox* chkPrezzo;
    QCheckBox* chkBarcode;
    QCheckBox* chkCodice;
    QCheckBox* chkCategoria;
    QCheckBox* chkBordi;
    QLabel* lblQuante;

    void cboFormatoChange();

protected:
    std::optional<PrintRun::Fill> pageFill() override;

private:
    bool custom() const;
    // The format chosen, the custom one checked; a failure carries what the user is told.
    Result<LabelFormat> chosenFormat() const;

    std::vector<LabelProduct> labels_;
};

}  // namespace scortavia
