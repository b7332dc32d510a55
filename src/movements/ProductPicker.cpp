#include "movements/ProductPicker.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "movements/ProductImportTarget.h"
#include "movements/StockPicker.h"
#include "products/ProductCard.h"
#include "products/ProductRows.h"
#include "products/ScannedCode.h"
#include "products/TfrmWebCam.h"
#include "storage/ArchivePaths.h"
#include "storage/MovementRecord.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/RowListModel.h"
#include "ui/ScanDetector.h"
#include "ui/ScreenRegistry.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr std::string_view kMsgNothingPicked =
    "Attenzione: selezionare un articolo dall'elenco prima di premere il pulsante di importazione.";
constexpr std::string_view kMsgNotANumber =
    "Attenzione: la quantità indicata, o la giacenza registrata nella scheda del prodotto, non è un numero.\n\n"
    "La giacenza del prodotto non è stata modificata.";
constexpr std::string_view kMsgQuantityTooLong =
    "Attenzione: la quantità indicata supera i 15 caratteri che la scheda dell'operazione può contenere.\n\n"
    "La giacenza del prodotto non è stata modificata.";
static_assert(MovementRecord::Info::capacity(MovementLayout::Quant) == 15, "the warning names the card's box");
constexpr std::string_view kMsgRowGone =
    "Attenzione: nell'archivio dei prodotti non c'è più un articolo con il codice di questa riga: la sua scheda è "
    "stata modificata da un'altra postazione.\n\nL'elenco è stato aggiornato: scegliere di nuovo l'articolo.";
constexpr std::string_view kMsgRowAmbiguous =
    "Attenzione: la scheda dell'articolo di questa riga è stata modificata da un'altra postazione e ora più "
    "articoli con lo stesso codice corrispondono alla riga.\n\nL'elenco è stato aggiornato: scegliere di nuovo "
    "l'articolo.";
constexpr std::string_view kMsgCodeChanged =
    "Attenzione: la scheda del prodotto scelto è stata modificata da un'altra postazione e non contiene più lo "
    "stesso codice articolo.\n\nLa giacenza non è stata modificata: scegliere di nuovo l'articolo dall'elenco.";
constexpr std::string_view kMsgNoAccess =
    "Attenzione: il sistema non permette di accedere all'archivio dei prodotti.\n\n"
    "La giacenza del prodotto non è stata modificata.";

QLineEdit* pickedBox(const char* name, QWidget* parent) {
    QLineEdit* box = editBox(QString::fromLatin1(name), 32767, parent);
    box->setReadOnly(true);
    return box;
}

}  // namespace

