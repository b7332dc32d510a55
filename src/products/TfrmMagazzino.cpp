#include "products/TfrmMagazzino.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <random>

#include "common/Barcode.h"
#include "common/Numbers.h"
#include "export/ExportScreen.h"
#include "labels/TfrmEtichette.h"
#include "products/BarcodeBox.h"
#include "products/ProductListScreens.h"
#include "products/ProductPhoto.h"
#include "products/TfrmAnteprimaMag.h"
#include "products/TfrmGiacenza.h"
#include "products/TfrmImportaProdotti.h"
#include "products/TfrmStampaMag.h"
#include "products/TfrmWebCam.h"
#include "products/TfrmZoom.h"
#include "storage/ArchivePaths.h"
#include "ui/BoxBehaviour.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/PhotoBox.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

using P = ProductLayout;

const QString kTitleLoadPhoto = QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap.");
const QString kTitleSavePhoto = QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg.");

struct BoxSpec {
    P::Field field;
    const char* name;
};

// The edit boxes in record order; the caption beside each is the card's (productCaption).
constexpr BoxSpec kBoxes[] = {
    {P::Codice, "txtCodice"},
    {P::Costo, "txtCosto"},
    {P::Nome, "txtNome"},
    {P::Giacenza, "txtGiacenza"},
    {P::Avviso, "txtAvviso"},
    {P::UM, "txtUM"},
    {P::Tipologia, "txtTipologia"},
    {P::Caratteristiche, "txtCaratteristiche"},
    {P::Collocazione, "txtCollocazione"},
    {P::Ditta, "txtDitta"},
    {P::Agente, "txtAgente"},
    {P::Recapito, "txtRecapito"},
    {P::Documento, "txtDocumento"},
    {P::Pagamento, "txtPagamento"},
    {P::DataSca, "txtDataSca"},
    {P::Note, "txtNote"},
    {P::Prezzo, "txtPrezzo"},
};

std::string text(const QLineEdit* box) { return box->text().toStdString(); }

QLabel* captionOf(P::Field field, QWidget* parent) {
    for (const BoxSpec& s : kBoxes) {
        if (s.field == field) {
            return captionLabel(QStringLiteral("tit") + QString::fromLatin1(s.name).mid(3),
                                toQString(productCaption(s.field)), parent);
        }
    }
    return nullptr;
}

}  // namespace

TfrmMagazzino::TfrmMagazzino(ScreenRegistry& registry)
    : CardScreen(registry, {.name = screen::kMagazzino.data(),
                            .caption = " Scortavia - Gestione Magazzino Prodotti",
                            .recordSize = ProductRecord::kSize,
                            .attachmentsKey = kProductCardKey.data(),
                            .recordKey = kProductCardKey.data()}) {
    using C = Command;
    // Button, name, picture, caption, hint and what the card base does with it.
    buildToolbar({
        {&btnNuovo, "btnNuovo", "tb_nuovo", "Nuovo", "Prepara la schermata per l'inserimento di una nuova scheda.",
         C::New},
        {&btnDuplica, "btnDuplica", "tb_duplica", "Duplica",
         "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti.", C::Duplicate},
        {&btnSalva, "btnSalva", "tb_salva", "Salva", "Salva la scheda corrente.", C::Save},
        {&btnTrova, "btnTrova", "tb_trova", "Trova", "Trova schede in archivio."},
        {&btnAnteprima, "btnAnteprima", "tb_anteprima", "Anteprima", "Visualizza l'anteprima di stampa."},
        {&btnStampa, "btnStampa", "tb_stampa", "Stampa", "Stampa la scheda corrente."},
        {&btnEtichette, "btnEtichette", "tb_etichette", "Etichette",
         "Stampa le etichette con prezzo e codice a barre della scheda corrente."},
        {&btnAllegati, "btnAllegati", "tb_allegati", "Allegati", "Allega file alla scheda corrente.", C::Attachments},
        {&btnSottoscorta, "btnSottoscorta", "tb_sottoscorta", "Sottoscorta",
         "Visualizza il riepilogo della merce in esaurimento."},
        {&btnScaduti, "btnScaduti", "tb_dasaldare", "Da saldare",
         "Visualizza il riepilogo dei pagamenti non ancora saldati."},
        {&btnEsporta, "btnEsporta", "tb_esporta", "Esporta", "Esporta l'archivio in un foglio di Microsoft Excel."},
        {&btnImporta, "btnImporta", "tb_importa", "Importa",
         "Importa nuovi prodotti da un foglio di calcolo (file CSV o esportato dal programma)."},
        Tool::stretch(),
        {&btnGuida, "btnGuida", "tb_guida", "Guida", "Visualizza la pagina della guida sensibile al contesto."},
        {&btnEsci, "btnEsci", "tb_esci", "Esci", "Esci da questa schermata di lavoro.", C::Close},
    });

    auto* card = new QFrame(this);
    card->setObjectName(QStringLiteral("panScheda"));
    auto* cardLayout = new QHBoxLayout(card);
    cardLayout->setContentsMargins(20, 16, 20, 16);
    cardLayout->setSpacing(20);
    auto* grid = formGrid(10, 7);
    buildForm(grid);
    cardLayout->addLayout(grid, 1);
    cardLayout->addWidget(buildPhotoPanel(card));
    bodyLayout()->addWidget(card, 1);

    wireBoxes();
    setFirstBox(txtCodice);
    std::vector<Mandatory> mandatory;
    mandatory.reserve(kProductMandatory.size());
    for (const MandatoryField& m : kProductMandatory) mandatory.push_back({boxes_[m.field], toQString(m.warning)});
    setMandatory(std::move(mandatory));
}

