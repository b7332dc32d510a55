#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>

namespace scortavia {

// The product photo as large as the screen allows; a click anywhere closes it.
class TfrmZoom final : public QDialog {
    Q_OBJECT
public:
    TfrmZoom(QWidget* owner, const QImage& photo);

    // Where the photo may go: the screen less 60 pixels across and 90 down, centred.
    QRect pictureArea() const;
    // Where the photo is drawn: fitted to the area, proportions kept, centred.
    QRect photoRect() const;
    // The picture as the card handed it over.
    const QImage& photo() const { return photo_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage photo_;
};

}  // namespace scortavia
