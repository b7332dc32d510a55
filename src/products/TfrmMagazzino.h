#pragma once

#include <array>

#include "products/ProductCard.h"
#include "ui/CardScreen.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace scortavia {

class BarcodeBox;
class CaptionButton;
class FocusFrame;
class PhotoBox;
class PictureButton;

// The product card: one product of "Magazzino.pro" at a time, created, browsed, changed,
// duplicated and saved.
class TfrmMagazzino final : public CardScreen {
    Q_OBJECT
public:
    explicit TfrmMagazzino(ScreenRegistry& registry);

    // Edit boxes, in tab order (and in record order).
    QLineEdit* txtCodice;
    QPushButton* btnGeneraCodice;
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
    BarcodeBox* imgCodiceBarre;

    CaptionButton* btnNuovo;
    CaptionButton* btnDuplica;
    CaptionButton* btnSalva;
    CaptionButton* btnTrova;
    CaptionButton* btnAnteprima;
    CaptionButton* btnStampa;
    CaptionButton* btnEtichette;
    CaptionButton* btnAllegati;
    CaptionButton* btnSottoscorta;
    CaptionButton* btnScaduti;
    CaptionButton* btnEsporta;
    CaptionButton* btnImporta;
    CaptionButton* btnGuida;
    CaptionButton* btnEsci;

    void btnAggiungiClick() { openStockDialog(true); }
    void btnSottraiClick() { openStockDialog(false); }
    void btnCaricaFotoClick();
    void btnAcquisisciFotoClick();
    void btnSalvaFotoClick();
    void btnZoomFotoClick();
    void btnTrovaClick();
    void btnSottoscortaClick();
    void btnScadutiClick();
    void btnStampaClick();
    void btnAnteprimaClick();
    void btnEtichetteClick();
    void btnEsportaClick();
    void btnImportaClick();
    void btnGeneraCodiceClick();

    FocusFrame* focusFrame(const QString& name) const;

protected:
    std::filesystem::path archivePath() const override;
    void clearControls() override;
    void putOnCard(std::span<const std::uint8_t> record) override;
    void fillRecord(std::span<std::uint8_t> record) const override;
    void afterLoad() override;
    void afterSave() override;
    bool prepareSave() override;
    bool checkSave() override;
    bool afterDuplicate() override;

private:
    void buildForm(QGridLayout* grid);
    QWidget* buildPhotoPanel(QWidget* parent);
    void wireBoxes();
    void openStockDialog(bool add);
    ProductTexts cardTexts() const;
    void warnAboutCheckDigit();

    std::array<QLineEdit*, 17> boxes_{};  // by record field, Codice to Prezzo
    // The code as it stands in the archive (empty on a new card): a save warns about a 13-digit code with a
    // wrong check digit only when the user typed it, not each time a supplier's code is saved again.
    QString storedCode_;
};

}  // namespace scortavia
