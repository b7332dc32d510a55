#include "guide/GuidePdf.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextObjectInterface>
#include <algorithm>
#include <cmath>

#include "ui/QtText.h"

namespace scortavia::guide {
namespace {

// Page coordinates are in dots of this resolution; fonts in points scale with it.
constexpr int kResolution = 600;
double mm(double millimetres) { return millimetres * kResolution / 25.4; }
// The text layout takes the space above and below a block in pixels of 96 per inch and scales it to the
// page itself (the program is started with Qt::AA_Use96Dpi); indents it takes in page dots.
double blockMm(double millimetres) { return millimetres * 96 / 25.4; }

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

// A screenshot with its caption under it, as one object of the text: the layout never separates them.
constexpr int kFigureObject = QTextFormat::UserObject + 1;
constexpr int kFigureIndex = QTextFormat::UserProperty + 1;

class FigureObject final : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    struct Item {
        QImage picture;
        QString caption;
        QSizeF size;  // of the picture on the page
    };

    FigureObject(std::vector<Item> items, double width) : items_(std::move(items)), width_(width) {}

    QSizeF intrinsicSize(QTextDocument* document, int, const QTextFormat& format) override {
        const Item& item = at(format);
        return {width_, item.size.height() + captionHeight(document)};
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int,
                    const QTextFormat& format) override {
        // The layout offers an object to every page its block touches; only the page it sits on draws it.
        if (painter->hasClipping() && !painter->clipBoundingRect().contains(rect.center())) return;
        const Item& item = at(format);
        const QRectF picture(rect.left() + (rect.width() - item.size.width()) / 2, rect.top(), item.size.width(),
                             item.size.height());
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(picture, item.picture);
        painter->setPen(QPen(kRule, mm(0.3)));
        painter->setBrush(Qt::NoBrush);
        const double half = mm(0.15);
        painter->drawRect(picture.adjusted(half, half, -half, -half));
        painter->setFont(captionFont());
        painter->setPen(kGrey);
        const QRectF caption(rect.left(), picture.bottom() + mm(2.5), rect.width(), captionHeight(document));
        painter->drawText(caption, Qt::AlignHCenter | Qt::AlignTop, item.caption);
        painter->restore();
    }

private:
    static QFont captionFont() { return font(kSans, 9, false, true); }
    static double captionHeight(QTextDocument* document) {
        return mm(2.5) + QFontMetricsF(captionFont(), document->documentLayout()->paintDevice()).height();
    }
    const Item& at(const QTextFormat& format) const {
        return items_.at(static_cast<std::size_t>(format.intProperty(kFigureIndex)));
    }

    std::vector<Item> items_;
    double width_;
};

// Where a section starts and what its figures are, once the body is laid out.
struct Section {
    QString number;
    QString title;
    int headingBlock = 0;
    int firstPage = 0;  // of the body, from 0
};

// The body: every section on pages of the text area's size, laid out for the writer's resolution.
class Body final {
public:
    Body(QPaintDevice* device, QSizeF page, std::span<const HelpPage> pages, const std::vector<Figure>& figures)
        : page_(page), figures_(figureItems(figures), page.width()) {
        document_.setUndoRedoEnabled(false);
        document_.documentLayout()->setPaintDevice(device);
        document_.documentLayout()->registerHandler(kFigureObject, &figures_);
        document_.setDocumentMargin(0);
        document_.setPageSize(page);
        document_.setDefaultFont(font(kSerif, 11.5));
        build(pages, figures);
        document_.documentLayout()->documentSize();  // lays it out
        for (Section& section : sections_) {
            section.firstPage = pageOf(document_.findBlockByNumber(section.headingBlock), false);
        }
    }

    int pageCount() const { return document_.pageCount(); }
    const std::vector<Section>& sections() const { return sections_; }

    // The section a page belongs to: the last one started on it or before.
    const Section& sectionOn(int page) const {
        const Section* found = &sections_.front();
        for (const Section& section : sections_) {
            if (section.firstPage <= page) found = &section;
        }
        return *found;
    }

