#include "backups/FolderLock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "backups/BackupRestore.h"
#include "storage/RangeLock.h"

namespace scortavia {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRunMarkPrefix = ".scortavia-avvio.";
constexpr std::string_view kNewRunMarkPrefix = ".scortavia-avvio-nuovo.";

bool restorePlanLeft(const fs::path& programFolder) {
    std::error_code error;
    return fs::exists(programFolder / kRestoreFolderName, error);
}

}  // namespace

Result<FolderLock> FolderLock::hold(const fs::path& programFolder, bool recover) {
    const fs::path path = programFolder / kFolderLockName;
    auto fd = openRegularFile(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    // A folder the user may only read still lets the program show its data: a shared lock needs no write.
    if (!fd) fd = openRegularFile(path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (!fd) return fd.status();
    FolderLock lock;
    lock.fd_ = std::move(*fd);
    // A restore needs the folder alone; a copy that starts meanwhile waits for it, and the first copy to
    // find what a dead restore left finishes it before anyone reads the data.
    for (int attempt = 0;; ++attempt) {
        const int alone = recover ? placeLock(lock.fd_.get(), F_WRLCK, 0, 1, true) : EAGAIN;
        if (alone == 0 || locksUnsupported(alone)) {
            lock.locksWork_ = alone == 0;
            if (recover) (void)recoverInterruptedRestore(programFolder);  // the next start tries again
            if (lock.locksWork_) placeLock(lock.fd_.get(), F_RDLCK, 0, 1, false);
            return lock;
        }
        const int shared = placeLock(lock.fd_.get(), F_RDLCK, 0, 1, false);
        if (shared != 0) {
            lock.locksWork_ = !locksUnsupported(shared);
            if (lock.locksWork_) return Status::failure("cannot lock " + path.string());
            return lock;
        }
        if (!recover || !restorePlanLeft(programFolder) || attempt >= 50) return lock;
        placeLock(lock.fd_.get(), F_UNLCK, 0, 1, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

bool FolderLock::tryExclusive() {
    if (!held() || !locksWork_) return true;
    return placeLock(fd_.get(), F_WRLCK, 0, 1, true) == 0;
}

void FolderLock::share() {
    if (held() && locksWork_) placeLock(fd_.get(), F_RDLCK, 0, 1, false);
}

Result<RunMark> RunMark::place(const fs::path& programFolder, bool& earlierRunDied) {
    earlierRunDied = false;
    std::error_code error;
    for (fs::directory_iterator it(programFolder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(kRunMarkPrefix)) continue;
        auto fd = openRegularFile(it->path(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (!fd) continue;
        // A live copy holds its mark locked; one that can be locked belongs to a copy that is gone.
        if (placeLock(fd->get(), F_WRLCK, 0, 1, true) == 0) {
            ::unlink(it->path().c_str());
            earlierRunDied = true;
        }
    }
    // The mark is locked before it takes its name, so no other start can ever find it unlocked.
    std::string pattern = (programFolder / (std::string(kNewRunMarkPrefix) + "XXXXXX")).string();
    const int made = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (made < 0) return Status::failure("cannot mark the run in " + programFolder.string());
    RunMark mark;
    mark.fd_ = UniqueFd(made);
    placeLock(made, F_WRLCK, 0, 1, false);
    mark.path_ = programFolder / (std::string(kRunMarkPrefix) + pattern.substr(pattern.size() - 6));
    if (::rename(pattern.c_str(), mark.path_.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return Status::failure("cannot mark the run in " + programFolder.string());
    }
    return mark;
}

void RunMark::remove() {
    if (fd_.get() < 0) return;
    ::unlink(path_.c_str());
    fd_ = UniqueFd();
}

}  // namespace scortavia