ProductPicker::ProductPicker(ScreenRegistry& registry, QWidget* owner, const MovementDirection& direction)
    : ListScreen(owner, {.name = direction.pickerName.data(),
                         .caption = " Importa dati da magazzino",
                         .printTitle = "Riepilogo merce in magazzino",
                         .rowHint = "Richiamare i dati di una scheda selezionandola con un clic."}),
      registry_(registry),
      direction_(direction) {
    auto* heading =
        captionLabel(QStringLiteral("imgIntestazione"), QStringLiteral("Importa dati da magazzino"), panContainer);
    heading->setProperty("heading", true);
    containerLayout()->insertWidget(0, heading);

    auto* grid = formGrid(10, 8);
    titCodice = captionLabel(QStringLiteral("titCodice"), QStringLiteral("Codice articolo:"), panContainer);
    txtCodice = pickedBox("txtCodice", panContainer);
    titDesc = captionLabel(QStringLiteral("titDesc"), QStringLiteral("Nome prodotto:"), panContainer);
    txtNome = pickedBox("txtNome", panContainer);
    titGiacenza = captionLabel(QStringLiteral("titGiacenza"), QStringLiteral("Giacenza attuale:"), panContainer);
    txtGiacenza = pickedBox("txtGiacenza", panContainer);
    txtGiacenza->setText(QStringLiteral("0"));
    titQuant = captionLabel(QStringLiteral("titQuant"), toQString(direction.pickerQuantityCaption), panContainer);
    txtQuant = editBox(QStringLiteral("txtQuant"), 32767, panContainer);
    txtQuant->setText(QStringLiteral("0"));
    btnImporta =
        textButton(QStringLiteral("btnImporta"), QStringLiteral("Importa dati e aggiorna giacenza"), panContainer);
    btnImporta->setEnabled(false);
    btnScansiona = textButton(QStringLiteral("btnScansiona"), QStringLiteral("Scansiona"), panContainer);
    btnScansiona->setToolTip(QStringLiteral("Leggi il codice a barre del prodotto con la webcam"));
    for (QLineEdit* box : {txtGiacenza, txtQuant}) box->setFixedWidth(110);
    grid->addWidget(titCodice, 0, 0);
    grid->addWidget(txtCodice, 0, 1);
    grid->addWidget(titGiacenza, 0, 2);
    grid->addWidget(txtGiacenza, 0, 3);
    grid->addWidget(btnScansiona, 0, 4);
    grid->addWidget(titDesc, 1, 0);
    grid->addWidget(txtNome, 1, 1);
    grid->addWidget(titQuant, 1, 2);
    grid->addWidget(txtQuant, 1, 3);
    grid->addWidget(btnImporta, 1, 4);
    grid->setColumnStretch(1, 1);
    containerLayout()->addLayout(grid);
    lblPosizione = hiddenLabel(QStringLiteral("lblPosizione"), this);
    showHeadings(listHeadings(productRowAEndingWith(direction.rowValueLiteral, direction.copiedValue)));

    const std::filesystem::path products = archive();
    fillWhenShown([products, &direction](RowList& rows) { return fillPickerList(products, direction, rows); });
    txtTrova->installEventFilter(this);
    connect(lstRecords, &QListView::clicked, this, &ProductPicker::lstRecordsClick);
    connect(btnImporta, &QPushButton::clicked, this, &ProductPicker::btnImportaClick);
    new ScanDetector(this, [this](const QString& code) { return codeScanned(code); });
    connect(btnScansiona, &QPushButton::clicked, this, &ProductPicker::btnScansionaClick);
}

ProductPicker::ScanPick ProductPicker::pickScannedCode(const QString& code) {
    const MovementDirection& direction = direction_;
    const auto places = rowsOfScannedCode(
        archive(), toStd(code), model()->rows(),
        [&direction](std::string& row, const ProductView& product) { appendPickerRow(row, product, direction); });
    if (!places) return ScanPick::AccessFailed;
    if (places->empty()) return ScanPick::Unknown;
    // Several products with one code: the first is picked, and the list shows the others beside it.
    selectRow(places->front());
    lstRecordsClick();
    if (!btnImporta->isEnabled()) return ScanPick::AccessFailed;
    txtQuant->setFocus();
    txtQuant->selectAll();
    return ScanPick::Picked;
}

bool ProductPicker::codeScanned(const QString& code) {
    switch (pickScannedCode(code)) {
        case ScanPick::Picked:
            return true;
        case ScanPick::Unknown:
            MessageService::warning(this, unknownCodeMessage(code));
            return false;
        case ScanPick::AccessFailed:
            MessageService::warning(this, kMsgNoAccess);
            return false;
    }
    return false;
}

void ProductPicker::btnScansionaClick() {
    // A code read but unknown leaves the camera looking: the next package may be held up at once.
    auto webcam = std::make_unique<TfrmWebCam>(
        registry_, this, [this](const QString& code) { return pickScannedCode(code) == ScanPick::Picked; });
    webcam->exec();
}

std::filesystem::path ProductPicker::archive() const { return paths::productArchive(registry_.programFolder()); }

bool ProductPicker::eventFilter(QObject* watched, QEvent* event) {
    // A key in the find box (before it takes effect) drops the pick: a product must be clicked again.
    if (watched == txtTrova && event->type() == QEvent::KeyPress) forgetPick();
    return ListScreen::eventFilter(watched, event);
}

void ProductPicker::forgetPick() {
    txtCodice->clear();
    txtNome->clear();
    txtGiacenza->clear();
    lblPosizione->clear();
    btnImporta->setEnabled(false);
}

