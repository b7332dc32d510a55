#pragma once

#include <QString>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace scortavia {

// How far a print, PDF or preview job has gone ("Pagina N di M"), with "Annulla" to stop it. The
// window shows, modal to `parent`'s window, only when the job looks like lasting more than a
// second; a one-page job never shows it.
class PrintProgress final {
public:
    enum class Job { Printer, Pdf, Preview };

    PrintProgress(QWidget* parent, Job job, int pageCount);
    ~PrintProgress();
    PrintProgress(const PrintProgress&) = delete;
    PrintProgress& operator=(const PrintProgress&) = delete;

    // Called after each page painted (1-based); false once the job is to stop.
    bool pageDone(int page);
    bool cancelled() const { return cancelled_; }

    // Tests replace the window: the hook is told of every page painted and returns false to stop
    // the job there.
    using Hook = std::function<bool(int pagesDone, int pageCount)>;
    static void setHookForTesting(Hook hook);

private:
    QString labelFor(int page) const;

    Job job_;
    int pageCount_;
    bool cancelled_ = false;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace scortavia
