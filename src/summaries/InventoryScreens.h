#pragma once

#include "summaries/Summaries.h"
#include "ui/ListScreen.h"
#include "ui/ScreenRegistry.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class PictureButton;

// The inventory's prompt: a product category, or none for every product, then "Visualizza".
class TfrmMenuRiepilogo final : public WorkArea {
    Q_OBJECT
public:
    explicit TfrmMenuRiepilogo(ScreenRegistry& registry);

    QLineEdit* txtTipologia;
    QPushButton* btnVisualizza;
    QLabel* lblApri;
    QLabel* lblInformazioni;
    QLabel* lblAttendere;
    PictureButton* imgEsci;
    PictureButton* imgGuida;

    void btnVisualizzaClick();

protected:
    void showEvent(QShowEvent* event) override;
    void onClose() override;
};

// The products of the prompt's category, sorted, each with its stock value, and the value of them all.
class TfrmRiepilogo final : public ListScreen {
    Q_OBJECT
public:
    TfrmRiepilogo(ScreenRegistry& registry, TfrmMenuRiepilogo& prompt);

    QLabel* lblTipologia;
    QLabel* titTipologia;
    QLabel* panInfo;
    QLabel* infValore;
    QLabel* lblTotale;
    PictureButton* imgGuida;

    void btnStampaClick() override;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    TfrmMenuRiepilogo& prompt_;
    Status filled_ = Status::success();
    Inventory inventory_;
};

}  // namespace scortavia
