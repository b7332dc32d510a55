#pragma once

#include <cstddef>
#include <vector>

namespace scortavia::guide {

// What the page composer places, measured beforehand in page units: the guide's text as lines and its
// pictures with the range of sizes they may take.
struct LayoutBlock {
    enum class Kind { Text, Figure };
    Kind kind = Kind::Text;
    double spaceAfter = 0;  // below the block when something follows it on its page

    // Text (a heading or a paragraph): the height of each line, top to bottom.
    std::vector<double> lines;
    bool keepWithNext = false;  // a heading: never alone at the bottom of a page

    // Figure: the picture in pixels, drawn at a scale (page units per pixel) from `smallestScale`, where
    // its text is still readable on paper, up to `largestScale`, its natural size. The caption goes under it.
    double pixelHeight = 0;
    double smallestScale = 0;
    double largestScale = 0;
    double spaceBefore = 0;
    double captionHeight = 0;  // with the gap above it
    std::vector<double> cuts;  // pixel rows, top to bottom, where the picture may be split between pages
};

struct Placement {
    std::size_t chapter = 0;
    std::size_t block = 0;
    int page = 0;  // over the whole body, from 0
    double top = 0;
    double height = 0;
    // Text: the lines [firstLine, endLine) of the block.
    std::size_t firstLine = 0;
    std::size_t endLine = 0;
    // Figure: its scale, the rows [pixelTop, pixelBottom) of the picture drawn here (all of them unless it
    // is split) and whether its caption comes under them.
    double scale = 0;
    double pixelTop = 0;
    double pixelBottom = 0;
    bool captioned = false;
};

struct PageFill {
    std::size_t chapter = 0;
    double filled = 0;  // how far down the page its content reaches, as a share of the page's height
    bool lastOfChapter = false;
};

struct Composition {
    std::vector<Placement> placements;  // in reading order
    std::vector<PageFill> pages;
    std::vector<int> chapterFirstPage;
};

// Lays the chapters out on pages of `pageHeight`, each chapter from a page of its own. Paragraphs
// break between lines, never leaving a single line of one at the bottom or the top of a page. A figure
// always shares a page with lines of the text before it, the paragraph that introduces it: when it
// does not fit under that paragraph it is drawn smaller, down to its smallest scale; failing that, it
// goes to the next page taking the paragraph's last lines with it. When that would leave the page
// mostly empty the figure is placed before the paragraph, which then flows on under it, or, when it is
// too tall for that, it is split at one of its cuts, its top under the paragraph and the rest, with
// the caption, on the next page.
Composition compose(const std::vector<std::vector<LayoutBlock>>& chapters, double pageHeight);

}  // namespace scortavia::guide
