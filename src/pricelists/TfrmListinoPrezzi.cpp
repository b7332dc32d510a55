#include "pricelists/TfrmListinoPrezzi.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QShortcut>
#include <QVBoxLayout>
#include <memory>

#include "common/Numbers.h"
#include "pricelists/PriceListArchiveScreens.h"
#include "pricelists/PriceListFiles.h"
#include "pricelists/PriceListPhotos.h"
#include "pricelists/PriceListPrint.h"
#include "pricelists/TfrmImportaMagazzino.h"
#include "products/ProductPhoto.h"
#include "storage/ProductRecord.h"
#include "ui/BoxBehaviour.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/PhotoBox.h"
#include "ui/QtText.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

using S = PriceListSlotLayout;
using P = ProductLayout;

const QString kTitleLoadPhoto = QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap.");
const QString kFilterLoadPhoto = QStringLiteral("Immagine JPEG (*.jpg *.jpeg);;Immagine Bitmap (*.bmp)");

// What the first product must have for a page to be saved, in the order it is checked.
struct FirstProductCheck {
    QLineEdit* PriceListSlotBox::*box;
    const char* warning;
};
constexpr FirstProductCheck kFirstProduct[] = {
    {&PriceListSlotBox::txtNome, "Attenzione: per salvare la scheda è necessario indicare il nome del primo prodotto."},
    {&PriceListSlotBox::txtUM,
     "Attenzione: per salvare la scheda è necessario indicare l'aspetto esteriore del primo prodotto."},
    {&PriceListSlotBox::txtCaratteristiche,
     "Attenzione: per salvare la scheda è necessario indicare le caratteristiche del primo prodotto."},
    {&PriceListSlotBox::txtCodice,
     "Attenzione: per salvare la scheda è necessario indicare il codice articolo del primo prodotto."},
    {&PriceListSlotBox::txtPrezzo,
     "Attenzione: per salvare la scheda è necessario indicare il prezzo di vendita del primo prodotto."},
};

std::size_t slotOffset(int index) { return PriceListSlot::kSize * static_cast<std::size_t>(index); }

// A slot's picture written by the photo rule of the price lists, through a temporary file renamed over the old one.
// The key the product import hands the slot at `index` its product under: "prodotto_A" to "prodotto_H".
QString slotKey(int index) { return QStringLiteral("prodotto_") + QLatin1Char(PriceListPage::slotLetter(index)); }

bool writePagePhoto(const std::filesystem::path& path, const QImage& picture) {
    return writeJpeg(path, priceListPhotoImage(picture));
}

}  // namespace

PriceListSlotBox::PriceListSlotBox(int index, QLabel* lblRecord, std::filesystem::path programFolder, QWidget* parent)
    : QFrame(parent), index_(index), lblRecord_(lblRecord), programFolder_(std::move(programFolder)) {
    setObjectName(QStringLiteral("bkgProdotto_%1").arg(index + 1, 2, 10, QLatin1Char('0')));
    setFrameShape(QFrame::StyledPanel);
    const QString suffix = QStringLiteral("_") + letter();
    auto box = [&](const char* name, S::Field field) {
        QLineEdit* edit =
            editBox(QString::fromLatin1(name) + suffix, static_cast<int>(PriceListSlotInfo::capacity(field)), this);
        QFont bold = edit->font();
        bold.setBold(true);
        edit->setFont(bold);
        return edit;
    };
    txtNome = box("txtNome", S::Nome);
    txtUM = box("txtUM", S::UM);
    txtCaratteristiche = box("txtCaratteristiche", S::Caratteristiche);
    txtCodice = box("txtCodice", S::Codice);
    txtPrezzo = box("txtPrezzo", S::Prezzo);
    txtPrezzo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtPrezzo->setFixedWidth(110);
    txtCodice->setMinimumWidth(120);
    impProdotto = new PictureButton(QStringLiteral("impProdotto") + suffix, QStringLiteral(":/importa_freccia.svg"),
                                    {24, 24}, this);
    imgFoto = new PhotoBox(QStringLiteral("imgFoto") + suffix, this);
    imgFoto->setMinimumSize(96, 72);
    imgFoto->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    imgFoto->setCursor(Qt::PointingHandCursor);
    imgFoto->installEventFilter(this);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(5, 4, 6, 4);
    row->setSpacing(8);
    row->addWidget(imgFoto, 0);
    auto* lines = new QVBoxLayout();
    lines->setSpacing(3);
    lines->addLayout(lineOf({txtNome, impProdotto}));
    lines->addWidget(txtUM);
    lines->addWidget(txtCaratteristiche);
    auto* bottom = lineOf({txtCodice, nullptr, txtPrezzo});
    bottom->setStretch(0, 3);
    bottom->setStretch(1, 1);
    lines->addLayout(bottom);
    row->addLayout(lines, 1);
    clear();
}

