#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "reports/ReportTemplate.h"
#include "ui/PrintDialog.h"

class QRadioButton;
class QShowEvent;

namespace scortavia {

class PhotoBox;
class ScreenRegistry;
class TfrmMagazzino;

// The texts of the product card as they go on paper, each already trimmed.
struct ProductPrintTexts {
    QString codice, costo, nome, giacenza, um, tipologia, caratteristiche, collocazione, ditta, agente, recapito,
        documento, pagamento, dataSca, note, prezzo;
    bool pagato = false;
};

// One row of the printed card: its title and its value.
struct ProductPrintRow {
    QString title;
    QString value;
};

inline constexpr std::size_t kProductPrintRowCount = 18;
using ProductPrintRows = std::array<ProductPrintRow, kProductPrintRowCount>;

// The eighteen rows of the printed card. Row 17 multiplies stock by cost, so there are no rows when
// either is not a number: then nothing is printed.
std::optional<ProductPrintRows> productPrintRows(const ProductPrintTexts& texts);

// The card's controls, trimmed the way stored texts are.
ProductPrintTexts productPrintTextsOf(const TfrmMagazzino& card);

// "Scheda informativa": one A4 portrait page with the photo above the rows, or the rows closer
// together and a box for notes under them.
std::unique_ptr<ReportTemplate> makeProductCardTemplate(bool withPhoto);

// Title, rows and footer; the photo goes in only where the template has room for it.
void fillProductCardTemplate(ReportTemplate& report, const ProductPrintRows& rows, const QImage& photo,
                             const QDateTime& now);

// The print and the preview dialog of the product card: the same controls and steps, differing
// in their texts and in what the action button does with the filled page. The choice "con" prints
// the template with the photo, "senza" the one without.
class ProductPrintDialog : public PrintDialog {
    Q_OBJECT
public:
    QRadioButton* const optUno;
    QRadioButton* const optDue;
    PhotoBox* imgLogo;
    PhotoBox* imgBianco;

    ReportTemplate* const repFoto;
    ReportTemplate* const repScheda;

protected:
    ProductPrintDialog(ScreenRegistry& registry, QWidget* owner, Mode mode);

    void showEvent(QShowEvent* event) override;
    std::optional<PrintRun::Fill> pageFill() override;

private:
    static PrintDialogDesign designOf(Mode mode);
    TfrmMagazzino* card() const;

    ScreenRegistry& registry_;
};

}  // namespace scortavia
