#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <QPointer>
#include <QString>
#include <initializer_list>
#include <tuple>
#include <vector>

class QBoxLayout;
class QGridLayout;
class QVBoxLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QSvgRenderer;

namespace scortavia {

// A button drawn from an SVG picture that lights up under the mouse. On a toolbar it never takes the
// keyboard focus, so an action always sees the edit boxes exactly as typed.
class SvgButton : public QAbstractButton {
    Q_OBJECT
public:
    SvgButton(const QString& name, const QString& picture, QWidget* parent);

    // For a screen where pictures are the only way to act: Tab reaches the button and Enter or Space
    // press it, while a click still leaves the focus where it was. A focus frame named "eff" + the
    // button's name without its prefix marks it around `outline` (the button itself when null).
    void reachByKeyboard(QWidget* outline = nullptr);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool hovered() const { return hovered_; }
    QSvgRenderer* renderer() const { return renderer_; }

private:
    QSvgRenderer* renderer_;
    bool hovered_ = false;
};

// A picture used as a button (menu tiles, caption pictures, small icons).
class PictureButton final : public SvgButton {
    Q_OBJECT
public:
    PictureButton(const QString& name, const QString& picture, QSize size, QWidget* parent);
    QSize sizeHint() const override { return size_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize size_;
};

// A toolbar picture button: an icon with its caption under it.
class CaptionButton final : public SvgButton {
    Q_OBJECT
public:
    CaptionButton(const QString& name, const QString& icon, const QString& caption, QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A non-interactive picture drawn from the program's resources.
class Picture final : public QWidget {
    Q_OBJECT
public:
    Picture(const QString& name, const QString& picture, QSize size, QWidget* parent);
    QSize sizeHint() const override { return size_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer* renderer_;
    QSize size_;
};

// The highlight frame drawn around an edit box while it has the input focus. It follows the
// box's position and is visible exactly while the box has the focus. Given an `outline`, it is
// drawn around that widget instead (a picture with its caption), still while the box has the focus.
class FocusFrame final : public QFrame {
    Q_OBJECT
public:
    FocusFrame(const QString& name, QWidget* box, QWidget* outline = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();
    QPointer<QWidget> outline_;
    // The box and the outline as the filter sees them: compared as plain objects, so a widget half
    // destroyed at the end of the program is never cast to what it no longer is.
    const QObject* watched_;
    const QObject* watchedOutline_;
};

// Enter (Return or the keypad's Enter) on the focused button presses it, once, as Space does.
// Enter typed in an edit box still presses no button.
void pressOnEnter(QAbstractButton* button);

// `keys` pressed anywhere on `window` do what a click on `button` does, while it can be clicked: the
// way a keyboard reaches a picture that takes no focus.
void pressOnKeys(QAbstractButton* button, const QString& keys, QWidget* window);

// The arrow keys move the focus among `widgets` by where they stand: to the nearest one in the
// arrow's direction, none when there is none that way.
void arrowsMoveFocus(const std::vector<QWidget*>& widgets);

// The body of a menu-like work area (the year menus, the period and inventory prompts): the screen's
// background, and a white rounded panel of `width` centred in it, scrolling when the window is smaller.
// The screen is presented maximised by its own WorkArea; this lays out what it shows.
QVBoxLayout* menuPanel(QWidget* screen, int width);

// The foot of such a panel, added to its layout: the information banner "lblInformazioni", then the
// help picture "imgGuida" at the left and the way back "imgEsci" at the right. They are only pictures,
// so Tab reaches them after the panel's boxes and buttons.
std::tuple<QLabel*, PictureButton*, PictureButton*> menuFooter(QVBoxLayout* panelLayout, const QString& information);

// "... Attendere...": hidden until its button is pressed; it keeps its room while hidden, so showing it on
// the press does not move the button from under the mouse before the release.
QLabel* waitingLabel(const QString& name, const QString& text, QWidget* parent);

// An edit box of a card or a dialog, holding at most `maxLength` characters.
QLineEdit* editBox(const QString& name, int maxLength, QWidget* parent);

// The caption beside a box.
QLabel* captionLabel(const QString& name, const QString& text, QWidget* parent);

// Widgets side by side, left to right; a null entry is a stretch that takes the spare room.
QHBoxLayout* lineOf(std::initializer_list<QWidget*> widgets);

// A work area's contents in a frameless scroll area added to `screenLayout`: below their natural
// size they scroll instead of squeezing their captions. Returns the widget to lay them out on.
QWidget* addScrollingBody(QBoxLayout* screenLayout, const QString& contentName);

// The buttons at the bottom of a dialog, pushed to the right.
QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons);

// The last line of a grid dialog: a status line named "panInfo" for the hover hints, taking the room
// left by `buttons` at its right. The label is handed back through `status`.
QHBoxLayout* statusRow(QLabel*& status, std::initializer_list<QWidget*> buttons, QWidget* parent);

// A long job's progress window ("dlgAvanzamento"), shown only if the job lasts more than a moment;
// its "Annulla" asks the job to stop.
void setUpProgress(QProgressDialog& progress, const QString& caption);

// A masked password box with its focus frame.
QLineEdit* passwordBox(const QString& name, QWidget* parent);

// A push button with its caption. Enter presses it when it has the focus; Enter in an edit box never
// presses it as a default button.
QPushButton* textButton(const QString& name, const QString& caption, QWidget* parent);

// A short instruction shown above a screen's controls.
QLabel* instructionBanner(const QString& name, const QString& text, QWidget* parent);

// Names a dialog and gives it its caption, a title bar without buttons (it closes only through
// its own buttons) and, when given, a fixed size; the dialog fits the screen it opens on (fitOnScreen).
// Returns its main layout, with the program's margins.
QVBoxLayout* setUpDialog(QWidget* dialog, const QString& name, const QString& caption, QSize fixedSize = {});

// Each time `window` is shown it fits the screen it opens on: at the size it was given where that fits the
// screen's available area with the window's frame, otherwise at that area, resizable even if it had a fixed
// size; and never past the area's edges.
void fitOnScreen(QWidget* window);

// `design`, cut to the room that `available` leaves a window with `frame` around it.
QSize sizeOnScreen(QSize design, const QRect& available, const QMargins& frame);

// The same for the small fixed windows among the work areas (the password screens), already named.
QVBoxLayout* setUpFixedWindow(QWidget* window, const QString& caption, QSize size);

// A grid of captions and boxes with the given gaps between columns and rows.
QGridLayout* formGrid(int columnGap, int rowGap);

// Puts a window, its frame included, in the middle of its screen's available area.
void centerOnScreen(QWidget* window);

// A hidden label that keeps a small piece of a screen's state.
QLabel* hiddenLabel(const QString& name, QWidget* parent);

}  // namespace scortavia
