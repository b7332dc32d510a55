#pragma once

#include <QDialog>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "reports/PrintRun.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace scortavia {

class Picture;
class PictureButton;

// One choice of a print dialog: a radio button that picks the template of its key.
struct PrintOption {
    std::string_view name;  // the radio button's object name
    std::string_view caption;
    std::string_view key;  // what lblMemory holds while it is chosen
};

// How a print dialog looks and what its action button does. Its caption and the action's caption
// say what it does: " Stampa scheda" and "Stampa", or " Anteprima di stampa" and "Mostra anteprima".
struct PrintDialogDesign {
    enum class Buttons { ActionFirst, CancelFirst };

    PrintMode mode;
    std::string_view name;
    std::string_view picture;  // the explanation picture over the full width
    QSize size = {516, 218};
    Buttons buttons = Buttons::ActionFirst;
    bool closeBox = false;  // closing there is the same as "Annulla"
    // Radio buttons under the picture, the first one chosen at each opening; none where there is
    // one template.
    std::vector<PrintOption> options = {};
    // The window's caption when the mode's own (" Stampa scheda") does not say what is printed.
    std::string_view caption = {};
    // A dialog that prints may offer "Anteprima" too, for the same page.
    bool previewToo = false;
};

// The print and preview dialogs: an explanation picture, the choices if any, the action and
// "Annulla". The action fills the chosen template from the screen being printed, then prints or
// previews it and closes. A new printout is one more design and its templates.
class PrintDialog : public QDialog {
    Q_OBJECT
public:
    using Mode = PrintMode;

    Picture* imgSpiegazione;
    QPushButton* btnStampa;
    QPushButton* btnAnnulla;
    // The key of the current choice; null in a dialog without choices.
    QLabel* lblMemory = nullptr;
    // "Anteprima" of a dialog that prints and previews; null otherwise.
    QPushButton* btnAnteprima = nullptr;
    // The help button of a dialog with a page of its own in the guide; null otherwise.
    PictureButton* imgGuida = nullptr;

    Mode mode() const { return run_.mode(); }

    void btnStampaClick();
    void btnAnteprimaClick();

protected:
    // `choices` hold a template under each option's key, or one under the empty key.
    PrintDialog(QWidget* owner, const PrintDialogDesign& design, std::vector<PrintRun::Choice> choices);

    // The radio button of the design's option at `index`.
    QRadioButton* option(std::size_t index) const { return options_.at(index); }
    // Where a dialog with more choices than radio buttons puts its own controls, under the options.
    QVBoxLayout* choicesLayout() const { return choices_; }
    // Puts the help button at the left of the buttons; `open` shows the dialog's page.
    void addHelp(std::function<void()> open);
    // The template the key picks; nullptr for none.
    ReportTemplate* report(const QString& key = {}) const { return run_.report(key); }

    // How the chosen template is filled from the screen being printed, read at the action. Nothing
    // leaves the dialog open as it is; an empty fill closes it without printing.
    virtual std::optional<PrintRun::Fill> pageFill() = 0;

private:
    PrintRun run_;
    std::vector<QRadioButton*> options_;
    QVBoxLayout* choices_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;

    void finish(PrintMode as);
};

}  // namespace scortavia
