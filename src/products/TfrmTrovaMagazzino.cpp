#include "products/TfrmTrovaMagazzino.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/RowListModel.h"
#include "ui/Widgets.h"
#include "storage/CardProtocol.h"

namespace scortavia {
namespace {

struct FieldSpec {
    const char* name;
    const char* label;
};

// In the order Enter walks them, which is also the order of the search fields.
constexpr FieldSpec kFields[] = {
    {"txtCodice", "Codice articolo:"},
    {"txtCosto", "Costo unitario:"},
    {"txtNome", "Nome prodotto:"},
    {"txtTipologia", "Categoria merceologica:"},
    {"txtCaratteristiche", "Caratteristiche:"},
    {"txtCollocazione", "Collocazione in magazzino:"},
    {"txtDitta", "Ditta fornitrice:"},
    {"txtAgente", "Agente:"},
    {"txtDocumento", "Documento di acquisto:"},
    {"txtNote", "Note:"},
};

}  // namespace

TfrmTrovaMagazzino::TfrmTrovaMagazzino(ScreenRegistry& registry, QWidget* owner)
    : ProductListScreen(registry, owner, QStringLiteral("frmTrovaMagazzino"),
                        QStringLiteral(" Trova prodotti in magazzino"),
                        QStringLiteral("Riepilogo prodotti in magazzino"), RowFormat::A) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    panAvvio = new QWidget(this);
    panAvvio->setObjectName(QStringLiteral("panAvvio"));
    auto* criteria = new QVBoxLayout(panAvvio);
    criteria->setContentsMargins(24, 18, 24, 18);
    criteria->addWidget(instructionBanner(
        QStringLiteral("imgIstruzioniRicerca"),
        QStringLiteral("Digitare nei campi desiderati una o più parole consecutive contenute "
                       "nelle schede da cercare, lasciare vuoti gli altri campi e premere "
                       "Cerca. È possibile compilare più campi contemporaneamente."),
        panAvvio));
    criteria->addSpacing(8);
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(9);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto* label = new QLabel(QString::fromUtf8(kFields[i].label), panAvvio);
        label->setObjectName(QStringLiteral("lblCampo%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        auto* box = new QLineEdit(panAvvio);
        box->setObjectName(QString::fromLatin1(kFields[i].name));
        box->setMinimumHeight(26);
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(box, static_cast<int>(i), 1);
        new FocusFrame(QStringLiteral("effCampo%1").arg(i + 1, 2, 10, QLatin1Char('0')), box);
        fields_[i] = box;
    }
    criteria->addLayout(grid);
    criteria->addStretch(1);
    txtCodice = fields_[0], txtCosto = fields_[1], txtNome = fields_[2], txtTipologia = fields_[3];
    txtCaratteristiche = fields_[4], txtCollocazione = fields_[5], txtDitta = fields_[6], txtAgente = fields_[7];
    txtDocumento = fields_[8], txtNote = fields_[9];
    std::vector<QWidget*> walk(fields_.begin(), fields_.end());
    walk.push_back(fields_[0]);
    enterMovesFocus(walk);

    auto* buttons = new QHBoxLayout();
    lblAttendere = new QLabel(QStringLiteral("Ricerca schede in corso. Attendere..."), panAvvio);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->setStyleSheet(QStringLiteral("color: #C0561A; font-weight: bold;"));
    // Showing it on the press must not move the button from under the mouse before the release.
    QSizePolicy keepPlace = lblAttendere->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblAttendere->setSizePolicy(keepPlace);
    lblAttendere->hide();
    btnCerca = textButton(QStringLiteral("btnCerca"), QStringLiteral("Cerca"), panAvvio);
    btnAnnulla = textButton(QStringLiteral("btnAnnulla"), QStringLiteral("Chiudi"), panAvvio);
    buttons->addWidget(lblAttendere, 1);
    buttons->addWidget(btnCerca);
    buttons->addWidget(btnAnnulla);
    criteria->addLayout(buttons);
    layout->addWidget(panAvvio);

    lblTrovate = new QLabel(QStringLiteral("Il presente riepilogo contiene 0 schede"), panContainer);
    lblTrovate->setObjectName(QStringLiteral("lblTrovate"));
    lblTrovate->setStyleSheet(QStringLiteral("font-weight: bold; color: #0F5E63;"));
    containerLayout()->insertWidget(0, lblTrovate);
    panContainer->hide();
    layout->addWidget(panContainer);

    lblConta = hiddenLabel(QStringLiteral("lblConta"), this);
    lblConta->setText(QStringLiteral("0"));
    lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);

    connect(btnCerca, &QPushButton::pressed, lblAttendere, &QWidget::show);
    connect(btnCerca, &QPushButton::clicked, this, &TfrmTrovaMagazzino::btnCercaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmTrovaMagazzino::showEvent(QShowEvent* event) {
    ProductListScreen::showEvent(event);
    if (event->spontaneous()) return;
    resetFind();
    txtCodice->setFocus();
}

void TfrmTrovaMagazzino::btnCercaClick() {
    SearchTexts texts;
    for (std::size_t i = 0; i < fields_.size(); ++i) texts[i] = fields_[i]->text().toStdString();
    lblConta->setText(QString::number(filledSearchFields(texts)));
    RowList rows;
    if (!fillSearchList(archive(), texts, rows)) {
        MessageService::plain(this, kMsgArchiveAccess);
        return;
    }
    const std::size_t found = rows.size();
    setRows(std::move(rows));
    lblTrovate->setText(QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(found));
    panAvvio->hide();
    panContainer->show();
    resetFind();
    txtTrova->setFocus();
}

bool TfrmTrovaMagazzino::putsOnCard() const { return lblMemory->text() == QLatin1String("magazzino"); }

void TfrmTrovaMagazzino::done(int result) {
    // Showing it on the press must not move the button from under the mouse before the release.
    QSizePolicy keepPlace = lblAttendere->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblAttendere->setSizePolicy(keepPlace);
    lblAttendere->hide();
    ProductListScreen::done(result);
}

}  // namespace scortavia
