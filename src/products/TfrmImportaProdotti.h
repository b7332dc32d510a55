#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QHeaderView>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "products/ProductImport.h"

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

// The preview grid: the row's number in the sheet, its outcome, why, then the file's columns, each
// shown as the field it fills will store it (or as written, greyed, when it fills none).
class ImportPreviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kFixedColumns = 3;

    explicit ImportPreviewModel(QObject* parent);

    // The table and the mapping stay the screen's; the model reads them until the next reset.
    void reset(const SheetTable* table, const ImportOptions* options, const ImportPreview* preview,
               ArchiveDuplicates choice, bool onlyProblems);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The preview row shown on a grid row.
    std::size_t previewRow(int row) const;

private:
    QString reasons(std::size_t row, std::optional<ProductLayout::Field> only) const;

    const SheetTable* table_ = nullptr;
    const ImportOptions* options_ = nullptr;
    const ImportPreview* preview_ = nullptr;
    ArchiveDuplicates choice_ = ArchiveDuplicates::Skip;
    std::vector<std::uint32_t> shown_;  // when only the rows to check are shown
    bool filtered_ = false;
};

// The grid's header, with a list above each of the file's columns naming the card field it fills. A
// list is made when its column first comes on screen and only those on screen are placed, so a file
// of thousands of columns costs what the few in view cost.
class MappingHeader final : public QHeaderView {
    Q_OBJECT
public:
    explicit MappingHeader(QWidget* parent);

    // One list per file column; `mapping` gives their choices.
    void setColumns(const ColumnMapping& mapping);
    // The list over a column, made if it was not yet.
    QComboBox* choice(std::size_t column);
    std::size_t choiceCount() const { return fields_.size(); }
    // Shows `field` as the column's choice.
    void setChoice(std::size_t column, std::optional<ProductLayout::Field> field);
    // Puts the lists of the columns in view over them and hides the others.
    void place();
    // Between hold and release the sections may change size many times; release places the lists once.
    void holdPlacement() { ++held_; }
    void releasePlacement();

    QSize sizeHint() const override;

Q_SIGNALS:
    void fieldChosen(std::size_t column, std::optional<ProductLayout::Field> field);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<int> fields_;          // per column, the field chosen, -1 for none
    std::vector<QComboBox*> choices_;  // per column, null until the list is made
    std::vector<std::size_t> placed_;  // columns whose lists are on screen
    int listHeight_ = 0;
    int held_ = 0;
};

class TfrmImportaProdotti final : public QDialog {
    Q_OBJECT
public:
    TfrmImportaProdotti(ScreenRegistry& registry, QWidget* owner);
    ~TfrmImportaProdotti() override;

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
    const ImportPreview* preview() const { return preview_.get(); }
    const ImportOptions& options() const { return options_; }
    MappingHeader* mappingHeader() const { return header_; }
    ArchiveDuplicates duplicateChoice() const;

private:
    // Builds the preview again; false (after telling the user) when the machine ran out of memory.
    bool rebuild();
    void refresh();
    void chooseField(std::size_t column, std::optional<ProductLayout::Field> field);

    ScreenRegistry& registry_;
    std::filesystem::path file_;
    std::optional<SheetTable> table_;
    ImportOptions options_;
    ArchiveCodes codes_;
    std::unique_ptr<ImportPreview> preview_;
    ImportPreviewModel* model_;
    MappingHeader* header_;
    HoverHints* hints_;
};

}  // namespace scortavia
