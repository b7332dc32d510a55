#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

class QLabel;
class QPushButton;

namespace scortavia {

class FrameSource;
class PhotoBox;
class ScreenRegistry;

// Pictures the webcam dialog shows before there is anything live or captured (366 x 274).
const QImage& webcamOffPicture();
const QImage& noCapturePicture();

// Takes a photo with the webcam and puts it on the product card.
class TfrmWebCam final : public QDialog {
    Q_OBJECT
public:
    TfrmWebCam(ScreenRegistry& registry, QWidget* owner);
    ~TfrmWebCam() override;

    PhotoBox* imgCamera;
    PhotoBox* imgTarget;
    PhotoBox* imgBianco;
    QLabel* lblCamera;
    QLabel* lblTarget;
    QPushButton* btnAccendi;
    QPushButton* btnSpegni;
    QPushButton* btnCattura;
    QPushButton* btnSalvaFotogramma;
    QPushButton* btnImportaFoto;
    QPushButton* btnClose;

    void btnAccendiClick();
    void btnSpegniClick();
    void btnCatturaClick();
    void btnSalvaFotogrammaClick();
    void btnImportaFotoClick();
    void btnCloseClick();

    // Every way of closing switches the camera off.
    void done(int result) override;

private:
    void showFrame(const QImage& frame);
    void cameraFailed();

    ScreenRegistry& registry_;
    std::unique_ptr<FrameSource> source_;
};

}  // namespace scortavia
