#include "products/ProductListScreens.h"

#include <QLineEdit>
#include <QListView>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/RowListModel.h"
#include "app/ScreenRegistry.h"
#include "products/ProductCard.h"
#include "products/TfrmMagazzino.h"
#include "storage/ArchivePaths.h"

namespace scortavia {

ProductListScreen::ProductListScreen(ScreenRegistry& registry, QWidget* owner, const QString& name,
                                     const QString& caption, const QString& printTitle, RowFormat format)
    : ListScreen(registry, owner, name, caption, printTitle), format_(format) {}

std::filesystem::path ProductListScreen::archive() const { return paths::productArchive(registry().programFolder()); }

void ProductListScreen::lstRecordsDblClick() {
    const auto row = selectedRow();
    if (!row) return;
    const auto found = findProductByRow(archive(), model()->rows()[*row], format_);
    if (!found || !found->has_value() || !putsOnCard()) return;
    if (auto* card = registry().get<TfrmMagazzino>(QStringLiteral("frmMagazzino"))) {
        card->showProduct(productTextsOf((*found)->record.view()), (*found)->position);
    }
}

TfrmSottoscorta::TfrmSottoscorta(ScreenRegistry& registry, QWidget* owner)
    : ProductListScreen(registry, owner, QStringLiteral("frmSottoscorta"), QStringLiteral(" Merce in esaurimento"),
                        QStringLiteral("Merce in esaurimento"), RowFormat::A) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panContainer);
}

void TfrmSottoscorta::showEvent(QShowEvent* event) {
    ProductListScreen::showEvent(event);
    if (event->spontaneous()) return;
    resetFind();
    RowList rows;
    fillUnderStockList(archive(), rows);  // a failure keeps the rows gathered so far, silently
    setRows(std::move(rows));
    txtTrova->setFocus();
}

TfrmDaSaldare::TfrmDaSaldare(ScreenRegistry& registry, QWidget* owner)
    : ProductListScreen(registry, owner, QStringLiteral("frmDaSaldare"),
                        QStringLiteral(" Riepilogo pagamenti non saldati"),
                        QStringLiteral("Riepilogo pagamenti non saldati"), RowFormat::B) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panContainer);
}

void TfrmDaSaldare::showEvent(QShowEvent* event) {
    ProductListScreen::showEvent(event);
    if (event->spontaneous()) return;
    resetFind();
    RowList rows;
    fillUnpaidList(archive(), rows);
    setRows(std::move(rows));
    txtTrova->setFocus();
}

}  // namespace scortavia
