#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <memory>

#include "movements/MovementDirection.h"
#include "reports/ReportTemplate.h"
#include "ui/PrintDialog.h"

namespace scortavia {

class MovementCardScreen;
class ScreenRegistry;

// The printed card has one row for each text box of the movement card, top to bottom.
inline constexpr std::size_t kMovementPrintRowCount = 13;
using MovementPrintTexts = std::array<QString, kMovementPrintRowCount>;

// The value objects of the printed rows, top to bottom; each prints the card's box of the same name.
inline constexpr std::array<const char*, kMovementPrintRowCount> kMovementPrintValues = {
    "txtNumDoc", "txtDataDoc",     "txtFornitore", "txtRecapiti", "txtData",     "txtCodice", "txtTipologia",
    "txtMarca",  "txtDescrizione", "txtCostoUni",  "txtQuant",    "txtCostoTot", "txtNote",
};

// The card's boxes as they stand on screen, saved or not, in the order of the printed rows. The
// "Conto da saldare" box and the attached documents are not printed.
MovementPrintTexts movementPrintTextsOf(const MovementCardScreen& card);

// "Scheda Carico Merce" / "Scheda Scarico Merce": one A4 portrait page, a title strip, thirteen
// outlined rows of caption and value, and a footer strip for the moment of printing.
std::unique_ptr<ReportTemplate> makeMovementCardTemplate(const MovementDirection& direction);

// The values, trimmed, and the footer with the moment of printing.
void fillMovementCardTemplate(ReportTemplate& report, const MovementPrintTexts& texts, const QDateTime& now);

// Prints the movement card on screen. Goods-in and goods-out are this one dialog given their direction.
class MovementPrintDialog : public PrintDialog {
    Q_OBJECT
public:
    ReportTemplate* const repDocumento;

    const MovementDirection& direction() const { return direction_; }

protected:
    MovementPrintDialog(ScreenRegistry& registry, QWidget* owner, const MovementDirection& direction);

    std::optional<PrintRun::Fill> pageFill() override;

private:
    static PrintDialogDesign designOf(const MovementDirection& direction);
    MovementCardScreen* card() const;

    ScreenRegistry& registry_;
    const MovementDirection& direction_;
};

// Prints the goods-in card frmCarichi.
class TfrmStampaCarico final : public MovementPrintDialog {
    Q_OBJECT
public:
    TfrmStampaCarico(ScreenRegistry& registry, QWidget* owner) : MovementPrintDialog(registry, owner, kGoodsIn) {}
};

// Prints the goods-out card frmScarichi.
class TfrmStampaScarico final : public MovementPrintDialog {
    Q_OBJECT
public:
    TfrmStampaScarico(ScreenRegistry& registry, QWidget* owner) : MovementPrintDialog(registry, owner, kGoodsOut) {}
};

// The print dialog of the card of `direction`, owned by `owner` (the card), ready for exec().
std::unique_ptr<MovementPrintDialog> makeMovementPrintDialog(ScreenRegistry& registry, QWidget* owner,
                                                             const MovementDirection& direction);

}  // namespace scortavia
