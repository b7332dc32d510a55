#include "products/TfrmMagazzino.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <memory>

#include "ui/BoxBehaviour.h"
#include "ui/CardActions.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/PhotoBox.h"
#include "ui/Widgets.h"
#include "common/Numbers.h"
#include "products/ProductPhoto.h"
#include "ui/TfrmAllegaCartella.h"
#include "products/TfrmAnteprimaMag.h"
#include "products/ProductListScreens.h"
#include "ui/TfrmCalendario.h"
#include "products/TfrmTrovaMagazzino.h"
#include "products/TfrmGiacenza.h"
#include "products/TfrmStampaMag.h"
#include "products/TfrmWebCam.h"
#include "products/TfrmZoom.h"
#include "storage/ArchivePaths.h"

namespace scortavia {
namespace {

using P = ProductLayout;

const QString kTitleLoadPhoto = QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap.");
const QString kTitleSavePhoto = QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg.");

constexpr std::string_view kMsgDuplicateNew =
    "Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che questa è stata inserita in archivio.";
constexpr std::string_view kMsgDuplicated =
    "E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
    "Al termine premere Salva per inserire la scheda in archivio.";

struct BoxSpec {
    P::Field field;
    const char* name;
    const char* label;
};

// The edit boxes in record order, with the caption beside each.
constexpr BoxSpec kBoxes[] = {
    {P::Codice, "txtCodice", "Codice articolo:"},
    {P::Costo, "txtCosto", "Costo unitario:"},
    {P::Nome, "txtNome", "Nome prodotto:"},
    {P::Giacenza, "txtGiacenza", "Giacenza:"},
    {P::Avviso, "txtAvviso", "Avviso n."},
    {P::UM, "txtUM", "Aspetto esteriore del bene:"},
    {P::Tipologia, "txtTipologia", "Categoria merceologica:"},
    {P::Caratteristiche, "txtCaratteristiche", "Caratteristiche:"},
    {P::Collocazione, "txtCollocazione", "Collocazione in magazzino:"},
    {P::Ditta, "txtDitta", "Ditta fornitrice:"},
    {P::Agente, "txtAgente", "Agente:"},
    {P::Recapito, "txtRecapito", "Recapito telefonico:"},
    {P::Documento, "txtDocumento", "Documento di acquisto:"},
    {P::Pagamento, "txtPagamento", "Modalità di pagamento:"},
    {P::DataSca, "txtDataSca", "Data scadenza:"},
    {P::Note, "txtNote", "Note:"},
    {P::Prezzo, "txtPrezzo", "Prezzo di vendita:"},
};

constexpr const char* kAttachmentNames[] = {"lblFile01", "lblFile02", "lblFile03",
                                            "lblDesc01", "lblDesc02", "lblDesc03"};

struct HintSpec {
    const char* name;
    const char* hint;
};

constexpr HintSpec kHints[] = {
    {"btnNuovo", "Prepara la schermata per l'inserimento di una nuova scheda."},
    {"btnDuplica", "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."},
    {"btnSalva", "Salva la scheda corrente."},
    {"btnTrova", "Trova schede in archivio."},
    {"btnAnteprima", "Visualizza l'anteprima di stampa."},
    {"btnStampa", "Stampa la scheda corrente."},
    {"btnAllegati", "Allega file alla scheda corrente."},
    {"btnSottoscorta", "Visualizza il riepilogo della merce in esaurimento."},
    {"btnScaduti", "Visualizza il riepilogo dei pagamenti non ancora saldati."},
    {"btnEsporta", "Esporta l'archivio in un foglio di Microsoft Excel."},
    {"btnGuida", "Visualizza la pagina della guida sensibile al contesto."},
    {"btnEsci", "Esci da questa schermata di lavoro."},
    {"cmdPrimo", "Visualizza la prima scheda in archivio."},
    {"cmdIndietro", "Visualizza la scheda precedente in archivio."},
    {"cmdAvanti", "Visualizza la scheda successiva in archivio."},
    {"cmdUltimo", "Visualizza l'ultima scheda in archivio."},
    {"btnAggiungi", "Aggiorna la giacenza aggiungendo una certa quantità."},
    {"btnSottrai", "Aggiorna la giacenza sottraendo una certa quantità."},
    {"chkPagato", "Contrassegna questa casella per indicare che il pagamento è stato effettuato."},
    {"txtDataSca", "Fai clic su questo campo e premi un tasto qualsiasi per importare una data dal calendario."},
    {"delDataSca", "Cancella la data."},
    {"btnCaricaFoto", "Carica una foto esistente."},
    {"btnAcquisisciFoto", "Acquisisci la foto da WebCam."},
    {"btnSalvaFoto", "Salva la foto su disco."},
    {"btnZoomFoto", "Visualizza la foto nelle sue dimensioni reali."},
    {"btnCancFoto", "Cancella la foto."},
};

QLabel* caption(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QStringLiteral("tit") + QString::fromUtf8(text).section(' ', 0, 0).remove(':'));
    return label;
}

std::string text(const QLineEdit* box) { return box->text().toStdString(); }

}  // namespace

