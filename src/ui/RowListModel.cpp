#include "ui/RowListModel.h"

namespace scortavia {

void RowListModel::setRows(RowList rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void RowListModel::clear() {
    beginResetModel();
    rows_.release();
    endResetModel();
}

QStringList RowListModel::texts() const {
    QStringList out;
    out.reserve(static_cast<qsizetype>(rows_.size()));
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const std::string_view row = rows_[i];
        out << QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size()));
    }
    return out;
}

int RowListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) {
        const std::string_view row = rows_[static_cast<std::size_t>(index.row())];
        return QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size()));
    }
    if (role == Qt::SizeHintRole && itemSize_.isValid()) return itemSize_;
    return {};
}

}  // namespace scortavia
