#pragma once

#include <QHeaderView>
#include <cstddef>
#include <optional>
#include <vector>

#include "products/ImportFields.h"

class QComboBox;

namespace scortavia {

// The import grid's header, with a list above each of the file's columns naming the card field it fills.
// A list is made when its column first comes on screen and only those on screen are placed, so a file
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

}  // namespace scortavia
