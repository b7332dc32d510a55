#include "reports/PrintProgress.h"

#include <QProgressDialog>

namespace scortavia {
namespace {

PrintProgress::Hook& hook() {
    static PrintProgress::Hook instance;
    return instance;
}

// The window appears as soon as the job is expected to last longer than this.
constexpr int kShowAfterMs = 1000;

}  // namespace

void PrintProgress::setHookForTesting(Hook h) { hook() = std::move(h); }

PrintProgress::PrintProgress(QWidget* parent, Job job, int pageCount) : job_(job), pageCount_(pageCount) {
    if (hook() || pageCount < 2) return;
    dialog_ = std::make_unique<QProgressDialog>(labelFor(1), QStringLiteral("Annulla"), 0, pageCount, parent);
    dialog_->setObjectName(QStringLiteral("frmAvanzamento"));
    dialog_->setWindowTitle(job == Job::Preview ? QStringLiteral("Anteprima di stampa") : QStringLiteral("Stampa"));
    // Without an owner window there is nothing to be modal to: the whole program waits instead.
    dialog_->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    dialog_->setMinimumDuration(kShowAfterMs);
    // Kept up to the last page, so that "Annulla" pressed during it still counts.
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
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