void TfrmMagazzino::buildForm(QGridLayout* grid) {
    QWidget* parent = grid->parentWidget() ? grid->parentWidget() : this;
    for (const BoxSpec& entry : kBoxes) {
        boxes_[entry.field] = editBox(QString::fromLatin1(entry.name),
                                      static_cast<int>(ProductRecord::Info::capacity(entry.field)), parent);
    }
    txtCodice = boxes_[P::Codice], txtCosto = boxes_[P::Costo], txtNome = boxes_[P::Nome];
    txtGiacenza = boxes_[P::Giacenza], txtAvviso = boxes_[P::Avviso], txtUM = boxes_[P::UM];
    txtTipologia = boxes_[P::Tipologia], txtCaratteristiche = boxes_[P::Caratteristiche];
    txtCollocazione = boxes_[P::Collocazione], txtDitta = boxes_[P::Ditta], txtAgente = boxes_[P::Agente];
    txtRecapito = boxes_[P::Recapito], txtDocumento = boxes_[P::Documento], txtPagamento = boxes_[P::Pagamento];
    registry().handOver().offer<HandOver::StockBox>(toQString(kProductCardKey), txtGiacenza);
    txtDataSca = boxes_[P::DataSca], txtNote = boxes_[P::Note], txtPrezzo = boxes_[P::Prezzo];
    txtCosto->setFixedWidth(120);
    txtPrezzo->setFixedWidth(120);
    txtGiacenza->setFixedWidth(70);
    txtAvviso->setFixedWidth(60);
    txtDataSca->setFixedWidth(110);

    btnAggiungi = textButton(QStringLiteral("btnAggiungi"), QStringLiteral("+"), parent);
    btnSottrai = textButton(QStringLiteral("btnSottrai"), QString::fromUtf8("−"), parent);
    for (QPushButton* b : {btnAggiungi, btnSottrai}) {
        b->setProperty("stepButton", true);
        b->setFixedSize(30, 26);
    }
    chkPagato = new QCheckBox(toQString(productCaption(P::Pagato)), parent);
    chkPagato->setObjectName(QStringLiteral("chkPagato"));
    delDataSca = new PictureButton(QStringLiteral("delDataSca"), QStringLiteral(":/del_data.svg"), {18, 18}, parent);
    auto* pieces = captionLabel(QStringLiteral("titPezzi"), QStringLiteral("pezzi rimasti."), parent);
    auto euro = [parent] { return new QLabel(QString::fromUtf8("€"), parent); };

    // Label, then what stands beside it; a null widget in a line is a stretch.
    auto put = [&](int row, int column, P::Field field, QLayout* line, int span = 4) {
        grid->addWidget(captionOf(field, parent), row, column, column > 0 ? Qt::AlignRight : Qt::Alignment());
        grid->addLayout(line, row, column + 1, 1, span);
    };
    put(0, 0, P::Codice, lineOf({txtCodice}), 1);
    put(0, 2, P::Costo, lineOf({euro(), txtCosto, nullptr}), 2);
    put(1, 0, P::Nome, lineOf({txtNome}));
    put(2, 0, P::Giacenza, lineOf({txtGiacenza, btnAggiungi, btnSottrai, nullptr}), 1);
    put(2, 2, P::Avviso, lineOf({txtAvviso, pieces, nullptr}), 2);
    put(3, 0, P::UM, lineOf({txtUM}));
    put(4, 0, P::Tipologia, lineOf({txtTipologia}));
    put(5, 0, P::Caratteristiche, lineOf({txtCaratteristiche}));
    put(6, 0, P::Collocazione, lineOf({txtCollocazione}));
    put(7, 0, P::Ditta, lineOf({txtDitta}));
    put(8, 0, P::Agente, lineOf({txtAgente}), 1);
    put(8, 2, P::Recapito, lineOf({txtRecapito}), 2);
    put(9, 0, P::Documento, lineOf({txtDocumento}));
    put(10, 0, P::Pagamento, lineOf({txtPagamento}), 2);
    grid->addWidget(chkPagato, 10, 3, 1, 2);
    put(11, 0, P::DataSca, lineOf({txtDataSca, delDataSca, nullptr}), 1);
    put(12, 0, P::Note, lineOf({txtNote}));
    put(13, 0, P::Prezzo, lineOf({euro(), txtPrezzo, nullptr}), 1);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(14, 1);

    // Tab order follows the record; picture buttons never take the focus.
    QWidget* order[] = {txtCodice,       txtCosto,  txtNome,    txtGiacenza,  btnAggiungi,
                        btnSottrai,      txtAvviso, txtUM,      txtTipologia, txtCaratteristiche,
                        txtCollocazione, txtDitta,  txtAgente,  txtRecapito,  txtDocumento,
                        txtPagamento,    chkPagato, txtDataSca, txtNote,      txtPrezzo};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

QWidget* TfrmMagazzino::buildPhotoPanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("panFoto"));
    auto* side = new QVBoxLayout(panel);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(10);
    imgFoto = new PhotoBox(QStringLiteral("imgFoto"), panel);
    registry().handOver().offer<HandOver::WebCamPhoto>(toQString(kProductCardKey), imgFoto);
    // Full size where there is room; on a narrow screen it gives up a quarter before the form does.
    imgFoto->setMinimumSize(kPhotoSize * 3 / 4);
    imgFoto->setMaximumSize(kPhotoSize);
    imgFoto->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    imgBianco = new PhotoBox(QStringLiteral("imgBianco"), panel);
    imgBianco->hide();
    side->addWidget(imgFoto);
    btnCaricaFoto = new CaptionButton(QStringLiteral("btnCaricaFoto"), QStringLiteral(":/foto_carica.svg"),
                                      QStringLiteral("Carica foto"), panel);
    btnAcquisisciFoto = new CaptionButton(QStringLiteral("btnAcquisisciFoto"), QStringLiteral(":/foto_webcam.svg"),
                                          QStringLiteral("Acquisisci foto"), panel);
    btnSalvaFoto =
        new PictureButton(QStringLiteral("btnSalvaFoto"), QStringLiteral(":/foto_salva.svg"), {30, 30}, panel);
    btnZoomFoto = new PictureButton(QStringLiteral("btnZoomFoto"), QStringLiteral(":/foto_zoom.svg"), {30, 30}, panel);
    btnCancFoto =
        new PictureButton(QStringLiteral("btnCancFoto"), QStringLiteral(":/foto_cancella.svg"), {30, 30}, panel);
    side->addLayout(lineOf({btnCaricaFoto, btnAcquisisciFoto, nullptr, btnSalvaFoto, btnZoomFoto, btnCancFoto}));
    imgCodiceBarre = new BarcodeBox(QStringLiteral("imgCodiceBarre"), panel);
    imgCodiceBarre->setFixedHeight(72);
    side->addWidget(imgCodiceBarre);
    btnGeneraCodice = textButton(QStringLiteral("btnGeneraCodice"), QStringLiteral("Genera codice"), panel);
    // Like the toolbar's pictures it leaves the focus in the box being edited.
    btnGeneraCodice->setFocusPolicy(Qt::NoFocus);
    side->addLayout(lineOf({btnGeneraCodice, nullptr}));
    side->addStretch(1);
    side->addLayout(lineOf({nullptr, navigationBar(), nullptr}));
    return panel;
}

