#pragma once

#include <QDialog>
#include <array>
#include <string>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace scortavia {

class PictureButton;
class ScreenRegistry;

// The names of three attached documents and their descriptions: File01..File03, Desc01..Desc03.
using AttachmentTexts = std::array<std::string, 6>;

// A card that keeps the names and descriptions of up to three attached documents.
class AttachmentHolder {
public:
    virtual ~AttachmentHolder() = default;
    virtual AttachmentTexts attachmentTexts() const = 0;
    virtual void setAttachmentTexts(const AttachmentTexts& texts) = 0;
};

// The three attached documents of the card on screen: each slot is a bare file name in the shared
// "Documenti_Allegati" folder and a free description. The caller's key in lblMemory says which
// card gets the six texts back.
class TfrmAllegaCartella final : public QDialog {
    Q_OBJECT
public:
    TfrmAllegaCartella(ScreenRegistry& registry, QWidget* owner);

    static constexpr int kSlots = 3;

    QLabel* lblNome01;
    QLineEdit* txtFile01;
    QPushButton* btnSfoglia01;
    QPushButton* btnApri01;
    PictureButton* imgCancella01;
    QLabel* lblDescrizione01;
    QLineEdit* txtDesc01;

    QLabel* lblNome02;
    QLineEdit* txtFile02;
    QPushButton* btnSfoglia02;
    QPushButton* btnApri02;
    PictureButton* imgCancella02;
    QLabel* lblDescrizione02;
    QLineEdit* txtDesc02;

    QLabel* lblNome03;
    QLineEdit* txtFile03;
    QPushButton* btnSfoglia03;
    QPushButton* btnApri03;
    PictureButton* imgCancella03;
    QLabel* lblDescrizione03;
    QLineEdit* txtDesc03;

    QPushButton* btnApplica;
    QPushButton* btnAnnulla;
    QLabel* lblMemory;

    // The caller's texts, trimmed, into the six boxes.
    void setTexts(const AttachmentTexts& texts);

    // Slot handlers; `slot` is 0 for the controls ending in 01, up to 2 for those ending in 03.
    void btnSfogliaClick(int slot);
    void btnApriClick(int slot);
    void imgCancellaClick(int slot);
    void txtFileChange(int slot);
    void btnApplicaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Slot {
        QLineEdit* file;
        QPushButton* browse;
        QPushButton* open;
        PictureButton* remove;
        QLineEdit* text;
    };

    // Creates the controls of one slot into the given members and lays them out.
    void buildSlot(QGridLayout* grid, int slot, QLabel*& name, QLineEdit*& file, QPushButton*& browse,
                   QPushButton*& open, PictureButton*& remove, QLabel*& description, QLineEdit*& text);
    QString attachmentFolder() const;

    ScreenRegistry& registry_;
    std::array<Slot, kSlots> slots_{};
};

}  // namespace scortavia
