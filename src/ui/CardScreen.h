#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "storage/CardProtocol.h"
#include "ui/RecordTarget.h"
#include "ui/ScreenRegistry.h"
#include "ui/TfrmAllegaCartella.h"

class QBoxLayout;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QVBoxLayout;

namespace scortavia {

class CaptionButton;
class HoverHints;
class PictureButton;

// What every card screen shares: the toolbar of picture buttons, the navigation arrows with the
// card's position between them, the status line with the hover hints, the six hidden attachment
// labels, and New / Duplicate / Save / First / Previous / Next / Last over the card protocol with
// its messages and the check of the mandatory boxes. A card fills in the hooks: the record on the
// card, the card into the record, and its own steps around loading and saving.
class CardScreen : public WorkArea, public RecordTarget, public AttachmentHolder {
    Q_OBJECT
public:
    // What a toolbar button does when the base runs it; `None` is wired by the card itself.
    enum class Command { None, New, Duplicate, Save, Attachments, Close };

    // One entry of a toolbar, left to right: a picture button, the navigation arrows, or a gap
    // that pushes what follows to the right.
    struct Tool {
        enum class Kind { Button, Navigation, Stretch };
        CaptionButton** button = nullptr;  // the card's member that receives the button
        const char* name = nullptr;
        const char* icon = nullptr;     // picture in the resources, without ":/" and ".svg"
        const char* caption = nullptr;  // under the icon; nullptr for an icon alone
        const char* hint = nullptr;
        Command command = Command::None;
        Kind kind = Kind::Button;

        static Tool navigation() { return Tool{.kind = Kind::Navigation}; }
        static Tool stretch() { return Tool{.kind = Kind::Stretch}; }
    };

    struct Design {
        const char* name;
        const char* caption;
        std::size_t recordSize;
        // The key the attachments dialog is given; nullptr for a card without attachments.
        const char* attachmentsKey = nullptr;
        // The key lists hand this card their records under; nullptr when they go elsewhere (to slots).
        const char* recordKey = nullptr;
        const char* positionCaption = "Scheda n.";
    };

    // A box that must not be blank when the card is saved, and what the user is told.
    struct Mandatory {
        QLineEdit* box;
        QString warning;
    };

    PictureButton* cmdPrimo;
    PictureButton* cmdIndietro;
    QLabel* lblPosizione;
    PictureButton* cmdAvanti;
    PictureButton* cmdUltimo;
    QLabel* panInfo;

    // The attached documents' names and descriptions; null on a card without attachments.
    QLabel* lblFile01 = nullptr;
    QLabel* lblFile02 = nullptr;
    QLabel* lblFile03 = nullptr;
    QLabel* lblDesc01 = nullptr;
    QLabel* lblDesc02 = nullptr;
    QLabel* lblDesc03 = nullptr;

    // The card's place in its archive; lblPosizione shows it, empty for a new card.
    CardPosition position() const { return position_; }
    void setPosition(CardPosition position);

    // Starts a new empty card (New, and every time the screen is shown).
    void clearCard();
    void duplicateCard();
    void saveCard();
    void navigate(CardAction action);
    void openAttachments();

    void showRecord(std::span<const std::uint8_t> record, CardPosition position) override;

    // The six attachment texts, names then descriptions (File01..File03, Desc01..Desc03).
    AttachmentTexts attachmentTexts() const override;
    void setAttachmentTexts(const AttachmentTexts& texts) override;

protected:
    CardScreen(ScreenRegistry& registry, const Design& design);

    // Hooks of the card.
    virtual std::filesystem::path archivePath() const = 0;
    // Every control to its design state (New); the base then empties the position and the attachments.
    virtual void clearControls() = 0;
    // The record on the card, field by field, attachments included (setAttachmentTexts).
    virtual void putOnCard(std::span<const std::uint8_t> record) = 0;
    // The card into a zeroed record buffer, field by field in record order.
    virtual void fillRecord(std::span<std::uint8_t> record) const = 0;
    virtual void afterLoad() {}
    virtual void afterSave() {}
    // Before the mandatory check (blank numbers, computed totals); false stops the save.
    virtual bool prepareSave() { return true; }
    // After the mandatory check: what else must hold for the record to be written.
    virtual bool checkSave() { return true; }
    // After the position and the attachments of a duplicate were emptied; false stops before the message.
    virtual bool afterDuplicate() { return true; }
    // The message that ends a save that reached the archive, after the after-save step: a card that
    // has more to tell about that step (files beside the record that could not be written) says it here.
    virtual void tellSaved(CardMessage message) { tell(message); }
    void tell(CardMessage message);

    // Building blocks for the card's constructor.
    void buildToolbar(std::initializer_list<Tool> tools);
    // The arrows and the position, for a card that places them outside its toolbar.
    QWidget* navigationBar() const { return panNavigazione_; }
    // The area under the toolbar, for the card's own panels.
    QVBoxLayout* bodyLayout() const { return body_; }
    void setMandatory(std::vector<Mandatory> boxes) { mandatory_ = std::move(boxes); }
    // Where the focus goes on a new or duplicated card.
    void setFirstBox(QWidget* box) { firstBox_ = box; }
    void setHint(QWidget* control, const char* hint);
    // A read-only date box filled from the calendar, which is given `calendarKey`.
    void makeCalendarBox(QLineEdit* box, const char* calendarKey);

    void showEvent(QShowEvent* event) override;

private:
    void buildNavigation();
    void runCommand(Command command);
    bool checkMandatory();

    std::size_t recordSize_;
    QString attachmentsKey_;
    CardPosition position_ = kNewCard;
    std::vector<Mandatory> mandatory_;
    QWidget* firstBox_ = nullptr;
    QVBoxLayout* body_;
    QFrame* panComandi_;
    QHBoxLayout* toolbar_;
    QWidget* panNavigazione_;
    HoverHints* hints_;
    bool hintsWatched_ = false;
    std::array<QLabel*, 6> attachments_{};
};

}  // namespace scortavia
