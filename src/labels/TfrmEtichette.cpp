#include "labels/TfrmEtichette.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

#include "reports/ReportTemplate.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

const PrintDialogDesign kDesign = {.mode = PrintMode::Print,
                                   .name = "frmEtichette",
                                   .picture = ":/spiegazione_etichette.svg",
                                   .size = {516, 500},
                                   .caption = " Stampa etichette",
                                   .previewToo = true};

std::vector<PrintRun::Choice> labelTemplate() {
    std::vector<PrintRun::Choice> choices;
    choices.push_back(
        {QString(), std::make_unique<ReportTemplate>(QStringLiteral("Etichette"), QPageLayout::Portrait)});
    return choices;
}

QDoubleSpinBox* millimetres(const QString& name, double value, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0.0, 297.0);
    box->setDecimals(1);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

QSpinBox* whole(const QString& name, int low, int high, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

QCheckBox* tick(const QString& name, const QString& caption, bool on, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(on);
    return box;
}

}  // namespace

TfrmEtichette::TfrmEtichette(const ScreenRegistry& registry, QWidget* owner, std::vector<LabelProduct> labels)
    : PrintDialog(owner, kDesign, labelTemplate()), labels_(std::move(labels)) {
    addHelp([this, &registry] { showHelp(registry, this, HelpTopic::Labels); });
    cboFormato = new QComboBox(this);
    cboFormato->setObjectName(QStringLiteral("cboFormato"));
    for (const LabelFormat& f : labelFormats()) cboFormato->addItem(toQString(f.name));
    cboFormato->addItem(QStringLiteral("Personalizzato (A4)"));
    cboFormato->setCurrentIndex(1);  // 3 x 8: the sheet shops buy most

    const LabelFormat& sample = labelFormats()[1];
    spnColonne = whole(QStringLiteral("spnColonne"), 1, 20, sample.columns, this);
    spnRighe = whole(QStringLiteral("spnRighe"), 1, 40, sample.rows, this);
    txtLarghezza = millimetres(QStringLiteral("txtLarghezza"), sample.labelWidth, this);
    txtAltezza = millimetres(QStringLiteral("txtAltezza"), sample.labelHeight, this);
    txtMargineSinistro = millimetres(QStringLiteral("txtMargineSinistro"), sample.left, this);
    txtMargineSuperiore = millimetres(QStringLiteral("txtMargineSuperiore"), sample.top, this);
    txtSpazioOrizzontale = millimetres(QStringLiteral("txtSpazioOrizzontale"), sample.gapX, this);
    txtSpazioVerticale = millimetres(QStringLiteral("txtSpazioVerticale"), sample.gapY, this);
    spnPrimaLibera = whole(QStringLiteral("spnPrimaLibera"), 1, sample.perSheet(), 1, this);
    chkNome = tick(QStringLiteral("chkNome"), QStringLiteral("Nome"), true, this);
    chkPrezzo = tick(QStringLiteral("chkPrezzo"), QStringLiteral("Prezzo"), true, this);
    chkBarcode = tick(QStringLiteral("chkBarcode"), QStringLiteral("Codice a barre"), true, this);
    chkCodice = tick(QStringLiteral("chkCodice"), QStringLiteral("Codice"), false, this);
    chkCategoria = tick(QStringLiteral("chkCategoria"), QStringLiteral("Categoria"), false, this);
    chkBordi = tick(QStringLiteral("chkBordi"), QStringLiteral("Bordi delle etichette (prova su carta)"), false, this);
    lblQuante = captionLabel(QStringLiteral("lblQuante"),
                             QStringLiteral("Etichette da stampare: %1").arg(labels_.size()), this);

    auto* grid = formGrid(10, 6);
    int row = 0;
    const auto put = [&](const QString& caption, QWidget* left, const QString& caption2 = {},
                         QWidget* right = nullptr) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(left, row, 1);
        if (right) {
            grid->addWidget(new QLabel(caption2, this), row, 2);
            grid->addWidget(right, row, 3);
        }
        ++row;
    };
    grid->addWidget(new QLabel(QStringLiteral("Formato"), this), row, 0);
    grid->addWidget(cboFormato, row, 1, 1, 3);
    ++row;
    put(QStringLiteral("Colonne"), spnColonne, QStringLiteral("Righe"), spnRighe);
    put(QStringLiteral("Larghezza"), txtLarghezza, QStringLiteral("Altezza"), txtAltezza);
    put(QStringLiteral("Margine sinistro"), txtMargineSinistro, QStringLiteral("Margine superiore"),
        txtMargineSuperiore);
    put(QStringLiteral("Spazio orizzontale"), txtSpazioOrizzontale, QStringLiteral("Spazio verticale"),
        txtSpazioVerticale);
    put(QStringLiteral("Prima etichetta libera"), spnPrimaLibera);
    grid->addWidget(new QLabel(QStringLiteral("Stampa"), this), row, 0);
    grid->addWidget(chkNome, row, 1);
    grid->addWidget(chkPrezzo, row, 2);
    grid->addWidget(chkBarcode, row, 3);
    ++row;
    grid->addWidget(chkCodice, row, 1);
    grid->addWidget(chkCategoria, row, 2);
    ++row;
    grid->addWidget(chkBordi, row, 1, 1, 3);
    ++row;
    grid->addWidget(lblQuante, row, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    choicesLayout()->addLayout(grid);

    setTabOrder(cboFormato, spnColonne);
    connect(cboFormato, &QComboBox::currentIndexChanged, this, &TfrmEtichette::cboFormatoChange);
    cboFormatoChange();
}