TfrmMagazzino::TfrmMagazzino(ScreenRegistry& registry) : WorkArea(registry, QStringLiteral("frmMagazzino")) {
    setWindowTitle(QStringLiteral(" Scortavia - Gestione Magazzino Prodotti"));
    setWindowIcon(QIcon(QStringLiteral(":/icon_app.svg")));
    build();
    wireBoxes();
    setHints();
}

void TfrmMagazzino::build() {
    setStyleSheet(QStringLiteral(
        "QWidget#frmMagazzino { background: #E4ECEE; }"
        "QFrame#panScheda { background: white; border: 1px solid #B9C9CE; border-radius: 10px; }"
        "QFrame#panComandi { background: #F3F7F8; border: 1px solid #C9D6DA; border-radius: 10px; }"
        "QLabel#lblPosizione { font-size: 15px; font-weight: bold; color: #0F5E63; min-width: 56px; }"
        "QLabel#panInfo { background: #0F5E63; color: white; padding: 4px 10px; }"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* body = new QVBoxLayout();
    body->setContentsMargins(16, 12, 16, 12);
    body->setSpacing(10);
    outer->addLayout(body, 1);

    auto* toolbarFrame = new QFrame(this);
    toolbarFrame->setObjectName(QStringLiteral("panComandi"));
    auto* toolbar = new QHBoxLayout(toolbarFrame);
    toolbar->setContentsMargins(8, 4, 8, 4);
    toolbar->setSpacing(2);
    buildToolbar(toolbar);
    body->addWidget(toolbarFrame);

    auto* card = new QFrame(this);
    card->setObjectName(QStringLiteral("panScheda"));
    auto* cardLayout = new QHBoxLayout(card);
    cardLayout->setContentsMargins(20, 16, 20, 16);
    cardLayout->setSpacing(28);
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(7);
    buildForm(grid);
    cardLayout->addLayout(grid, 1);

    auto* side = new QVBoxLayout();
    side->setSpacing(10);
    imgFoto = new PhotoBox(QStringLiteral("imgFoto"), card);
    imgFoto->setFixedSize(kPhotoSize);
    imgBianco = new PhotoBox(QStringLiteral("imgBianco"), card);
    imgBianco->hide();
    side->addWidget(imgFoto);
    auto* photoButtons = new QHBoxLayout();
    btnCaricaFoto = new CaptionButton(QStringLiteral("btnCaricaFoto"), QStringLiteral(":/foto_carica.svg"),
                                      QStringLiteral("Carica foto"), card);
    btnAcquisisciFoto = new CaptionButton(QStringLiteral("btnAcquisisciFoto"), QStringLiteral(":/foto_webcam.svg"),
                                          QStringLiteral("Acquisisci foto"), card);
    btnSalvaFoto = new PictureButton(QStringLiteral("btnSalvaFoto"), QStringLiteral(":/foto_salva.svg"), {30, 30}, card);
    btnZoomFoto = new PictureButton(QStringLiteral("btnZoomFoto"), QStringLiteral(":/foto_zoom.svg"), {30, 30}, card);
    btnCancFoto = new PictureButton(QStringLiteral("btnCancFoto"), QStringLiteral(":/foto_cancella.svg"), {30, 30}, card);
    photoButtons->addWidget(btnCaricaFoto);
    photoButtons->addWidget(btnAcquisisciFoto);
    photoButtons->addStretch(1);
    for (QWidget* w : {static_cast<QWidget*>(btnSalvaFoto), static_cast<QWidget*>(btnZoomFoto),
                       static_cast<QWidget*>(btnCancFoto)}) {
        photoButtons->addWidget(w);
    }
    side->addLayout(photoButtons);
    side->addStretch(1);

    auto* navigation = new QHBoxLayout();
    navigation->setSpacing(8);
    cmdPrimo = new PictureButton(QStringLiteral("cmdPrimo"), QStringLiteral(":/nav_primo.svg"), {36, 36}, card);
    cmdIndietro = new PictureButton(QStringLiteral("cmdIndietro"), QStringLiteral(":/nav_indietro.svg"), {36, 36}, card);
    lblPosizione = new QLabel(card);
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    lblPosizione->setAlignment(Qt::AlignCenter);
    cmdAvanti = new PictureButton(QStringLiteral("cmdAvanti"), QStringLiteral(":/nav_avanti.svg"), {36, 36}, card);
    cmdUltimo = new PictureButton(QStringLiteral("cmdUltimo"), QStringLiteral(":/nav_ultimo.svg"), {36, 36}, card);
    auto* titPosizione = new QLabel(QStringLiteral("Scheda n."), card);
    titPosizione->setObjectName(QStringLiteral("titPosizione"));
    navigation->addStretch(1);
    navigation->addWidget(cmdPrimo);
    navigation->addWidget(cmdIndietro);
    navigation->addWidget(titPosizione);
    navigation->addWidget(lblPosizione);
    navigation->addWidget(cmdAvanti);
    navigation->addWidget(cmdUltimo);
    navigation->addStretch(1);
    side->addLayout(navigation);
    cardLayout->addLayout(side);
    body->addWidget(card, 1);

    for (std::size_t i = 0; i < attachments_.size(); ++i) {
        attachments_[i] = hiddenLabel(QString::fromLatin1(kAttachmentNames[i]), this);
    }
    lblFile01 = attachments_[0], lblFile02 = attachments_[1], lblFile03 = attachments_[2];
    lblDesc01 = attachments_[3], lblDesc02 = attachments_[4], lblDesc03 = attachments_[5];

    panInfo = new QLabel(QStringLiteral("Pronto per archiviare una nuova scheda..."), this);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setMinimumHeight(26);
    outer->addWidget(panInfo);
    resize(1240, 760);
}

void TfrmMagazzino::buildToolbar(QBoxLayout* toolbar) {
    struct ToolButtonSpec {
        CaptionButton** button;
        const char* name;
        const char* icon;
        const char* text;
    };
    const ToolButtonSpec buttons[] = {
        {&btnNuovo, "btnNuovo", "tb_nuovo", "Nuovo"},
        {&btnDuplica, "btnDuplica", "tb_duplica", "Duplica"},
        {&btnSalva, "btnSalva", "tb_salva", "Salva"},
        {&btnTrova, "btnTrova", "tb_trova", "Trova"},
        {&btnAnteprima, "btnAnteprima", "tb_anteprima", "Anteprima"},
        {&btnStampa, "btnStampa", "tb_stampa", "Stampa"},
        {&btnAllegati, "btnAllegati", "tb_allegati", "Allegati"},
        {&btnSottoscorta, "btnSottoscorta", "tb_sottoscorta", "Sottoscorta"},
        {&btnScaduti, "btnScaduti", "tb_dasaldare", "Da saldare"},
        {&btnEsporta, "btnEsporta", "tb_esporta", "Esporta"},
        {&btnGuida, "btnGuida", "tb_guida", "Guida"},
        {&btnEsci, "btnEsci", "tb_esci", "Esci"},
    };
    for (const ToolButtonSpec& s : buttons) {
        *s.button = new CaptionButton(QString::fromLatin1(s.name), QStringLiteral(":/%1.svg").arg(s.icon),
                                      QString::fromUtf8(s.text), this);
        if (s.button == &btnGuida) toolbar->addStretch(1);
        toolbar->addWidget(*s.button);
    }
}

void TfrmMagazzino::buildForm(QGridLayout* grid) {
    QWidget* parent = grid->parentWidget() ? grid->parentWidget() : this;
    for (const BoxSpec& entry : kBoxes) {
        auto* box = new QLineEdit(parent);
        box->setObjectName(QString::fromLatin1(entry.name));
        box->setMaxLength(static_cast<int>(ProductRecord::Info::capacity(entry.field)));
        box->setMinimumHeight(26);
        boxes_[entry.field] = box;
    }
    txtCodice = boxes_[P::Codice], txtCosto = boxes_[P::Costo], txtNome = boxes_[P::Nome];
    txtGiacenza = boxes_[P::Giacenza], txtAvviso = boxes_[P::Avviso], txtUM = boxes_[P::UM];
    txtTipologia = boxes_[P::Tipologia], txtCaratteristiche = boxes_[P::Caratteristiche];
    txtCollocazione = boxes_[P::Collocazione], txtDitta = boxes_[P::Ditta], txtAgente = boxes_[P::Agente];
    txtRecapito = boxes_[P::Recapito], txtDocumento = boxes_[P::Documento], txtPagamento = boxes_[P::Pagamento];
    txtDataSca = boxes_[P::DataSca], txtNote = boxes_[P::Note], txtPrezzo = boxes_[P::Prezzo];

    btnAggiungi = textButton(QStringLiteral("btnAggiungi"), QStringLiteral("+"), parent);
    btnSottrai = textButton(QStringLiteral("btnSottrai"), QString::fromUtf8("−"), parent);
    for (QPushButton* b : {btnAggiungi, btnSottrai}) {
        b->setFixedSize(30, 26);
        b->setStyleSheet(QStringLiteral("padding: 0px; font-size: 16px; font-weight: bold; color: #0F5E63;"));
    }
    chkPagato = new QCheckBox(QStringLiteral("Pagato"), parent);
    chkPagato->setObjectName(QStringLiteral("chkPagato"));
    delDataSca = new PictureButton(QStringLiteral("delDataSca"), QStringLiteral(":/del_data.svg"), {18, 18}, parent);

    auto labelFor = [&](P::Field f) {
        for (const BoxSpec& s : kBoxes) {
            if (s.field == f) return caption(s.label, parent);
        }
        return caption("", parent);
    };
    auto small = [](QLineEdit* box, int width) {
        box->setFixedWidth(width);
        return box;
    };
    auto row = [&](int r, P::Field f, QWidget* extra = nullptr) {
        grid->addWidget(labelFor(f), r, 0);
        if (!extra) {
            grid->addWidget(boxes_[f], r, 1, 1, 4);
            return;
        }
        auto* line = new QHBoxLayout();
        line->addWidget(boxes_[f], 1);
        line->addWidget(extra);
        grid->addLayout(line, r, 1, 1, 4);
    };

    // Code and cost.
    grid->addWidget(labelFor(P::Codice), 0, 0);
    grid->addWidget(txtCodice, 0, 1);
    grid->addWidget(labelFor(P::Costo), 0, 2, Qt::AlignRight);
    auto* cost = new QHBoxLayout();
    cost->setSpacing(6);
    cost->addWidget(new QLabel(QString::fromUtf8("€"), parent));
    cost->addWidget(small(txtCosto, 120));
    cost->addStretch(1);
    grid->addLayout(cost, 0, 3, 1, 2);
    row(1, P::Nome);

    // Stock with its buttons, and the warning level.
    grid->addWidget(labelFor(P::Giacenza), 2, 0);
    auto* stock = new QHBoxLayout();
    stock->setSpacing(4);
    stock->addWidget(small(txtGiacenza, 70));
    stock->addWidget(btnAggiungi);
    stock->addWidget(btnSottrai);
    stock->addStretch(1);
    grid->addLayout(stock, 2, 1);
    grid->addWidget(labelFor(P::Avviso), 2, 2, Qt::AlignRight);
    auto* warning = new QHBoxLayout();
    warning->setSpacing(6);
    warning->addWidget(small(txtAvviso, 60));
    auto* pieces = new QLabel(QStringLiteral("pezzi rimasti."), parent);
    pieces->setObjectName(QStringLiteral("titPezzi"));
    warning->addWidget(pieces);
    warning->addStretch(1);
    grid->addLayout(warning, 2, 3, 1, 2);

    row(3, P::UM);
    row(4, P::Tipologia);
    row(5, P::Caratteristiche);
    row(6, P::Collocazione);
    row(7, P::Ditta);
    grid->addWidget(labelFor(P::Agente), 8, 0);
    grid->addWidget(txtAgente, 8, 1);
    grid->addWidget(labelFor(P::Recapito), 8, 2, Qt::AlignRight);
    grid->addWidget(txtRecapito, 8, 3, 1, 2);
    row(9, P::Documento);
    grid->addWidget(labelFor(P::Pagamento), 10, 0);
    grid->addWidget(txtPagamento, 10, 1, 1, 2);
    grid->addWidget(chkPagato, 10, 3, 1, 2);
    grid->addWidget(labelFor(P::DataSca), 11, 0);
    auto* due = new QHBoxLayout();
    due->addWidget(small(txtDataSca, 110));
    due->addWidget(delDataSca);
    due->addStretch(1);
    grid->addLayout(due, 11, 1);
    row(12, P::Note);
    grid->addWidget(labelFor(P::Prezzo), 13, 0);
    auto* price = new QHBoxLayout();
    price->setSpacing(6);
    price->addWidget(new QLabel(QString::fromUtf8("€"), parent));
    price->addWidget(small(txtPrezzo, 120));
    price->addStretch(1);
    grid->addLayout(price, 13, 1);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(14, 1);

    // Tab order follows the record; picture buttons never take the focus.
    QWidget* order[] = {txtCodice,       txtCosto,   txtNome,     txtGiacenza,  btnAggiungi,  btnSottrai,
                        txtAvviso,       txtUM,      txtTipologia, txtCaratteristiche, txtCollocazione, txtDitta,
                        txtAgente,       txtRecapito, txtDocumento, txtPagamento, chkPagato,  txtDataSca,
                        txtNote,         txtPrezzo};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TfrmMagazzino::wireBoxes() {
    for (QLineEdit* box : boxes_) {
        new FocusFrame(QStringLiteral("eff") + box->objectName().mid(3), box);
    }
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
    makeDateBox(txtDataSca, [this] { txtDataScaKeyDown(); });

    connect(btnNuovo, &CaptionButton::clicked, this, &TfrmMagazzino::btnNuovoClick);
    connect(btnDuplica, &CaptionButton::clicked, this, &TfrmMagazzino::btnDuplicaClick);
    connect(btnSalva, &CaptionButton::clicked, this, &TfrmMagazzino::btnSalvaClick);
    connect(btnEsci, &CaptionButton::clicked, this, &TfrmMagazzino::btnEsciClick);
    connect(cmdPrimo, &PictureButton::clicked, this, &TfrmMagazzino::cmdPrimoClick);
    connect(cmdIndietro, &PictureButton::clicked, this, &TfrmMagazzino::cmdIndietroClick);
    connect(cmdAvanti, &PictureButton::clicked, this, &TfrmMagazzino::cmdAvantiClick);
    connect(cmdUltimo, &PictureButton::clicked, this, &TfrmMagazzino::cmdUltimoClick);
    connect(btnAggiungi, &QPushButton::clicked, this, &TfrmMagazzino::btnAggiungiClick);
    connect(btnSottrai, &QPushButton::clicked, this, &TfrmMagazzino::btnSottraiClick);
    connect(delDataSca, &PictureButton::clicked, txtDataSca, &QLineEdit::clear);
    connect(btnCaricaFoto, &CaptionButton::clicked, this, &TfrmMagazzino::btnCaricaFotoClick);
    connect(btnAcquisisciFoto, &CaptionButton::clicked, this, &TfrmMagazzino::btnAcquisisciFotoClick);
    connect(btnSalvaFoto, &PictureButton::clicked, this, &TfrmMagazzino::btnSalvaFotoClick);
    connect(btnZoomFoto, &PictureButton::clicked, this, &TfrmMagazzino::btnZoomFotoClick);
    connect(btnCancFoto, &PictureButton::clicked, imgFoto, &PhotoBox::showPlaceholder);
    connect(btnAllegati, &CaptionButton::clicked, this, &TfrmMagazzino::btnAllegatiClick);
    connect(btnTrova, &CaptionButton::clicked, this, &TfrmMagazzino::btnTrovaClick);
    connect(btnSottoscorta, &CaptionButton::clicked, this, &TfrmMagazzino::btnSottoscortaClick);
    connect(btnScaduti, &CaptionButton::clicked, this, &TfrmMagazzino::btnScadutiClick);
    connect(btnStampa, &CaptionButton::clicked, this, &TfrmMagazzino::btnStampaClick);
    connect(btnAnteprima, &CaptionButton::clicked, this, &TfrmMagazzino::btnAnteprimaClick);
}

void TfrmMagazzino::setHints() {
    auto* hints = new HoverHints(panInfo, this);
    for (const HintSpec& h : kHints) {
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(h.name))) hints->set(w, QString::fromUtf8(h.hint));
    }
    hints->watchAll();
}

void TfrmMagazzino::present() {
    showMaximized();
    activateWindow();
}

FocusFrame* TfrmMagazzino::focusFrame(const QString& name) const { return findChild<FocusFrame*>(name); }

void TfrmMagazzino::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (!event->spontaneous()) clearCard();
}

