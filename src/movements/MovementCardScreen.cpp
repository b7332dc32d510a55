#include "movements/MovementCardScreen.h"

#include <QCheckBox>
#include <QDate>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "common/CalendarDate.h"
#include "common/Numbers.h"
#include "export/ExportScreen.h"
#include "labels/LabelProducts.h"
#include "labels/TfrmEtichette.h"
#include "movements/MovementCardPrint.h"
#include "movements/MovementListScreens.h"
#include "movements/ProductPicker.h"
#include "storage/ArchivePaths.h"
#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

using M = MovementLayout;

// The edit boxes in record order: name and the caption beside it. An empty caption is the
// direction's own (supplier or customer, and so on).
struct BoxSpec {
    M::Field field;
    const char* name;
    const char* caption;
    const char* captionName;
};

constexpr BoxSpec kBoxes[] = {
    {M::Fornitore, "txtFornitore", "", "lblCampo01"},
    {M::Recapiti, "txtRecapiti", "", "lblCampo02"},
    {M::NumDoc, "txtNumDoc", "Documento n.", "lblCampo03"},
    {M::DataDoc, "txtDataDoc", "Data emissione:", "lblCampo04"},
    {M::Data, "txtData", "", "titData"},
    {M::Codice, "txtCodice", "Codice articolo:", "titCodice"},
    {M::Tipologia, "txtTipologia", "Tipologia:", "titTipologia"},
    {M::Marca, "txtMarca", "Marca e modello:", "titMarca"},
    {M::Descrizione, "txtDescrizione", "Descrizione:", "titDescrizione"},
    {M::CostoUni, "txtCostoUni", "", "titCostoUni"},
    {M::Quant, "txtQuant", "", "titQuant"},
    {M::CostoTot, "txtCostoTot", "", "titCostoTot"},
    {M::Note, "txtNote", "Note:", "lblCampo05"},
};

std::string text(const QLineEdit* box) { return box->text().toStdString(); }

QString today() { return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")); }

}  // namespace

MovementCardScreen::MovementCardScreen(ScreenRegistry& registry, const MovementDirection& direction)
    : CardScreen(registry, {.name = direction.cardName.data(),
                            .caption = direction.cardCaption.data(),
                            .recordSize = MovementRecord::kSize,
                            .attachmentsKey = direction.token.data(),
                            .recordKey = direction.token.data()}),
      direction_(direction) {
    using C = Command;
    // Button, name, picture, caption, hint and what the card base does with it.
    buildToolbar({
        {&cmdNuovo, "cmdNuovo", "tb_nuovo", "Nuovo", "Prepara la schermata per la registrazione di una nuova scheda.",
         C::New},
        {&cmdDuplica, "cmdDuplica", "tb_duplica", "Duplica",
         "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti.", C::Duplicate},
        {&cmdSalva, "cmdSalva", "tb_salva", "Salva", "Salva la scheda corrente in archivio.", C::Save},
        {&cmdTrova, "cmdTrova", "tb_trova", "Trova", "Trova una scheda in archivio."},
        {&cmdFile, "cmdFile", "tb_allegati", "Allega file", "Allega file alla scheda corrente.", C::Attachments},
        {&cmdStampa, "cmdStampa", "tb_stampa", "Stampa", "Stampa la scheda corrente."},
        Tool::navigation(),
        {&cmdEsporta, "cmdEsporta", "tb_esporta", "Esporta",
         "Esporta le schede in archivio in un file di Microsoft Excel."},
        {&cmdListino, "cmdListino", "tb_dasaldare", "Da saldare", "Visualizza il riepilogo dei conti da saldare."},
        Tool::stretch(),
        {&cmdGuida, "cmdGuida", "tb_guida", "Guida", "Visualizza la pagina della guida sensibile al contesto."},
        {&cmdEsci, "cmdEsci", "tb_esci", "Esci", "Esci da questa schermata di lavoro.", C::Close},
    });
    auto* card = new QFrame(this);
    card->setObjectName(QStringLiteral("panScheda"));
    // Every box of the card shows in yellow while it has the focus (the dialogs it opens do not).
    card->setProperty("focusFill", true);
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(20, 16, 20, 16);
    auto* grid = formGrid(10, 8);
    buildForm(grid);
    cardLayout->addLayout(grid);
    cardLayout->addStretch(1);
    bodyLayout()->addWidget(card, 1);
    lblFile = hiddenLabel(QStringLiteral("lblFile"), this);
    const QString token = toQString(direction.token);
    registry.handOver().offer<HandOver::YearArchive>(token, this);
    registry.handOver().offer<HandOver::ProductImport>(token, this);
    registry.handOver().offer<HandOver::MenuClose>(token, this);

    wireBoxes();
    setFirstBox(txtNumDoc);
    std::vector<Mandatory> mandatory;
    for (const MovementMandatory& m : movementMandatory(direction_)) {
        mandatory.push_back({boxes_[m.field], toQString(m.warning)});
    }
    setMandatory(std::move(mandatory));
}