void PriceListSlotBox::clear() {
    for (QLineEdit* box : {txtCodice, txtNome, txtUM, txtCaratteristiche}) box->clear();
    txtPrezzo->setText(QStringLiteral("0,00"));
    imgFoto->showPlaceholder();
}

void PriceListSlotBox::putOnSlot(const std::uint8_t* slot) {
    const RecordView<PriceListSlotLayout> stored(slot);
    txtCodice->setText(toQString(stored.text(S::Codice)));
    txtNome->setText(toQString(stored.text(S::Nome)));
    txtUM->setText(toQString(stored.text(S::UM)));
    txtCaratteristiche->setText(toQString(stored.text(S::Caratteristiche)));
    txtPrezzo->setText(toQString(stored.text(S::Prezzo)));
}

void PriceListSlotBox::fillSlot(std::uint8_t* slot) const {
    PriceListSlot stored(slot);
    stored.setText(S::Codice, toStd(txtCodice->text()));
    stored.setText(S::Nome, toStd(txtNome->text()));
    stored.setText(S::UM, toStd(txtUM->text()));
    stored.setText(S::Caratteristiche, toStd(txtCaratteristiche->text()));
    stored.setText(S::Prezzo, toStd(txtPrezzo->text()));
}

void PriceListSlotBox::imgFotoClick() {
    const auto path = FileDialogService::openFile(this, kTitleLoadPhoto, kFilterLoadPhoto);
    if (!path) return;
    // Read as the product card reads its photos: a FIFO or a folder is refused at once, never waited on.
    const QImage photo = readPicture(*path);
    imgFoto->setImage(photo.isNull() ? placeholderPhoto() : photo);
}

void PriceListSlotBox::showRecord(std::span<const std::uint8_t> record, CardPosition position) {
    if (record.size() < ProductRecord::kSize) return;
    const ProductView product(record.data());
    // The texts as the product card stores them, the price included: it is not formatted again.
    txtNome->setText(toQString(product.text(P::Nome)));
    txtUM->setText(toQString(product.text(P::UM)));
    txtCaratteristiche->setText(toQString(product.text(P::Caratteristiche)));
    txtCodice->setText(toQString(product.text(P::Codice)));
    txtPrezzo->setText(toQString(product.text(P::Prezzo)));
    showTextStarts(this);
    lblRecord_->setText(QString::number(position));
    showProductPhoto(programFolder_, position, *imgFoto);
}

bool PriceListSlotBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgFoto && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        imgFoto->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        imgFotoClick();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void PriceListSlotBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    // The picture is as tall as the slot and no wider than the proportions of the photo files make it;
    // only its height decides, so a slot can always shrink to the smallest picture.
    const int height = layout()->contentsRect().height();
    imgFoto->setMaximumWidth(std::max(imgFoto->minimumWidth(), height * kPhotoSize.width() / kPhotoSize.height()));
}