void TfrmMagazzino::wireBoxes() {
    for (QLineEdit* box : boxes_) new FocusFrame(QStringLiteral("eff") + box->objectName().mid(3), box);
    restrictTyping(txtGiacenza, TypedChars::Digits);
    restrictTyping(txtAvviso, TypedChars::Digits);
    restrictTyping(txtCosto, TypedChars::DigitsAndComma);
    restrictTyping(txtPrezzo, TypedChars::DigitsAndComma);
    for (QLineEdit* box : {txtGiacenza, txtAvviso}) {
        onFocusLost(box, [box] { box->setText(QString::fromStdString(formatWholeText(text(box)))); });
    }
    for (QLineEdit* box : {txtCosto, txtPrezzo}) {
        onFocusLost(box, [box] { box->setText(QString::fromStdString(formatMoneyText(text(box), 2))); });
    }
    enterMovesFocus({txtCodice, txtCosto, txtNome, txtGiacenza, txtAvviso, txtUM, txtTipologia, txtCaratteristiche,
                     txtCollocazione, txtDitta, txtAgente, txtRecapito, txtDocumento, txtPagamento, txtDataSca});
    enterMovesFocus({txtNote, txtPrezzo, txtCodice});
    makeCalendarBox(txtDataSca, "datasca");

    setHint(btnGeneraCodice,
            "Propone per un prodotto senza codice a barre un codice EAN-13 per uso interno, diverso da quelli in "
            "archivio.");
    connect(txtCodice, &QLineEdit::textChanged, imgCodiceBarre, &BarcodeBox::setCode);
    connect(btnGeneraCodice, &QPushButton::clicked, this, &TfrmMagazzino::btnGeneraCodiceClick);
    setHint(btnAggiungi, "Aggiorna la giacenza aggiungendo una certa quantità.");
    setHint(btnSottrai, "Aggiorna la giacenza sottraendo una certa quantità.");
    setHint(chkPagato, "Contrassegna questa casella per indicare che il pagamento è stato effettuato.");
    setHint(delDataSca, "Cancella la data.");
    setHint(btnCaricaFoto, "Carica una foto esistente.");
    setHint(btnAcquisisciFoto, "Acquisisci la foto da WebCam.");
    setHint(btnSalvaFoto, "Salva la foto su disco.");
    setHint(btnZoomFoto, "Visualizza la foto nelle sue dimensioni reali.");
    setHint(btnCancFoto, "Cancella la foto.");

    connect(btnAggiungi, &QPushButton::clicked, this, &TfrmMagazzino::btnAggiungiClick);
    connect(btnSottrai, &QPushButton::clicked, this, &TfrmMagazzino::btnSottraiClick);
    connect(delDataSca, &PictureButton::clicked, txtDataSca, &QLineEdit::clear);
    connect(btnCaricaFoto, &CaptionButton::clicked, this, &TfrmMagazzino::btnCaricaFotoClick);
    connect(btnAcquisisciFoto, &CaptionButton::clicked, this, &TfrmMagazzino::btnAcquisisciFotoClick);
    connect(btnSalvaFoto, &PictureButton::clicked, this, &TfrmMagazzino::btnSalvaFotoClick);
    connect(btnZoomFoto, &PictureButton::clicked, this, &TfrmMagazzino::btnZoomFotoClick);
    connect(btnCancFoto, &PictureButton::clicked, imgFoto, &PhotoBox::showPlaceholder);
    connect(btnTrova, &CaptionButton::clicked, this, &TfrmMagazzino::btnTrovaClick);
    connect(btnSottoscorta, &CaptionButton::clicked, this, &TfrmMagazzino::btnSottoscortaClick);
    connect(btnScaduti, &CaptionButton::clicked, this, &TfrmMagazzino::btnScadutiClick);
    connect(btnStampa, &CaptionButton::clicked, this, &TfrmMagazzino::btnStampaClick);
    connect(btnGuida, &CaptionButton::clicked, this, [this] { showHelp(registry(), this, HelpTopic::Products); });
    connect(btnEsporta, &CaptionButton::clicked, this, &TfrmMagazzino::btnEsportaClick);
    connect(btnImporta, &CaptionButton::clicked, this, &TfrmMagazzino::btnImportaClick);
    connect(btnAnteprima, &CaptionButton::clicked, this, &TfrmMagazzino::btnAnteprimaClick);
    connect(btnEtichette, &CaptionButton::clicked, this, &TfrmMagazzino::btnEtichetteClick);
}

