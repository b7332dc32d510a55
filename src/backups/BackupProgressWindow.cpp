#include "backups/BackupProgressWindow.h"

#include <QApplication>
#include <QProgressDialog>
#include <algorithm>

#include "reports/ProgressWindow.h"

namespace scortavia {
namespace {

BackupProgressWindow::Hook& hook() {
    static BackupProgressWindow::Hook instance;
    return instance;
}

// The window appears as soon as the job is expected to last longer than this.
constexpr int kShowAfterMs = 1000;
// The bar counts in thousandths of the job: bytes do not fit its int.
constexpr int kSteps = 1000;
// While the bar stands still (a big file), the window still answers "Annulla" this often.
constexpr qint64 kEventsEveryMs = 100;

}  // namespace

void BackupProgressWindow::setHookForTesting(Hook h) { hook() = std::move(h); }

BackupProgressWindow::BackupProgressWindow(QWidget* parent, const QString& text) : text_(text) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (hook()) return;
    dialog_ = makeProgressWindow(parent, QStringLiteral("Copie di sicurezza"), text, kSteps);
    sinceStart_.start();
    sinceEvents_.start();
}

BackupProgressWindow::~BackupProgressWindow() { QApplication::restoreOverrideCursor(); }

BackupProgress BackupProgressWindow::callback() {
    return [this](std::uint64_t done, std::uint64_t total) { return step(done, total); };
}

bool BackupProgressWindow::step(std::uint64_t done, std::uint64_t total) {
    if (cancelled_) return false;
    if (hook()) {
        cancelled_ = !hook()(text_, done, total);
        return !cancelled_;
    }
    if (!dialog_) return true;
    const int value = total == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(done, total) * kSteps / total);
    if (value != dialog_->value()) {
        // Once the window shows, this lets it handle its events: a press on "Annulla" arrives here.
        dialog_->setValue(value);
        sinceEvents_.restart();
    } else if (sinceEvents_.hasExpired(kEventsEveryMs)) {
        // A job stuck at one value for its first second shows the window all the same.
        if (!dialog_->isVisible() && sinceStart_.hasExpired(kShowAfterMs)) dialog_->show();
        // Events only once the window holds the screens below: no click may start a second job.
        if (dialog_->isVisible()) QCoreApplication::processEvents();
        sinceEvents_.restart();
    }
    cancelled_ = dialog_->wasCanceled();
    return !cancelled_;
}

}  // namespace scortavia
