#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace scortavia {

// Hands a document path or a web address to the desktop's "open" action, as a double click
// would. Nothing is reported back; failures are silent.
class DesktopService final {
public:
    static void open(const QString& target);

    // What the desktop is given: a web address as it is, a document path (quoted or not,
    // blanks and all) as a local file.
    static QUrl urlFor(const QString& target);

    // Tests receive the target instead of the desktop.
    static void setHookForTesting(std::function<void(const QString&)> hook);
};

}  // namespace scortavia