bool TfrmEtichette::custom() const { return cboFormato->currentIndex() >= static_cast<int>(labelFormats().size()); }

void TfrmEtichette::cboFormatoChange() {
    const bool own = custom();
    for (QWidget* box :
         std::initializer_list<QWidget*>{spnColonne, spnRighe, txtLarghezza, txtAltezza, txtMargineSinistro,
                                         txtMargineSuperiore, txtSpazioOrizzontale, txtSpazioVerticale})
        box->setEnabled(own);
    if (!own) {
        // The sizes of a sheet from the table show, so a custom format can start from them.
        const LabelFormat& f = labelFormats()[static_cast<std::size_t>(cboFormato->currentIndex())];
        spnColonne->setValue(f.columns);
        spnRighe->setValue(f.rows);
        txtLarghezza->setValue(f.labelWidth);
        txtAltezza->setValue(f.labelHeight);
        txtMargineSinistro->setValue(f.left);
        txtMargineSuperiore->setValue(f.top);
        txtSpazioOrizzontale->setValue(f.gapX);
        txtSpazioVerticale->setValue(f.gapY);
        spnPrimaLibera->setMaximum(f.perSheet());
    } else {
        spnPrimaLibera->setMaximum(spnColonne->maximum() * spnRighe->maximum());
    }
}

Result<LabelFormat> TfrmEtichette::chosenFormat() const {
    if (!custom()) return labelFormats()[static_cast<std::size_t>(cboFormato->currentIndex())];
    return customLabelFormat(spnColonne->value(), spnRighe->value(), txtLarghezza->value(), txtAltezza->value(),
                             txtMargineSinistro->value(), txtMargineSuperiore->value(), txtSpazioOrizzontale->value(),
                             txtSpazioVerticale->value());
}

std::optional<PrintRun::Fill> TfrmEtichette::pageFill() {
    if (labels_.empty()) {
        MessageService::warning(this, QStringLiteral("Non ci sono prodotti di cui stampare le etichette."));
        return std::nullopt;
    }
    const Result<LabelFormat> format = chosenFormat();
    if (!format) {
        MessageService::warning(this, toQString(format.error()));
        return std::nullopt;
    }
    LabelRun run{labels_, *format, spnPrimaLibera->value(), {}, chkBordi->isChecked()};
    if (run.firstFree > format->perSheet()) {
        MessageService::warning(
            this, QStringLiteral("La prima etichetta libera deve essere tra 1 e %1.").arg(format->perSheet()));
        return std::nullopt;
    }
    run.parts = {chkNome->isChecked(), chkPrezzo->isChecked(), chkBarcode->isChecked(), chkCodice->isChecked(),
                 chkCategoria->isChecked()};
    return [run = std::move(run)](ReportTemplate& report) { fillLabelPages(report, run); };
}

}  // namespace scortavia
