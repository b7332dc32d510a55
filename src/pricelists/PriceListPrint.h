#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <filesystem>
#include <memory>

#include "reports/ReportTemplate.h"
#include "ui/PrintDialog.h"

namespace scortavia {

class ScreenRegistry;

inline constexpr int kPriceListPrintSlots = 8;

// One slot of the page as it goes on paper: the editor's five fields, trimmed, and its picture.
struct PriceListPrintSlot {
    QString codice, nome, um, caratteristiche, prezzo;
    QImage foto;
};

// The page on screen in the price-list editor, saved or not.
struct PriceListPrintPage {
    QString listName;    // lblNome, trimmed
    QString pageNumber;  // lblPosizione, trimmed: empty for a page never saved
    std::array<PriceListPrintSlot, kPriceListPrintSlots> slots;
};

// Reads the page from any widget tree that holds the editor's controls by their object names
// (lblNome, lblPosizione, txtCodice_A ... txtPrezzo_H, the PhotoBoxes imgFoto_A ... imgFoto_H);
// a control that is missing reads as empty.
PriceListPrintPage priceListPageOf(const QWidget* editor);

// The picture a slot's photo file holds: exactly 366 x 274, the whole picture stretched over it
// with smooth scaling, on transparent black.
QImage priceListPhotoImage(const QImage& picture);

// How far making the print copies got: slots A to A + written - 1 were written, A to A + loaded - 1
// shown again on the editor.
struct PriceListPrintCopies {
    int written = 0;
    int loaded = 0;
};

// Before a preview or a print: writes every slot picture of the editor as its print copy
// ("Foto_Listino/<list>_Anteprima_A.jpg" ...), each through a temporary file renamed over the old
// one, then shows the copies on the editor in place of the pictures. The first slot that fails
// silently ends each step; only copies written this time are shown again, never one left from
// another page.
PriceListPrintCopies makePriceListPrintCopies(const std::filesystem::path& programFolder, QWidget* editor);

// "Listino Prezzi": one A4 portrait page, the list name, eight framed slots 33 mm apart, each with
// photo, name, appearance, features, code and price, and the page number at the bottom.
std::unique_ptr<ReportTemplate> makePriceListTemplate();

// Puts the page into the template; the price prints after the euro sign and two blanks.
void fillPriceListTemplate(ReportTemplate& report, const PriceListPrintPage& page);

// The preview and the print dialog of a price-list page: the same controls and steps, differing in
// their texts and in what the right button does with the filled page.
class PriceListPrintDialog : public PrintDialog {
    Q_OBJECT
public:
    ReportTemplate* const repDocumento;

protected:
    PriceListPrintDialog(ScreenRegistry& registry, QWidget* owner, Mode mode);

    std::optional<PrintRun::Fill> pageFill() override;

private:
    static PrintDialogDesign designOf(Mode mode);
    // The page editor: the registry's frmListinoPrezzi, or the owner where there is none.
    QWidget* editor() const;

    ScreenRegistry& registry_;
};

// Shows the price-list page in the preview window.
class TfrmAnteprimaProdotto final : public PriceListPrintDialog {
    Q_OBJECT
public:
    TfrmAnteprimaProdotto(ScreenRegistry& registry, QWidget* owner);
};

// Prints the price-list page through the print dialog.
class TfrmStampaProdotto final : public PriceListPrintDialog {
    Q_OBJECT
public:
    TfrmStampaProdotto(ScreenRegistry& registry, QWidget* owner);
};

// The dialog of `mode`, owned by `owner` (the page editor), ready for exec().
std::unique_ptr<PriceListPrintDialog> makePriceListPrintDialog(ScreenRegistry& registry, QWidget* owner,
                                                               PriceListPrintDialog::Mode mode);

// What the editor's "Anteprima" and "Stampa" buttons do: make the print copies, then show the
// dialog of `mode` modally over the editor; it is gone when this returns.
void openPriceListPrint(ScreenRegistry& registry, QWidget* editor, PriceListPrintDialog::Mode mode);

}  // namespace scortavia
