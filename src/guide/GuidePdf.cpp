#include "guide/GuidePdf.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>

#include "guide/GuideLayout.h"
#include "ui/QtText.h"

namespace scortavia::guide {
namespace {

// Page coordinates are in dots of this resolution; fonts in points scale with it.
constexpr int kResolution = 600;
double mm(double millimetres) { return millimetres * kResolution / 25.4; }

constexpr double kPageWidthMm = 210;
constexpr double kPageHeightMm = 297;
constexpr double kSideMarginMm = 24;
constexpr double kTopMarginMm = 28;
constexpr double kBottomMarginMm = 26;

const QString kTitle = QStringLiteral("Scortavia");
const QString kSubject = QStringLiteral("Guida all'utilizzo del software");
const QString kSubtitle = QStringLiteral(
    "Le schede dei prodotti, il carico e lo scarico della merce, i riepiloghi, l'inventario e i listini prezzi "
    "illustrati, spiegati passo per passo.");
const QString kSampleNote = QStringLiteral(
    "Le figure mostrano il programma al lavoro con i dati di un negozio di esempio: i prodotti, le ditte e i "
    "recapiti sono inventati.");

// The program's colours (see the style sheet): teal for titles, orange for accents.
const QColor kTeal(0x0F, 0x5E, 0x63);
const QColor kOrange(0xF2, 0x8C, 0x28);
const QColor kInk(0x22, 0x22, 0x22);
const QColor kGrey(0x6B, 0x6F, 0x72);
const QColor kRule(0xB8, 0xC8, 0xCA);

const QString kSans = QStringLiteral("Liberation Sans");
const QString kSerif = QStringLiteral("Liberation Serif");

QFont font(const QString& family, double points, bool bold = false, bool italic = false) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    // Outlines as designed: hinting would bend the widths towards a screen's pixels.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// A screen pixel at its own size, 96 to the inch, and the smallest a screen's text may be on paper.
constexpr double kNaturalScale = kResolution / 96.0;  // page dots per pixel
constexpr double kReadablePoints = 8;
double points(double p) { return p * kResolution / 72; }

constexpr double kParagraphGapMm = 3.2;
constexpr double kHeadingGapMm = 9;
constexpr double kFigureAboveMm = 2.5;
constexpr double kFigureBelowMm = 7;
constexpr double kCaptionGapMm = 2.5;

QFont captionFont() { return font(kSans, 9, false, true); }

// A heading or a paragraph laid out on the text's width, drawn a range of its lines at a time.
class TextBlock final {
public:
    TextBlock(QPaintDevice* device, double width) {
        document_.setUndoRedoEnabled(false);
        document_.documentLayout()->setPaintDevice(device);
        document_.setDocumentMargin(0);
        document_.setTextWidth(width);
        document_.setDefaultFont(font(kSerif, 11.5));
    }
    QTextCursor cursor() { return QTextCursor(&document_); }

    // Once the text is in: where each line starts, and where the last ends.
    void measure() {
        const QTextBlock block = document_.begin();
        const QTextLayout* layout = block.layout();
        document_.documentLayout()->documentSize();  // lays it out
        for (int i = 0; i < layout->lineCount(); ++i) tops_.push_back(layout->position().y() + layout->lineAt(i).y());
        tops_.push_back(document_.documentLayout()->documentSize().height());
    }
    std::vector<double> lineHeights() const {
        std::vector<double> heights;
        for (std::size_t i = 0; i + 1 < tops_.size(); ++i) heights.push_back(tops_[i + 1] - tops_[i]);
        return heights;
    }
    // The bottom of the last line's letters, below the top of the block.
    double textBottom() const {
        const QTextLayout* layout = document_.begin().layout();
        const QTextLine last = layout->lineAt(layout->lineCount() - 1);
        return layout->position().y() + last.y() + last.height();
    }