FocusFrame* TfrmMagazzino::focusFrame(const QString& name) const { return findChild<FocusFrame*>(name); }

std::filesystem::path TfrmMagazzino::archivePath() const { return paths::productArchive(registry().programFolder()); }

void TfrmMagazzino::clearControls() {
    for (QLineEdit* box : boxes_) box->clear();
    txtCosto->setText(QStringLiteral("0,00"));
    txtGiacenza->setText(QStringLiteral("0"));
    txtAvviso->setText(QStringLiteral("0"));
    txtPrezzo->setText(QStringLiteral("0,00"));
    chkPagato->setChecked(false);
    imgFoto->showPlaceholder();
    storedCode_.clear();
    btnGeneraCodice->setEnabled(true);
}

ProductTexts TfrmMagazzino::cardTexts() const {
    ProductTexts texts;
    for (std::size_t f = 0; f < boxes_.size(); ++f) texts[f] = text(boxes_[f]);
    texts[P::Pagato] = std::string(chkPagato->isChecked() ? kFlagYes : kFlagNo);
    const AttachmentTexts attached = attachmentTexts();
    for (std::size_t i = 0; i < attached.size(); ++i) texts[P::File01 + i] = attached[i];
    return texts;
}

void TfrmMagazzino::putOnCard(std::span<const std::uint8_t> record) {
    const ProductTexts texts = productTextsOf(ProductView(record.data()));
    for (std::size_t f = 0; f < boxes_.size(); ++f) boxes_[f]->setText(QString::fromStdString(texts[f]));
    // Any other flag, written by another tool, leaves the box as it was.
    if (texts[P::Pagato] == kFlagYes) chkPagato->setChecked(true);
    if (texts[P::Pagato] == kFlagNo) chkPagato->setChecked(false);
    AttachmentTexts attached;
    for (std::size_t i = 0; i < attached.size(); ++i) attached[i] = texts[P::File01 + i];
    setAttachmentTexts(attached);
}

