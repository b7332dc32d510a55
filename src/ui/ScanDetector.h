#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

namespace scortavia {

// Tells a barcode scanner from a person at the keyboard of one window. A USB scanner types the whole
// code in a burst, a few milliseconds a key, and ends it with Enter; nobody types three keys that fast.
// The keys reach the boxes as usual; when Enter ends such a burst, the code is offered to the screen. A
// code it takes gives the box that received it back the text it had before, and the Enter goes no
// further; a code it does not take (it names no product) stays typed and its Enter does what it always
// does, since a burst cannot be told from fast typing by its timing alone. Slow typing is left alone.
class ScanDetector final : public QObject {
    Q_OBJECT
public:
    // Longest pause between two keys of a scan, Enter included; scanners leave 1 to 20 ms.
    static constexpr qint64 kMaxGapMs = 40;
    // Shortest code taken for a scan.
    static constexpr int kMinLength = 3;

    // True when the screen took the code.
    using Take = std::function<bool(const QString& code)>;

    // Watches the keys typed anywhere inside `window` for as long as it lives.
    ScanDetector(QWidget* window, Take take);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restart();

    QWidget* window_;
    Take take_;
    QElapsedTimer sinceLastKey_;
    QString burst_;
    QPointer<QLineEdit> box_;  // the box the burst was typed into, and its text before it
    QString boxTextBefore_;
};

// What a screen says of a scanned code that no product on it has. A modal message: the cashier is
// looking at the goods, not the screen, and must not go on selling with the last product still picked.
QString unknownCodeMessage(const QString& code);

}  // namespace scortavia
