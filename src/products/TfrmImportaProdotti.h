#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>

#include "products/ImportPreviewModel.h"
#include "products/MappingHeader.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace scortavia {

class HoverHints;
class PictureButton;
class ScreenRegistry;

class TfrmImportaProdotti final : public QDialog {
    Q_OBJECT
public:
    TfrmImportaProdotti(ScreenRegistry& registry, QWidget* owner);

    QLineEdit* txtFile;
    QPushButton* cmdSfoglia;
    QLabel* lblFormato;
    QCheckBox* chkIntestazioni;
    QLabel* lblPronte;
    QLabel* lblAvvisi;
    QLabel* lblRifiutate;
    QLabel* lblEscluse;
    QCheckBox* chkSoloProblemi;
    QTableView* grdAnteprima;
    QWidget* panDoppi;
    QLabel* lblDoppi;
    QRadioButton* optSaltaDoppi;
    QRadioButton* optAggiungiDoppi;
    QLabel* panInfo;
    PictureButton* cmdGuida;
    QPushButton* cmdImporta;
    QPushButton* cmdAnnulla;

    void cmdSfogliaClick();
    void cmdImportaClick();

    // Reads the file and shows its preview; false (after telling the user why) when it cannot be read.
    bool openFile(const std::filesystem::path& file);
    // The preview shown and how the file's columns are read; null and empty while no file is open.
    const ImportPreview* preview() const;
    const ImportOptions& options() const;
    MappingHeader* mappingHeader() const { return header_; }
    ArchiveDuplicates duplicateChoice() const;

private:
    // Builds the preview again with `options`; false (after telling the user) when the machine ran out of
    // memory.
    bool rebuild(ImportOptions options);
    void refresh();
    void chooseField(std::size_t column, std::optional<ProductLayout::Field> field);

    ScreenRegistry& registry_;
    ImportPreviewModel* model_;  // owns the file being imported
    MappingHeader* header_;
    HoverHints* hints_;
};

}  // namespace scortavia
