#pragma once

#include <array>

#include "movements/MovementCard.h"
#include "movements/MovementDirection.h"
#include "movements/ProductImportTarget.h"
#include "movements/YearReceivers.h"
#include "ui/CardScreen.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace scortavia {

class CaptionButton;
class PictureButton;

// The movement card: one goods-in or goods-out movement of the year archive named by lblFile at a
// time. Goods-in and goods-out are this one screen given their direction.
class MovementCardScreen : public CardScreen, public ProductImportTarget, public YearArchiveReceiver {
    Q_OBJECT
public:
    // In tab order.
    QLineEdit* txtNumDoc;
    QLineEdit* txtDataDoc;
    QLineEdit* txtFornitore;
    QLineEdit* txtRecapiti;
    QLineEdit* txtData;
    QLineEdit* txtCodice;
    QLineEdit* txtTipologia;
    QLineEdit* txtMarca;
    QLineEdit* txtDescrizione;
    QLineEdit* txtCostoUni;
    QLineEdit* txtQuant;
    QLineEdit* txtCostoTot;
    QLineEdit* txtNote;
    QCheckBox* chkDaSaldare;

    PictureButton* btnImpEsame;
    PictureButton* btnCalcola;
    PictureButton* btnEtichette = nullptr;  // goods-in only: the labels of the card's day
    QLabel* lblFile;                        // the year archive, set by the year menu

    CaptionButton* cmdNuovo;
    CaptionButton* cmdDuplica;
    CaptionButton* cmdSalva;
    CaptionButton* cmdTrova;
    CaptionButton* cmdFile;
    CaptionButton* cmdStampa;
    CaptionButton* cmdEsporta;
    CaptionButton* cmdListino;
    CaptionButton* cmdGuida;
    CaptionButton* cmdEsci;

    const MovementDirection& direction() const { return direction_; }

    void btnCalcolaClick();
    void btnImpEsameClick();
    void btnEtichetteClick();
    void cmdTrovaClick();
    void cmdListinoClick();
    void cmdStampaClick();
    void cmdEsportaClick();

    // The year archive named by lblFile, read by the card and by the lists it opens.
    std::filesystem::path archivePath() const override;

    void importProduct(const ProductView& product, const QString& quantity) override;
    void openYear(const std::filesystem::path& archive, const QString& caption) override;

protected:
    MovementCardScreen(ScreenRegistry& registry, const MovementDirection& direction);

    void clearControls() override;
    void putOnCard(std::span<const std::uint8_t> record) override;
    void fillRecord(std::span<std::uint8_t> record) const override;
    bool prepareSave() override;
    bool afterDuplicate() override;

private:
    void buildForm(QGridLayout* grid);
    void wireBoxes();
    MovementTexts cardTexts() const;
    // Calcola; false, after a warning, when the total cannot be stored whole.
    bool calculateTotal();

    const MovementDirection& direction_;
    std::array<QLineEdit*, 13> boxes_{};  // by record field, Fornitore to Note
};

// Goods coming in from suppliers: year + ".odc".
class TfrmCarichi final : public MovementCardScreen {
    Q_OBJECT
public:
    explicit TfrmCarichi(ScreenRegistry& registry) : MovementCardScreen(registry, kGoodsIn) {}
};

// Goods going out to customers: year + ".ods".
class TfrmScarichi final : public MovementCardScreen {
    Q_OBJECT
public:
    explicit TfrmScarichi(ScreenRegistry& registry) : MovementCardScreen(registry, kGoodsOut) {}
};

}  // namespace scortavia
