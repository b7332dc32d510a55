#pragma once

#include <QImage>
#include <QObject>
#include <functional>
#include <memory>

namespace scortavia {

// Live pictures from a camera. frameArrived may be emitted from any thread (the camera's own),
// so receivers connect with a queued connection to touch widgets.
class FrameSource : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<FrameSource>()>;

    explicit FrameSource(QObject* parent = nullptr) : QObject(parent) {}

    // False when no camera could be started; nothing is running then.
    virtual bool start() = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;

    // The system's default video capture device, or what the test factory makes.
    static std::unique_ptr<FrameSource> create(QObject* parent = nullptr);
    // An empty factory goes back to the real camera.
    static void setFactoryForTesting(Factory factory);

Q_SIGNALS:
    void frameArrived(const QImage& frame);
    // A running source stopped by itself (camera unplugged, taken by another program).
    // Emitted on the thread the source lives in.
    void failed();
};

}  // namespace scortavia
