#include "reports/ProgressWindow.h"

#include <QProgressDialog>

namespace scortavia {

namespace {
// The window appears as soon as the job is expected to last longer than this.
constexpr int kShowAfterMs = 1000;
}  // namespace

std::unique_ptr<QProgressDialog> makeProgressWindow(QWidget* parent, const QString& title, const QString& text,
                                                    int maximum) {
    auto window = std::make_unique<QProgressDialog>(text, QStringLiteral("Annulla"), 0, maximum, parent);
    window->setObjectName(QStringLiteral("frmAvanzamento"));
    window->setWindowTitle(title);
    // Without an owner window there is nothing to be modal to: the whole program waits instead.
    window->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    window->setMinimumDuration(kShowAfterMs);
    window->setAutoReset(false);
    window->setAutoClose(false);
    window->setValue(0);
    return window;
}

}  // namespace scortavia
