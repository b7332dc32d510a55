#pragma once

#include <filesystem>

#include "backups/FolderLock.h"

class QWidget;

namespace scortavia {

// What the backups need from a run of the program, from its start to its end: the folder lock held by
// every running copy (a restore needs it alone), the mark that tells a run which ended abnormally, and
// the automatic copy made once a day, whose failure is told the next time the main menu comes up.
class BackupRun final {
public:
    // Takes the folder lock (finishing a restore that was cut short) and places this run's mark. A folder
    // where neither can be made (read-only, say) is no reason to stop: the program goes on without them.
    explicit BackupRun(std::filesystem::path programFolder);
    BackupRun(const BackupRun&) = delete;
    BackupRun& operator=(const BackupRun&) = delete;

    // The lock this copy holds, or nullptr when it could not be taken.
    FolderLock* folderLock() { return lock_.held() ? &lock_ : nullptr; }
    bool earlierRunDied() const { return earlierRunDied_; }

    // The main menu has come up over `menu`: a failed automatic copy is told (once, whichever copy of the
    // program shows it), and after a run that died the day's automatic copy is made if it is missing.
    void menuShown(QWidget* menu);

    // The normal end of the run: the day's automatic copy, if the main menu was reached and none exists,
    // then old automatic copies go; the run's mark goes last. Called once the windows are closed.
    void finish();

private:
    // What menuShown has to say, once the menu is on screen.
    void tell(QWidget* menu, bool firstShow);
    // Today's automatic copy into the chosen folder, unless there is one already; a failure (not a
    // cancel) is kept in the settings file for the next main menu.
    void automaticBackup(QWidget* parent);

    std::filesystem::path programFolder_;
    FolderLock lock_;
    RunMark mark_;
    bool marked_ = false;
    bool earlierRunDied_ = false;
    bool menuReached_ = false;
};

}  // namespace scortavia
