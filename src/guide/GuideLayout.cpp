#include "guide/GuideLayout.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace scortavia::guide {
namespace {

// A page ended above this share of its height to keep a figure with its paragraph is too empty: the
// figure then goes before the paragraph instead.
constexpr double kFullEnough = 0.7;
// The fewest lines of a paragraph left alone at the bottom or the top of a page.
constexpr std::size_t kFewestLines = 2;
// The smallest share of a split figure on either page.
constexpr double kSmallestPiece = 0.3;
// Rounding in the measures never pushes a line that fits to the next page.
constexpr double kSlack = 1e-6;

class Composer {
public:
    explicit Composer(double pageHeight) : height_(pageHeight) {}

    void chapter(std::size_t number, const std::vector<LayoutBlock>& blocks) {
        chapter_ = number;
        blocks_ = &blocks;
        newPage();
        result_.chapterFirstPage.push_back(page_);
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            const LayoutBlock& block = blocks[b];
            if (block.kind == LayoutBlock::Kind::Figure) {
                figureAlone(b);
            } else if (b + 1 < blocks.size() && blocks[b + 1].kind == LayoutBlock::Kind::Figure &&
                       !block.keepWithNext) {
                textWithFigure(b, b + 1);
                ++b;
            } else {
                if (block.keepWithNext && !empty_ && !roomForHeading(b)) newPage();
                flowText(b, 0, block.lines.size());
            }
        }
        result_.pages.back().lastOfChapter = true;
    }

    Composition take() { return std::move(result_); }

private:
    const LayoutBlock& block(std::size_t b) const { return (*blocks_)[b]; }

    void newPage() {
        ++page_;
        result_.pages.push_back({chapter_, 0, false});
        bottom_ = 0;
        gap_ = 0;
        empty_ = true;
    }

    // Where the next thing on the page starts, and what is left under it.
    double at() const { return empty_ ? 0 : bottom_ + gap_; }
    double room() const { return height_ - at(); }

    double sum(std::size_t b, std::size_t from, std::size_t to) const {
        const auto& lines = block(b).lines;
        return std::accumulate(lines.begin() + static_cast<std::ptrdiff_t>(from),
                               lines.begin() + static_cast<std::ptrdiff_t>(to), 0.0);
    }
    // How many of the lines [from, to) fit in `space`.
    std::size_t fitting(std::size_t b, std::size_t from, std::size_t to, double space) const {
        std::size_t n = 0;
        double used = 0;
        for (std::size_t l = from; l < to; ++l) {
            used += block(b).lines[l];
            if (used > space + kSlack) break;
            ++n;
        }
        return n;
    }

    void put(Placement placement) {
        placement.chapter = chapter_;
        placement.page = page_;
        result_.placements.push_back(placement);
        bottom_ = placement.top + placement.height;
        empty_ = false;
        result_.pages.back().filled = bottom_ / height_;
    }
    // The lines [from, to), which fit here.
    void placeLines(std::size_t b, std::size_t from, std::size_t to) {
        if (from == to) return;
        Placement placement;
        placement.block = b;
        placement.top = at();
        placement.height = sum(b, from, to);
        placement.firstLine = from;
        placement.endLine = to;
        put(placement);
        gap_ = block(b).spaceAfter;
    }
    // The rows [top, bottom) of the figure, with the caption when they are its last. Under text the figure
    // keeps its own space above, instead of the paragraph's.
    void placeFigure(std::size_t f, double scale, double top = 0, std::optional<double> bottom = std::nullopt) {
        const LayoutBlock& figure = block(f);
        Placement placement;
        placement.block = f;
        placement.top = empty_ ? 0 : bottom_ + figure.spaceBefore;
        placement.scale = scale;
        placement.pixelTop = top;
        placement.pixelBottom = bottom.value_or(figure.pixelHeight);
        placement.captioned = !bottom;
        placement.height = (placement.pixelBottom - top) * scale + (placement.captioned ? figure.captionHeight : 0);
        put(placement);
        gap_ = figure.spaceAfter;
    }

    // Where to split the figure coming under content that ends at `above`, so that its top fills the page
    // enough and its rest, with the caption, fits the next; none when no cut does.
    std::optional<double> cutFor(std::size_t f, double above) const {
        const LayoutBlock& figure = block(f);
        const double scale = figure.largestScale;
        const double top = figureTop(f, above, false);
        for (auto cut = figure.cuts.rbegin(); cut != figure.cuts.rend(); ++cut) {
            const double bottom = top + *cut * scale;
            if (bottom > height_ + kSlack) continue;
            const double rest = figure.pixelHeight - *cut;
            if (bottom < kFullEnough * height_ || *cut < kSmallestPiece * figure.pixelHeight ||
                rest < kSmallestPiece * figure.pixelHeight || rest * scale + figure.captionHeight > height_ + kSlack) {
                return std::nullopt;
            }
            return *cut;
        }
        return std::nullopt;
    }
    void placeSplit(std::size_t f, double cut) {
        const double scale = block(f).largestScale;
        placeFigure(f, scale, 0, cut);
        newPage();
        placeFigure(f, scale, cut);
    }