void TfrmMagazzino::clearCard() {
    for (QLineEdit* box : boxes_) box->clear();
    txtCosto->setText(QStringLiteral("0,00"));
    txtGiacenza->setText(QStringLiteral("0"));
    txtAvviso->setText(QStringLiteral("0"));
    txtPrezzo->setText(QStringLiteral("0,00"));
    chkPagato->setChecked(false);
    for (QLabel* label : attachments_) label->clear();
    imgFoto->showPlaceholder();
    lblPosizione->clear();
    txtCodice->setFocus();
}

void TfrmMagazzino::btnNuovoClick() { clearCard(); }

void TfrmMagazzino::btnDuplicaClick() {
    if (CardProtocol::isNewCard(lblPosizione->text().toStdString())) {
        MessageService::warning(this, kMsgDuplicateNew);
        return;
    }
    for (QLabel* label : attachments_) label->clear();
    lblPosizione->clear();
    imgFoto->showPlaceholder();
    txtCodice->setFocus();
    MessageService::information(this, kMsgDuplicated);
}

ProductTexts TfrmMagazzino::cardTexts() const {
    ProductTexts texts;
    for (std::size_t f = 0; f < boxes_.size(); ++f) texts[f] = text(boxes_[f]);
    texts[P::Pagato] = std::string(chkPagato->isChecked() ? kFlagYes : kFlagNo);
    for (std::size_t i = 0; i < attachments_.size(); ++i) texts[P::File01 + i] = attachments_[i]->text().toStdString();
    return texts;
}

