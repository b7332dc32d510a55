#include "backups/BackupRun.h"

#include <QString>
#include <QTimer>
#include <system_error>

#include "backups/BackupList.h"
#include "backups/BackupProgressWindow.h"
#include "backups/BackupRestore.h"
#include "backups/BackupSchedule.h"
#include "backups/BackupSettings.h"
#include "storage/ArchiveEngine.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"

namespace scortavia {

BackupRun::BackupRun(std::filesystem::path programFolder) : programFolder_(std::move(programFolder)) {
    if (Result<FolderLock> held = FolderLock::hold(programFolder_)) lock_ = std::move(*held);
    bool died = false;
    if (Result<RunMark> placed = RunMark::place(programFolder_, died)) {
        mark_ = std::move(*placed);
        marked_ = true;
        earlierRunDied_ = died;
    }
}

void BackupRun::menuShown(QWidget* menu) {
    const bool first = !menuReached_;
    menuReached_ = true;
    // Once the menu is on screen, so that what is said shows over it.
    QTimer::singleShot(0, menu, [this, menu, first] { tell(menu, first); });
}

void BackupRun::tell(QWidget* menu, bool firstShow) {
    const std::string failure = readBackupSetting(programFolder_, kBackupFailureKey);
    if (!failure.empty()) {
        // Emptied before it is shown, so that another copy of the program coming up meanwhile does not tell it
        // again; should the settings file refuse, it is told again next time, which is better than never.
        static_cast<void>(writeBackupSetting(programFolder_, kBackupFailureKey, ""));
        MessageService::warning(menu, QStringLiteral("La copia automatica dei dati non è riuscita:\n\n%1\n\n"
                                                     "Controlla che la cartella delle copie sia raggiungibile (per "
                                                     "esempio che la chiavetta USB sia inserita) e crea una copia "
                                                     "dalla finestra delle copie di sicurezza.")
                                          .arg(toQString(failure)));
    }
    // The run that died made no copy at its end: today's is made now.
    if (firstShow && earlierRunDied_) automaticBackup(menu);
}

void BackupRun::finish() {
    if (menuReached_) automaticBackup(nullptr);
    menuReached_ = false;
    if (marked_) mark_.remove();
    marked_ = false;
}

void BackupRun::automaticBackup(QWidget* parent) {
    const std::string folderText = readBackupSetting(programFolder_, kBackupFolderKey);
    if (folderText.empty()) return;  // no folder chosen yet: nothing was asked for
    // With the archives on a server, the folder's files are not the shop's data: the server keeps them.
    if (archiveEngineOf(programFolder_)) return;
    // A restore cut short leaves old and new data side by side until the next start finishes it.
    if (restoreLeftUnfinished(programFolder_)) return;
    const std::filesystem::path folder(folderText);
    const auto failed = [this](const std::string& reason) {
        // Should the settings file refuse it too, there is nowhere left to keep the reason.
        static_cast<void>(writeBackupSetting(programFolder_, kBackupFailureKey, reason));
    };
    std::error_code unknown;
    if (!std::filesystem::is_directory(folder, unknown)) {
        failed(unreachableFolderText(folder));
        return;
    }
    const LocalMinute now = localNow();
    if (hasAutomaticBackupOn(listBackups(folder), now.day)) return;
    bool cancelled = false;
    const Result<BackupInfo> made = [&] {
        BackupProgressWindow progress(parent, QStringLiteral("Copia automatica dei dati in corso…"));
        Result<BackupInfo> result = createBackup(programFolder_, newBackupPath(folder, BackupKind::Automatic, now),
                                                 BackupKind::Automatic, manifestTime(now), progress.callback());
        cancelled = progress.cancelled();
        return result;
    }();
    if (!made) {
        // The user stopped it: that is a choice, not a failure to report.
        if (!cancelled) failed(made.error());
        return;
    }
    for (const std::filesystem::path& old : automaticBackupsToDelete(listBackups(folder))) {
        std::error_code kept;  // a copy that cannot be deleted stays, and is chosen again next time
        std::filesystem::remove(old.has_parent_path() ? old : folder / old, kept);
    }
}

}  // namespace scortavia
