#include "reports/PagePainter.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <array>

#include "reports/ReportTemplate.h"

namespace scortavia {
namespace {

void paintPicture(QPainter& p, const PictureObject& picture, const QRectF& rect) {
    if (picture.image.isNull()) return;
    const QSizeF fitted = QSizeF(picture.image.size()).scaled(rect.size(), Qt::KeepAspectRatio);
    QRectF target(rect.topLeft(), fitted);
    if (picture.centered) target.moveCenter(rect.center());
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, picture.image);
    p.restore();
}

// Characters whose glyph goes one after the other, whatever stands beside them: the scripts of the
// archive's code page and their punctuation, no marks, controls, formatting or right-to-left text.
bool placedOnItsOwn(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x20 || (u >= 0x7F && u < 0xA0) || c.isMark()) return false;
    if (u < 0x0530) return true;
    if (u >= 0x2000 && u < 0x2150)
        return !(u >= 0x200B && u <= 0x200F) && !(u >= 0x2028 && u <= 0x202E) && !(u >= 0x2060 && u <= 0x206F);
    return false;
}

}  // namespace

// The glyphs of one fixed-pitch font on one device, each character looked up once through the
// same text layout the painter's drawText uses, so rows land exactly where drawText puts them.
// Blanks take their place but no glyph: on a padded list that is close to half the characters.
class FixedPitchGlyphs final {
public:
    explicit FixedPitchGlyphs(const QFont& deviceFont) : font_(deviceFont) {
        QTextLayout layout(QStringLiteral("00"), font_);
        const QTextLine line = layOut(layout);
        const QList<QGlyphRun> runs = layout.glyphRuns();
        if (runs.size() != 1) return;
        raw_ = runs.front().rawFont();
        ascent_ = line.ascent();
        height_ = line.ascent() + line.descent();  // as drawText centres it: QTextLine::height() is rounded up
    }

    bool valid() const { return raw_.isValid(); }
    const QRawFont& rawFont() const { return raw_; }
    double ascent() const { return ascent_; }
    double height() const { return height_; }

    // Appends the glyphs of `line`, starting at `origin` on its baseline, up to the first one
    // that starts at or past `right`; false, with nothing appended, when a character of the line
    // needs another font or special handling (the line is then left to drawText).
    bool append(QStringView line, QPointF origin, double right, std::vector<quint32>& glyphs,
                std::vector<QPointF>& positions) {
        const std::size_t start = glyphs.size();
        double x = origin.x();
        for (const QChar c : line) {
            if (x >= right) break;
            if (slot(c.unicode()).kind == Glyph::Kind::Unknown) learnFrom(line);
            const Glyph& g = slot(c.unicode());
            if (g.kind == Glyph::Kind::Ink) {
                glyphs.push_back(g.index);
                positions.emplace_back(x, origin.y());
            } else if (g.kind != Glyph::Kind::Blank) {
                glyphs.resize(start);
                positions.resize(start);
                return false;
            }
            x += g.advance;
        }
        return true;
    }

private:
    struct Glyph {
        enum class Kind : quint8 { Unknown, Ink, Blank, Other };
        Kind kind = Kind::Unknown;
        quint32 index = 0;
        double advance = 0;
    };

    static QTextLine layOut(QTextLayout& layout) {
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(0x01000000);
        layout.endLayout();
        return line;
    }

    Glyph& slot(char16_t c) {
        if (c < latin_.size()) return latin_[c];
        return others_[c];
    }

    // Learns every character of `line` not met yet, with one text layout for all of them.
    void learnFrom(QStringView line) {
        QString unknown;
        for (const QChar c : line) {
            Glyph& g = slot(c.unicode());
            if (g.kind != Glyph::Kind::Unknown) continue;
            if (!placedOnItsOwn(c)) {
                g.kind = Glyph::Kind::Other;
            } else if (!unknown.contains(c)) {
                unknown.append(c);
            }
        }
        if (!unknown.isEmpty()) learn(unknown);
    }