void TfrmMagazzino::putOnCard(const ProductTexts& texts) {
    for (std::size_t f = 0; f < boxes_.size(); ++f) boxes_[f]->setText(QString::fromStdString(texts[f]));
    if (texts[P::Pagato] == kFlagYes) chkPagato->setChecked(true);
    if (texts[P::Pagato] == kFlagNo) chkPagato->setChecked(false);
    for (std::size_t i = 0; i < attachments_.size(); ++i) {
        attachments_[i]->setText(QString::fromStdString(texts[P::File01 + i]));
    }
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

void TfrmMagazzino::showProduct(const ProductTexts& texts, std::int64_t position) {
    putOnCard(texts);
    lblPosizione->setText(QString::number(position));
    afterLoad();
}

void TfrmMagazzino::afterLoad() {
    imgFoto->setImage(loadProductPhoto(registry().programFolder(), lblPosizione->text()));
}

void TfrmMagazzino::afterSave() {
    // The record is saved whatever happens here; the photo box keeps its picture so a later
    // save can still write it.
    if (saveProductPhoto(registry().programFolder(), lblPosizione->text(), imgFoto->image())) return;
    MessageService::warning(this, QStringLiteral("Attenzione: la scheda è stata salvata, ma non è stato possibile "
                                                 "salvare la foto del prodotto nel file \"%1.jpg\".\n\n"
                                                 "Accertarsi di possedere i privilegi di scrittura nella cartella "
                                                 "di installazione del programma.")
                                  .arg(lblPosizione->text().trimmed()));
}

void TfrmMagazzino::btnCaricaFotoClick() {
    const auto path = FileDialogService::openFile(this, kTitleLoadPhoto,
                                                  QStringLiteral("Immagine JPEG (*.jpg *.jpeg);;Immagine Bitmap (*.bmp)"));
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
    if (!path || writeJpeg(*path, imgFoto->image())) return;
    MessageService::warning(this, QStringLiteral("Attenzione: non è stato possibile salvare la foto nel file "
                                                 "indicato."));
}

void TfrmMagazzino::btnZoomFotoClick() {
    auto dialog = std::make_unique<TfrmZoom>(this, imgFoto->image());
    dialog->exec();
}

void TfrmMagazzino::btnAllegatiClick() {
    auto dialog = std::make_unique<TfrmAllegaCartella>(registry(), this);
    dialog->lblMemory->setText(QStringLiteral("magazzino"));
    QLineEdit* const boxes[] = {dialog->txtFile01, dialog->txtFile02, dialog->txtFile03,
                                dialog->txtDesc01, dialog->txtDesc02, dialog->txtDesc03};
    for (std::size_t i = 0; i < attachments_.size(); ++i) boxes[i]->setText(attachments_[i]->text().trimmed());
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

void TfrmMagazzino::navigate(CardAction action) {
    const CardProtocol protocol(paths::productArchive(registry().programFolder()), ProductRecord::kSize);
    ProductRecord record;
    navigateCard(this, protocol, action, lblPosizione, record.bytes(), [&] {
        putOnCard(productTextsOf(record.view()));
        afterLoad();
    });
}

void TfrmMagazzino::btnSalvaClick() {
    for (QLineEdit* box : {txtGiacenza, txtAvviso}) {
        if (box->text().trimmed().isEmpty()) box->setText(QStringLiteral("0"));
    }
    const ProductTexts texts = cardTexts();
    if (const auto missing = firstMissingMandatory(texts)) {
        MessageService::warning(this, missing->warning);
        boxes_[missing->field]->setFocus();
        return;
    }
    if (const auto tooLong = firstNumberTooLong(texts)) {
        MessageService::warning(
            this, QStringLiteral("Attenzione: il valore \"%1\" non può essere registrato in archivio perché supera la "
                                 "lunghezza massima del campo (%2 caratteri). Correggere il valore e salvare di nuovo.")
                      .arg(boxes_[*tooLong]->text().trimmed())
                      .arg(ProductRecord::Info::capacity(*tooLong)));
        boxes_[*tooLong]->setFocus();
        return;
    }
    const ProductRecord record = productRecordFrom(texts);
    const CardProtocol protocol(paths::productArchive(registry().programFolder()), ProductRecord::kSize);
    saveCard(this, protocol, lblPosizione, record.bytes(), [this] { afterSave(); });
}

void TfrmMagazzino::openStockDialog(bool add) {
    if (txtGiacenza->text().trimmed().isEmpty()) txtGiacenza->setText(QStringLiteral("0"));
    auto dialog = std::make_unique<TfrmGiacenza>(registry(), this, add);
    dialog->exec();
}

void TfrmMagazzino::txtDataScaKeyDown() {
    auto dialog = std::make_unique<TfrmCalendario>(registry(), this);
    dialog->lblMemory->setText(QStringLiteral("datasca"));
    dialog->exec();
}

}  // namespace scortavia
