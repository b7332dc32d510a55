#include "products/MappingHeader.h"

#include <QComboBox>
#include <QResizeEvent>
#include <algorithm>

#include "products/ImportPreviewModel.h"
#include "ui/QtText.h"

namespace scortavia {
namespace {

using P = ProductLayout;

const char* const kIgnore = "— non importare —";

}  // namespace

MappingHeader::MappingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignBottom);
    setHighlightSections(false);
    setSectionsClickable(false);
    connect(this, &QHeaderView::sectionResized, this, &MappingHeader::place);
    connect(this, &QHeaderView::geometriesChanged, this, &MappingHeader::place);
    connect(this, &QHeaderView::sectionCountChanged, this, &MappingHeader::place);
}

void MappingHeader::setColumns(const ColumnMapping& mapping) {
    for (QComboBox* box : choices_) delete box;
    placed_.clear();
    fields_.assign(mapping.size(), -1);
    for (std::size_t c = 0; c < mapping.size(); ++c) {
        if (mapping[c]) fields_[c] = static_cast<int>(*mapping[c]);
    }
    choices_.assign(mapping.size(), nullptr);
    listHeight_ = mapping.empty() ? 0 : choice(0)->sizeHint().height();
    place();
}

QComboBox* MappingHeader::choice(std::size_t column) {
    QComboBox*& box = choices_.at(column);
    if (box != nullptr) return box;
    box = new QComboBox(viewport());
    box->hide();
    box->setObjectName(QStringLiteral("cboCampo_%1").arg(column + 1, 2, 10, QLatin1Char('0')));
    box->addItem(QString::fromUtf8(kIgnore), -1);
    for (std::size_t f = 0; f < kImportFieldCount; ++f) {
        box->addItem(toQString(importFieldName(static_cast<P::Field>(f))), static_cast<int>(f));
    }
    box->setCurrentIndex(fields_[column] + 1);
    box->setToolTip(QStringLiteral("Il campo della scheda in cui importare la colonna %1.").arg(columnLetters(column)));
    QComboBox* made = box;
    connect(made, &QComboBox::activated, this, [this, column, made](int index) {
        const int field = made->itemData(index).toInt();
        fields_[column] = field;
        Q_EMIT fieldChosen(column, field < 0 ? std::nullopt : std::optional(static_cast<P::Field>(field)));
    });
    return box;
}

void MappingHeader::setChoice(std::size_t column, std::optional<ProductLayout::Field> field) {
    fields_.at(column) = field ? static_cast<int>(*field) : -1;
    if (choices_[column] != nullptr) choices_[column]->setCurrentIndex(fields_[column] + 1);
}

QSize MappingHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    size.setHeight(size.height() + listHeight_ + (listHeight_ > 0 ? 6 : 0));
    return size;
}

void MappingHeader::releasePlacement() {
    if (held_ > 0 && --held_ == 0) place();
}

void MappingHeader::place() {
    if (held_ > 0) return;
    std::vector<std::size_t> inView;
    const int first = visualIndexAt(0);
    int last = visualIndexAt(viewport()->width() - 1);
    if (last < 0) last = count() - 1;
    for (int visual = std::max(first, 0); first >= 0 && visual <= last; ++visual) {
        const int section = logicalIndex(visual);
        if (section < ImportPreviewModel::kFixedColumns || isSectionHidden(section)) continue;
        const auto column = static_cast<std::size_t>(section - ImportPreviewModel::kFixedColumns);
        if (column >= choices_.size()) continue;
        QComboBox* box = choice(column);
        box->setGeometry(sectionViewportPosition(section) + 2, 3, sectionSize(section) - 4, listHeight_);
        box->show();
        inView.push_back(column);
    }
    for (const std::size_t column : placed_) {
        if (std::find(inView.begin(), inView.end(), column) == inView.end()) choices_[column]->hide();
    }
    placed_ = std::move(inView);
}

void MappingHeader::resizeEvent(QResizeEvent* event) {
    QHeaderView::resizeEvent(event);
    place();
}

}  // namespace scortavia
