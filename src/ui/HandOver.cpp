#include "ui/HandOver.h"

#include "ui/ScreenRegistry.h"

namespace scortavia {

const HandOverRoute* findHandOver(HandOver channel, const QString& key, std::string_view screen) {
    for (const HandOverRoute& route : kHandOverRoutes) {
        if (route.channel != channel || toQString(route.key) != key) continue;
        if (!screen.empty() && route.screen != screen) continue;
        return &route;
    }
    return nullptr;
}

QObject* handOverTarget(const ScreenRegistry& registry, HandOver channel, const QString& key) {
    const HandOverRoute* route = findHandOver(channel, key);
    if (!route) return nullptr;
    WorkArea* screen = registry.screen(toQString(route->screen));
    if (!screen || route->control.empty()) return screen;
    return screen->findChild<QObject*>(toQString(route->control));
}

}  // namespace scortavia
