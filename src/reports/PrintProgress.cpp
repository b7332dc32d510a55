#include "reports/PrintProgress.h"

#include <QProgressDialog>

#include "reports/ProgressWindow.h"

namespace scortavia {
namespace {

PrintProgress::Hook& hook() {
    static PrintProgress::Hook instance;
    return instance;
}

}  // namespace

void PrintProgress::setHookForTesting(Hook h) { hook() = std::move(h); }

PrintProgress::PrintProgress(QWidget* parent, Job job, int pageCount) : job_(job), pageCount_(pageCount) {
    if (hook() || pageCount < 2) return;
    dialog_ = makeProgressWindow(parent,
                                 job == Job::Preview ? QStringLiteral("Anteprima di stampa") : QStringLiteral("Stampa"),
                                 labelFor(1), pageCount);
}

PrintProgress::~PrintProgress() = default;

QString PrintProgress::labelFor(int page) const {
    const QString doing = job_ == Job::Printer ? QStringLiteral("Stampa in corso...")
                          : job_ == Job::Pdf   ? QStringLiteral("Creazione del PDF in corso...")
                                               : QStringLiteral("Preparazione dell'anteprima in corso...");
    return QStringLiteral("%1\nPagina %2 di %3").arg(doing).arg(page).arg(pageCount_);
}

bool PrintProgress::pageDone(int page) {
    if (cancelled_) return false;
    if (hook()) {
        cancelled_ = !hook()(page, pageCount_);
    } else if (dialog_) {
        if (page < pageCount_) dialog_->setLabelText(labelFor(page + 1));
        // Once the window shows, this lets it handle its events: a press on "Annulla" arrives here.
        dialog_->setValue(page);
        cancelled_ = dialog_->wasCanceled();
    }
    return !cancelled_;
}

}  // namespace scortavia
