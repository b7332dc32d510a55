#include "ui/Palette.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace scortavia::palette {

QColor color(const char* name) {
    for (const NamedColor& c : kColors) {
        if (std::strcmp(c.name, name) == 0) return QColor::fromRgb(c.rgb);
    }
    return QColor(Qt::black);
}

QString resolve(QString styleSheet) {
    // Longest names first, so "@tealDark" is not read as "@teal" followed by "Dark".
    std::vector<NamedColor> byLength(std::begin(kColors), std::end(kColors));
    std::sort(byLength.begin(), byLength.end(),
              [](const NamedColor& a, const NamedColor& b) { return std::strlen(a.name) > std::strlen(b.name); });
    for (const NamedColor& c : byLength) {
        styleSheet.replace(QLatin1Char('@') + QLatin1String(c.name), QColor::fromRgb(c.rgb).name());
    }
    return styleSheet;
}

}  // namespace scortavia::palette
