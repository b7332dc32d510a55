#pragma once

#include <QWidget>

#include "common/Barcode.h"

namespace scortavia {

// The barcode of the code on a card, drawn small; a code that cannot be one leaves the box empty but for
// a short note, and the box's hover hint tells why.
class BarcodeBox final : public QWidget {
public:
    BarcodeBox(const QString& name, QWidget* parent);

    void setCode(const QString& code);
    const BarcodeChoice& choice() const { return choice_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BarcodeChoice choice_;
};

}  // namespace scortavia