    void draw(QPainter& painter, double top, std::size_t first, std::size_t end) const {
        painter.save();
        painter.translate(0, top - tops_[first]);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, tops_[first], document_.textWidth(), tops_[end] - tops_[first]);
        context.palette.setColor(QPalette::Text, kInk);
        painter.setClipRect(context.clip);
        document_.documentLayout()->draw(&painter, context);
        painter.restore();
    }

private:
    QTextDocument document_;
    std::vector<double> tops_;
};

struct FigureItem {
    const Figure* figure;
    QString caption;  // with its number
    std::size_t chapter;
    std::size_t paragraph;
    double captionHeight = 0;
};

// What a block of the layout stands for: a heading, a paragraph or a figure.
struct Content {
    int text = -1;    // into texts_
    int figure = -1;  // into figures_
    std::size_t paragraph = 0;
};

struct Section {
    QString number;
    QString title;
    int firstPage = 0;  // of the body, from 0
};

// The body: every section laid out on pages of the text area's size, for the writer's resolution.
class Body final {
public:
    Body(QPaintDevice* device, QSizeF page, std::span<const HelpPage> pages, const std::vector<Figure>& figures)
        : device_(device), page_(page) {
        std::vector<std::vector<LayoutBlock>> chapters;
        for (const HelpPage& help : pages) chapters.push_back(chapter(help, figures));
        composition_ = compose(chapters, page_.height());
        for (std::size_t c = 0; c < sections_.size(); ++c) sections_[c].firstPage = composition_.chapterFirstPage[c];
    }

    int pageCount() const { return static_cast<int>(composition_.pages.size()); }
    const std::vector<Section>& sections() const { return sections_; }
    const Section& sectionOn(int page) const {
        return sections_.at(composition_.pages.at(static_cast<std::size_t>(page)).chapter);
    }

    // One page of the body into the text area, whose top left corner is the painter's origin.
    void paintPage(QPainter& painter, int page) const {
        for (const Placement& placement : composition_.placements) {
            if (placement.page != page) continue;
            const Content& content = contents_[placement.chapter][placement.block];
            if (content.figure >= 0) {
                paintFigure(painter, figures_[static_cast<std::size_t>(content.figure)], placement);
                continue;
            }
            const TextBlock& text = *texts_[static_cast<std::size_t>(content.text)];
            text.draw(painter, placement.top, placement.firstLine, placement.endLine);
            if (placement.block == 0 && placement.firstLine == 0) {
                // A rule under the section's heading.
                const double y = placement.top + text.textBottom() + mm(2.5);
                painter.setPen(QPen(kRule, mm(0.3)));
                painter.drawLine(QPointF(0, y), QPointF(page_.width(), y));
                painter.fillRect(QRectF(0, y - mm(0.5), mm(22), mm(1)), kOrange);
            }
        }
    }

