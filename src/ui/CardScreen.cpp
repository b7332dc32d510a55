#include "ui/CardScreen.h"

#include <QDate>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>
#include <memory>
#include <string_view>

#include "common/TextRules.h"
#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/TfrmCalendario.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr const char* kReady = "Pronto per archiviare una nuova scheda...";
constexpr const char* kDateBoxHint =
    "Fai clic su questo campo e premi un tasto qualsiasi per importare una data dal calendario.";

struct Arrow {
    PictureButton* CardScreen::*member;
    const char* name;
    const char* picture;
    const char* hint;
    CardAction action;
    const char* keys;
};

// Keys that no edit box of a card uses for itself, so they reach the card wherever the focus is.
constexpr Arrow kArrows[] = {
    {&CardScreen::cmdPrimo, "cmdPrimo", ":/nav_primo.svg", "Visualizza la prima scheda in archivio.", CardAction::First,
     "Alt+Home"},
    {&CardScreen::cmdIndietro, "cmdIndietro", ":/nav_indietro.svg", "Visualizza la scheda precedente in archivio.",
     CardAction::Previous, "Ctrl+PgUp"},
    {&CardScreen::cmdAvanti, "cmdAvanti", ":/nav_avanti.svg", "Visualizza la scheda successiva in archivio.",
     CardAction::Next, "Ctrl+PgDown"},
    {&CardScreen::cmdUltimo, "cmdUltimo", ":/nav_ultimo.svg", "Visualizza l'ultima scheda in archivio.",
     CardAction::Last, "Alt+End"},
};

// The toolbar's pictures take no focus, so a keyboard reaches them through these keys; a picture
// means the same on every card, and so does its key.
struct ToolKey {
    const char* icon;
    const char* keys;
};
constexpr ToolKey kToolKeys[] = {
    {"tb_nuovo", "Ctrl+N"},          {"tb_duplica", "Ctrl+Shift+D"},   {"tb_salva", "Ctrl+S"},
    {"tb_trova", "Ctrl+F"},          {"tb_anteprima", "Ctrl+Shift+P"}, {"tb_stampa", "Ctrl+P"},
    {"tb_allegati", "Ctrl+Shift+A"}, {"tb_sottoscorta", "F7"},         {"tb_dasaldare", "F8"},
    {"tb_esporta", "Ctrl+Shift+E"},  {"tb_importa", "Ctrl+Shift+I"},   {"tb_guida", "F1"},
    {"tb_etichette", "Ctrl+L"},
};

const char* keysOf(const char* icon) {
    for (const ToolKey& k : kToolKeys) {
        if (std::string_view(k.icon) == icon) return k.keys;
    }
    return nullptr;
}

constexpr const char* kAttachmentNames[] = {"lblFile01", "lblFile02", "lblFile03",
                                            "lblDesc01", "lblDesc02", "lblDesc03"};

// A date box as the calendar's receiver: it lives as long as the box and writes the day as dates are typed.
class CalendarBoxReceiver final : public QObject, public DateReceiver {
public:
    explicit CalendarBoxReceiver(QLineEdit* box) : QObject(box), box_(box) {}
    void receiveDate(const QDate& date) override { box_->setText(date.toString(QStringLiteral("dd/MM/yyyy"))); }

private:
    QLineEdit* box_;
};

}  // namespace

