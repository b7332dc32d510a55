#include "ui/HandOver.h"

#include "ui/ScreenRegistry.h"

namespace scortavia {

const HandOverRoute* findHandOver(HandOver channel, const QString& key) {
    for (const HandOverRoute& route : kHandOverRoutes) {
        if (route.channel == channel && toQString(route.key) == key) return &route;
    }
    return nullptr;
}

namespace {

QObject* targetOf(const ScreenRegistry& registry, const HandOverRoute& route) {
    WorkArea* screen = registry.screen(toQString(route.screen));
    if (!screen || route.control.empty()) return screen;
    return screen->findChild<QObject*>(toQString(route.control));
}

}  // namespace

QObject* handOverTarget(const ScreenRegistry& registry, HandOver channel, const QString& key) {
    const HandOverRoute* route = findHandOver(channel, key);
    return route ? targetOf(registry, *route) : nullptr;
}

std::vector<QObject*> handOverTargets(const ScreenRegistry& registry, HandOver channel, const QString& key) {
    std::vector<QObject*> targets;
    for (const HandOverRoute& route : kHandOverRoutes) {
        if (route.channel != channel || toQString(route.key) != key) continue;
        if (QObject* target = targetOf(registry, route)) targets.push_back(target);
    }
    return targets;
}

}  // namespace scortavia
