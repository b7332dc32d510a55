#pragma once

#include <QString>
#include <functional>

class QPainter;
class QWidget;

namespace scortavia {

class ReportTemplate;
struct ReportPage;

// Printing and previewing of laid-out templates: the system print dialog, the printer, PDF files
// and the preview window. Tests receive the laid-out pages instead of any dialog.
class PrintService final {
public:
    enum class Request { Print, Preview };

    static void print(const ReportTemplate& report, QWidget* parent);
    static void preview(const ReportTemplate& report, QWidget* parent);

    // Writes the laid-out pages to a PDF file; false when it cannot be written.
    static bool writePdf(const ReportTemplate& report, const QString& path);

    // Paints one laid-out page; the painter's device gives the scale (its resolution and size).
    static void paintPage(QPainter& painter, const ReportTemplate& report, const ReportPage& page, double pixelsPerMm);

    using Hook = std::function<void(Request, const ReportTemplate&)>;
    static void setHookForTesting(Hook hook);
};

}  // namespace scortavia
