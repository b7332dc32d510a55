#include "ui/BoxBehaviour.h"

#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "common/TextRules.h"

namespace scortavia {
namespace {

bool isEditingKey(int key) {
    return key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Left || key == Qt::Key_Right;
}

// Event filters owned by the widget they watch.
class TypingFilter final : public QObject {
public:
    TypingFilter(QLineEdit* box, TypedChars allowed, int emptyBeyond)
        : QObject(box), box_(box), allowed_(allowed), emptyBeyond_(emptyBeyond) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (isEditingKey(key->key())) return false;
        const QString text = key->text();
        // Keys that type nothing (Tab, Home, shortcuts) keep their usual meaning.
        if (text.isEmpty() || !text.at(0).isPrint()) return false;
        if (emptyBeyond_ > 0 && box_->text().size() > emptyBeyond_) box_->clear();
        for (QChar c : text) {
            const bool ok =
                isAsciiDigit(c.toLatin1()) || (allowed_ == TypedChars::DigitsAndComma && c == QLatin1Char(','));
            if (!ok) return true;
        }
        return false;
    }

private:
    QLineEdit* box_;
    TypedChars allowed_;
    int emptyBeyond_;
};

class EnterFilter final : public QObject {
public:
    EnterFilter(QWidget* from, QWidget* to) : QObject(from), to_(to) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        if (to_) to_->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    QPointer<QWidget> to_;
};

// Ctrl+Tab (Ctrl+Shift+Tab backwards) moves on to the next widget outside `area`, which keeps Tab.
class LeaveOnCtrlTabFilter final : public QObject {
public:
    explicit LeaveOnCtrlTabFilter(QWidget* area) : QObject(area), area_(area) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & Qt::ControlModifier)) return false;
        if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) return false;
        const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
        for (QWidget* w = area_;;) {
            w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
            if (w == area_) break;
            if (area_->isAncestorOf(w) || !w->isVisible() || !w->isEnabled()) continue;
            if (!(w->focusPolicy() & Qt::TabFocus)) continue;
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            break;
        }
        return true;
    }

private:
    QWidget* area_;
};

class FocusLostFilter final : public QObject {
public:
    FocusLostFilter(QLineEdit* box, std::function<void()> action) : QObject(box), action_(std::move(action)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) action_();
        return false;
    }

private:
    std::function<void()> action_;
};

class DateBoxFilter final : public QObject {
public:
    DateBoxFilter(QLineEdit* box, std::function<void()> open) : QObject(box), box_(box), open_(std::move(open)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Backspace:
            case Qt::Key_Delete:
                box_->clear();
                return true;
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Shift:
            case Qt::Key_Control:
            case Qt::Key_Alt:
            case Qt::Key_Meta:
            case Qt::Key_AltGr:
                return false;
            default:
                open_();
                return true;
        }
    }

private:
    QLineEdit* box_;
    std::function<void()> open_;
};

class ChoiceBoxFilter final : public QObject {
public:
    ChoiceBoxFilter(QComboBox* box, std::function<bool(const QString&)> valid)
        : QObject(box), box_(box), valid_(std::move(valid)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                return swallowed(*static_cast<QKeyEvent*>(event));
            case QEvent::FocusIn:
                // No item highlighted when the list is opened, whatever the box shows.
                if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
                    const QString text = box_->currentText();
                    box_->setCurrentIndex(-1);
                    box_->setEditText(text);
                }
                return false;
            case QEvent::FocusOut:
                // The open list takes the focus for a moment: that is not leaving the box.
                if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && !valid_(box_->currentText()))
                    box_->clearEditText();
                return false;
            default:
                return false;
        }
    }

private:
    bool swallowed(const QKeyEvent& key) {
        switch (key.key()) {
            case Qt::Key_Backspace:
            case Qt::Key_Delete:
                box_->setCurrentIndex(-1);
                box_->clearEditText();
                return true;
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
            case Qt::Key_F4:
            case Qt::Key_Shift:
            case Qt::Key_Control:
            case Qt::Key_Alt:
            case Qt::Key_Meta:
            case Qt::Key_AltGr:
                return false;
            case Qt::Key_Up:
            case Qt::Key_Down:
                return !(key.modifiers() & Qt::AltModifier);  // Alt+Down opens the list
            default:
                return true;
        }
    }

    QComboBox* box_;
    std::function<bool(const QString&)> valid_;
};

}  // namespace

void restrictTyping(QLineEdit* box, TypedChars allowed, int emptyBeyond) {
    box->installEventFilter(new TypingFilter(box, allowed, emptyBeyond));
}

void makeChoiceBox(QComboBox* box, std::function<bool(const QString&)> valid) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setReadOnly(true);  // no paste or drop either
    box->installEventFilter(new ChoiceBoxFilter(box, std::move(valid)));
}

void enterMovesFocus(const std::vector<QWidget*>& chain) {
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        chain[i]->installEventFilter(new EnterFilter(chain[i], chain[i + 1]));
}

void leaveOnCtrlTab(QWidget* area) { area->installEventFilter(new LeaveOnCtrlTabFilter(area)); }

void showTextStarts(QWidget* area) {
    for (QLineEdit* box : area->findChildren<QLineEdit*>()) box->setCursorPosition(0);
}

void onFocusLost(QLineEdit* box, std::function<void()> action) {
    box->installEventFilter(new FocusLostFilter(box, std::move(action)));
}

void makeDateBox(QLineEdit* box, std::function<void()> openCalendar) {
    box->setReadOnly(true);
    box->installEventFilter(new DateBoxFilter(box, std::move(openCalendar)));
}

HoverHints::HoverHints(QLabel* statusLine, QWidget* screen)
    : QObject(screen), status_(statusLine), statusAlive_(statusLine), screen_(screen), watched_(screen) {
    screen_->installEventFilter(this);
}

void HoverHints::set(QWidget* control, const QString& hint) { control->setProperty("hoverHint", hint); }

void HoverHints::watchAll() {
    for (QWidget* w : screen_->findChildren<QWidget*>()) w->installEventFilter(this);
}

bool HoverHints::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watched_ && event->type() == QEvent::Show) shownAt_ = QCursor::pos();
    if (event->type() != QEvent::Enter && event->type() != QEvent::Leave) return false;
    // Widgets leave as the screen is destroyed; the status line must not be touched while it goes.
    if (statusAlive_.isNull() || watched == statusAlive_.data() || QCursor::pos() == shownAt_) return false;
    // Leaving a control goes back to what is under it (never entered again, so empty).
    if (event->type() == QEvent::Enter) status_->setText(watched->property("hoverHint").toString());
    if (event->type() == QEvent::Leave) status_->clear();
    return false;
}

}  // namespace scortavia
