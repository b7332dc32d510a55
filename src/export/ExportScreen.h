#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "export/SpreadsheetExport.h"

class QLabel;
class QTableView;

namespace scortavia {

class HoverHints;
class PictureButton;
class ScreenRegistry;

// The grid of an export: a model over the archive's cells, read once into one buffer, and the few cells
// the user changed. The archive itself is never written.
class ExportGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    ExportGridModel(const ExportDesign& design, QObject* parent);

    // Reads the archive; an empty one shows kEmptyExportRows empty rows.
    Status load(const std::filesystem::path& archive);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The cell as shown (stored or changed), UTF-8; `column` counts the exported columns only.
    std::string_view cellText(std::size_t row, std::size_t column) const;
    std::size_t exportRows() const { return static_cast<std::size_t>(rowCount()); }

private:
    std::uint64_t key(std::size_t row, std::size_t column) const { return row * design_.columns.size() + column; }

    const ExportDesign& design_;
    ExportCells cells_;
    std::unordered_map<std::uint64_t, std::string> changed_;
};

// The export of an archive to a spreadsheet file: the grid of its records, whose editable columns may be
// changed for the file only, and the button that writes the file. Products, goods-in and goods-out are
// this one screen given their design.
class ExportScreen : public QDialog {
    Q_OBJECT
public:
    QTableView* grdRecords;
    QLabel* panInfo;
    PictureButton* cmdEsporta;
    PictureButton* cmdGuida;
    PictureButton* cmdEsci;

    ExportGridModel* model() const { return model_; }
    const ExportDesign& design() const { return design_; }
    std::filesystem::path exportFile() const;

    void cmdEsportaClick();

protected:
    // `archive` is asked for the archive's path each time the screen is shown.
    ExportScreen(ScreenRegistry& registry, QWidget* owner, const ExportDesign& design,
                 std::function<std::filesystem::path()> archive);
    void showEvent(QShowEvent* event) override;

private:
    ScreenRegistry& registry_;
    const ExportDesign& design_;
    std::function<std::filesystem::path()> archive_;
    ExportGridModel* model_;
    HoverHints* hints_;
    std::optional<std::filesystem::path> unreadArchive_;  // when the last reading failed
};

class TfrmExpMagazzino final : public ExportScreen {
    Q_OBJECT
public:
    TfrmExpMagazzino(ScreenRegistry& registry, QWidget* owner);
};

// The movement exports read the year archive named by their card's lblFile.
class TfrmExpCarichi final : public ExportScreen {
    Q_OBJECT
public:
    TfrmExpCarichi(ScreenRegistry& registry, QWidget* owner, std::function<std::filesystem::path()> archive);
};

class TfrmExpScarichi final : public ExportScreen {
    Q_OBJECT
public:
    TfrmExpScarichi(ScreenRegistry& registry, QWidget* owner, std::function<std::filesystem::path()> archive);
};

}  // namespace scortavia
