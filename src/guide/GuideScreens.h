#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <vector>

#include "ui/HelpPages.h"

namespace scortavia::guide {

// A screenshot and the section of the guide it illustrates.
struct Figure {
    HelpTopic topic;
    QImage picture;
    QString caption;
    QString after;  // a word of the paragraph the figure follows; the first paragraph when none holds it
};

// Starts the program in `programFolder` (the shop sample written there) and grabs its main screens
// as a user reaches them, from the password to the price-list editor. A screen that does not come
// up, or a message the program would have shown on the way, is noted in `problems`; the screens
// grabbed until then are kept.
std::vector<Figure> grabMainScreens(const std::filesystem::path& programFolder, QStringList& problems);

}  // namespace scortavia::guide
