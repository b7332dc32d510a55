#pragma once

#include <QFrame>
#include <array>
#include <filesystem>

#include "pricelists/PriceListPhotos.h"
#include "pricelists/PriceListReceiver.h"
#include "storage/PriceListPage.h"
#include "ui/CardScreen.h"

class QLabel;
class QLineEdit;

namespace scortavia {

class CaptionButton;
class PhotoBox;
class PictureButton;

// One slot of a price-list page, lettered A to H: the photo, the name with its import arrow, the
// appearance and features lines, the code and the price. Its controls end in the slot's letter
// (txtNome_C). It receives the product card imported into it.
class PriceListSlotBox final : public QFrame, public RecordTarget {
    Q_OBJECT
public:
    // `lblRecord` receives the position of each product imported; product photos are found in `programFolder`.
    PriceListSlotBox(int index, QLabel* lblRecord, std::filesystem::path programFolder, QWidget* parent);

    PhotoBox* imgFoto;
    QLineEdit* txtNome;
    PictureButton* impProdotto;
    QLineEdit* txtUM;
    QLineEdit* txtCaratteristiche;
    QLineEdit* txtCodice;
    QLineEdit* txtPrezzo;

    int index() const { return index_; }
    QChar letter() const { return QLatin1Char(PriceListPage::slotLetter(index_)); }
    // The five text boxes in the tab order: name, appearance, features, code, price.
    std::array<QLineEdit*, 5> boxesInTabOrder() const {
        return {txtNome, txtUM, txtCaratteristiche, txtCodice, txtPrezzo};
    }

    // Empty texts, the price "0,00" and the placeholder picture.
    void clear();
    void putOnSlot(const std::uint8_t* slot);
    void fillSlot(std::uint8_t* slot) const;

    // A click on the picture: a photo chosen from disk, or the placeholder when it cannot be read.
    void imgFotoClick();

    // The product card imported: its texts as stored, its position and its photo.
    void showRecord(std::span<const std::uint8_t> record, CardPosition position) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int index_;
    QLabel* lblRecord_;
    std::filesystem::path programFolder_;
};

// The page editor of a price list: one page of eight products of the list named by lblNome, whose
// archive lblFile names. Pages are browsed and saved as the other cards are; the photos of a saved
// page live in "Foto_Listino", one file per slot.
class TfrmListinoPrezzi final : public CardScreen, public PriceListReceiver {
    Q_OBJECT
public:
    explicit TfrmListinoPrezzi(ScreenRegistry& registry);

    QLabel* lblNome;    // the list's name, in the title bar
    QLabel* lblFile;    // the list's archive, full path
    QLabel* lblRecord;  // position of the product card last imported into a slot
    PhotoBox* imgBianco;

    CaptionButton* cmdNuovo;
    CaptionButton* cmdSalva;
    CaptionButton* cmdAnteprima;
    CaptionButton* cmdStampa;
    CaptionButton* cmdGuida;
    CaptionButton* cmdEsci;

    // bkgProdotto_01 to bkgProdotto_08: slots A to D in the left column, E to H in the right one.
    std::array<PriceListSlotBox*, PriceListPage::kSlots> bkgProdotto{};
    // The slot of a letter 'A' to 'H'.
    PriceListSlotBox* slot(char letter) const { return bkgProdotto.at(static_cast<std::size_t>(letter - 'A')); }

    // The eight pictures on screen written as the page photos of the page shown; a slot whose photo
    // cannot be written shows the placeholder from then on, and the save's message says so.
    void savePagePhotos();
    // The page photos of the page shown, or the placeholder for each one missing or unreadable.
    void loadPagePhotos();
    // Opens the product import for the slot at `index`.
    void impProdottoClick(int index);
    void cmdAnteprimaClick();
    void cmdStampaClick();

    std::filesystem::path archivePath() const override;
    void openPriceList(const ShownFileName& archive, const ShownFileName& name) override;

protected:
    void clearControls() override;
    void putOnCard(std::span<const std::uint8_t> record) override;
    void fillRecord(std::span<std::uint8_t> record) const override;
    void afterLoad() override { loadPagePhotos(); }
    void afterSave() override { savePagePhotos(); }
    bool checkSave() override;
    void tellSaved(CardMessage message) override;

private:
    QWidget* buildTitleBar(QWidget* parent);
    void wireSlots();
    // The name the page photos are named after, as the list's archive names it.
    std::string photoListName() const;

    UnsavedPhotos unsaved_;  // the photos the last save could not write
};

}  // namespace scortavia