void TfrmMagazzino::fillRecord(std::span<std::uint8_t> record) const {
    const ProductRecord filled = productRecordFrom(cardTexts());
    std::copy(filled.bytes().begin(), filled.bytes().end(), record.begin());
}

void TfrmMagazzino::afterLoad() {
    showProductPhoto(registry().programFolder(), position(), *imgFoto);
    storedCode_ = txtCodice->text().trimmed();
    btnGeneraCodice->setEnabled(false);
}

void TfrmMagazzino::afterSave() {
    storedCode_ = txtCodice->text().trimmed();
    btnGeneraCodice->setEnabled(false);
    // The record is saved whatever happens here; the photo box keeps its picture so a later
    // save can still write it.
    if (saveProductPhoto(registry().programFolder(), position(), *imgFoto)) return;
    MessageService::warning(this, QStringLiteral("Attenzione: la scheda è stata salvata, ma non è stato possibile "
                                                 "salvare la foto del prodotto nel file \"%1.jpg\".\n\n"
                                                 "Accertarsi di possedere i privilegi di scrittura nella cartella "
                                                 "di installazione del programma.")
                                      .arg(position()));
}

bool TfrmMagazzino::prepareSave() {
    for (QLineEdit* box : {txtGiacenza, txtAvviso}) {
        if (box->text().trimmed().isEmpty()) box->setText(QStringLiteral("0"));
    }
    return true;
}

bool TfrmMagazzino::checkSave() {
    const auto tooLong = firstNumberTooLong(cardTexts());
    if (!tooLong) {
        warnAboutCheckDigit();
        return true;
    }
    MessageService::warning(
        this, QStringLiteral("Attenzione: il valore \"%1\" non può essere registrato in archivio perché supera la "
                             "lunghezza massima del campo (%2 caratteri). Correggere il valore e salvare di nuovo.")
                  .arg(boxes_[*tooLong]->text().trimmed())
                  .arg(ProductRecord::Info::capacity(*tooLong)));
    boxes_[*tooLong]->setFocus();
    return false;
}

bool TfrmMagazzino::afterDuplicate() {
    imgFoto->showPlaceholder();
    btnGeneraCodice->setEnabled(true);
    return true;
}

