#pragma once

#include "ui/ListScreen.h"
#include "products/ProductLists.h"

namespace scortavia {

// A list of products whose double click puts the chosen product on the product card.
class ProductListScreen : public ListScreen {
    Q_OBJECT
public:
    ProductListScreen(ScreenRegistry& registry, QWidget* owner, const QString& name, const QString& caption,
                      const QString& printTitle, RowFormat format);

protected:
    void lstRecordsDblClick() override;
    // The search screen also checks who opened it.
    virtual bool putsOnCard() const { return true; }
    std::filesystem::path archive() const;

private:
    RowFormat format_;
};

// A watch list: one panel, filled once when shown; a failure keeps the rows gathered so far, silently.
class WatchListScreen : public ProductListScreen {
    Q_OBJECT
public:
    using Fill = Status (*)(const std::filesystem::path& archive, RowList& rows);
    WatchListScreen(ScreenRegistry& registry, QWidget* owner, const QString& name, const QString& title,
                    RowFormat format, Fill fill);

protected:
    void showEvent(QShowEvent* event) override;

private:
    Fill fill_;
};

// Products whose stock is at or below their warning level.
class TfrmSottoscorta final : public WatchListScreen {
    Q_OBJECT
public:
    TfrmSottoscorta(ScreenRegistry& registry, QWidget* owner)
        : WatchListScreen(registry, owner, QStringLiteral("frmSottoscorta"), QStringLiteral("Merce in esaurimento"),
                          RowFormat::A, &fillUnderStockList) {}
};

// Products whose purchase is marked not paid.
class TfrmDaSaldare final : public WatchListScreen {
    Q_OBJECT
public:
    TfrmDaSaldare(ScreenRegistry& registry, QWidget* owner)
        : WatchListScreen(registry, owner, QStringLiteral("frmDaSaldare"),
                          QStringLiteral("Riepilogo pagamenti non saldati"), RowFormat::B, &fillUnpaidList) {}
};

}  // namespace scortavia
