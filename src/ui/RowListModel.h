#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <QStringList>

#include "common/ListRows.h"

namespace scortavia {

// The rows of a list screen for a list view: built straight from the scanned archive, converted to
// text only for the rows on screen, so 100,000 rows show at once.
class RowListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit RowListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    void setRows(RowList rows);
    // Empties the list and gives its buffers back: a list of 100,000 rows holds megabytes.
    void clear();
    const RowList& rows() const { return rows_; }
    QStringList texts() const;

    // Every item is this wide, so long rows scroll sideways.
    void setItemSize(QSize size) { itemSize_ = size; }
    QSize itemSize() const { return itemSize_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    RowList rows_;
    QSize itemSize_;
};

}  // namespace scortavia
