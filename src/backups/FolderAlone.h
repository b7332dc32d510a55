#pragma once

#include <QString>

class QWidget;

namespace scortavia {

class FolderLock;

// Takes the program folder alone for a job no other copy of the program may share it with (a restore, a
// transfer to a server). The held lock of this copy becomes the exclusive one; when another copy holds
// the folder, `inUse` is said and the answer is null. Where the folder cannot tell (no locks),
// `askClosed` asks the user, and a No is a null answer. With no lock held there is nobody to look for:
// the job goes ahead without one. A non-null answer is the lock to share again when the job is over.
class FolderAlone final {
public:
    static FolderAlone take(FolderLock* lock, QWidget* parent, const QString& inUse, const QString& askClosed);

    bool taken() const { return taken_; }
    // Shares the folder again (after a job that failed or was cancelled, or once it is over).
    void share();

private:
    FolderLock* lock_ = nullptr;
    bool taken_ = false;
};

}  // namespace scortavia
