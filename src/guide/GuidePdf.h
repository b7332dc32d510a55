#pragma once

#include <QString>
#include <span>
#include <vector>

#include "guide/GuideScreens.h"
#include "ui/HelpPages.h"

namespace scortavia::guide {

// Writes the guide to `file` as an A4 PDF: a title page, the contents with the page of each section,
// then one section per help page, its paragraphs justified and each figure of its topic on the page of
// the paragraph it illustrates, at a size whose text reads on paper. The file is replaced only once
// the whole guide is written; false, with `problem` set, when it could not be. With `reportFile`, how
// the pages came out (each figure's page and scale, how full each page is) is written there as JSON.
bool writeGuidePdf(const QString& file, std::span<const HelpPage> pages, const std::vector<Figure>& figures,
                   QString& problem, const QString& reportFile = {});

}  // namespace scortavia::guide
