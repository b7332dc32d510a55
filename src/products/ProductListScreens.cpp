#include "products/ProductListScreens.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

#include "labels/LabelProducts.h"
#include "labels/TfrmEtichette.h"
#include "products/ProductRows.h"
#include "products/ScannedCode.h"
#include "storage/ArchivePaths.h"
#include "storage/CardProtocol.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/RecordTarget.h"
#include "ui/RowListModel.h"
#include "ui/ScanDetector.h"
#include "ui/ScreenRegistry.h"

namespace scortavia {
namespace {

// In the order Enter walks them, which is also the order of the search fields.
constexpr SearchScreen::Field kSearchBoxes[] = {
    {"txtCodice", "Codice articolo:", "effCampo01"},
    {"txtCosto", "Costo unitario:", "effCampo02"},
    {"txtNome", "Nome prodotto:", "effCampo03"},
    {"txtTipologia", "Categoria merceologica:", "effCampo04"},
    {"txtCaratteristiche", "Caratteristiche:", "effCampo05"},
    {"txtCollocazione", "Collocazione in magazzino:", "effCampo06"},
    {"txtDitta", "Ditta fornitrice:", "effCampo07"},
    {"txtAgente", "Agente:", "effCampo08"},
    {"txtDocumento", "Documento di acquisto:", "effCampo09"},
    {"txtNote", "Note:", "effCampo10"},
};
static_assert(std::size(kSearchBoxes) == kSearchFields.size());

std::filesystem::path archiveOf(const ScreenRegistry& registry) {
    return paths::productArchive(registry.programFolder());
}

// The watch lists always open their rows on the product card.
ListScreen::Target productCard(const ScreenRegistry& registry) {
    return [&registry] { return registry.handOver().receiver<HandOver::RecordLoad>(toQString(kProductCardKey)); };
}

}  // namespace

ListScreen::Find productOfRow(const ScreenRegistry& registry, RowFormat format) {
    return [archive = archiveOf(registry), format](std::string_view row) {
        return findProductByRow(archive, row, format);
    };
}

namespace {

// A watch list: filled from the product archive each time it is shown; a row opens on the product card.
using ProductFill = Status (*)(const std::filesystem::path& archive, RowList& rows);
void watchProducts(ListScreen& list, const ScreenRegistry& registry, ProductFill fill, RowFormat format) {
    list.fillWhenShown([archive = archiveOf(registry), fill](RowList& rows) { return fill(archive, rows); });
    list.openRowsIn(productOfRow(registry, format), productCard(registry));
}

}  // namespace

TfrmSottoscorta::TfrmSottoscorta(ScreenRegistry& registry, QWidget* owner)
    : ListScreen(owner,
                 {.name = "frmSottoscorta", .caption = " Merce in esaurimento", .printTitle = "Merce in esaurimento"}) {
    fillWhenShown([this, archive = archiveOf(registry)](RowList& rows) {
        SkippedRecords skipped;
        Status filled = fillUnderStockList(archive, rows, &skipped);
        if (!skipped.empty()) {
            // Once the list is on screen, so the warning stands over the rows it is about.
            QTimer::singleShot(
                0, this, [this, text = skippedRecordsWarning(skipped, false)] { MessageService::warning(this, text); });
        }
        return filled;
    });
    openRowsIn(productOfRow(registry, RowFormat::A), productCard(registry));
    showHeadings(listHeadings(kProductRowA));
}

TfrmDaSaldare::TfrmDaSaldare(ScreenRegistry& registry, QWidget* owner)
    : ListScreen(owner, {.name = "frmDaSaldare",
                         .caption = " Riepilogo pagamenti non saldati",
                         .printTitle = "Riepilogo pagamenti non saldati"}) {
    watchProducts(*this, registry, &fillUnpaidList, RowFormat::B);
    showHeadings(listHeadings(kProductRowB));
}

ProductSearchScreen::ProductSearchScreen(ScreenRegistry& registry, QWidget* owner, const Design& design)
    : SearchScreen(owner, design, kSearchBoxes,
                   [archive = archiveOf(registry)](const std::vector<std::string>& typed, RowList& rows) {
                       SearchTexts texts;
                       std::copy(typed.begin(), typed.end(), texts.begin());
                       return fillSearchList(archive, texts, rows);
                   }),
      archive_(archiveOf(registry)) {
    const auto& f = fields();
    txtCodice = f[0], txtCosto = f[1], txtNome = f[2], txtTipologia = f[3], txtCaratteristiche = f[4];
    txtCollocazione = f[5], txtDitta = f[6], txtAgente = f[7], txtDocumento = f[8], txtNote = f[9];
    // Only the caller named in lblMemory receives the product.
    openRowsIn(productOfRow(registry, RowFormat::A),
               [this, &registry] { return registry.handOver().receiver<HandOver::RecordLoad>(receiverKey()); });
    showHeadings(listHeadings(kProductRowA));
}

QString ProductSearchScreen::receiverKey() const { return lblMemory->text(); }

bool ProductSearchScreen::codeScanned(const QString& code) {
    const auto rowA = [](std::string& row, const ProductView& product) {
        appendProductRow(row, product, RowFormat::A);
    };
    const std::string scanned = toStd(code);
    if (panAvvio->isVisible()) {
        // Before a search the code is searched for on its own, whatever else was typed: the product
        // scanned is the one wanted.
        const Result<bool> known = archiveHasScannedCode(archive_, scanned);
        if (!known) {
            MessageService::plain(this, kMsgArchiveAccess);
            return false;
        }
        if (!*known) {
            MessageService::warning(this, unknownCodeMessage(code));
            return false;
        }
        for (QLineEdit* box : fields()) box->clear();
        txtCodice->setText(code);
        btnCercaClick();
    }
    const auto places = rowsOfScannedCode(archive_, scanned, model()->rows(), rowA);
    if (!places || places->empty()) {
        MessageService::warning(this, unknownCodeMessage(code));
        return false;
    }
    // The row is chosen, and Enter on it puts the product on the card as a double click would.
    selectRow(places->front());
    lstRecords->setFocus();
    return true;
}

TfrmTrovaMagazzino::TfrmTrovaMagazzino(ScreenRegistry& registry, QWidget* owner)
    : ProductSearchScreen(registry, owner,
                          {.name = "frmTrovaMagazzino",
                           .caption = " Trova prodotti in magazzino",
                           .printTitle = "Riepilogo prodotti in magazzino",
                           .multipleRows = true,
                           .actionName = "btnEtichette",
                           .actionCaption = "Etichette"}),
      registry_(registry) {
    new ScanDetector(this, [this](const QString& code) { return codeScanned(code); });
    btnAzione->setToolTip(
        QStringLiteral("Stampa le etichette dei prodotti scelti in elenco (Ctrl o Maiusc con il "
                       "clic per sceglierne più di uno)."));
    connect(btnAzione, &QPushButton::clicked, this, &TfrmTrovaMagazzino::btnEtichetteClick);
}

void TfrmTrovaMagazzino::btnEtichetteClick() {
    std::vector<std::string_view> rows;
    for (const std::size_t row : selectedRows()) rows.push_back(model()->rows()[row]);
    // The products of all the rows chosen, read in one pass over the archive.
    std::vector<LabelProduct> labels;
    if (const auto found = findProductsByRows(archive(), rows, RowFormat::A)) {
        for (const std::optional<FoundRecord>& product : *found)
            if (product) labels.push_back(labelProduct(ProductView(product->bytes.data())));
    }
    TfrmEtichette(registry_, this, std::move(labels)).exec();
}

}  // namespace scortavia
