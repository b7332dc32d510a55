#include "app/Widgets.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>

namespace scortavia {

PictureButton::PictureButton(const QString& name, const QString& picture, QSize size, QWidget* parent)
    : QAbstractButton(parent), renderer_(new QSvgRenderer(picture, this)), size_(size) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(size);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF area = rect();
    if (isDown()) area.adjust(1, 1, 1, 1);
    painter.setOpacity(hovered_ || isDown() ? 1.0 : 0.93);
    renderer_->render(&painter, area);
    if (hovered_) {
        painter.setOpacity(1.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 28));
        painter.drawRoundedRect(rect(), 8, 8);
    }
}

void PictureButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PictureButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
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

FocusFrame::FocusFrame(const QString& name, QLineEdit* box) : QFrame(box->parentWidget()), box_(box) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("QFrame#%1 { border: 2px solid #F28C28; border-radius: 5px; background: transparent; }")
                      .arg(name));
    box->installEventFilter(this);
    hide();
}

void FocusFrame::follow() {
    if (!box_) return;
    setGeometry(box_->geometry().adjusted(-4, -4, 4, 4));
    stackUnder(box_);
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_) {
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

void centerOnScreen(QWidget* window) {
    if (QScreen* s = window->screen()) window->move(s->availableGeometry().center() - window->rect().center());
}

}  // namespace scortavia
