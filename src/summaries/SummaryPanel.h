#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <utility>

#include "ui/Widgets.h"

namespace scortavia {

// How to use the find box of the summaries and the inventory, in two lines.
inline constexpr const char* kFindLine1 =
    "Immettere una o più parole consecutive presenti nella scheda in elenco da cercare e premere il pulsante Trova.";
inline constexpr const char* kFindLine2 =
    "Per spostarsi sulla voce successiva contenente la stessa chiave di ricerca, fare di nuovo clic su Trova.";

// The figures above a summary's list: what was chosen and the totals, a caption and its value per line,
// with the help button at the right.
class SummaryPanel final {
public:
    SummaryPanel(QWidget* container, QVBoxLayout* layout) : container_(container), grid_(formGrid(12, 4)) {
        grid_->setColumnStretch(1, 1);
        auto* line = new QHBoxLayout();
        line->addLayout(grid_, 1);
        layout->insertLayout(0, line);
        line_ = line;
    }

    std::pair<QLabel*, QLabel*> add(const char* captionName, const char* caption, const char* valueName,
                                    const char* value) {
        QLabel* c = captionLabel(QString::fromLatin1(captionName), QString::fromUtf8(caption), container_);
        QLabel* v = captionLabel(QString::fromLatin1(valueName), QString::fromUtf8(value), container_);
        v->setProperty("value", true);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid_->addWidget(c, row_, 0);
        grid_->addWidget(v, row_, 1);
        ++row_;
        return {c, v};
    }

    PictureButton* helpButton(const char* name) {
        auto* help =
            new PictureButton(QString::fromLatin1(name), QStringLiteral(":/icon_guida.svg"), {40, 40}, container_);
        help->setToolTip(QStringLiteral("Guida all'utilizzo del software"));
        line_->addWidget(help, 0, Qt::AlignTop);
        return help;
    }

private:
    QWidget* container_;
    QGridLayout* grid_;
    QHBoxLayout* line_;
    int row_ = 0;
};

}  // namespace scortavia