    // Where a figure coming under content that ends at `above` starts: at the top of an empty page it owes
    // no space above.
    double figureTop(std::size_t f, double above, bool atTop) const { return atTop ? 0 : above + block(f).spaceBefore; }
    // The largest scale at which the figure fits there, `below` left free under it, if any.
    std::optional<double> scaleFor(std::size_t f, double above, bool atTop, double below = 0) const {
        const double scale = forcedScale(f, above, atTop, below);
        if (scale + kSlack < block(f).smallestScale) return std::nullopt;
        return scale;
    }
    // The same, however small that is: for a figure too tall for a page even at its smallest.
    double forcedScale(std::size_t f, double above, bool atTop, double below = 0) const {
        const LayoutBlock& figure = block(f);
        const double picture = height_ - figureTop(f, above, atTop) - figure.captionHeight - below;
        return std::clamp(picture / std::max(figure.pixelHeight, 1.0), 0.0, figure.largestScale);
    }

    // Lines [from, to) from here on, breaking between pages as needed.
    void flowText(std::size_t b, std::size_t from, std::size_t to) {
        while (from < to) {
            const std::size_t fit = fitting(b, from, to, room());
            if (fit == to - from) {
                placeLines(b, from, to);
                return;
            }
            std::size_t here = fit;
            if (to - from - here < kFewestLines) here = to - from > kFewestLines ? to - from - kFewestLines : 0;
            if (here < kFewestLines) here = 0;
            // An empty page takes what it can, or nothing would ever move on.
            if (here == 0 && empty_) here = std::max<std::size_t>(fit, 1);
            placeLines(b, from, from + here);
            newPage();
            from += here;
        }
    }

    // A heading must have two lines of what follows under it.
    bool roomForHeading(std::size_t b) const {
        double need = sum(b, 0, block(b).lines.size()) + block(b).spaceAfter;
        if (b + 1 < blocks_->size()) {
            const LayoutBlock& next = block(b + 1);
            need += sum(b + 1, 0, std::min(kFewestLines, next.lines.size()));
        }
        return need <= room() + kSlack;
    }

    void figureAlone(std::size_t f) {
        if (const auto scale = scaleFor(f, bottom_, empty_)) return placeFigure(f, *scale);
        if (!empty_ && bottom_ < kFullEnough * height_) {
            if (const auto cut = cutFor(f, bottom_)) return placeSplit(f, *cut);
        }
        newPage();
        placeFigure(f, forcedScale(f, 0, true));
    }

    // Paragraph `p` and the figure `f` it introduces.
    void textWithFigure(std::size_t p, std::size_t f) {
        const std::size_t count = block(p).lines.size();
        std::size_t from = 0;
        while (true) {
            const double rest = sum(p, from, count);
            // All of the paragraph here, the figure under it, drawn smaller if it must.
            if (rest <= room() + kSlack) {
                if (const auto scale = scaleFor(f, at() + rest, false)) {
                    placeLines(p, from, count);
                    return placeFigure(f, *scale);
                }
            }
            // A page break in the paragraph: the figure keeps its last lines.
            const std::size_t left = count - from;
            std::size_t here = std::min(fitting(p, from, count, room()), left > kFewestLines ? left - kFewestLines : 0);
            if (here < kFewestLines) here = 0;
            const double filled = (here > 0 ? at() + sum(p, from, from + here) : bottom_) / height_;
            if (!empty_ && filled < kFullEnough) {
                // That would leave the page mostly empty: the figure here, the paragraph flowing on under it.
                // Under it the paragraph's first lines, or all of it when the rest would leave a line alone.
                const std::size_t under = left < 2 * kFewestLines ? left : kFewestLines;
                const double below = sum(p, from, from + under) + block(f).spaceAfter;
                if (const auto scale = scaleFor(f, bottom_, false, below)) {
                    placeFigure(f, *scale);
                    return flowText(p, from, count);
                }
                // Too tall for that: all of the paragraph here and the figure split under it.
                if (rest <= room() + kSlack) {
                    if (const auto cut = cutFor(f, at() + rest)) {
                        placeLines(p, from, count);
                        return placeSplit(f, *cut);
                    }
                }
            }
            if (here == 0 && empty_) {
                // Not even an empty page holds the figure under the paragraph's last lines: it is drawn as
                // large as the room left lets it be, below its readable size.
                flowText(p, from, count);
                return placeFigure(f, forcedScale(f, bottom_, false));
            }
            placeLines(p, from, from + here);
            newPage();
            from += here;
        }
    }

    double height_;
    const std::vector<LayoutBlock>* blocks_ = nullptr;
    std::size_t chapter_ = 0;
    int page_ = -1;
    double bottom_ = 0;  // of the last thing on the page
    double gap_ = 0;     // owed under it before the next
    bool empty_ = true;
    Composition result_;
};

}  // namespace

Composition compose(const std::vector<std::vector<LayoutBlock>>& chapters, double pageHeight) {
    Composer composer(pageHeight);
    for (std::size_t c = 0; c < chapters.size(); ++c) composer.chapter(c, chapters[c]);
    return composer.take();
}

}  // namespace scortavia::guide
