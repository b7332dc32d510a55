#pragma once

#include "app/ListScreen.h"
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

// Products whose stock is at or below their warning level.
class TfrmSottoscorta final : public ProductListScreen {
    Q_OBJECT
public:
    TfrmSottoscorta(ScreenRegistry& registry, QWidget* owner);

protected:
    void showEvent(QShowEvent* event) override;
};

// Products whose purchase is marked not paid.
class TfrmDaSaldare final : public ProductListScreen {
    Q_OBJECT
public:
    TfrmDaSaldare(ScreenRegistry& registry, QWidget* owner);

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace scortavia
