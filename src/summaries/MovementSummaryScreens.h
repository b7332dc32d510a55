#pragma once

#include "movements/MovementDirection.h"
#include "movements/YearReceivers.h"
#include "summaries/Summaries.h"
#include "ui/ListScreen.h"
#include "ui/ScreenRegistry.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class PictureButton;

// The period of a movement summary: the year (set by the year menu), an optional product code and the
// first and last day, chosen from lists. "Visualizza riepilogo" checks them and opens the summary.
// Goods-in and goods-out are this one screen given their direction.
class MovementPeriodScreen : public WorkArea, public YearArchiveReceiver, public SummaryYearReceiver {
    Q_OBJECT
public:
    QLineEdit* txtAnno;
    QLineEdit* txtTipologia;  // the product code filter
    QComboBox* txtGiornoInizio;
    QComboBox* txtMeseInizio;
    QLabel* lblAnnoInizio;
    QLabel* lblDataInizio;
    QComboBox* txtGiornoFine;
    QComboBox* txtMeseFine;
    QLabel* lblAnnoFine;
    QLabel* lblDataFine;
    QPushButton* btnVisualizza;
    QPushButton* btnEsci;
    QLabel* lblAttendere;
    QLabel* lblFile;
    QLabel* lblCampo01;
    QLabel* lblCampo02;
    QLabel* lblCampo03;

    const MovementDirection& direction() const { return direction_; }

    void btnVisualizzaClick();

    void openYear(const std::filesystem::path& archive, const QString& caption) override;
    void openSummaryYear(const QString& year) override;

protected:
    MovementPeriodScreen(ScreenRegistry& registry, const MovementDirection& direction);
    void showEvent(QShowEvent* event) override;
    void onClose() override;

private:
    const MovementDirection& direction_;
};

class TfrmMenuRiepilogoCarico final : public MovementPeriodScreen {
    Q_OBJECT
public:
    explicit TfrmMenuRiepilogoCarico(ScreenRegistry& registry) : MovementPeriodScreen(registry, kGoodsIn) {}
};

class TfrmMenuRiepilogoScarico final : public MovementPeriodScreen {
    Q_OBJECT
public:
    explicit TfrmMenuRiepilogoScarico(ScreenRegistry& registry) : MovementPeriodScreen(registry, kGoodsOut) {}
};

// The movements of the period screen's year archive dated within its period, of one product code or of
// all, in archive order, with their number and the sum of their totals.
class MovementSummaryList : public ListScreen {
    Q_OBJECT
public:
    QLabel* lblTipologia;
    QLabel* titTipologia;
    QLabel* infIntervallo;
    QLabel* lblIntervallo;
    QLabel* titTotMov;
    QLabel* txtTotMov;
    QLabel* infTotKmPercorsi;
    QLabel* lblTotCosti;
    PictureButton* imgGuida;

    void btnStampaClick() override;

protected:
    MovementSummaryList(MovementPeriodScreen& period, const MovementDirection& direction);
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    MovementPeriodScreen& period_;
    const MovementDirection& direction_;
    Status filled_ = Status::success();
    MovementSummary summary_;
};

class TfrmRiepilogoCarico final : public MovementSummaryList {
    Q_OBJECT
public:
    explicit TfrmRiepilogoCarico(MovementPeriodScreen& period) : MovementSummaryList(period, kGoodsIn) {}
};

class TfrmRiepilogoScarico final : public MovementSummaryList {
    Q_OBJECT
public:
    explicit TfrmRiepilogoScarico(MovementPeriodScreen& period) : MovementSummaryList(period, kGoodsOut) {}
};

}  // namespace scortavia
