#pragma once

#include <QLabel>
#include <QString>

class QAbstractButton;

namespace scortavia {

// A text that opens something on the desktop when clicked (a web address, the PDF guide). While the
// mouse is held down on it, or on a picture attached to it, it is orange; once released it is dark blue.
// The colours come from the style sheet, through the `pressed` property.
class WebLink final : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool pressed READ isPressed)
public:
    WebLink(const QString& name, const QString& text, QWidget* parent);

    bool isPressed() const { return pressed_; }
    void setPressed(bool pressed);

    // The picture beside the text acts as part of the link: pressing it colours the text, clicking it
    // clicks the link.
    void attach(QAbstractButton* picture);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace scortavia
