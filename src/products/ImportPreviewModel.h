#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "products/ImportPreview.h"

namespace scortavia {

// The preview grid: the row's number in the sheet, its outcome, why, then the file's columns, each
// shown as the field it fills will store it (or as written, greyed, when it fills none). The model owns
// the import session it shows, so nothing it reads can go away under the view.
class ImportPreviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The columns before the file's own: the sheet's row, the outcome and its reasons.
    static constexpr int kRiga = 0;
    static constexpr int kEsito = 1;
    static constexpr int kMotivo = 2;
    static constexpr int kFixedColumns = 3;

    explicit ImportPreviewModel(QObject* parent);

    // The session shown; null while no file is open.
    const ImportSession* session() const { return session_.get(); }
    // Shows `session` (null: none) in place of the one shown, which goes first.
    void open(std::unique_ptr<ImportSession> session);
    // Reads the file's columns with `options` and builds the preview again; false when the memory ran
    // out, and the session is closed.
    bool readWith(ImportOptions options);
    // How the rows are shown: the duplicate choice decides their outcome; only the rows to check, or all.
    void showRows(ArchiveDuplicates choice, bool onlyProblems);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The preview row shown on a grid row.
    std::size_t previewRow(int row) const;

private:
    const ImportPreview* preview() const;
    QString reasons(std::size_t row, std::optional<ProductLayout::Field> only) const;
    // Which preview rows are on the grid, after the session or the way of showing changed.
    void chooseRows();

    std::unique_ptr<ImportSession> session_;
    ArchiveDuplicates choice_ = ArchiveDuplicates::Skip;
    bool onlyProblems_ = false;
    std::vector<std::uint32_t> shown_;  // when only the rows to check are shown
    bool filtered_ = false;
};

// The spreadsheet's name of a column: A, B, ..., Z, AA, AB, ...
QString columnLetters(std::size_t column);

}  // namespace scortavia
