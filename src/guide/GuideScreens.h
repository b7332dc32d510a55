#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <vector>

#include "ui/HelpPages.h"

namespace scortavia::guide {

// A picture of the parts of a screen a section talks about, and the section it illustrates.
struct Figure {
    HelpTopic topic;
    QImage picture;
    QString caption;
    QString after;          // words of the paragraph the figure follows; the first paragraph when none holds them
    int textPixels = 0;     // the pixel size of the smallest text on the picture, for its size on paper
    std::vector<int> cuts;  // rows of the picture no control crosses, where it may be split between pages
};

// Starts the program in `programFolder` (the shop sample written there) and grabs the parts of its
// main screens that the guide explains, as a user reaches them, from the password to the price-list editor. A screen
// that does not come up, or a message the program would have shown on the way, is noted in `problems`; the screens
// grabbed until then are kept.
std::vector<Figure> grabMainScreens(const std::filesystem::path& programFolder, QStringList& problems);

// A whole screen as the user sees it, named for its file.
struct Screenshot {
    QString name;
    QImage picture;
};

// The program in `programFolder` (the shop sample written there) as a whole screen shows it, for the
// desktop's software centres: the main menu, the card of a product, the label window over that card.
// Problems are noted as for grabMainScreens.
std::vector<Screenshot> grabStoreScreenshots(const std::filesystem::path& programFolder, QStringList& problems);

}  // namespace scortavia::guide