    // How the figures and pages came out, for the guide's tests: for each figure the pages of its
    // pieces (one unless it is split) and of its paragraph, its scale and its smallest text on paper.
    QJsonObject report(int firstBodyPage) const {
        std::vector<QJsonObject> figures(figures_.size());
        std::vector<QJsonArray> pieces(figures_.size());
        std::vector<QJsonArray> paragraphPages(figures_.size());
        for (const Placement& placement : composition_.placements) {
            const Content& content = contents_[placement.chapter][placement.block];
            const int page = firstBodyPage + placement.page;
            if (content.text >= 0) {
                // Every figure of the section after this paragraph lies on the page of some of its lines.
                for (std::size_t f = 0; f < figures_.size(); ++f) {
                    if (placement.block > 0 && figures_[f].chapter == placement.chapter &&
                        figures_[f].paragraph == content.paragraph && !paragraphPages[f].contains(page)) {
                        paragraphPages[f].append(page);
                    }
                }
                continue;
            }
            const auto f = static_cast<std::size_t>(content.figure);
            const FigureItem& item = figures_[f];
            const double pointsPerPixel = placement.scale * 72 / kResolution;
            pieces[f].append(QJsonObject{{QStringLiteral("page"), page},
                                         {QStringLiteral("pixelTop"), placement.pixelTop},
                                         {QStringLiteral("pixelBottom"), placement.pixelBottom},
                                         {QStringLiteral("captioned"), placement.captioned}});
            figures[f] = QJsonObject{{QStringLiteral("caption"), item.caption},
                                     {QStringLiteral("topic"), static_cast<int>(item.figure->topic)},
                                     {QStringLiteral("paragraph"), static_cast<int>(item.paragraph)},
                                     {QStringLiteral("pixelWidth"), item.figure->picture.width()},
                                     {QStringLiteral("pixelHeight"), item.figure->picture.height()},
                                     {QStringLiteral("pointsPerPixel"), pointsPerPixel},
                                     {QStringLiteral("textPixels"), item.figure->textPixels},
                                     {QStringLiteral("textPoints"), item.figure->textPixels * pointsPerPixel}};
        }
        QJsonArray figureList;
        for (std::size_t f = 0; f < figures.size(); ++f) {
            figures[f].insert(QStringLiteral("pieces"), pieces[f]);
            figures[f].insert(QStringLiteral("paragraphPages"), paragraphPages[f]);
            figureList.append(figures[f]);
        }
        QJsonArray pages;
        for (std::size_t p = 0; p < composition_.pages.size(); ++p) {
            const PageFill& fill = composition_.pages[p];
            pages.append(QJsonObject{{QStringLiteral("page"), firstBodyPage + static_cast<int>(p)},
                                     {QStringLiteral("section"), static_cast<int>(fill.chapter) + 1},
                                     {QStringLiteral("filled"), fill.filled},
                                     {QStringLiteral("lastOfSection"), fill.lastOfChapter}});
        }
        return {{QStringLiteral("textTopMm"), kTopMarginMm},
                {QStringLiteral("textBottomMm"), kPageHeightMm - kBottomMarginMm},
                {QStringLiteral("figures"), figureList},
                {QStringLiteral("pages"), pages}};
    }

private:
    std::vector<LayoutBlock> chapter(const HelpPage& help, const std::vector<Figure>& figures) {
        std::vector<LayoutBlock> blocks;
        std::vector<Content>& contents = contents_.emplace_back();
        Section section{QString::number(sections_.size() + 1), toQString(help.title), 0};

        TextBlock& heading = text();
        {
            QTextCharFormat number;
            number.setFont(font(kSans, 20, true));
            number.setForeground(kOrange);
            QTextCharFormat title;
            title.setFont(font(kSans, 20, true));
            title.setForeground(kTeal);
            // A long title wraps under itself, not under its number.
            QTextBlockFormat format;
            const double hang = QFontMetricsF(number.font(), device_).horizontalAdvance(QStringLiteral("%1. ").arg(99));
            format.setLeftMargin(hang);
            format.setTextIndent(-hang);
            QTextCursor cursor = heading.cursor();
            cursor.setBlockFormat(format);
            cursor.insertText(section.number + QStringLiteral(". "), number);
            cursor.insertText(section.title, title);
            heading.measure();
        }
        LayoutBlock head;
        head.lines = heading.lineHeights();
        head.spaceAfter = mm(kHeadingGapMm);
        head.keepWithNext = true;
        blocks.push_back(head);
        contents.push_back({static_cast<int>(texts_.size()) - 1, -1, 0});
        sections_.push_back(section);

        std::vector<std::vector<const Figure*>> after(help.paragraphs.size());
        for (const Figure& figure : figures) {
            if (figure.topic == help.topic) after.at(paragraphFor(help, figure.after)).push_back(&figure);
        }
        for (std::size_t p = 0; p < help.paragraphs.size(); ++p) {
            TextBlock& paragraph = text();
            QTextBlockFormat format;
            format.setAlignment(Qt::AlignJustify);
            format.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
            QTextCharFormat ink;
            ink.setForeground(kInk);
            QTextCursor cursor = paragraph.cursor();
            cursor.setBlockFormat(format);
            cursor.insertText(toQString(help.paragraphs[p]), ink);
            paragraph.measure();
            LayoutBlock lines;
            lines.lines = paragraph.lineHeights();
            lines.spaceAfter = mm(kParagraphGapMm);
            blocks.push_back(lines);
            contents.push_back({static_cast<int>(texts_.size()) - 1, -1, p});
            for (const Figure* figure : after[p]) {
                blocks.push_back(figureBlock(*figure, p));
                contents.push_back({-1, static_cast<int>(figures_.size()) - 1, p});
            }
        }
        return blocks;
    }

    TextBlock& text() { return *texts_.emplace_back(std::make_unique<TextBlock>(device_, page_.width())); }

    // Drawn at its natural size when the page's width allows, never smaller than its text reads.
    LayoutBlock figureBlock(const Figure& figure, std::size_t paragraph) {
        FigureItem item{&figure, QStringLiteral("Figura %1 – %2").arg(figures_.size() + 1).arg(figure.caption),
                        sections_.size() - 1, paragraph};
        const QRectF caption =
            QFontMetricsF(captionFont(), device_)
                .boundingRect(QRectF(0, 0, page_.width(), 1e6), Qt::AlignHCenter | Qt::TextWordWrap, item.caption);
        item.captionHeight = mm(kCaptionGapMm) + caption.height();
        figures_.push_back(item);

        const double width = std::max(1, figure.picture.width());
        LayoutBlock block;
        block.kind = LayoutBlock::Kind::Figure;
        block.pixelHeight = figure.picture.height();
        block.largestScale = std::min(kNaturalScale, page_.width() / width);
        block.smallestScale = std::min(block.largestScale, points(kReadablePoints) / std::max(1, figure.textPixels));
        block.spaceBefore = mm(kFigureAboveMm);
        block.spaceAfter = mm(kFigureBelowMm);
        block.captionHeight = item.captionHeight;
        block.cuts.assign(figure.cuts.begin(), figure.cuts.end());
        return block;
    }

