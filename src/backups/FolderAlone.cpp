#include "backups/FolderAlone.h"

#include "backups/FolderLock.h"
#include "ui/MessageService.h"

namespace scortavia {

FolderAlone FolderAlone::take(FolderLock* lock, QWidget* parent, const QString& inUse, const QString& askClosed) {
    FolderAlone alone;
    alone.lock_ = lock && lock->held() ? lock : nullptr;
    if (alone.lock_) {
        if (!alone.lock_->tryExclusive()) {
            MessageService::warning(parent, inUse);
            return {};
        }
        if (!alone.lock_->locksWork() && !MessageService::question(parent, askClosed)) {
            alone.lock_->share();
            return {};
        }
    }
    alone.taken_ = true;
    return alone;
}

void FolderAlone::share() {
    if (lock_) lock_->share();
}

}  // namespace scortavia
