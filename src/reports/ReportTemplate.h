#pragma once

#include <QColor>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace scortavia {

// Rules and frames print in this grey unless a template says otherwise.
inline const QColor kRuleGrey(0x60, 0x60, 0x60);

// Heights set at run time are in 1/96 inch.
inline constexpr double kUnitsPerMm = 96.0 / 25.4;

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
};

// A named object of a template. Positions and sizes are millimetres: for objects of the page from
// the top-left corner of the printable area, for objects of a band from the band's top-left corner.
class ReportObject {
public:
    enum class Kind { Text, Picture, Line, Box, Band, Painted };

    ReportObject(Kind kind, QString name, QRectF mm) : kind_(kind), name_(std::move(name)), rect_(mm) {}
    virtual ~ReportObject() = default;

    Kind kind() const { return kind_; }
    const QString& name() const { return name_; }
    const QRectF& rect() const { return rect_; }
    void setRect(const QRectF& mm) { rect_ = mm; }
    void setHeight(double units) { rect_.setHeight(units / kUnitsPerMm); }
    // The page (0-based) an object of the page stands on; a band's objects go where the band goes.
    int page() const { return page_; }
    void setPage(int page) { page_ = page; }

private:
    Kind kind_;
    QString name_;
    QRectF rect_;
    int page_ = 0;
};

class TextObject final : public ReportObject {
public:
    TextObject(QString name, QRectF mm) : ReportObject(Kind::Text, std::move(name), mm) {}

    void setText(const QString& text) { lines_ = text.split(QLatin1Char('\n')); }
    void setLines(QStringList lines) { lines_ = std::move(lines); }
    void clearLines() { lines_ = QStringList(); }  // its room too: a list's rows may have been megabytes
    void addLine(const QString& line) { lines_.append(line); }
    int lineCount() const { return static_cast<int>(lines_.size()); }
    const QStringList& lines() const { return lines_; }
    QString text() const { return lines_.join(QLatin1Char('\n')); }

    ReportFont font;
    QColor color = Qt::black;
    QColor background = Qt::transparent;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap = false;    // never on in this program's templates: long lines are cut at the right edge
    double lineHeightMm = 0;  // distance between lines; 0 takes it from the font

    // The distance between two lines of this object.
    double linePitchMm() const;

private:
    QStringList lines_;
};

class PictureObject final : public ReportObject {
public:
    PictureObject(QString name, QRectF mm) : ReportObject(Kind::Picture, std::move(name), mm) {}
    void setPicture(const QImage& picture) { image = picture; }

    QImage image;
    bool centered = true;  // scaled to fit, proportions kept; centred in the box or at its top-left
};

// A straight rule from the top-left of its rectangle to the bottom-right (height 0: horizontal).
class LineObject final : public ReportObject {
public:
    LineObject(QString name, QRectF mm) : ReportObject(Kind::Line, std::move(name), mm) {}
    QColor color = kRuleGrey;
    double widthMm = 0.3;
};

class BoxObject final : public ReportObject {
public:
    BoxObject(QString name, QRectF mm) : ReportObject(Kind::Box, std::move(name), mm) {}
    QColor border = kRuleGrey;
    QColor fill = Qt::transparent;  // painted under the border
    double widthMm = 0.3;
};

// Whatever a screen paints itself in its box (a barcode, which must fall on whole printer dots): the
// painter is the page's, `box` in its pixels, `pixelsPerMm` its scale.
class PaintedObject final : public ReportObject {
public:
    using Paint = std::function<void(QPainter& painter, const QRectF& box, double pixelsPerMm)>;
    PaintedObject(QString name, QRectF mm, Paint painting)
        : ReportObject(Kind::Painted, std::move(name), mm), paint(std::move(painting)) {}
    Paint paint;
};

// A full-width strip placed when the pages are laid out: the title band once at the top of the
// first page, the master data band after it (split across pages when it may), the footer band
// right after the master data band.
class Band final : public ReportObject {
public:
    enum class Role { Title, MasterData, Footer };

    Band(QString name, Role bandRole, double heightMm, bool splits)
        : ReportObject(Kind::Band, std::move(name), QRectF(0, 0, 0, heightMm)), role(bandRole), maySplit(splits) {}

    template <class T>
    T* add(std::unique_ptr<T> child) {
        T* raw = child.get();
        children.push_back(std::move(child));
        return raw;
    }

    Role role;
    bool maySplit;
    std::vector<std::unique_ptr<ReportObject>> children;
};

// One object as laid out on a page: its place on that page (millimetres from the top-left of the
// printable area) and, for text, the lines that fell on that page.
struct PlacedObject {
    const ReportObject* source;
    QRectF rect;
    QStringList lines;

    const QString& name() const { return source->name(); }
    ReportObject::Kind kind() const { return source->kind(); }
};

struct ReportPage {
    std::vector<PlacedObject> objects;
    double marginMm = 10;  // paper edge to the printable area the objects are placed in

    // The first object of that name on the page, or nullptr.
    const PlacedObject* find(const QString& name) const;
};

// A printable document: paper, orientation, margins and named objects; `prepare` lays out pages,
// which `print` and `preview` hand to the print service.
class ReportTemplate {
public:
    ReportTemplate(QString name, QPageLayout::Orientation orientation);

    const QString& name() const { return name_; }

    template <class T>
    T* add(std::unique_ptr<T> object) {
        T* raw = object.get();
        objects_.push_back(std::move(object));
        return raw;
    }
    // Convenience for building templates in code.
    TextObject* addText(const QString& name, QRectF mm, ReportFont font, QColor color = Qt::black,
                        QColor background = Qt::transparent,
                        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

    ReportObject* findObject(const QString& name) const;
    template <class T>
    T* find(const QString& name) const {
        return dynamic_cast<T*>(findObject(name));
    }

    void setOrientation(QPageLayout::Orientation orientation) { orientation_ = orientation; }
    QPageLayout::Orientation orientation() const { return orientation_; }
    QSizeF paperMm() const;
    QRectF printableMm() const;  // paper less the margins (10 mm)
    // Paper of its own size (a label sheet or roll) and margins, instead of A4 in the orientation set.
    void setPaper(QSizeF mm, double marginMm);
    QPageLayout pageLayout() const;

    // "[DATE]" in these objects becomes the date of printing when pages are laid out; everything
    // else prints exactly as it was put in.
    void expandDateIn(const QString& objectName) { dateObjects_.append(objectName); }

    void prepare();
    const std::vector<ReportPage>& pages() const { return pages_; }
    // Gives back the laid-out pages and the lines of the texts that flow over pages (a long list's
    // rows) once they are printed; the rest of the template stays, ready to be filled again.
    void releasePages();

    // The print dialog, then the printer; cancelling prints nothing.
    void print(QWidget* parent);
    // Lays the pages out again and shows them in the modal preview window.
    void preview(QWidget* parent);

private:
    QString name_;
    QPageLayout::Orientation orientation_;
    std::vector<std::unique_ptr<ReportObject>> objects_;
    QStringList dateObjects_;
    std::vector<ReportPage> pages_;
    QSizeF paper_;  // empty: A4
    double marginMm_ = 10;
};

}  // namespace scortavia
