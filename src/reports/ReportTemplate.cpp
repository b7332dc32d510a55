#include "reports/ReportTemplate.h"

#include <QDate>
#include <QPageSize>
#include <algorithm>
#include <cmath>

#include "reports/PrintService.h"

namespace scortavia {
namespace {

constexpr double kMarginMm = 10;
constexpr double kEpsilon = 1e-6;

QStringList expandDate(const QStringList& lines) {
    QStringList out = lines;
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    for (QString& line : out) line.replace(QStringLiteral("[DATE]"), today);
    return out;
}

}  // namespace

double TextObject::linePitchMm() const { return lineHeightMm > 0 ? lineHeightMm : font.pointSize * 25.4 / 72.0 * 1.2; }

const PlacedObject* ReportPage::find(const QString& name) const {
    for (const PlacedObject& o : objects) {
        if (o.name() == name) return &o;
    }
    return nullptr;
}

ReportTemplate::ReportTemplate(QString name, QPageLayout::Orientation orientation)
    : name_(std::move(name)), orientation_(orientation) {}

TextObject* ReportTemplate::addText(const QString& name, QRectF mm, ReportFont font, QColor color, QColor background,
                                    Qt::Alignment alignment) {
    auto text = std::make_unique<TextObject>(name, mm);
    text->font = std::move(font);
    text->color = color;
    text->background = background;
    text->alignment = alignment;
    return add(std::move(text));
}

ReportObject* ReportTemplate::findObject(const QString& name) const {
    for (const auto& object : objects_) {
        if (object->name() == name) return object.get();
        if (object->kind() == ReportObject::Kind::Band) {
            for (const auto& child : static_cast<const Band&>(*object).children) {
                if (child->name() == name) return child.get();
            }
        }
    }
    return nullptr;
}

void ReportTemplate::setPaper(QSizeF mm, double marginMm) {
    paper_ = mm;
    marginMm_ = marginMm;
}

QSizeF ReportTemplate::paperMm() const {
    if (!paper_.isEmpty()) return paper_;
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    return orientation_ == QPageLayout::Landscape ? a4.transposed() : a4;
}

QRectF ReportTemplate::printableMm() const {
    const QSizeF paper = paperMm();
    return QRectF(0, 0, paper.width() - 2 * marginMm_, paper.height() - 2 * marginMm_);
}

QPageLayout ReportTemplate::pageLayout() const {
    if (!paper_.isEmpty()) {
        // A page size is portrait by nature: a wide roll label is the tall one turned.
        const bool wide = paper_.width() > paper_.height();
        const QPageSize size(wide ? paper_.transposed() : paper_, QPageSize::Millimeter, {}, QPageSize::ExactMatch);
        return QPageLayout(size, wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(marginMm_, marginMm_, marginMm_, marginMm_), QPageLayout::Millimeter);
    }
    return QPageLayout(QPageSize(QPageSize::A4), orientation_, QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                       QPageLayout::Millimeter);
}

void ReportTemplate::prepare() {
    pages_.assign(1, ReportPage{{}, marginMm_});
    const QRectF area = printableMm();
    auto linesOf = [this](const ReportObject& o) -> QStringList {
        if (o.kind() != ReportObject::Kind::Text) return {};
        const QStringList& lines = static_cast<const TextObject&>(o).lines();
        return dateObjects_.contains(o.name()) ? expandDate(lines) : lines;
    };
    auto place = [&](const ReportObject& o, QRectF rect, QStringList lines) {
        pages_.back().objects.push_back(PlacedObject{&o, rect, std::move(lines)});
    };
    auto newPage = [&] { pages_.push_back(ReportPage{{}, marginMm_}); };

    double y = 0;  // top of the free space on the current page
    for (const auto& object : objects_) {
        if (object->kind() != ReportObject::Kind::Band) {
            // Objects of the page itself have fixed places on their page, the first unless told.
            const auto page = static_cast<std::size_t>(std::max(0, object->page()));
            while (pages_.size() <= page) newPage();
            pages_[page].objects.push_back(PlacedObject{object.get(), object->rect(), linesOf(*object)});
            continue;
        }
        const Band& band = static_cast<const Band&>(*object);
        const double height = band.rect().height();
        const TextObject* flow = nullptr;
        if (band.maySplit) {
            for (const auto& child : band.children) {
                if (child->kind() == ReportObject::Kind::Text) flow = static_cast<const TextObject*>(child.get());
            }
        }
        if (!flow || height <= area.height() - y + kEpsilon) {
            // The band fits where it stands, or cannot split: on a fresh page when it does not fit.
            if (height > area.height() - y + kEpsilon && y > 0) {
                newPage();
                y = 0;
            }
            place(band, QRectF(0, y, area.width(), height), {});
            for (const auto& child : band.children) {
                place(*child, child->rect().translated(0, y), linesOf(*child));
            }
            y += height;
            continue;
        }

        // A band that splits: its text flows line by line over as many pages as it needs.
        const QStringList lines = linesOf(*flow);
        const double pitch = flow->linePitchMm();
        const double textTop = flow->rect().y();
        const double afterText = std::max(0.0, height - textTop - static_cast<double>(lines.size()) * pitch);
        qsizetype done = 0;
        bool first = true;
        while (done < lines.size()) {
            const double lead = first ? textTop : 0;
            auto fit = static_cast<qsizetype>(std::floor((area.height() - y - lead) / pitch + kEpsilon));
            fit = std::min(fit, lines.size() - done);
            if (fit <= 0) {
                if (y > 0) {
                    newPage();
                    y = 0;
                    first = false;
                    continue;
                }
                fit = 1;  // a page must take at least one line
            }
            const double textHeight = static_cast<double>(fit) * pitch;
            place(band, QRectF(0, y, area.width(), lead + textHeight), {});
            place(*flow, QRectF(flow->rect().x(), y + lead, flow->rect().width(), textHeight), lines.mid(done, fit));
            y += lead + textHeight;
            done += fit;
            first = false;
            if (done < lines.size()) {
                newPage();
                y = 0;
            }
        }
        y = std::min(area.height(), y + afterText);
    }
}

void ReportTemplate::releasePages() {
    std::vector<ReportPage>().swap(pages_);
    for (const auto& object : objects_) {
        if (object->kind() != ReportObject::Kind::Band || !static_cast<const Band&>(*object).maySplit) continue;
        for (const auto& child : static_cast<const Band&>(*object).children) {
            if (child->kind() == ReportObject::Kind::Text) static_cast<TextObject&>(*child).clearLines();
        }
    }
}

void ReportTemplate::print(QWidget* parent) { PrintService::print(*this, parent); }

void ReportTemplate::preview(QWidget* parent) {
    prepare();
    PrintService::preview(*this, parent);
}

}  // namespace scortavia
