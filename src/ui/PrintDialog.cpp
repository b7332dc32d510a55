#include "ui/PrintDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

#include "ui/QtText.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

QString captionOf(PrintMode mode) {
    return mode == PrintMode::Print ? QStringLiteral(" Stampa scheda") : QStringLiteral(" Anteprima di stampa");
}

QString actionOf(PrintMode mode) {
    return mode == PrintMode::Print ? QStringLiteral("Stampa") : QStringLiteral("Mostra anteprima");
}

}  // namespace

PrintDialog::PrintDialog(QWidget* owner, const PrintDialogDesign& design, std::vector<PrintRun::Choice> choices)
    : QDialog(owner), run_(design.mode, std::move(choices)) {
    auto* layout =
        setUpDialog(this, toQString(design.name),
                    design.caption.empty() ? captionOf(design.mode) : toQString(design.caption), design.size);
    if (design.closeBox) setWindowFlag(Qt::WindowCloseButtonHint);
    layout->setContentsMargins(18, 16, 18, 14);  // the explanation picture takes the full width
    layout->setSpacing(10);
    imgSpiegazione = new Picture(QStringLiteral("imgSpiegazione"), toQString(design.picture), {480, 136}, this);
    layout->addWidget(imgSpiegazione);

    if (!design.options.empty()) {
        auto* column = new QVBoxLayout();
        column->setContentsMargins(14, 4, 0, 0);
        column->setSpacing(6);
        for (const PrintOption& option : design.options) {
            auto* button = new QRadioButton(toQString(option.caption), this);
            button->setObjectName(toQString(option.name));
            column->addWidget(button, 0, Qt::AlignLeft);
            options_.push_back(button);
        }
        layout->addLayout(column);
    }
    choices_ = new QVBoxLayout();
    choices_->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(choices_);
    layout->addStretch(1);

    // Made in the order they stand, which is the order Tab visits them.
    const auto action = [&] {
        btnStampa = textButton(QStringLiteral("btnStampa"), actionOf(design.mode), this);
        if (design.previewToo)
            btnAnteprima = textButton(QStringLiteral("btnAnteprima"), QStringLiteral("Anteprima"), this);
    };
    const auto cancel = [&] { btnAnnulla = textButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), this); };
    if (design.buttons == PrintDialogDesign::Buttons::CancelFirst) {
        cancel();
        action();
        buttons_ = btnAnteprima ? buttonRow({btnAnnulla, btnStampa, btnAnteprima}) : buttonRow({btnAnnulla, btnStampa});
    } else {
        action();
        cancel();
        buttons_ = btnAnteprima ? buttonRow({btnStampa, btnAnteprima, btnAnnulla}) : buttonRow({btnStampa, btnAnnulla});
    }
    layout->addLayout(buttons_);

    if (!options_.empty()) {
        lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);
        for (std::size_t i = 0; i < options_.size(); ++i) {
            connect(options_[i], &QRadioButton::toggled, this, [this, key = toQString(design.options[i].key)](bool on) {
                if (on) lblMemory->setText(key);
            });
        }
        options_.front()->setChecked(true);
    }
    connect(btnStampa, &QPushButton::clicked, this, &PrintDialog::btnStampaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    if (btnAnteprima) connect(btnAnteprima, &QPushButton::clicked, this, &PrintDialog::btnAnteprimaClick);
}

void PrintDialog::addHelp(std::function<void()> open) {
    imgGuida = new PictureButton(QStringLiteral("imgGuida"), QStringLiteral(":/icon_guida.svg"), {32, 32}, this);
    imgGuida->setToolTip(QStringLiteral("Guida all'utilizzo del software"));
    imgGuida->reachByKeyboard();
    buttons_->insertWidget(0, imgGuida);
    connect(imgGuida, &PictureButton::clicked, this, std::move(open));
}

void PrintDialog::btnStampaClick() { finish(run_.mode()); }

void PrintDialog::btnAnteprimaClick() { finish(PrintMode::Preview); }

void PrintDialog::finish(PrintMode as) {
    const std::optional<PrintRun::Fill> fill = pageFill();
    if (!fill) return;
    run_.finish(*this, lblMemory ? lblMemory->text().trimmed() : QString(), *fill, as);
}

}  // namespace scortavia
