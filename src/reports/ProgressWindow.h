#pragma once

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace scortavia {

// The program's window for a long job ("frmAvanzamento"): its text, a bar from 0 to `maximum` and
// "Annulla". Modal to `parent`'s window (to the whole program without one), it shows only once the job
// looks like lasting more than a second, and stays up to the last step so that "Annulla" pressed during
// it still counts. Printing and backups both show their jobs through it.
std::unique_ptr<QProgressDialog> makeProgressWindow(QWidget* parent, const QString& title, const QString& text,
                                                    int maximum);

}  // namespace scortavia
