#include "ui/Widgets.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "ui/Palette.h"

namespace scortavia {
namespace {

// Presses its button on Enter; filters are owned by the widget they watch.
class EnterPresses final : public QObject {
public:
    explicit EnterPresses(QAbstractButton* button) : QObject(button), button_(button) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        // Taken here, so a button that would also answer Enter itself is not pressed twice; holding
        // the key down presses it once.
        if (!key->isAutoRepeat()) button_->click();
        return true;
    }

private:
    QAbstractButton* button_;
};

class ArrowFocus final : public QObject {
public:
    ArrowFocus(QWidget* from, const std::vector<QWidget*>& widgets) : QObject(from), from_(from) {
        for (QWidget* w : widgets) {
            if (w != from) others_.emplace_back(w);
        }
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        QPoint step;
        switch (key->key()) {
            case Qt::Key_Left:
                step = {-1, 0};
                break;
            case Qt::Key_Right:
                step = {1, 0};
                break;
            case Qt::Key_Up:
                step = {0, -1};
                break;
            case Qt::Key_Down:
                step = {0, 1};
                break;
            default:
                return false;
        }
        if (QWidget* next = nearest(step)) next->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    static QPoint centre(const QWidget* w) { return w->mapTo(w->window(), w->rect().center()); }

    // Among the widgets that way (no farther aside than ahead), the closest, a step aside counting
    // twice a step ahead. The cone keeps Right on the last tile of a row from landing on the exit.
    QWidget* nearest(QPoint step) const {
        const QPoint here = centre(from_);
        QWidget* best = nullptr;
        int bestScore = 0;
        for (const QPointer<QWidget>& candidate : others_) {
            if (!candidate || !candidate->isVisible() || !candidate->isEnabled()) continue;
            const QPoint d = centre(candidate) - here;
            const int ahead = d.x() * step.x() + d.y() * step.y();
            const int aside = std::abs(d.x() * step.y() + d.y() * step.x());
            if (ahead <= 0 || aside > ahead) continue;
            const int score = ahead + 2 * aside;
            if (!best || score < bestScore) best = candidate, bestScore = score;
        }
        return best;
    }

    QWidget* from_;
    std::vector<QPointer<QWidget>> others_;
};

}  // namespace

void pressOnEnter(QAbstractButton* button) { button->installEventFilter(new EnterPresses(button)); }

void pressOnKeys(QAbstractButton* button, const QString& keys, QWidget* window) {
    auto* shortcut = new QShortcut(QKeySequence(keys), window);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled() && button->isVisible()) button->click();
    });
}

void arrowsMoveFocus(const std::vector<QWidget*>& widgets) {
    for (QWidget* w : widgets) w->installEventFilter(new ArrowFocus(w, widgets));
}

SvgButton::SvgButton(const QString& name, const QString& picture, QWidget* parent)
    : QAbstractButton(parent), renderer_(new QSvgRenderer(picture, this)) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void SvgButton::reachByKeyboard(QWidget* outline) {
    setFocusPolicy(Qt::TabFocus);
    pressOnEnter(this);
    auto* mark = new FocusFrame(QStringLiteral("eff") + objectName().mid(3), this, outline);
    mark->setProperty("picture", true);
}

void SvgButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SvgButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

PictureButton::PictureButton(const QString& name, const QString& picture, QSize size, QWidget* parent)
    : SvgButton(name, picture, parent), size_(size) {
    setFixedSize(size);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF area = rect();
    if (isDown()) area.adjust(1, 1, 1, 1);
    painter.setOpacity(hovered() || isDown() || hasFocus() ? 1.0 : 0.93);
    renderer()->render(&painter, area);
    if (hovered()) {
        painter.setOpacity(1.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 28));
        painter.drawRoundedRect(rect(), 8, 8);
    }
}

CaptionButton::CaptionButton(const QString& name, const QString& icon, const QString& caption, QWidget* parent)
    : SvgButton(name, icon, parent) {
    setText(caption);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize CaptionButton::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {std::max(64, textWidth + 14), 58};
}

void CaptionButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (hovered() || isDown()) {
        QColor accent = palette::color("teal");
        accent.setAlpha(90);
        painter.setPen(accent);
        accent.setAlpha(isDown() ? 45 : 22);
        painter.setBrush(accent);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
    const int shift = isDown() ? 1 : 0;
    renderer()->render(&painter, QRectF((width() - 30) / 2.0, 5 + shift, 30, 30));
    painter.setPen(palette::color(isEnabled() ? "ink" : "disabled"));
    painter.drawText(QRect(0, 38 + shift, width(), 18), Qt::AlignHCenter | Qt::AlignTop, text());
}

