#pragma once

#include <string>

#include "ui/ScreenRegistry.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace scortavia {

class PictureButton;
struct ListedArchive;

// A file on a label of the price-list screens: the text shows it, and the label keeps the bytes of its
// name beside the text, so a name in another encoding (shown read as Windows-1252) is found by them.
void showFileOnLabel(QLabel* label, const QString& shown, const std::string& bytes);
// The bytes of what the label names: those kept beside its text while it still shows what
// showFileOnLabel put there, otherwise the text itself.
std::string fileOnLabel(const QLabel* label);

// Asks for the name of a new price list and creates its empty archive in the program folder.
class TfrmCreaCatalogo final : public WorkArea {
    Q_OBJECT
public:
    explicit TfrmCreaCatalogo(ScreenRegistry& registry);

    QLabel* lblTitolo;
    QLabel* lblIstruzioni;
    QLabel* titFile;
    QLineEdit* txtFile;
    QPushButton* btnApplica;
    QPushButton* btnAnnulla;
    PictureButton* imgGuida;
    QLabel* lblFile;  // the archive about to be created

    void btnApplicaClick();

protected:
    void showEvent(QShowEvent* event) override;
};

// Lists the price lists of the program folder; opens the chosen one in the page editor or deletes it.
class TfrmApriCatalogo final : public WorkArea {
    Q_OBJECT
public:
    explicit TfrmApriCatalogo(ScreenRegistry& registry);

    QLabel* lblTitolo;
    QLabel* lblIstruzioni;
    QListWidget* lstFiles;
    QLabel* lblCreati;
    PictureButton* btnElimina;
    QPushButton* btnApri;
    QPushButton* btnAnnulla;
    PictureButton* imgGuida;
    QLabel* lblMemory;  // where closing leads: "avvio" or "listino"
    QLabel* lblFile;

    void btnApriClick();
    void btnEliminaClick();

protected:
    void showEvent(QShowEvent* event) override;
    void onClose() override;

private:
    // Fills the list from the program folder; false when the folder could not be read.
    bool fillList();
    // The selected list's item, or nullptr with the warning given.
    QListWidgetItem* selectedArchive(const char* noSelectionWarning);
};

}  // namespace scortavia