TfrmListinoPrezzi::TfrmListinoPrezzi(ScreenRegistry& registry)
    : CardScreen(registry, {.name = screen::kListinoPrezzi.data(),
                            .caption = " Scortavia - Gestione Listino Prezzi",
                            .recordSize = PriceListPage::kSize,
                            .positionCaption = nullptr}) {
    using C = Command;
    // Button, name, picture, caption, hint and what the card base does with it.
    buildToolbar({
        {&cmdNuovo, "cmdNuovo", "tb_nuovo", nullptr, "Prepara la schermata per l'inserimento di una nuova scheda.",
         C::New},
        {&cmdSalva, "cmdSalva", "tb_salva", nullptr, "Salva la scheda corrente.", C::Save},
        {&cmdAnteprima, "cmdAnteprima", "tb_anteprima", "Anteprima", "Visualizza l'anteprima di stampa."},
        {&cmdStampa, "cmdStampa", "tb_stampa", "Stampa", "Stampa la scheda corrente."},
        Tool::navigation(),
        Tool::stretch(),
        {&cmdGuida, "cmdGuida", "tb_guida", nullptr, "Visualizza la pagina della guida sensibile al contesto."},
        {&cmdEsci, "cmdEsci", "tb_esci", nullptr, "Esci da questa schermata di lavoro.", C::Close},
    });

    lblFile = hiddenLabel(QStringLiteral("lblFile"), this);
    lblRecord = hiddenLabel(QStringLiteral("lblRecord"), this);
    imgBianco = new PhotoBox(QStringLiteral("imgBianco"), this);
    imgBianco->hide();

    auto* page = new QFrame(this);
    page->setObjectName(QStringLiteral("panScheda"));
    // Every slot box shows in yellow while it has the focus.
    page->setProperty("focusFill", true);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(8, 8, 8, 8);
    pageLayout->setSpacing(6);
    pageLayout->addWidget(buildTitleBar(page));
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    for (int i = 0; i < PriceListPage::kSlots; ++i) {
        auto* box = new PriceListSlotBox(i, lblRecord, registry.programFolder(), page);
        bkgProdotto[static_cast<std::size_t>(i)] = box;
        registry.handOver().offer<HandOver::RecordLoad>(slotKey(i), box);
        // A to D down the left column, E to H down the right one.
        grid->addWidget(box, i % 4, i / 4);
        grid->setRowStretch(i % 4, 1);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    pageLayout->addLayout(grid, 1);
    bodyLayout()->addWidget(page, 1);

    wireSlots();
    setFirstBox(slot('A')->txtNome);
    std::vector<Mandatory> mandatory;
    for (const FirstProductCheck& check : kFirstProduct) {
        mandatory.push_back({slot('A')->*check.box, QString::fromUtf8(check.warning)});
    }
    setMandatory(std::move(mandatory));
    registry.handOver().offer<HandOver::PriceListOpen>(toQString(kPriceListEditorKey), this);
    registry.handOver().offer<HandOver::MenuClose>(toQString(kPriceListEditorKey), this);
}

void TfrmListinoPrezzi::openPriceList(const ShownFileName& archive, const ShownFileName& name) {
    showFileOnLabel(lblFile, archive.shown, archive.bytes);
    showFileOnLabel(lblNome, name.shown, name.bytes);
}

QWidget* TfrmListinoPrezzi::buildTitleBar(QWidget* parent) {
    auto* bar = new QFrame(parent);
    bar->setObjectName(QStringLiteral("panTitolo"));
    bar->setAutoFillBackground(true);
    QPalette colours = bar->palette();
    colours.setColor(QPalette::Window, palette::color("black"));
    colours.setColor(QPalette::WindowText, palette::color("white"));
    bar->setPalette(colours);
    lblNome = new QLabel(QStringLiteral("Titolo listino prezzi"), bar);
    lblNome->setObjectName(QStringLiteral("lblNome"));
    lblNome->setAlignment(Qt::AlignCenter);
    lblNome->setPalette(colours);
    QFont font = lblNome->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    lblNome->setFont(font);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 3, 10, 3);
    row->addWidget(lblNome);
    return bar;
}

void TfrmListinoPrezzi::wireSlots() {
    std::vector<QWidget*> walk;
    for (PriceListSlotBox* box : bkgProdotto) {
        for (QLineEdit* edit : box->boxesInTabOrder()) walk.push_back(edit);
        // Typed and formatted as the product card's price; only where Enter leads differs.
        QLineEdit* price = box->txtPrezzo;
        restrictTyping(price, TypedChars::DigitsAndComma);
        onFocusLost(price, [price] { price->setText(toQString(formatMoneyText(toStd(price->text()), 2))); });
        setHint(box->imgFoto, "Carica foto.");
        setHint(box->impProdotto, "Importa l'articolo dal magazzino.");
        connect(box->impProdotto, &PictureButton::clicked, this,
                [this, index = box->index()] { impProdottoClick(index); });
    }
    // The slots' arrows take no focus: this key imports into the slot the focus is in.
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+I")), this), &QShortcut::activated, this, [this] {
        for (PriceListSlotBox* box : bkgProdotto) {
            if (box->isAncestorOf(QApplication::focusWidget())) box->impProdotto->click();
        }
    });
    connect(cmdAnteprima, &CaptionButton::clicked, this, &TfrmListinoPrezzi::cmdAnteprimaClick);
    connect(cmdStampa, &CaptionButton::clicked, this, &TfrmListinoPrezzi::cmdStampaClick);
    connect(cmdGuida, &CaptionButton::clicked, this,
            [this] { showHelp(this->registry(), this, HelpTopic::PriceListEditor); });
    for (std::size_t i = 0; i + 1 < walk.size(); ++i) setTabOrder(walk[i], walk[i + 1]);
    walk.push_back(walk.front());  // Enter in the price of slot H goes back to the name of slot A
    enterMovesFocus(walk);
}