Picture::Picture(const QString& name, const QString& picture, QSize size, QWidget* parent)
    : QWidget(parent), renderer_(new QSvgRenderer(picture, this)), size_(size) {
    setObjectName(name);
    setFixedSize(size);
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer_->render(&painter, rect());
}

FocusFrame::FocusFrame(const QString& name, QWidget* box, QWidget* outline)
    : QFrame((outline ? outline : box)->parentWidget()),
      outline_(outline ? outline : box),
      watched_(box),
      watchedOutline_(outline ? outline : box) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    box->installEventFilter(this);
    if (outline && outline != box) outline->installEventFilter(this);
    hide();
}

void FocusFrame::follow() {
    if (!outline_) return;
    setGeometry(outline_->geometry().adjusted(-4, -4, 4, 4));
    stackUnder(outline_);
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watched_) {
        switch (event->type()) {
            case QEvent::FocusIn:
                follow();
                show();
                break;
            case QEvent::FocusOut:
            case QEvent::Hide:
                hide();
                break;
            default:
                break;
        }
    }
    if (watched == watchedOutline_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) follow();
    return QFrame::eventFilter(watched, event);
}

QLineEdit* passwordBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(32767);
    return box;
}

QLabel* hiddenLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->hide();
    return label;
}

}  // namespace scortavia

namespace scortavia {

QPushButton* textButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumHeight(32);
    button->setMinimumWidth(88);
    // Not a default button: Enter typed in a box must never press it. Enter on the button itself does.
    button->setAutoDefault(false);
    pressOnEnter(button);
    return button;
}

QLineEdit* editBox(const QString& name, int maxLength, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    box->setMinimumHeight(26);
    return box;
}

QLabel* captionLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QHBoxLayout* lineOf(std::initializer_list<QWidget*> widgets) {
    auto* line = new QHBoxLayout();
    line->setSpacing(6);
    for (QWidget* w : widgets) {
        if (w) {
            line->addWidget(w);
        } else {
            line->addStretch(1);
        }
    }
    return line;
}

QWidget* addScrollingBody(QBoxLayout* screenLayout, const QString& contentName) {
    QWidget* screen = screenLayout->parentWidget();
    auto* scroll = new QScrollArea(screen);
    scroll->setObjectName(QStringLiteral("scr") + contentName.mid(3));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // A click on a picture button must leave the focus in the box being edited.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(scroll);
    content->setObjectName(contentName);
    content->setAttribute(Qt::WA_StyledBackground);
    scroll->setWidget(content);
    screenLayout->addWidget(scroll, 1);
    return content;
}

QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons) {
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    for (QWidget* b : buttons) row->addWidget(b);
    return row;
}

QHBoxLayout* statusRow(QLabel*& status, std::initializer_list<QWidget*> buttons, QWidget* parent) {
    status = new QLabel(parent);
    status->setObjectName(QStringLiteral("panInfo"));
    status->setMinimumHeight(26);
    auto* row = new QHBoxLayout();
    row->addWidget(status, 1);
    for (QWidget* b : buttons) row->addWidget(b);
    return row;
}