CardScreen::CardScreen(ScreenRegistry& registry, const Design& design)
    : WorkArea(registry, QString::fromLatin1(design.name)), recordSize_(design.recordSize) {
    presentAsProgramScreen(QString::fromUtf8(design.caption));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    QWidget* content = addScrollingBody(outer, QStringLiteral("panCorpo"));
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(16, 12, 16, 12);
    column->setSpacing(10);
    panComandi_ = new QFrame(content);
    panComandi_->setObjectName(QStringLiteral("panComandi"));
    toolbar_ = new QHBoxLayout(panComandi_);
    toolbar_->setContentsMargins(8, 4, 8, 4);
    toolbar_->setSpacing(2);
    column->addWidget(panComandi_);
    body_ = new QVBoxLayout();
    body_->setSpacing(10);
    column->addLayout(body_, 1);

    panInfo = new QLabel(QString::fromUtf8(kReady), this);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setMinimumHeight(26);
    outer->addWidget(panInfo);
    hints_ = new HoverHints(panInfo, this);

    buildNavigation();
    if (design.recordKey) registry.handOver().offer<HandOver::RecordLoad>(QString::fromLatin1(design.recordKey), this);
    if (design.attachmentsKey) {
        attachmentsKey_ = QString::fromLatin1(design.attachmentsKey);
        registry.handOver().offer<HandOver::Attachments>(attachmentsKey_, this);
        for (std::size_t i = 0; i < attachments_.size(); ++i) {
            attachments_[i] = hiddenLabel(QString::fromLatin1(kAttachmentNames[i]), this);
        }
        lblFile01 = attachments_[0], lblFile02 = attachments_[1], lblFile03 = attachments_[2];
        lblDesc01 = attachments_[3], lblDesc02 = attachments_[4], lblDesc03 = attachments_[5];
    }
    if (design.positionCaption) {
        auto* caption = new QLabel(QString::fromUtf8(design.positionCaption), panNavigazione_);
        caption->setObjectName(QStringLiteral("titPosizione"));
        static_cast<QHBoxLayout*>(panNavigazione_->layout())->insertWidget(2, caption);
    }
    resize(1240, 760);
}

void CardScreen::buildNavigation() {
    panNavigazione_ = new QWidget(this);
    panNavigazione_->setObjectName(QStringLiteral("panNavigazione"));
    auto* row = new QHBoxLayout(panNavigazione_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    lblPosizione = new QLabel(panNavigazione_);
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    lblPosizione->setAlignment(Qt::AlignCenter);
    for (const Arrow& arrow : kArrows) {
        auto* button = new PictureButton(QString::fromLatin1(arrow.name), QString::fromLatin1(arrow.picture), {36, 36},
                                         panNavigazione_);
        this->*arrow.member = button;
        setHint(button, arrow.hint);
        connect(button, &PictureButton::clicked, this, [this, action = arrow.action] { navigate(action); });
        pressOnKeys(button, QString::fromLatin1(arrow.keys), this);
        row->addWidget(button);
        if (arrow.action == CardAction::Previous) row->addWidget(lblPosizione);
    }
}

void CardScreen::buildToolbar(std::initializer_list<Tool> tools) {
    for (const Tool& tool : tools) {
        switch (tool.kind) {
            case Tool::Kind::Navigation:
                // Among the toolbar's pictures the arrows take no more room than the buttons.
                for (PictureButton* arrow : {cmdPrimo, cmdIndietro, cmdAvanti, cmdUltimo}) arrow->setFixedSize(32, 32);
                panNavigazione_->layout()->setSpacing(4);
                toolbar_->addSpacing(4);
                toolbar_->addWidget(panNavigazione_);
                toolbar_->addSpacing(4);
                continue;
            case Tool::Kind::Stretch:
                toolbar_->addStretch(1);
                continue;
            case Tool::Kind::Button:
                break;
        }
        auto* button =
            new CaptionButton(QString::fromLatin1(tool.name), QStringLiteral(":/%1.svg").arg(QLatin1String(tool.icon)),
                              tool.caption ? QString::fromUtf8(tool.caption) : QString(), panComandi_);
        *tool.button = button;
        if (tool.hint) setHint(button, tool.hint);
        if (tool.command != Command::None) {
            connect(button, &CaptionButton::clicked, this, [this, command = tool.command] { runCommand(command); });
        }
        if (const char* keys = keysOf(tool.icon)) pressOnKeys(button, QString::fromLatin1(keys), this);
        toolbar_->addWidget(button);
    }
}

void CardScreen::runCommand(Command command) {
    switch (command) {
        case Command::New:
            clearCard();
            return;
        case Command::Duplicate:
            duplicateCard();
            return;
        case Command::Save:
            saveCard();
            return;
        case Command::Attachments:
            openAttachments();
            return;
        case Command::Close:
            close();
            return;
        case Command::None:
            return;
    }
}

void CardScreen::setHint(QWidget* control, const char* hint) { hints_->set(control, QString::fromUtf8(hint)); }

void CardScreen::makeCalendarBox(QLineEdit* box, const char* calendarKey) {
    setHint(box, kDateBoxHint);
    registry().handOver().offer<HandOver::CalendarDate>(QString::fromLatin1(calendarKey), new CalendarBoxReceiver(box));
    makeDateBox(box, [this, key = QString::fromLatin1(calendarKey)] {
        auto dialog = std::make_unique<TfrmCalendario>(registry(), this);
        dialog->lblMemory->setText(key);
        dialog->exec();
    });
}

void CardScreen::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (!hintsWatched_) {
        // Every control exists by the first showing: from then on each one shows its hint.
        hints_->watchAll();
        hintsWatched_ = true;
    }
    if (!event->spontaneous()) clearCard();
}