    void learn(const QString& chars) {
        // A closing glyph after them: each character's advance is the step to the next glyph.
        const QString probe = chars + QLatin1Char('0');
        QTextLayout layout(probe, font_);
        layOut(layout);
        const QList<QGlyphRun> runs = layout.glyphRuns();
        if (runs.size() == 1 && runs.front().rawFont() == raw_ && runs.front().glyphIndexes().size() == probe.size()) {
            const QList<quint32> indexes = runs.front().glyphIndexes();
            const QList<QPointF> places = runs.front().positions();
            for (qsizetype i = 0; i < chars.size(); ++i) {
                Glyph& g = slot(chars[i].unicode());
                g.kind = chars[i] == QLatin1Char(' ') ? Glyph::Kind::Blank : Glyph::Kind::Ink;
                g.index = indexes[i];
                g.advance = places[i + 1].x() - places[i].x();
            }
            return;
        }
        // Some character comes from another font or shapes with its neighbours: sort them out one by one.
        if (chars.size() == 1) {
            slot(chars.front().unicode()).kind = Glyph::Kind::Other;
            return;
        }
        for (const QChar c : chars) learn(QString(c));
    }

    QFont font_;
    QRawFont raw_;
    double ascent_ = 0;
    double height_ = 0;
    std::array<Glyph, 256> latin_{};
    QHash<char16_t, Glyph> others_;
};

PagePainter::PagePainter(QPainter& painter, double pixelsPerMm) : painter_(painter), pxPerMm_(pixelsPerMm) {}

PagePainter::~PagePainter() = default;

const QFont& PagePainter::fontFor(const ReportFont& f) {
    const QString key = QStringLiteral("%1|%2|%3").arg(f.family).arg(f.pointSize).arg(f.bold);
    auto [it, added] = fonts_.try_emplace(key, f.family);
    if (added) {
        QFont& font = it->second;
        // Stand-ins: list rows must keep a fixed pitch whatever font the system finds.
        if (f.family.contains(QLatin1String("Courier"), Qt::CaseInsensitive)) {
            font.setStyleHint(QFont::TypeWriter);
            font.setFixedPitch(true);
        } else {
            font.setStyleHint(QFont::SansSerif);
        }
        font.setPixelSize(std::max(1, qRound(f.pointSize * 25.4 / 72.0 * pxPerMm_)));
        font.setBold(f.bold);
    }
    return it->second;
}

FixedPitchGlyphs* PagePainter::fixedPitchGlyphs() {
    const QFont& font = painter_.font();
    auto [it, added] = glyphs_.try_emplace(font.key());
    if (added && QFontInfo(font).fixedPitch()) {
        auto glyphs = std::make_unique<FixedPitchGlyphs>(font);
        if (glyphs->valid()) it->second = std::move(glyphs);
    }
    return it->second.get();
}

void PagePainter::paintText(const TextObject& text, const QRectF& rect, const QStringList& lines) {
    if (text.background.alpha() > 0) painter_.fillRect(rect, text.background);
    if (lines.isEmpty()) return;
    painter_.save();
    painter_.setClipRect(rect);  // no wrap: a long line is cut at the right edge
    painter_.setFont(fontFor(text.font));
    painter_.setPen(text.color);
    if (lines.size() == 1) {
        drawLine(text.alignment, rect, lines.front());
    } else {
        paintLines(text, rect, lines);
    }
    painter_.restore();
}

