#include "ui/DesktopService.h"

#include <QDesktopServices>
#include <QUrl>

namespace scortavia {
namespace {

std::function<void(const QString&)>& hook() {
    static std::function<void(const QString&)> instance;
    return instance;
}

}  // namespace

void DesktopService::setHookForTesting(std::function<void(const QString&)> h) { hook() = std::move(h); }

void DesktopService::open(const QString& target) {
    if (hook()) {
        hook()(target);
        return;
    }
    QDesktopServices::openUrl(urlFor(target));
}

QUrl DesktopService::urlFor(const QString& target) {
    // Document paths arrive quoted, as a shell would want them; the desktop wants the bare path.
    QString bare = target.trimmed();
    if (bare.size() >= 2 && bare.startsWith(QLatin1Char('"')) && bare.endsWith(QLatin1Char('"')))
        bare = bare.mid(1, bare.size() - 2);
    return bare.contains(QStringLiteral("://")) ? QUrl(bare) : QUrl::fromLocalFile(bare);
}

}  // namespace scortavia
