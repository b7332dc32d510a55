#include "ui/HandOver.h"

namespace scortavia {

const HandOverRoute* findHandOver(HandOver channel, const QString& key) {
    for (const HandOverRoute& route : kHandOverRoutes) {
        if (route.channel == channel && toQString(route.key) == key) return &route;
    }
    return nullptr;
}

const HandOverDesk::Offer* HandOverDesk::liveOffer(HandOver channel, const QString& key) const {
    const auto found = offers_.find({channel, key});
    if (found == offers_.end() || !found->second.owner) return nullptr;
    return &found->second;
}

QObject* HandOverDesk::offeredBy(HandOver channel, const QString& key) const {
    const Offer* offer = liveOffer(channel, key);
    return offer ? offer->owner.data() : nullptr;
}

std::vector<std::pair<HandOver, QString>> HandOverDesk::offers() const {
    std::vector<std::pair<HandOver, QString>> live;
    for (const auto& [route, offer] : offers_) {
        if (offer.owner) live.push_back(route);
    }
    return live;
}

}  // namespace scortavia
