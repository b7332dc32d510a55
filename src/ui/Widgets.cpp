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
    return mainLayout(dialog, caption, Qt::Dialog, fixedSize);
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
    if (QScreen* s = window->screen()) window->move(s->availableGeometry().center() - window->rect().center());
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
