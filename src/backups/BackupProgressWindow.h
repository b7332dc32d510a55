#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "backups/BackupArchive.h"

class QProgressDialog;
class QWidget;

namespace scortavia {

// How far a backup, a check or a restore has gone, with "Annulla" to stop it. The window shows, modal
// to `parent`'s window (to the whole program without one), only when the job looks like lasting more
// than a second; meanwhile the mouse pointer says the program is busy.
class BackupProgressWindow final {
public:
    BackupProgressWindow(QWidget* parent, const QString& text);
    ~BackupProgressWindow();
    BackupProgressWindow(const BackupProgressWindow&) = delete;
    BackupProgressWindow& operator=(const BackupProgressWindow&) = delete;

    // What the job is told to call as it goes; it lives as long as this window.
    BackupProgress callback();
    // Whether "Annulla" stopped the job.
    bool cancelled() const { return cancelled_; }

    // Tests replace the window: the hook is told of every step (the window's text, the bytes done and
    // to do) and returns false to stop the job there.
    using Hook = std::function<bool(const QString& text, std::uint64_t done, std::uint64_t total)>;
    static void setHookForTesting(Hook hook);

private:
    bool step(std::uint64_t done, std::uint64_t total);

    QString text_;
    bool cancelled_ = false;
    std::unique_ptr<QProgressDialog> dialog_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceEvents_;
};

}  // namespace scortavia