void CardScreen::setPosition(CardPosition position) {
    position_ = position;
    lblPosizione->setText(position == kNewCard ? QString() : QString::number(position));
}

void CardScreen::clearCard() {
    clearControls();
    for (QLabel* label : attachments_) {
        if (label) label->clear();
    }
    setPosition(kNewCard);
    showTextStarts(this);
    if (firstBox_) firstBox_->setFocus();
}

void CardScreen::duplicateCard() {
    if (position_ == kNewCard) {
        MessageService::warning(this, kMsgDuplicateNewCard);
        return;
    }
    for (QLabel* label : attachments_) {
        if (label) label->clear();
    }
    setPosition(kNewCard);
    if (!afterDuplicate()) return;
    showTextStarts(this);
    if (firstBox_) firstBox_->setFocus();
    MessageService::information(this, kMsgCardDuplicated);
}

bool CardScreen::checkMandatory() {
    for (const Mandatory& m : mandatory_) {
        if (!trimBlanks(m.box->text().toStdString()).empty()) continue;
        MessageService::warning(this, m.warning);
        m.box->setFocus();
        return false;
    }
    return true;
}

void CardScreen::saveCard() {
    if (!prepareSave() || !checkMandatory() || !checkSave()) return;
    std::vector<std::uint8_t> record(recordSize_, 0);
    fillRecord(record);
    const CardOutcome outcome = CardProtocol(archivePath(), recordSize_).save(position_, record);
    setPosition(outcome.position);
    if (!outcome.saved) {
        tell(outcome.message);
        return;
    }
    afterSave();
    tellSaved(outcome.message);
}

void CardScreen::navigate(CardAction action) {
    std::vector<std::uint8_t> record(recordSize_, 0);
    const CardOutcome outcome = CardProtocol(archivePath(), recordSize_).navigate(action, position_, record);
    setPosition(outcome.position);
    if (outcome.loaded) {
        putOnCard(record);
        showTextStarts(this);
        afterLoad();
    }
    tell(outcome.message);
}

void CardScreen::showRecord(std::span<const std::uint8_t> record, CardPosition position) {
    putOnCard(record);
    setPosition(position);
    showTextStarts(this);
    afterLoad();
}

void CardScreen::tell(CardMessage message) {
    switch (message) {
        case CardMessage::None:
            return;
        case CardMessage::AccessFailed:
            MessageService::error(this, cardMessageText(message));
            return;
        default:
            MessageService::information(this, cardMessageText(message));
            return;
    }
}

AttachmentTexts CardScreen::attachmentTexts() const {
    AttachmentTexts texts;
    for (std::size_t i = 0; i < attachments_.size(); ++i) {
        if (attachments_[i]) texts[i] = attachments_[i]->text().toStdString();
    }
    return texts;
}

void CardScreen::setAttachmentTexts(const AttachmentTexts& texts) {
    for (std::size_t i = 0; i < attachments_.size(); ++i) {
        if (attachments_[i]) attachments_[i]->setText(QString::fromStdString(texts[i]));
    }
}

void CardScreen::openAttachments() {
    if (attachmentsKey_.isEmpty()) return;
    auto dialog = std::make_unique<TfrmAllegaCartella>(registry(), this);
    dialog->lblMemory->setText(attachmentsKey_);
    dialog->setTexts(attachmentTexts());
    dialog->exec();
}

}  // namespace scortavia
