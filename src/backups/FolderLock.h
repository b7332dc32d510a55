#pragma once

#include <filesystem>

#include "common/Result.h"
#include "storage/FileAccess.h"

// Every running copy of the program holds a shared lock on the hidden file ".scortavia-in-uso" of the
// program folder for its whole run; a restore needs it alone. The locks are the open file's (OFD), so the
// system lifts them when a copy dies, and on a network folder they reach the server as any record lock
// of the archives does.
namespace scortavia {

inline constexpr std::string_view kFolderLockName = ".scortavia-in-uso";

class FolderLock final {
public:
    FolderLock() = default;
    FolderLock(FolderLock&&) noexcept = default;
    FolderLock& operator=(FolderLock&&) noexcept = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Opens the lock file (made when missing) and takes the shared lock, waiting while a restore holds
    // the folder. With `recover`, first tries for the lock alone and, when it gets it, finishes an
    // interrupted restore (recoverInterruptedRestore) before sharing the folder.
    static Result<FolderLock> hold(const std::filesystem::path& programFolder, bool recover = true);

    // Turns the shared lock into the exclusive one without waiting; false when another copy holds the
    // folder (its lock stays shared then).
    bool tryExclusive();
    // Back to sharing the folder after tryExclusive.
    void share();

    // False where the file system has no locks: then no other copy can be seen.
    bool locksWork() const { return locksWork_; }
    bool held() const { return fd_.get() >= 0; }

private:
    UniqueFd fd_;
    bool locksWork_ = true;
};

}  // namespace scortavia

namespace scortavia {

// A running copy marks its run with a hidden file of its own (".scortavia-avvio.<letters>") that it
// holds locked; the mark goes at a normal end. A mark nobody holds was left by a copy that died: the
// next start removes it and learns that a run ended abnormally.
class RunMark final {
public:
    RunMark() = default;
    RunMark(RunMark&&) noexcept = default;
    RunMark& operator=(RunMark&&) noexcept = default;
    RunMark(const RunMark&) = delete;
    RunMark& operator=(const RunMark&) = delete;
    ~RunMark() = default;  // a mark not removed stays: that is what a death looks like

    // Places this run's mark; `earlierRunDied` tells whether a mark of a dead copy was found (and removed).
    // Where the file system has no locks no mark can be told dead, and none is reported.
    static Result<RunMark> place(const std::filesystem::path& programFolder, bool& earlierRunDied);

    // The normal end of the run.
    void remove();

private:
    UniqueFd fd_;
    std::filesystem::path path_;
};

}  // namespace scortavia
