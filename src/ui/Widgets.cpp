#include "ui/Widgets.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
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

#include "ui/Palette.h"

namespace scortavia {

SvgButton::SvgButton(const QString& name, const QString& picture, QWidget* parent)
    : QAbstractButton(parent), renderer_(new QSvgRenderer(picture, this)) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
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
    painter.setOpacity(hovered() || isDown() ? 1.0 : 0.93);
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

FocusFrame::FocusFrame(const QString& name, QWidget* box) : QFrame(box->parentWidget()), box_(box), watched_(box) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    box->installEventFilter(this);
    hide();
}

void FocusFrame::follow() {
    if (!box_) return;
    setGeometry(box_->geometry().adjusted(-4, -4, 4, 4));
    stackUnder(box_);
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
            case QEvent::Move:
            case QEvent::Resize:
                follow();
                break;
            default:
                break;
        }
    }
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
    button->setAutoDefault(false);
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
