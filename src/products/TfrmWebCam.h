#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <functional>
#include <memory>
#include <vector>

#include "products/BarcodeDecode.h"

class QLabel;
class QPushButton;

namespace scortavia {

class FrameSource;
class PhotoBox;
class ScreenRegistry;

// Pictures the webcam dialog shows before there is anything live or captured (366 x 274).
const QImage& webcamOffPicture();
const QImage& noCapturePicture();

// The barcodes in a picture, read as the camera's frames are.
std::vector<ReadBarcode> readBarcodes(const QImage& picture);

// Takes a photo with the webcam and puts it on the product card; or, given where codes go, reads the
// barcodes the camera sees: then only the live view is shown, the camera starts by itself, and the first
// code taken closes the dialog.
class TfrmWebCam final : public QDialog {
    Q_OBJECT
public:
    // True when the code named a product and was taken; false shows it was read but is unknown.
    using CodeTaken = std::function<bool(const QString& code)>;

    TfrmWebCam(ScreenRegistry& registry, QWidget* owner);
    TfrmWebCam(ScreenRegistry& registry, QWidget* owner, CodeTaken scanned);
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
    QLabel* lblStato = nullptr;  // while scanning: what to do, or the last code read that names no product

    void btnAccendiClick();
    void btnSpegniClick();
    void btnCatturaClick();
    void btnSalvaFotogrammaClick();
    void btnImportaFotoClick();
    void btnCloseClick();

    // Every way of closing switches the camera off.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showFrame(const QImage& frame);
    void readCodes(const QImage& frame);
    void cameraFailed();

    ScreenRegistry& registry_;
    std::unique_ptr<FrameSource> source_;
    CodeTaken scanned_;
    QString lastUnknown_;
    QElapsedTimer sinceRead_;
};

}  // namespace scortavia
