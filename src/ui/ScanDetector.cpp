#include "ui/ScanDetector.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace scortavia {

ScanDetector::ScanDetector(QWidget* window, Take take) : QObject(window), window_(window), take_(std::move(take)) {
    // The keys go to whichever control has the focus, so the whole application is watched and only the
    // keys of this window are looked at.
    qApp->installEventFilter(this);
}

void ScanDetector::restart() {
    burst_.clear();
    box_.clear();
    boxTextBefore_.clear();
}

bool ScanDetector::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != window_ && !window_->isAncestorOf(widget))) return false;
    // A key a control leaves alone travels on to its parents: it counts once, where it was typed.
    if (QWidget* focus = QApplication::focusWidget(); focus && focus != widget && widget->isAncestorOf(focus)) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool quick = sinceLastKey_.isValid() && sinceLastKey_.elapsed() <= kMaxGapMs;
    sinceLastKey_.start();

    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        const QString code = burst_;
        const bool scan = quick && code.size() >= kMinLength;
        QPointer<QLineEdit> box = box_;
        const QString before = boxTextBefore_;
        restart();
        sinceLastKey_.invalidate();
        if (!scan) return false;
        // The box is given back its text first: taking the code may write into it, or move on to it.
        const QString typed = box ? box->text() : QString();
        if (box) box->setText(before);
        if (take_(code)) return true;
        if (box) box->setText(typed);
        return false;
    }
    const QString text = key->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!printable) {
        restart();
        return false;
    }
    if (!quick) {
        restart();
        box_ = qobject_cast<QLineEdit*>(widget);
        if (box_) boxTextBefore_ = box_->text();
    }
    burst_ += text;
    return false;
}

QString unknownCodeMessage(const QString& code) {
    return QStringLiteral("Nessun prodotto con il codice «%1».").arg(code);
}

}  // namespace scortavia
