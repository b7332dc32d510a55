#pragma once

#include <QFont>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

class QPainter;
class QRectF;

namespace scortavia {

struct ReportFont;
struct ReportPage;
class TextObject;
class FixedPitchGlyphs;

// Paints laid-out pages on one painter, page after page. What it looks up once (fonts, the glyphs
// of fixed-pitch text) serves every page of the job: a page of list rows is one glyph run, not
// one text layout per row.
class PagePainter final {
public:
    PagePainter(QPainter& painter, double pixelsPerMm);
    ~PagePainter();
    PagePainter(const PagePainter&) = delete;
    PagePainter& operator=(const PagePainter&) = delete;

    void paint(const ReportPage& page);

private:
    const QFont& fontFor(const ReportFont& font);
    FixedPitchGlyphs* fixedPitchGlyphs();
    void paintText(const TextObject& text, const QRectF& rect, const QStringList& lines);
    void paintLines(const TextObject& text, const QRectF& rect, const QStringList& lines);
    // One line in its box, 0.6 mm in from the side it is aligned to (centred lines use the whole box).
    void drawLine(Qt::Alignment alignment, const QRectF& box, const QString& line);

    QPainter& painter_;
    double pxPerMm_;
    std::map<QString, QFont> fonts_;
    std::map<QString, std::unique_ptr<FixedPitchGlyphs>> glyphs_;  // by the painter's font; null: not fixed pitch
    std::vector<quint32> runGlyphs_;
    std::vector<QPointF> runPositions_;
};

}  // namespace scortavia
