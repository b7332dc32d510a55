#include "products/BarcodeBox.h"

#include <QPainter>

#include "reports/BarcodeDrawing.h"
#include "ui/QtText.h"

namespace scortavia {

namespace {

QString symbologyName(Symbology symbology) {
    switch (symbology) {
        case Symbology::Ean13:
            return QStringLiteral("EAN-13");
        case Symbology::Ean8:
            return QStringLiteral("EAN-8");
        case Symbology::UpcA:
            return QStringLiteral("UPC-A");
        case Symbology::Code128:
            break;
    }
    return QStringLiteral("Code 128");
}

}  // namespace

BarcodeBox::BarcodeBox(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setCode(QString());
}

void BarcodeBox::setCode(const QString& code) {
    choice_ = barcodeFor(code.trimmed().toStdString());
    QString hint;
    if (!choice_.symbology) {
        hint = toQString(choice_.problem);
    } else {
        hint = QStringLiteral("Codice a barre del prodotto (%1), come viene stampato sulle etichette.")
                   .arg(symbologyName(*choice_.symbology));
        if (looksLikeEan13WithWrongCheck(choice_.content))
            hint += QStringLiteral(" Il codice ha 13 cifre, ma la cifra di controllo non è quella di un EAN-13.");
    }
    // The card's status line shows this while the mouse is over the box.
    setProperty("hoverHint", hint);
    setToolTip(hint);
    update();
}

void BarcodeBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (drawBarcode(painter, QRectF(rect()), choice_, true)) return;
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(rect(), Qt::AlignCenter,
                     choice_.content.empty() ? QString() : QStringLiteral("Nessun codice a barre"));
}

}  // namespace scortavia
