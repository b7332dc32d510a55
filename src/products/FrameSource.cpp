#include "products/FrameSource.h"

#include <QCamera>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>

namespace scortavia {
namespace {

FrameSource::Factory& testFactory() {
    static FrameSource::Factory factory;
    return factory;
}

// The default webcam through Qt Multimedia.
class CameraSource final : public FrameSource {
public:
    explicit CameraSource(QObject* parent) : FrameSource(parent) {
        session_.setVideoSink(&sink_);
        // The sink signals on the camera's thread: convert there, so the user-interface thread
        // only ever receives finished images.
        connect(
            &sink_, &QVideoSink::videoFrameChanged, this,
            [this](const QVideoFrame& frame) {
                if (!frame.isValid()) return;
                const QImage image = frame.toImage();
                if (!image.isNull()) Q_EMIT frameArrived(image);
            },
            Qt::DirectConnection);
    }

    ~CameraSource() override {
        stop();
        sink_.disconnect(this);
        session_.setVideoSink(nullptr);
    }

    bool start() override {
        if (running_) return true;
        if (QMediaDevices::videoInputs().isEmpty()) return false;
        const QCameraDevice device = QMediaDevices::defaultVideoInput();
        if (device.isNull()) return false;
        camera_ = std::make_unique<QCamera>(device);
        connect(camera_.get(), &QCamera::errorOccurred, this, &CameraSource::cameraError);
        session_.setCamera(camera_.get());
        camera_->start();
        // Some back ends refuse at once (device busy or gone); others report it later.
        if (camera_->error() != QCamera::NoError) {
            release();
            return false;
        }
        running_ = true;
        return true;
    }

    void stop() override {
        running_ = false;
        release();
    }

    bool running() const override { return running_; }

private:
    void cameraError(QCamera::Error error) {
        if (error == QCamera::NoError || !running_) return;
        stop();
        Q_EMIT failed();
    }

    void release() {
        if (!camera_) return;
        camera_->disconnect(this);
        camera_->stop();
        session_.setCamera(nullptr);
        // Deleted later: the error may be reported from inside the camera's own call.
        camera_.release()->deleteLater();
    }

    QMediaCaptureSession session_;
    QVideoSink sink_;
    std::unique_ptr<QCamera> camera_;
    bool running_ = false;
};

}  // namespace

std::unique_ptr<FrameSource> FrameSource::create(QObject* parent) {
    if (const Factory& factory = testFactory()) {
        std::unique_ptr<FrameSource> source = factory();
        if (source) source->setParent(parent);
        return source;
    }
    return std::make_unique<CameraSource>(parent);
}

void FrameSource::setFactoryForTesting(Factory factory) { testFactory() = std::move(factory); }

}  // namespace scortavia
