#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace scortavia {

// Which characters a number box lets the user type. Editing and navigation keys always work;
// any other key that would type a character not allowed is swallowed.
// With `emptyBeyond` > 0, a key typed into a box already longer than that empties it first.
enum class TypedChars { Digits, DigitsAndComma };
void restrictTyping(QLineEdit* box, TypedChars allowed, int emptyBeyond = 0);

// A drop-down box whose value is only chosen from its list: nothing can be typed, Backspace or Delete
// empties it, Left and Right are passed on (and the keys that open the list). Each time it takes the
// focus its list selection is reset, its text staying; on leaving, a text `valid` refuses is emptied.
void makeChoiceBox(QComboBox* box, std::function<bool(const QString&)> valid);

// Enter in each box of `chain` moves the focus to the widget after it.
void enterMovesFocus(const std::vector<QWidget*>& chain);

// A grid keeps Tab for moving between its cells; Ctrl+Tab (Ctrl+Shift+Tab) leaves it for the next
// (previous) control of the window, as in a text editor.
void leaveOnCtrlTab(QWidget* area);

// Every edit box inside `area` shows its text from the first character: a text put into a box
// longer than the box shows how it starts, not how it ends.
void showTextStarts(QWidget* area);

// Runs `action` when the box loses the input focus (formatting of number boxes).
void onFocusLost(QLineEdit* box, std::function<void()> action);

// A read-only date box filled from the calendar: Backspace or Delete empties it, any other key
// (Enter included) calls `openCalendar`. Tab still moves on.
void makeDateBox(QLineEdit* box, std::function<void()> openCalendar);

// The status line of a screen that shows the hint of the control under the mouse and is emptied
// over the background, the panels and the pictures without a hint. Only a real move of the mouse
// counts: showing the screen under a still mouse keeps the status line's text.
class HoverHints final : public QObject {
    Q_OBJECT
public:
    HoverHints(QLabel* statusLine, QWidget* screen);
    void set(QWidget* control, const QString& hint);
    // Watches every widget of the screen created so far; call once the screen is built.
    void watchAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* status_;
    QPointer<QObject> statusAlive_;  // checked without casting what may be half destroyed
    QWidget* screen_;
    // The screen as the filter sees it: compared as a plain object, never converted from a widget
    // that may be half destroyed when the program ends.
    const QObject* watched_;
    QPoint shownAt_;
};

}  // namespace scortavia