    // One page of the body into the text area, whose top left corner is the painter's origin.
    void paintPage(QPainter& painter, int page) const {
        painter.save();
        painter.translate(0, -page * page_.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * page_.height(), page_.width(), page_.height());
        context.palette.setColor(QPalette::Text, kInk);
        painter.setClipRect(context.clip);
        document_.documentLayout()->draw(&painter, context);
        // A rule under each heading that starts here.
        for (const Section& section : sections_) {
            if (section.firstPage != page) continue;
            const double y = lineBottom(document_.findBlockByNumber(section.headingBlock)) + mm(2.5);
            painter.setPen(QPen(kRule, mm(0.3)));
            painter.drawLine(QPointF(0, y), QPointF(page_.width(), y));
            painter.fillRect(QRectF(0, y - mm(0.5), mm(22), mm(1)), kOrange);
        }
        painter.restore();
    }

private:
    static std::vector<FigureObject::Item> figureItems(const std::vector<Figure>& figures) {
        // One scale for every screenshot, the screen's width on the text's width, so a small window
        // looks small beside a full screen.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double screenWidth = screen ? screen->geometry().width() : 1366;
        std::vector<FigureObject::Item> items;
        int number = 0;
        for (const Figure& figure : figures) {
            FigureObject::Item item{figure.picture.convertToFormat(QImage::Format_RGB32),
                                    QStringLiteral("Figura %1 – %2").arg(++number).arg(figure.caption),
                                    {}};
            items.push_back(item);
        }
        return items.empty() ? items : scaled(std::move(items), screenWidth);
    }
    static std::vector<FigureObject::Item> scaled(std::vector<FigureObject::Item> items, double screenWidth) {
        const double textWidth = mm(kPageWidthMm - 2 * kSideMarginMm);
        for (FigureObject::Item& item : items) {
            const double width = std::min(textWidth, item.picture.width() * textWidth / screenWidth);
            item.size = QSizeF(width, item.picture.height() * width / std::max(1, item.picture.width()));
        }
        return items;
    }

    void build(std::span<const HelpPage> pages, const std::vector<Figure>& figures) {
        QTextCursor cursor(&document_);
        QTextBlockFormat heading;
        heading.setBottomMargin(blockMm(9));
        QTextCharFormat number;
        number.setFont(font(kSans, 20, true));
        number.setForeground(kOrange);
        QTextCharFormat title;
        title.setFont(font(kSans, 20, true));
        title.setForeground(kTeal);
        // A long title wraps under itself, not under its number.
        const QString widestNumber = QStringLiteral("%1. ").arg(pages.size());
        const double hang =
            QFontMetricsF(number.font(), document_.documentLayout()->paintDevice()).horizontalAdvance(widestNumber);
        heading.setLeftMargin(hang);
        heading.setTextIndent(-hang);

        QTextBlockFormat paragraph;
        paragraph.setAlignment(Qt::AlignJustify);
        paragraph.setBottomMargin(blockMm(3.2));
        paragraph.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
        QTextCharFormat text;
        text.setForeground(kInk);

        QTextBlockFormat figureBlock;
        figureBlock.setAlignment(Qt::AlignHCenter);
        figureBlock.setTopMargin(blockMm(2.5));
        figureBlock.setBottomMargin(blockMm(7));

        bool first = true;
        for (const HelpPage& page : pages) {
            Section section{QString::number(sections_.size() + 1), toQString(page.title), 0, 0};
            // Each section opens a page of its own.
            heading.setPageBreakPolicy(first ? QTextFormat::PageBreak_Auto : QTextFormat::PageBreak_AlwaysBefore);
            if (first) {
                cursor.setBlockFormat(heading);
            } else {
                cursor.insertBlock(heading);
            }
            first = false;
            section.headingBlock = cursor.block().blockNumber();
            cursor.insertText(section.number + QStringLiteral(". "), number);
            cursor.insertText(section.title, title);
            sections_.push_back(section);

            std::vector<std::vector<int>> after(page.paragraphs.size());
            for (std::size_t f = 0; f < figures.size(); ++f) {
                if (figures[f].topic == page.topic)
                    after.at(paragraphFor(page, figures[f].after)).push_back(static_cast<int>(f));
            }
            for (std::size_t p = 0; p < page.paragraphs.size(); ++p) {
                cursor.insertBlock(paragraph, text);
                cursor.insertText(toQString(page.paragraphs[p]), text);
                for (int f : after[p]) {
                    cursor.insertBlock(figureBlock, QTextCharFormat());
                    QTextCharFormat object;
                    object.setObjectType(kFigureObject);
                    object.setProperty(kFigureIndex, f);
                    cursor.insertText(QString(QChar::ObjectReplacementCharacter), object);
                }
            }
        }
    }

    // The paragraph a figure follows: the first holding `word`, or the first of all.
    static std::size_t paragraphFor(const HelpPage& page, const QString& word) {
        for (std::size_t p = 0; p < page.paragraphs.size() && !word.isEmpty(); ++p) {
            if (toQString(page.paragraphs[p]).contains(word, Qt::CaseInsensitive)) return p;
        }
        return 0;
    }

    double lineTop(const QTextBlock& block, bool last) const {
        const QTextLayout* layout = block.layout();
        const QTextLine line = layout->lineAt(last ? layout->lineCount() - 1 : 0);
        return layout->position().y() + line.y();
    }
    double lineBottom(const QTextBlock& block) const {
        const QTextLayout* layout = block.layout();
        const QTextLine line = layout->lineAt(layout->lineCount() - 1);
        return layout->position().y() + line.y() + line.height();
    }
    int pageOf(const QTextBlock& block, bool last) const {
        return static_cast<int>(std::floor(lineTop(block, last) / page_.height()));
    }

    QSizeF page_;
    FigureObject figures_;
    QTextDocument document_;
    std::vector<Section> sections_;
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
                   QString& problem) {
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
    return true;
}

}  // namespace scortavia::guide

#include "GuidePdf.moc"