void ProductPicker::lstRecordsClick() {
    // An unreadable archive, or no row under the click, leaves the pick as it was.
    const auto place = selectedRow();
    if (!place) return;
    const PickedProduct picked = pickProduct(archive(), model()->rows()[*place], direction_);
    switch (picked.outcome) {
        case PickOutcome::Found:
            break;
        case PickOutcome::Refreshed:
            // Another copy of the program changed the product since the list was filled.
            replaceRow(*place, picked.row);
            break;
        case PickOutcome::Gone:
        case PickOutcome::Ambiguous:
            MessageService::warning(this, picked.outcome == PickOutcome::Gone ? kMsgRowGone : kMsgRowAmbiguous);
            fillAgain();
            return;
        case PickOutcome::AccessFailed:
            return;
    }
    const ProductView product = picked.record.view();
    btnImporta->setEnabled(true);
    txtCodice->setText(QString::fromStdString(product.text(ProductLayout::Codice)));
    txtNome->setText(QString::fromStdString(product.text(ProductLayout::Nome)));
    txtGiacenza->setText(QString::fromStdString(product.text(ProductLayout::Giacenza)));
    lblPosizione->setText(QString::number(picked.position));
}

void ProductPicker::replaceRow(std::size_t place, const std::string& row) {
    const RowList& rows = model()->rows();
    RowList replaced;
    replaced.reserve(rows.size(), rows.size() > 0 ? rows[0].size() + 8 : 0);
    for (std::size_t i = 0; i < rows.size(); ++i) replaced.add(i == place ? std::string_view(row) : rows[i]);
    QScrollBar* sideways = lstRecords->horizontalScrollBar();
    const int scrolled = sideways->value();
    setRows(std::move(replaced));
    selectRow(place);
    sideways->setValue(scrolled);
}

void ProductPicker::fillAgain() {
    RowList rows;
    static_cast<void>(fillPickerList(archive(), direction_, rows));  // as when shown: the rows read so far
    setRows(std::move(rows));
}

void ProductPicker::lstRecordsEnter() { lstRecordsClick(); }

void ProductPicker::btnImportaClick() {
    if (!selectedRow()) {
        MessageService::warning(this, kMsgNothingPicked);
        return;
    }
    if (txtGiacenza->text().trimmed().isEmpty()) txtGiacenza->setText(QStringLiteral("0"));
    if (txtQuant->text().trimmed().isEmpty()) txtQuant->setText(QStringLiteral("0"));
    // The stock moves from what is stored now, under the record's lock, not from what the list showed:
    // another copy of the program may have moved the same product since the click.
    const StockMove move = moveProductStock(archive(), lblPosizione->text().toLongLong(), toStd(txtCodice->text()),
                                            toStd(txtQuant->text()), direction_);
    switch (move.outcome) {
        case StockMoveOutcome::Moved:
            break;
        case StockMoveOutcome::NotANumber:
            MessageService::warning(this, kMsgNotANumber);
            return;
        case StockMoveOutcome::QuantityTooLong:
            MessageService::warning(this, kMsgQuantityTooLong);
            return;
        case StockMoveOutcome::DoesNotFit:
            MessageService::warning(this, kMsgStockOutOfRange);
            return;
        case StockMoveOutcome::CodeChanged:
            MessageService::warning(this, kMsgCodeChanged);
            return;
        case StockMoveOutcome::AccessFailed:
            MessageService::warning(this, kMsgNoAccess);
            return;
    }
    txtGiacenza->setText(QString::fromStdString(move.newStock));
    if (auto* card = registry_.handOver().receiver<HandOver::ProductImport>(toQString(direction_.token))) {
        card->importProduct(move.record.view(), QString::fromStdString(quantityForCard(toStd(txtQuant->text()))));
    }
    close();
}

std::unique_ptr<ProductPicker> makeProductPicker(ScreenRegistry& registry, QWidget* owner,
                                                 const MovementDirection& direction) {
    if (direction.direction == Direction::GoodsIn) return std::make_unique<TfrmImportaMagazzinoCar>(registry, owner);
    return std::make_unique<TfrmImportaMagazzinoSca>(registry, owner);
}

}  // namespace scortavia
