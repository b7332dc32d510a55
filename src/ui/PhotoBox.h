#pragma once

#include <QImage>
#include <QWidget>

namespace scortavia {

// Size of every product and price-list photo, and of the placeholder picture.
inline constexpr QSize kPhotoSize{366, 274};

// The built-in picture shown for a product without a photo.
const QImage& placeholderPhoto();

// A photo held at full size and shown scaled to fit, proportions kept, centred.
class PhotoBox final : public QWidget {
    Q_OBJECT
public:
    PhotoBox(const QString& name, QWidget* parent);

    const QImage& image() const { return image_; }
    void setImage(const QImage& image);
    void showPlaceholder() { setImage(placeholderPhoto()); }
    bool showsPlaceholder() const;
    QSize sizeHint() const override { return kPhotoSize; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace scortavia
