#include "reports/PrintRun.h"

#include <QDialog>

namespace scortavia {

PrintRun::PrintRun(PrintMode mode, std::vector<Choice> choices) : mode_(mode), choices_(std::move(choices)) {}

ReportTemplate* PrintRun::report(const QString& key) const {
    for (const Choice& choice : choices_) {
        if (choice.key == key) return choice.report.get();
    }
    return nullptr;
}

void PrintRun::finish(QDialog& dialog, const QString& key, const Fill& fill, PrintMode as) const {
    if (ReportTemplate* chosen = fill ? report(key) : nullptr) {
        chosen->setOrientation(QPageLayout::Portrait);
        fill(*chosen);
        chosen->prepare();
        if (as == PrintMode::Print) {
            chosen->print(&dialog);
        } else {
            chosen->preview(&dialog);
        }
    }
    // Printed, previewed or cancelled in the print dialog, the user is back on the screen that opened it.
    dialog.close();
}

}  // namespace scortavia