void MovementCardScreen::buildForm(QGridLayout* grid) {
    QWidget* parent = grid->parentWidget() ? grid->parentWidget() : this;
    std::array<QLabel*, 13> captions{};
    for (const BoxSpec& entry : kBoxes) {
        boxes_[entry.field] = editBox(QString::fromLatin1(entry.name),
                                      static_cast<int>(MovementRecord::Info::capacity(entry.field)), parent);
        captions[entry.field] =
            captionLabel(QString::fromLatin1(entry.captionName), QString::fromUtf8(entry.caption), parent);
    }
    txtFornitore = boxes_[M::Fornitore], txtRecapiti = boxes_[M::Recapiti], txtNumDoc = boxes_[M::NumDoc];
    txtDataDoc = boxes_[M::DataDoc], txtData = boxes_[M::Data], txtCodice = boxes_[M::Codice];
    txtTipologia = boxes_[M::Tipologia], txtMarca = boxes_[M::Marca], txtDescrizione = boxes_[M::Descrizione];
    txtCostoUni = boxes_[M::CostoUni], txtQuant = boxes_[M::Quant], txtCostoTot = boxes_[M::CostoTot];
    txtNote = boxes_[M::Note];
    captions[M::Fornitore]->setText(toQString(direction_.partyCaption));
    captions[M::Recapiti]->setText(toQString(direction_.contactCaption));
    captions[M::Data]->setText(toQString(direction_.dateCaption));
    captions[M::CostoUni]->setText(toQString(direction_.unitCaption));
    captions[M::Quant]->setText(toQString(direction_.quantityCaption));
    captions[M::CostoTot]->setText(toQString(direction_.totalCaption));
    for (QLineEdit* box : {txtCostoUni, txtQuant, txtCostoTot}) {
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box->setFixedWidth(130);
    }
    for (QLineEdit* box : {txtDataDoc, txtData}) box->setFixedWidth(110);
    txtNumDoc->setFixedWidth(180);
    // Short fields get boxes of their length; the long texts take the width of the card.
    txtCodice->setFixedWidth(280);
    txtRecapiti->setFixedWidth(420);
    chkDaSaldare = new QCheckBox(QStringLiteral("Conto da saldare"), parent);
    chkDaSaldare->setObjectName(QStringLiteral("chkDaSaldare"));
    btnImpEsame =
        new PictureButton(QStringLiteral("btnImpEsame"), QStringLiteral(":/importa_dati.svg"), {124, 26}, parent);
    btnCalcola = new PictureButton(QStringLiteral("btnCalcola"), QStringLiteral(":/calcola.svg"), {96, 26}, parent);
    // Goods that came in get their labels by the day of the delivery, beside its date.
    if (direction_.direction == Direction::GoodsIn) {
        btnEtichette = new PictureButton(QStringLiteral("btnEtichette"), QStringLiteral(":/etichette_giorno.svg"),
                                         {164, 26}, parent);
    }

    // The document and the other party first, then the goods; a caption, then what stands beside it.
    auto put = [&](int row, int column, M::Field field, QLayout* line, int span = 3) {
        grid->addWidget(captions[field], row, column, column > 0 ? Qt::AlignRight : Qt::Alignment());
        grid->addLayout(line, row, column + 1, 1, span);
    };
    // The document's number and date on one line, as they stand on the document itself.
    auto* document = lineOf({txtNumDoc, captions[M::DataDoc], txtDataDoc, nullptr});
    document->insertSpacing(1, 24);
    put(0, 0, M::NumDoc, document);
    put(1, 0, M::Fornitore, lineOf({txtFornitore}));
    put(2, 0, M::Recapiti, lineOf({txtRecapiti, nullptr}));
    auto* rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setProperty("rule", true);
    grid->addWidget(rule, 3, 0, 1, 4);
    put(4, 0, M::Data, lineOf({txtData, btnEtichette, nullptr}));
    put(5, 0, M::Codice, lineOf({txtCodice, btnImpEsame, nullptr}));
    put(6, 0, M::Tipologia, lineOf({txtTipologia}));
    put(7, 0, M::Marca, lineOf({txtMarca}));
    put(8, 0, M::Descrizione, lineOf({txtDescrizione}));
    put(9, 0, M::CostoUni, lineOf({txtCostoUni, nullptr}));
    put(10, 0, M::Quant, lineOf({txtQuant, nullptr}));
    put(11, 0, M::CostoTot, lineOf({txtCostoTot, btnCalcola, nullptr}));
    put(12, 0, M::Note, lineOf({txtNote}));
    grid->addWidget(chkDaSaldare, 13, 1, 1, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);

    // Tab order of the card; picture buttons never take the focus.
    QWidget* order[] = {txtNumDoc, txtDataDoc,     txtFornitore, txtRecapiti, txtData,     txtCodice, txtTipologia,
                        txtMarca,  txtDescrizione, txtCostoUni,  txtQuant,    txtCostoTot, txtNote,   chkDaSaldare};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void MovementCardScreen::wireBoxes() {
    restrictTyping(txtCostoUni, TypedChars::DigitsAndComma);
    restrictTyping(txtCostoTot, TypedChars::DigitsAndComma);
    restrictTyping(txtQuant, TypedChars::Digits);
    // The boxes themselves are captured, not the card: a box may lose the focus while the card is being
    // destroyed around it, when the program ends.
    onFocusLost(txtCostoUni,
                [box = txtCostoUni] { box->setText(QString::fromStdString(formatMoneyText(text(box), 4))); });
    onFocusLost(txtCostoTot,
                [box = txtCostoTot] { box->setText(QString::fromStdString(formatMoneyText(text(box), 2))); });
    onFocusLost(txtQuant, [box = txtQuant] { box->setText(QString::fromStdString(formatWholeText(text(box)))); });
    enterMovesFocus({txtNumDoc, txtDataDoc});
    enterMovesFocus({txtFornitore, txtRecapiti, txtData});
    enterMovesFocus(
        {txtCodice, txtTipologia, txtMarca, txtDescrizione, txtCostoUni, txtQuant, txtCostoTot, txtNote, txtFornitore});
    makeCalendarBox(txtData, direction_.dateKey.data());
    makeCalendarBox(txtDataDoc, direction_.docDateKey.data());

    setHint(btnImpEsame, "Importa i dati dal magazzino dei prodotti.");
    setHint(btnCalcola, direction_.calcolaHint.data());
    setHint(chkDaSaldare, "Spunta questa casella per annotare che il conto deve essere ancora saldato.");

    // Pictures that take no focus: the keyboard reaches them through keys of their own.
    pressOnKeys(btnImpEsame, QStringLiteral("Ctrl+Shift+I"), this);
    pressOnKeys(btnCalcola, QStringLiteral("F9"), this);
    connect(btnCalcola, &PictureButton::clicked, this, &MovementCardScreen::btnCalcolaClick);
    connect(btnImpEsame, &PictureButton::clicked, this, &MovementCardScreen::btnImpEsameClick);
    if (btnEtichette) {
        setHint(btnEtichette,
                "Stampa le etichette dei prodotti caricati nel giorno della scheda, tante quanti "
                "sono i pezzi ricevuti.");
        pressOnKeys(btnEtichette, QStringLiteral("Ctrl+L"), this);
        connect(btnEtichette, &PictureButton::clicked, this, &MovementCardScreen::btnEtichetteClick);
    }
    connect(cmdTrova, &CaptionButton::clicked, this, &MovementCardScreen::cmdTrovaClick);
    connect(cmdListino, &CaptionButton::clicked, this, &MovementCardScreen::cmdListinoClick);
    connect(cmdStampa, &CaptionButton::clicked, this, &MovementCardScreen::cmdStampaClick);
    connect(cmdEsporta, &CaptionButton::clicked, this, &MovementCardScreen::cmdEsportaClick);
    connect(cmdGuida, &CaptionButton::clicked, this, [this] {
        showHelp(registry(), this,
                 direction_.direction == Direction::GoodsIn ? HelpTopic::GoodsIn : HelpTopic::GoodsOut);
    });
}

std::filesystem::path MovementCardScreen::archivePath() const {
    return std::filesystem::path(lblFile->text().toStdString());
}

void MovementCardScreen::clearControls() {
    for (QLineEdit* box : boxes_) box->clear();
    txtData->setText(today());
    txtCostoUni->setText(QStringLiteral("0,00"));
    txtCostoTot->setText(QStringLiteral("0,00"));
    txtQuant->setText(QStringLiteral("0"));
    chkDaSaldare->setChecked(false);
}

MovementTexts MovementCardScreen::cardTexts() const {
    MovementTexts texts;
    for (std::size_t f = 0; f < boxes_.size(); ++f) texts[f] = text(boxes_[f]);
    texts[M::DaSaldare] = std::string(chkDaSaldare->isChecked() ? kFlagYes : kFlagNo);
    const AttachmentTexts attached = attachmentTexts();
    for (std::size_t i = 0; i < attached.size(); ++i) texts[M::File01 + i] = attached[i];
    return texts;
}

void MovementCardScreen::putOnCard(std::span<const std::uint8_t> record) {
    const MovementTexts texts = movementTextsOf(MovementView(record.data()));
    for (std::size_t f = 0; f < boxes_.size(); ++f) boxes_[f]->setText(QString::fromStdString(texts[f]));
    // Any other flag, written by another tool, leaves the box as it was.
    if (texts[M::DaSaldare] == kFlagYes) chkDaSaldare->setChecked(true);
    if (texts[M::DaSaldare] == kFlagNo) chkDaSaldare->setChecked(false);
    AttachmentTexts attached;
    for (std::size_t i = 0; i < attached.size(); ++i) attached[i] = texts[M::File01 + i];
    setAttachmentTexts(attached);
}

void MovementCardScreen::fillRecord(std::span<std::uint8_t> record) const {
    const MovementRecord filled = movementRecordFrom(cardTexts());
    std::copy(filled.bytes().begin(), filled.bytes().end(), record.begin());
}

bool MovementCardScreen::prepareSave() {
    // A total typed by hand is always replaced by unit value × quantity, and one that cannot be stored whole
    // stops the save.
    return calculateTotal();
}

bool MovementCardScreen::afterDuplicate() {
    // The copy will be appended to this archive: make sure now that it can be.
    if (CardProtocol(archivePath(), MovementRecord::kSize).reachable()) return true;
    MessageService::warning(this, kMsgArchiveAccess);
    return false;
}

void MovementCardScreen::btnCalcolaClick() { calculateTotal(); }

bool MovementCardScreen::calculateTotal() {
    const MovementTotal total = computeMovementTotal(text(txtCostoUni), text(txtQuant));
    if (!total.fits) {
        // Its box would cut it: the boxes stay as they are, for the user to correct.
        MessageService::warning(this, direction_.totalTooLong);
        return false;
    }
    txtCostoUni->setText(QString::fromStdString(total.unit));
    txtQuant->setText(QString::fromStdString(total.quantity));
    txtCostoTot->setText(QString::fromStdString(total.total));
    return true;
}

void MovementCardScreen::btnImpEsameClick() {
    auto picker = makeProductPicker(registry(), this, direction_);
    if (const QString quantity = txtQuant->text().trimmed(); !quantity.isEmpty()) picker->txtQuant->setText(quantity);
    picker->exec();
}

void MovementCardScreen::btnEtichetteClick() {
    const std::optional<CalendarDate> day = parseDate(text(txtData));
    if (!day) {
        MessageService::warning(this, QStringLiteral("Scrivere nella casella della data il giorno dei carichi di "
                                                     "cui stampare le etichette."));
        return;
    }
    // The saved movements of the day: the card on screen counts once it is saved.
    auto labels = goodsInDayLabels(archivePath(), paths::productArchive(registry().programFolder()), *day);
    if (!labels) {
        MessageService::warning(this, kMsgArchiveAccess);
        return;
    }
    if (labels->empty()) {
        MessageService::information(
            this, QStringLiteral("Non ci sono carichi salvati il giorno %1 con una quantità di pezzi di cui "
                                 "stampare le etichette.")
                      .arg(toQString(dateText(*day))));
        return;
    }
    TfrmEtichette(registry(), this, std::move(*labels)).exec();
}

void MovementCardScreen::cmdTrovaClick() {
    auto search = makeMovementSearch(registry(), *this);
    search->lblMemory->setText(toQString(direction_.token));
    search->exec();
}

void MovementCardScreen::cmdListinoClick() { makeOpenAccounts(registry(), *this)->exec(); }

void MovementCardScreen::cmdStampaClick() { makeMovementPrintDialog(registry(), this, direction_)->exec(); }

void MovementCardScreen::cmdEsportaClick() {
    auto archive = [this] { return archivePath(); };
    if (direction_.direction == Direction::GoodsIn) {
        TfrmExpCarichi(registry(), this, archive).exec();
    } else {
        TfrmExpScarichi(registry(), this, archive).exec();
    }
}

void MovementCardScreen::openYear(const std::filesystem::path& archive, const QString& caption) {
    lblFile->setText(QString::fromStdString(archive.string()));
    setWindowTitle(caption);
}

void MovementCardScreen::importProduct(const ProductView& product, const QString& quantity) {
    txtCodice->setText(QString::fromStdString(product.text(ProductLayout::Codice)));
    txtTipologia->setText(QString::fromStdString(product.text(ProductLayout::Tipologia)));
    txtMarca->setText(QString::fromStdString(product.text(ProductLayout::Nome)));
    txtDescrizione->setText(QString::fromStdString(product.text(ProductLayout::Caratteristiche)));
    txtCostoUni->setText(QString::fromStdString(product.text(direction_.copiedValue)));
    txtQuant->setText(quantity);
    showTextStarts(this);
}

}  // namespace scortavia
