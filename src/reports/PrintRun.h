#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "reports/ReportTemplate.h"

class QDialog;

namespace scortavia {

// What a print dialog's action button does with the filled page.
enum class PrintMode { Print, Preview };

// The part of a print dialog that needs no controls: whether it prints or previews, and its templates,
// each under the key of the choice that picks it (a dialog without a choice has one, under the empty
// key). The templates are made with the dialog, so every opening prints from their design contents.
class PrintRun final {
public:
    struct Choice {
        QString key;
        std::unique_ptr<ReportTemplate> report;
    };
    // Fills a template from the screen being printed.
    using Fill = std::function<void(ReportTemplate&)>;

    PrintRun(PrintMode mode, std::vector<Choice> choices);

    PrintMode mode() const { return mode_; }

    // The template the key picks, compared exactly; nullptr for a key that picks none.
    ReportTemplate* report(const QString& key) const;

    // The end of every print dialog's action: the template of `key` back in portrait, filled, laid out,
    // then printed or previewed over the dialog, which closes whatever the print dialog answered. A key
    // that picks no template, or no `fill`, prints nothing and still closes.
    // A dialog that both prints and previews says which one this is.
    void finish(QDialog& dialog, const QString& key, const Fill& fill) const { finish(dialog, key, fill, mode_); }
    void finish(QDialog& dialog, const QString& key, const Fill& fill, PrintMode as) const;

private:
    PrintMode mode_;
    std::vector<Choice> choices_;
};

}  // namespace scortavia
