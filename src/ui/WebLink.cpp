#include "ui/WebLink.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QStyle>

namespace scortavia {

WebLink::WebLink(const QString& name, const QString& text, QWidget* parent) : QLabel(text, parent) {
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void WebLink::setPressed(bool pressed) {
    if (pressed == pressed_) return;
    pressed_ = pressed;
    // The style sheet reads the property only when the widget is polished again.
    style()->unpolish(this);
    style()->polish(this);
    update();
}

void WebLink::attach(QAbstractButton* picture) {
    connect(picture, &QAbstractButton::pressed, this, [this] { setPressed(true); });
    connect(picture, &QAbstractButton::released, this, [this] { setPressed(false); });
    connect(picture, &QAbstractButton::clicked, this, &WebLink::clicked);
}

void WebLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    setPressed(true);
    event->accept();
}

void WebLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    setPressed(false);
    event->accept();
    // As with a button, letting go away from the text takes the click back.
    if (rect().contains(event->position().toPoint())) Q_EMIT clicked();
}

}  // namespace scortavia
