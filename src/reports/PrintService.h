#pragma once

#include <QString>
#include <functional>

class QPainter;
class QPrinter;
class QWidget;

namespace scortavia {

class ReportTemplate;
struct ReportPage;

// Printing and previewing of laid-out templates: the system print dialog, the printer, PDF files
// and the preview window. Tests receive the laid-out pages instead of any dialog. A long job shows
// its progress and may be cancelled (PrintProgress).
class PrintService final {
public:
    enum class Request { Print, Preview };

    static void print(const ReportTemplate& report, QWidget* parent);

    // Sets a printer up for a report, as the print dialog receives it: the report's paper and
    // orientation, its name, and the whole sheet to paint on, since the pages carry their margins.
    static void setUpPrinter(QPrinter& printer, const ReportTemplate& report);
    static void preview(const ReportTemplate& report, QWidget* parent);

    // Writes the laid-out pages to a PDF file; false when it cannot be written or the job was
    // cancelled. The file takes its name only once complete: otherwise whatever stood at `path`
    // stays as it was.
    static bool writePdf(const ReportTemplate& report, const QString& path, QWidget* parent = nullptr);

    // Paints pages `from` to `to` (1-based) on a printer the print dialog has set up; false when
    // it fails or is cancelled. A cancelled job asks the printer to drop what it has; a job printed
    // to a file leaves no file, and whatever stood at that name stays as it was. Paper of another
    // size than the report's takes each page centred, shrunk to fit when the paper is smaller.
    static bool printPages(QPrinter& printer, const ReportTemplate& report, int from, int to, QWidget* parent);

    // Paints one laid-out page; the painter's device gives the scale (its resolution and size).
    static void paintPage(QPainter& painter, const ReportTemplate& report, const ReportPage& page, double pixelsPerMm);

    using Hook = std::function<void(Request, const ReportTemplate&)>;
    static void setHookForTesting(Hook hook);
};

}  // namespace scortavia