void setUpProgress(QProgressDialog& progress, const QString& caption) {
    progress.setObjectName(QStringLiteral("dlgAvanzamento"));
    progress.setWindowTitle(caption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
}

QLabel* instructionBanner(const QString& name, const QString& text, QWidget* parent) {
    auto* banner = new QLabel(text, parent);
    banner->setObjectName(name);
    banner->setWordWrap(true);
    banner->setProperty("banner", true);
    return banner;
}

namespace {

// The frame a window manager puts around a window; before it has framed the window, room for a title bar.
QMargins frameOf(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    return frame.isNull() ? QMargins(4, 30, 4, 4) : frame;
}

// Moves a window, frame included, back inside `available` where it reaches past an edge.
void keepInside(QWidget* window, const QRect& available, const QMargins& frame) {
    const QSize outer = window->size().grownBy(frame);
    const QPoint at = window->pos();
    const int x = std::max(available.left(), std::min(at.x(), available.left() + available.width() - outer.width()));
    const int y = std::max(available.top(), std::min(at.y(), available.top() + available.height() - outer.height()));
    if (QPoint(x, y) != at) window->move(x, y);
}

// Fits a window to the screen it opens on, each time it is shown (see fitOnScreen).
class ScreenFit final : public QObject {
public:
    explicit ScreenFit(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Before the dialog places itself over its owner, so that it places itself at the fitted size.
        if (watched == window_ && event->type() == QEvent::Show && !event->spontaneous()) fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void fit() {
        const QScreen* screen = window_->screen();
        if (!screen) return;
        if (!design_.isValid()) design_ = window_->size();
        const QRect available = screen->availableGeometry();
        const QMargins frame = frameOf(window_);
        const QSize fitted = sizeOnScreen(design_, available, frame);
        if (fitted != window_->size()) {
            // As big as the screen allows, and resizable, even below what the layout would like: a scroll bar or
            // a narrower box is better than buttons past the edge of the screen.
            window_->setMinimumSize(window_->minimumSizeHint().boundedTo(fitted).expandedTo(QSize(0, 0)));
            window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            window_->resize(fitted);
        }
        // A window placed by its own code; a dialog left to itself is placed over its owner, on the screen.
        if (window_->testAttribute(Qt::WA_Moved)) keepInside(window_, available, frame);
    }

    QWidget* window_;
    QSize design_;  // the size it was given, before any screen cut it
};

QVBoxLayout* mainLayout(QWidget* window, const QString& caption, Qt::WindowFlags kind, QSize fixedSize) {
    window->setWindowTitle(caption);
    window->setWindowFlags(kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setWindowIcon(QIcon(QStringLiteral(":/icon_app.svg")));
    if (fixedSize.isValid()) window->setFixedSize(fixedSize);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(22, 18, 22, 16);
    return layout;
}

}  // namespace

QVBoxLayout* setUpDialog(QWidget* dialog, const QString& name, const QString& caption, QSize fixedSize) {
    dialog->setObjectName(name);
    fitOnScreen(dialog);
    return mainLayout(dialog, caption, Qt::Dialog, fixedSize);
}

void fitOnScreen(QWidget* window) { new ScreenFit(window); }

QSize sizeOnScreen(QSize design, const QRect& available, const QMargins& frame) {
    return design.boundedTo(available.size().shrunkBy(frame));
}

QVBoxLayout* setUpFixedWindow(QWidget* window, const QString& caption, QSize size) {
    return mainLayout(window, caption, Qt::Window, size);
}

QGridLayout* formGrid(int columnGap, int rowGap) {
    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(columnGap);
    grid->setVerticalSpacing(rowGap);
    return grid;
}

void centerOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameOf(window);
    const QSize outer = window->size().grownBy(frame);
    window->move(available.left() + (available.width() - outer.width()) / 2,
                 available.top() + (available.height() - outer.height()) / 2);
    keepInside(window, available, frame);
}

QVBoxLayout* menuPanel(QWidget* screen, int width) {
    screen->setProperty("menuScreen", true);
    auto* layout = new QVBoxLayout(screen);
    layout->setContentsMargins(0, 0, 0, 0);
    QWidget* body = addScrollingBody(layout, QStringLiteral("panCorpo"));
    auto* outer = new QGridLayout(body);
    auto* panel = new QFrame(body);
    panel->setObjectName(QStringLiteral("panMenu"));
    panel->setFixedWidth(width);
    outer->addWidget(panel, 0, 0, Qt::AlignCenter);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(36, 28, 36, 22);
    inner->setSpacing(14);
    return inner;
}

std::tuple<QLabel*, PictureButton*, PictureButton*> menuFooter(QVBoxLayout* panelLayout, const QString& information) {
    QWidget* panel = panelLayout->parentWidget();
    QLabel* banner = instructionBanner(QStringLiteral("lblInformazioni"), information, panel);
    panelLayout->addWidget(banner);
    auto* help = new PictureButton(QStringLiteral("imgGuida"), QStringLiteral(":/icon_guida.svg"), {40, 40}, panel);
    help->setToolTip(QStringLiteral("Guida all'utilizzo del software"));
    auto* exit = new PictureButton(QStringLiteral("imgEsci"), QStringLiteral(":/icon_esci.svg"), {40, 40}, panel);
    exit->setToolTip(QStringLiteral("Torna al menu principale"));
    panelLayout->addLayout(lineOf({help, nullptr, exit}));
    help->reachByKeyboard();
    exit->reachByKeyboard();
    return {banner, help, exit};
}

QLabel* waitingLabel(const QString& name, const QString& text, QWidget* parent) {
    QLabel* label = captionLabel(name, text, parent);
    label->setProperty("waiting", true);
    QSizePolicy keepPlace = label->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    label->setSizePolicy(keepPlace);
    label->hide();
    return label;
}

}  // namespace scortavia
