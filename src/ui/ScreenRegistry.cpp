#include "ui/ScreenRegistry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>

#include "ui/ScreenNames.h"

namespace scortavia {

WorkArea::WorkArea(ScreenRegistry& registry, const QString& name) : QWidget(nullptr), registry_(registry) {
    setObjectName(name);
    setAttribute(Qt::WA_QuitOnClose, false);
}

void WorkArea::present() {
    if (maximised_) {
        showMaximized();
    } else {
        show();
    }
    // Panels inside scroll areas are laid out by posted requests: settle them now, so the screen
    // is usable the moment it is on screen.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();  // offscreen cannot raise
    activateWindow();
}

void WorkArea::closeEvent(QCloseEvent* event) {
    if (registry_.ending()) {
        event->accept();
        return;
    }
    // The window stays alive for the whole run: closing only changes which screen is shown.
    event->ignore();
    onClose();
}

void WorkArea::onClose() { registry_.switchTo(toQString(screen::kAvvio), this); }

namespace {

// Work areas refuse to close unless the program is ending (closing one only switches screens).
// A quit requested from outside the program is such an ending: it must not be refused.
class QuitWatcher final : public QObject {
public:
    explicit QuitWatcher(std::function<void()> onQuit) : onQuit_(std::move(onQuit)) {
        if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) onQuit_();
        return false;
    }

private:
    std::function<void()> onQuit_;
};

}  // namespace

ScreenRegistry::ScreenRegistry(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)), quitWatcher_(new QuitWatcher([this] { ending_ = true; })) {}

void WorkArea::presentAsProgramScreen(const QString& title) {
    setWindowTitle(title);
    setWindowIcon(QIcon(QStringLiteral(":/icon_app.svg")));
    presentMaximised();
}

ScreenRegistry::~ScreenRegistry() {
    ending_ = true;
    // Decodes still running finish before the screens go: none comes back to a photo box that is gone.
    photoDecoding_.waitForDone();
    // The last created first; a screen going may still look for those that stay.
    while (!owned_.empty()) {
        std::unique_ptr<WorkArea> going = std::move(owned_.back());
        owned_.pop_back();
        const QString name = going->objectName();
        const bool found = screens_.value(name) == going.get();
        going.reset();
        if (found) screens_.remove(name);
    }
}

void ScreenRegistry::adopt(std::unique_ptr<WorkArea> screen) {
    screens_.insert(screen->objectName(), screen.get());
    order_.push_back(screen->objectName());
    owned_.push_back(std::move(screen));
}

WorkArea* ScreenRegistry::screen(const QString& name) const { return screens_.value(name); }

bool ScreenRegistry::switchTo(const QString& name, QWidget* from) {
    WorkArea* target = screen(name);
    if (!target) return false;
    target->present();
    if (from && from != target) from->hide();
    return true;
}

void ScreenRegistry::endProgram() {
    ending_ = true;
    if (endHandler_) {
        endHandler_();
        return;
    }
    for (const QString& name : order_) {
        if (WorkArea* s = screen(name)) s->hide();
    }
    QApplication::quit();
}

}  // namespace scortavia