void PagePainter::paintLines(const TextObject& text, const QRectF& rect, const QStringList& lines) {
    const double inset = (text.alignment & Qt::AlignHCenter) ? 0 : 0.6 * pxPerMm_;
    const Qt::Alignment horizontal = text.alignment & Qt::AlignHorizontal_Mask;
    const double pitch = text.linePitchMm() * pxPerMm_;
    // Each line is cut where its own box ends, as drawText cuts it.
    painter_.setClipRect(rect.adjusted(inset, 0, -inset, 0), Qt::IntersectClip);

    std::vector<qsizetype> asText;  // lines left to the full text layout
    FixedPitchGlyphs* fixed = horizontal == Qt::AlignLeft ? fixedPitchGlyphs() : nullptr;
    if (fixed) {
        runGlyphs_.clear();
        runPositions_.clear();
        const double left = rect.left() + inset;
        const double right = rect.right() - inset;
        const double baseline = (pitch - fixed->height()) / 2 + fixed->ascent();  // vertically centred
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QPointF origin(left, rect.top() + static_cast<double>(i) * pitch + baseline);
            if (!fixed->append(lines[i], origin, right, runGlyphs_, runPositions_)) asText.push_back(i);
        }
        if (!runGlyphs_.empty()) {
            QGlyphRun run;
            run.setRawFont(fixed->rawFont());
            run.setRawData(runGlyphs_.data(), runPositions_.data(), static_cast<int>(runGlyphs_.size()));
            painter_.drawGlyphRun(QPointF(0, 0), run);
        }
    } else {
        for (qsizetype i = 0; i < lines.size(); ++i) asText.push_back(i);
    }
    for (const qsizetype i : asText) {
        const QRectF line(rect.left(), rect.top() + static_cast<double>(i) * pitch, rect.width(), pitch);
        drawLine(horizontal | Qt::AlignVCenter, line, lines[i]);
    }
}

void PagePainter::drawLine(Qt::Alignment alignment, const QRectF& box, const QString& line) {
    const double inset = 0.6 * pxPerMm_;
    const QRectF room = (alignment & Qt::AlignHCenter) ? box : box.adjusted(inset, 0, -inset, 0);
    // A line longer than its box is cut at the right edge whatever its alignment, as a line aligned
    // left is: its start always shows, so a price keeps its euro sign and first digits.
    if (!(alignment & Qt::AlignLeft) &&
        QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(line) > room.width()) {
        painter_.drawText(box.adjusted(inset, 0, -inset, 0),
                          static_cast<int>((alignment & Qt::AlignVertical_Mask) | Qt::AlignLeft | Qt::TextSingleLine),
                          line);
        return;
    }
    painter_.drawText(room, static_cast<int>(alignment | Qt::TextSingleLine), line);
}

void PagePainter::paint(const ReportPage& page) {
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    const QPointF origin(page.marginMm * pxPerMm_, page.marginMm * pxPerMm_);
    for (const PlacedObject& placed : page.objects) {
        const QRectF rect(origin + placed.rect.topLeft() * pxPerMm_, placed.rect.size() * pxPerMm_);
        switch (placed.kind()) {
            case ReportObject::Kind::Text:
                paintText(static_cast<const TextObject&>(*placed.source), rect, placed.lines);
                break;
            case ReportObject::Kind::Picture:
                paintPicture(painter_, static_cast<const PictureObject&>(*placed.source), rect);
                break;
            case ReportObject::Kind::Line: {
                const auto& line = static_cast<const LineObject&>(*placed.source);
                painter_.setPen(QPen(line.color, line.widthMm * pxPerMm_));
                painter_.drawLine(rect.topLeft(), rect.bottomRight());
                break;
            }
            case ReportObject::Kind::Box: {
                const auto& box = static_cast<const BoxObject&>(*placed.source);
                painter_.setPen(QPen(box.border, box.widthMm * pxPerMm_));
                painter_.setBrush(box.fill.alpha() > 0 ? QBrush(box.fill) : QBrush(Qt::NoBrush));
                painter_.drawRect(rect);
                break;
            }
            case ReportObject::Kind::Painted: {
                painter_.save();
                static_cast<const PaintedObject&>(*placed.source).paint(painter_, rect, pxPerMm_);
                painter_.restore();
                break;
            }
            case ReportObject::Kind::Band:
                break;  // a band is only a place for its objects
        }
    }
    painter_.restore();
}

}  // namespace scortavia