void TfrmMagazzino::warnAboutCheckDigit() {
    // A warning, not a refusal: the code may be a supplier's own.
    const QString code = txtCodice->text().trimmed();
    if (code == storedCode_ || !looksLikeEan13WithWrongCheck(code.toStdString())) return;
    const char check = *gs1CheckDigit(code.left(12).toStdString());
    MessageService::warning(this, QStringLiteral("Attenzione: il codice articolo \"%1\" ha 13 cifre, ma l'ultima non è "
                                                 "la cifra di controllo di un codice EAN-13 (dovrebbe essere %2): "
                                                 "un lettore di codici a barre non lo riconoscerà come tale.\n\n"
                                                 "Se è il codice del fornitore, la scheda viene salvata così com'è.")
                                      .arg(code, QChar::fromLatin1(check)));
}

void TfrmMagazzino::btnGeneraCodiceClick() {
    if (position() != kNewCard) return;
    std::mt19937_64 engine{std::random_device{}()};
    const auto code = proposeInStoreCode(archivePath(), [&engine] { return engine(); });
    if (!code) {
        tell(CardMessage::AccessFailed);
        return;
    }
    if (!*code) return;
    txtCodice->setText(QString::fromStdString(**code));
    txtCodice->setFocus();
}

void TfrmMagazzino::btnTrovaClick() {
    auto dialog = std::make_unique<TfrmTrovaMagazzino>(registry(), this);
    dialog->lblMemory->setText(QStringLiteral("magazzino"));
    dialog->exec();
}

void TfrmMagazzino::btnSottoscortaClick() {
    auto dialog = std::make_unique<TfrmSottoscorta>(registry(), this);
    dialog->exec();
}

void TfrmMagazzino::btnScadutiClick() {
    auto dialog = std::make_unique<TfrmDaSaldare>(registry(), this);
    dialog->exec();
}

void TfrmMagazzino::btnCaricaFotoClick() {
    const auto path = FileDialogService::openFile(
        this, kTitleLoadPhoto, QStringLiteral("Immagine JPEG (*.jpg *.jpeg);;Immagine Bitmap (*.bmp)"));
    if (!path) return;
    const QImage photo = readPicture(*path);
    imgFoto->setImage(photo.isNull() ? placeholderPhoto() : photo);
}

void TfrmMagazzino::btnAcquisisciFotoClick() {
    auto dialog = std::make_unique<TfrmWebCam>(registry(), this);
    dialog->exec();
}

void TfrmMagazzino::btnSalvaFotoClick() {
    const auto path = FileDialogService::saveFile(this, kTitleSavePhoto, QStringLiteral("File Jpeg (*.jpg)"),
                                                  QStringLiteral("Foto.jpg"));
    if (!path || writePhotoCopy(*path, *imgFoto)) return;
    MessageService::warning(this, QStringLiteral("Attenzione: non è stato possibile salvare la foto nel file "
                                                 "indicato."));
}

void TfrmMagazzino::btnZoomFotoClick() {
    auto dialog = std::make_unique<TfrmZoom>(this, imgFoto->image());
    dialog->exec();
}

void TfrmMagazzino::btnStampaClick() {
    auto dialog = std::make_unique<TfrmStampaMag>(registry(), this);
    dialog->imgLogo->setImage(imgFoto->image());
    dialog->exec();
}

void TfrmMagazzino::btnAnteprimaClick() {
    auto dialog = std::make_unique<TfrmAnteprimaMag>(registry(), this);
    dialog->imgLogo->setImage(imgFoto->image());
    dialog->exec();
}

void TfrmMagazzino::btnEtichetteClick() {
    // The card as it stands on screen, saved or not, as its printout takes it.
    std::vector<LabelProduct> labels;
    if (!txtCodice->text().trimmed().isEmpty() || !txtNome->text().trimmed().isEmpty()) {
        labels.push_back({toStd(txtCodice->text().trimmed()), toStd(txtNome->text().trimmed()),
                          labelPriceText(toStd(txtPrezzo->text().trimmed())), toStd(txtTipologia->text().trimmed())});
    }
    TfrmEtichette(registry(), this, std::move(labels)).exec();
}

void TfrmMagazzino::btnEsportaClick() { TfrmExpMagazzino(registry(), this).exec(); }

void TfrmMagazzino::btnImportaClick() { TfrmImportaProdotti(registry(), this).exec(); }

void TfrmMagazzino::openStockDialog(bool add) {
    if (txtGiacenza->text().trimmed().isEmpty()) txtGiacenza->setText(QStringLiteral("0"));
    auto dialog = std::make_unique<TfrmGiacenza>(registry(), this, add);
    dialog->exec();
}

}  // namespace scortavia
