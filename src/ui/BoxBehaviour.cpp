#include "ui/BoxBehaviour.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

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
            const bool ok = (c >= '0' && c <= '9') || (allowed_ == TypedChars::DigitsAndComma && c == ',');
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

}  // namespace

void restrictTyping(QLineEdit* box, TypedChars allowed, int emptyBeyond) {
    box->installEventFilter(new TypingFilter(box, allowed, emptyBeyond));
}

void enterMovesFocus(const std::vector<QWidget*>& chain) {
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        chain[i]->installEventFilter(new EnterFilter(chain[i], chain[i + 1]));
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
