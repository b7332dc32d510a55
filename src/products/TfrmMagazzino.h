#pragma once

#include <array>

#include "ui/ScreenRegistry.h"
#include "products/ProductCard.h"
#include "storage/CardProtocol.h"

class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class CaptionButton;
class FocusFrame;
class PhotoBox;
class PictureButton;

// The product card: one product of "Magazzino.pro" at a time, created, browsed, changed,
// duplicated and saved.
class TfrmMagazzino final : public WorkArea {
    Q_OBJECT
public:
    explicit TfrmMagazzino(ScreenRegistry& registry);

    // Edit boxes, in tab order (and in record order).
    QLineEdit* txtCodice;
    QLineEdit* txtCosto;
    QLineEdit* txtNome;
    QLineEdit* txtGiacenza;
    QPushButton* btnAggiungi;
    QPushButton* btnSottrai;
    QLineEdit* txtAvviso;
    QLineEdit* txtUM;
    QLineEdit* txtTipologia;
    QLineEdit* txtCaratteristiche;
    QLineEdit* txtCollocazione;
    QLineEdit* txtDitta;
    QLineEdit* txtAgente;
    QLineEdit* txtRecapito;
    QLineEdit* txtDocumento;
    QLineEdit* txtPagamento;
    QCheckBox* chkPagato;
    QLineEdit* txtDataSca;
    PictureButton* delDataSca;
    QLineEdit* txtNote;
    QLineEdit* txtPrezzo;

    PhotoBox* imgFoto;
    PhotoBox* imgBianco;
    CaptionButton* btnCaricaFoto;
    CaptionButton* btnAcquisisciFoto;
    PictureButton* btnSalvaFoto;
    PictureButton* btnZoomFoto;
    PictureButton* btnCancFoto;

    PictureButton* cmdPrimo;
    PictureButton* cmdIndietro;
    QLabel* lblPosizione;
    PictureButton* cmdAvanti;
    PictureButton* cmdUltimo;

    CaptionButton* btnNuovo;
    CaptionButton* btnDuplica;
    CaptionButton* btnSalva;
    CaptionButton* btnTrova;
    CaptionButton* btnAnteprima;
    CaptionButton* btnStampa;
    CaptionButton* btnAllegati;
    CaptionButton* btnSottoscorta;
    CaptionButton* btnScaduti;
    CaptionButton* btnEsporta;
    CaptionButton* btnGuida;
    CaptionButton* btnEsci;

    QLabel* lblFile01;
    QLabel* lblFile02;
    QLabel* lblFile03;
    QLabel* lblDesc01;
    QLabel* lblDesc02;
    QLabel* lblDesc03;
    QLabel* panInfo;

    void clearCard();
    void btnNuovoClick();
    void btnDuplicaClick();
    void btnSalvaClick();
    void cmdPrimoClick() { navigate(CardAction::First); }
    void cmdIndietroClick() { navigate(CardAction::Previous); }
    void cmdAvantiClick() { navigate(CardAction::Next); }
    void cmdUltimoClick() { navigate(CardAction::Last); }
    void btnAggiungiClick() { openStockDialog(true); }
    void btnSottraiClick() { openStockDialog(false); }
    void txtDataScaKeyDown();
    void btnEsciClick() { close(); }
    void btnCaricaFotoClick();
    void btnAcquisisciFotoClick();
    void btnSalvaFotoClick();
    void btnZoomFotoClick();
    void btnAllegatiClick();
    void btnTrovaClick();
    void btnSottoscortaClick();
    void btnScadutiClick();
    void btnStampaClick();
    void btnAnteprimaClick();

    // Every control from a product record, as navigation and the product lists do.
    void putOnCard(const ProductTexts& texts);
    // A product chosen in a list: every control, its position and its photo.
    void showProduct(const ProductTexts& texts, std::int64_t position);
    ProductTexts cardTexts() const;

    FocusFrame* focusFrame(const QString& name) const;
    void present() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void buildToolbar(QBoxLayout* layout);
    void buildForm(QGridLayout* grid);
    void wireBoxes();
    void setHints();
    void navigate(CardAction action);
    void openStockDialog(bool add);
    void afterLoad();
    void afterSave();

    std::array<QLineEdit*, 17> boxes_{};   // by record field, Codice to Prezzo
    std::array<QLabel*, 6> attachments_{};  // File01 to Desc03
};

}  // namespace scortavia