std::filesystem::path TfrmListinoPrezzi::archivePath() const { return std::filesystem::path(fileOnLabel(lblFile)); }

std::string TfrmListinoPrezzi::photoListName() const { return fileOnLabel(lblNome); }

void TfrmListinoPrezzi::clearControls() {
    for (PriceListSlotBox* box : bkgProdotto) box->clear();
}

void TfrmListinoPrezzi::putOnCard(std::span<const std::uint8_t> record) {
    for (PriceListSlotBox* box : bkgProdotto) box->putOnSlot(record.data() + slotOffset(box->index()));
}

void TfrmListinoPrezzi::fillRecord(std::span<std::uint8_t> record) const {
    for (PriceListSlotBox* box : bkgProdotto) box->fillSlot(record.data() + slotOffset(box->index()));
}

void TfrmListinoPrezzi::loadPagePhotos() {
    const std::filesystem::path folder = registry().programFolder();
    makePagePhotoFolder(folder);
    const std::string name = photoListName();
    for (PriceListSlotBox* box : bkgProdotto) {
        const auto path = pagePhotoPath(folder, name, box->index(), position());
        const QByteArray bytes = path ? readPictureFile(*path) : QByteArray();
        if (!box->imgFoto->showFileBytes(bytes)) box->imgFoto->showPlaceholder();
    }
}

bool TfrmListinoPrezzi::checkSave() {
    // Another list whose photos have the same names may have come since this one was opened: saving
    // would replace its photos.
    const std::filesystem::path archive = archivePath();
    const std::vector<std::string> others =
        archivesSharingPhotos(registry().programFolder(), archive.filename().string(), photoListName());
    if (others.empty()) return true;
    MessageService::warning(this,
                            toQString(sharedPhotosSaveRefusal(shownFileName(archive.filename().string()), others)));
    return false;
}

void TfrmListinoPrezzi::savePagePhotos() {
    unsaved_ = {};
    const std::filesystem::path folder = registry().programFolder();
    makePagePhotoFolder(folder);
    const std::string name = photoListName();
    const bool fits = pagePhotoNameFits(name, position());
    for (PriceListSlotBox* box : bkgProdotto) {
        const auto path = pagePhotoPath(folder, name, box->index(), position());
        // Each slot on its own: one that cannot be written shows the placeholder, and is told after the save.
        if (path && fits && writePagePhoto(*path, box->imgFoto->image())) continue;
        box->imgFoto->showPlaceholder();
        unsaved_.slots.push_back(box->index());
    }
    unsaved_.nameTooLong = !fits;
}

void TfrmListinoPrezzi::tellSaved(CardMessage message) {
    if (unsaved_.empty()) {
        CardScreen::tellSaved(message);
        return;
    }
    // One message: the page is in the archive, as the confirmation says, but not all of its photos.
    MessageService::warning(
        this, toQString(std::string(cardMessageText(message)) + "\r\n\r\n" + unsavedPhotosWarning(unsaved_)));
    unsaved_ = {};
}

void TfrmListinoPrezzi::cmdAnteprimaClick() {
    openPriceListPrint(registry(), this, PriceListPrintDialog::Mode::Preview);
}

void TfrmListinoPrezzi::cmdStampaClick() { openPriceListPrint(registry(), this, PriceListPrintDialog::Mode::Print); }

void TfrmListinoPrezzi::impProdottoClick(int index) {
    auto dialog = std::make_unique<TfrmImportaMagazzino>(registry(), this);
    dialog->lblMemory->setText(slotKey(index));
    dialog->exec();
}

}  // namespace scortavia