    void paintFigure(QPainter& painter, const FigureItem& item, const Placement& placement) const {
        const QImage& image = item.figure->picture;
        const QRectF rows(0, placement.pixelTop, image.width(), placement.pixelBottom - placement.pixelTop);
        const QSizeF size(rows.width() * placement.scale, rows.height() * placement.scale);
        const QRectF picture((page_.width() - size.width()) / 2, placement.top, size.width(), size.height());
        painter.save();
        // Screen text keeps its edges: no lossy compression of the pictures.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.drawImage(picture, image, rows);
        if (placement.captioned) {
            painter.setFont(captionFont());
            painter.setPen(kGrey);
            const QRectF caption(0, picture.bottom() + mm(kCaptionGapMm), page_.width(),
                                 item.captionHeight - mm(kCaptionGapMm));
            painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, item.caption);
        }
        painter.restore();
    }

    // The paragraph a figure follows: the first holding `words`, or the first of all.
    static std::size_t paragraphFor(const HelpPage& page, const QString& words) {
        for (std::size_t p = 0; p < page.paragraphs.size() && !words.isEmpty(); ++p) {
            if (toQString(page.paragraphs[p]).contains(words, Qt::CaseInsensitive)) return p;
        }
        return 0;
    }

    QPaintDevice* device_;
    QSizeF page_;
    std::vector<std::unique_ptr<TextBlock>> texts_;
    std::vector<FigureItem> figures_;
    std::vector<std::vector<Content>> contents_;  // per chapter, per block
    std::vector<Section> sections_;
    Composition composition_;
};

void drawSvg(QPainter& painter, const QString& resource, const QRectF& area) {
    QSvgRenderer picture(resource);
    picture.render(&painter, area);
}

void paintTitlePage(QPainter& painter) {
    const double width = mm(kPageWidthMm);
    painter.fillRect(QRectF(0, 0, width, mm(14)), kTeal);
    painter.fillRect(QRectF(0, mm(14), width, mm(1.2)), kOrange);

    drawSvg(painter, QStringLiteral(":/icon_app.svg"), QRectF((width - mm(46)) / 2, mm(62), mm(46), mm(46)));

    painter.setPen(kTeal);
    painter.setFont(font(kSans, 40, true));
    painter.drawText(QRectF(0, mm(118), width, mm(20)), Qt::AlignHCenter | Qt::AlignVCenter, kTitle);
    painter.setPen(kInk);
    painter.setFont(font(kSans, 22));
    painter.drawText(QRectF(0, mm(138), width, mm(14)), Qt::AlignHCenter | Qt::AlignVCenter, kSubject);
    painter.fillRect(QRectF((width - mm(30)) / 2, mm(157), mm(30), mm(1.2)), kOrange);
    painter.setPen(kGrey);
    painter.setFont(font(kSans, 13, false, true));
    painter.drawText(QRectF(mm(35), mm(165), width - mm(70), mm(30)), Qt::AlignHCenter | Qt::TextWordWrap, kSubtitle);

    drawSvg(
        painter, QStringLiteral(":/subtitle.svg"),
        QRectF(mm(kSideMarginMm), mm(250), width - mm(2 * kSideMarginMm), (width - mm(2 * kSideMarginMm)) * 44 / 760));
    painter.fillRect(QRectF(0, mm(kPageHeightMm - 8), width, mm(8)), kTeal);
}

void paintFooter(QPainter& painter, int pageNumber) {
    painter.setPen(kGrey);
    painter.setFont(font(kSans, 9));
    painter.drawText(QRectF(0, mm(kPageHeightMm - 17), mm(kPageWidthMm), mm(6)), Qt::AlignCenter,
                     QString::number(pageNumber));
}

// On every page but a section's first: the guide's name on the left, the section's on the right.
void paintHeader(QPainter& painter, const Section& section) {
    const QRectF line(mm(kSideMarginMm), mm(13), mm(kPageWidthMm - 2 * kSideMarginMm), mm(5));
    painter.setPen(kGrey);
    painter.setFont(font(kSans, 8.5));
    painter.drawText(line, Qt::AlignLeft | Qt::AlignBottom, kTitle + QStringLiteral(" — ") + kSubject);
    painter.drawText(line, Qt::AlignRight | Qt::AlignBottom, section.number + QStringLiteral(". ") + section.title);
    painter.setPen(QPen(kRule, mm(0.25)));
    painter.drawLine(QPointF(line.left(), line.bottom() + mm(1.5)), QPointF(line.right(), line.bottom() + mm(1.5)));
}

