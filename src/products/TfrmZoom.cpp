#include "products/TfrmZoom.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "ui/Palette.h"

namespace scortavia {

TfrmZoom::TfrmZoom(QWidget* owner, const QImage& photo) : QDialog(owner), photo_(photo) {
    setObjectName(QStringLiteral("frmZoom"));
    setWindowTitle(QStringLiteral(" Fai clic sulla foto per chiudere questa finestra"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setCursor(Qt::PointingHandCursor);
    // exec() shows it with this state.
    setWindowState(Qt::WindowMaximized);
}

QRect TfrmZoom::pictureArea() const {
    QSize size = rect().size();
    if (const QScreen* s = screen()) size = s->availableGeometry().size() - QSize(60, 90);
    // A window manager may leave the window smaller than the screen less its margins.
    size = size.boundedTo(rect().size()).expandedTo(QSize(0, 0));
    return {QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

QRect TfrmZoom::photoRect() const {
    const QRect area = pictureArea();
    if (photo_.isNull() || area.isEmpty()) return {};
    const QSize fitted = photo_.size().scaled(area.size(), Qt::KeepAspectRatio);
    return {area.topLeft() + QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2),
            fitted};
}

void TfrmZoom::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette::color("ink"));
    const QRect target = photoRect();
    if (target.isEmpty()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, photo_);
}

void TfrmZoom::mouseReleaseEvent(QMouseEvent* event) {
    // On the photo or around it: the whole window is the close button.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

}  // namespace scortavia
