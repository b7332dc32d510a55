#include "products/ProductListScreens.h"

#include <QLineEdit>
#include <QListView>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/RowListModel.h"
#include "ui/ScreenRegistry.h"
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

WatchListScreen::WatchListScreen(ScreenRegistry& registry, QWidget* owner, const QString& name, const QString& title,
                                 RowFormat format, Fill fill)
    : ProductListScreen(registry, owner, name, QStringLiteral(" ") + title, title, format), fill_(fill) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panContainer);
}

void WatchListScreen::showEvent(QShowEvent* event) {
    ProductListScreen::showEvent(event);
    if (event->spontaneous()) return;
    resetFind();
    RowList rows;
    fill_(archive(), rows);
    setRows(std::move(rows));
    txtTrova->setFocus();
}

}  // namespace scortavia