void paintContents(QPainter& painter, const Body& body, int firstBodyPage) {
    const double left = mm(kSideMarginMm);
    const double right = mm(kPageWidthMm - kSideMarginMm);
    double y = mm(kTopMarginMm);
    painter.setPen(kTeal);
    painter.setFont(font(kSans, 20, true));
    const QFontMetricsF headingMetrics(painter.font(), painter.device());
    painter.drawText(QPointF(left, y + headingMetrics.ascent()), QStringLiteral("Indice"));
    y += headingMetrics.height() + mm(2.5);
    painter.setPen(QPen(kRule, mm(0.3)));
    painter.drawLine(QPointF(left, y), QPointF(right, y));
    painter.fillRect(QRectF(left, y - mm(0.5), mm(22), mm(1)), kOrange);
    y += mm(14);

    const QFont entry = font(kSans, 12);
    const QFont entryNumber = font(kSans, 12, true);
    const QFontMetricsF metrics(entry, painter.device());
    for (const Section& section : body.sections()) {
        const QString page = QString::number(firstBodyPage + section.firstPage);
        painter.setFont(entryNumber);
        painter.setPen(kOrange);
        painter.drawText(QPointF(left, y), section.number + QLatin1Char('.'));
        painter.setFont(entry);
        painter.setPen(kInk);
        const double titleLeft = left + mm(10);
        painter.drawText(QPointF(titleLeft, y), section.title);
        const double pageWidth = metrics.horizontalAdvance(page);
        painter.drawText(QPointF(right - pageWidth, y), page);
        // Dotted leader from the title to its page, the dots on one grid for every line.
        const double from = titleLeft + metrics.horizontalAdvance(section.title) + mm(2);
        const double to = right - pageWidth - mm(2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kGrey);
        for (double x = std::ceil(from / mm(2.2)) * mm(2.2); x < to; x += mm(2.2)) {
            painter.drawEllipse(QPointF(x, y - mm(0.3)), mm(0.22), mm(0.22));
        }
        y += mm(11);
    }

    painter.setPen(kGrey);
    painter.setFont(font(kSans, 9.5, false, true));
    painter.drawText(QRectF(left, mm(kPageHeightMm - kBottomMarginMm - 14), right - left, mm(14)),
                     Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, kSampleNote);
}

}  // namespace

bool writeGuidePdf(const QString& file, std::span<const HelpPage> pages, const std::vector<Figure>& figures,
                   QString& problem, const QString& reportFile) {
    if (pages.empty()) {
        problem = QStringLiteral("nessuna pagina di guida");
        return false;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        problem = out.errorString();
        return false;
    }
    QPdfWriter writer(&out);
    writer.setResolution(kResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setTitle(kTitle + QStringLiteral(" — ") + kSubject);
    writer.setCreator(kTitle);

    const QSizeF textArea(mm(kPageWidthMm - 2 * kSideMarginMm), mm(kPageHeightMm - kTopMarginMm - kBottomMarginMm));
    const Body body(&writer, textArea, pages, figures);
    constexpr int kFirstBodyPage = 3;  // after the title page and the contents

    QPainter painter;
    if (!painter.begin(&writer)) {
        problem = QStringLiteral("impossibile scrivere il PDF");
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paintTitlePage(painter);
    writer.newPage();
    paintContents(painter, body, kFirstBodyPage);
    paintFooter(painter, 2);
    for (int page = 0; page < body.pageCount(); ++page) {
        writer.newPage();
        const Section& section = body.sectionOn(page);
        if (section.firstPage != page) paintHeader(painter, section);
        painter.save();
        painter.translate(mm(kSideMarginMm), mm(kTopMarginMm));
        body.paintPage(painter, page);
        painter.restore();
        paintFooter(painter, kFirstBodyPage + page);
    }
    painter.end();
    if (!out.commit()) {
        problem = out.errorString();
        return false;
    }
    if (!reportFile.isEmpty()) {
        QSaveFile report(reportFile);
        if (!report.open(QIODevice::WriteOnly) ||
            report.write(QJsonDocument(body.report(kFirstBodyPage)).toJson()) < 0 || !report.commit()) {
            problem = reportFile + QStringLiteral(": ") + report.errorString();
            return false;
        }
    }
    return true;
}

}  // namespace scortavia::guide
