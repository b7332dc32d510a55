#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "backups/BackupArchive.h"
#include "common/Result.h"

// Putting a backup's data back in the program folder. The backup is unpacked into a hidden working
// folder beside the data and checked whole on the way (no data file is touched by that); then the
// current data is backed up ("prima del ripristino"); then the data files are swapped by renaming, under
// a plan written before the first rename. A restore interrupted at any moment is finished (or, before the plan,
// forgotten) by recoverInterruptedRestore at the next start, so the folder holds either the old data or the new. The
// caller holds the folder lock exclusively throughout (FolderLock).
namespace scortavia {

// The hidden working folder of a restore inside the program folder.
inline constexpr std::string_view kRestoreFolderName = ".scortavia-ripristino";

// The texts of a restore that failed on the way, beside those of the backup check (BackupArchive.h).
inline constexpr std::string_view kRestoreNotDoneText =
    "Il ripristino non è stato fatto e i dati sono rimasti com'erano: %1";
inline constexpr std::string_view kRestoreInterruptedText =
    "Il ripristino si è interrotto (%1). Chiudi e riapri Scortavia: all'avvio il ripristino viene portato a "
    "termine.";

struct RestoreOutcome {
    BackupInfo restored;                  // the backup now in the folder
    std::filesystem::path beforeRestore;  // the backup of the data as it was
};

// Restores `backup` into `programFolder`, first backing up the current data as `beforeRestoreTarget`
// (a new file). No data file changes unless the backup passed its check and the copy of the current
// data was made, and the working folder goes with a failure. Progress runs over the whole job;
// cancelling is possible until the swap starts.
Result<RestoreOutcome> restoreBackup(const std::filesystem::path& programFolder, const std::filesystem::path& backup,
                                     const std::filesystem::path& beforeRestoreTarget, const std::string& created,
                                     const BackupProgress& progress = {});

// Finishes a restore that was interrupted after its plan was written, or removes what one left before
// it. Nothing to do is success. Called with the folder lock held exclusively, before anything reads data.
Status recoverInterruptedRestore(const std::filesystem::path& programFolder);

// Whether a restore stopped half-way through its swap (its plan is still there): until the next start
// finishes it, the folder holds part old data and part new, which nobody may save or back up.
bool restoreLeftUnfinished(const std::filesystem::path& programFolder);

// Tests kill a restore between its steps: called with a short name of each step ("scompattato",
// "piano", "spostato", "inserito", "fatto").
void setRestoreStepHookForTesting(void (*hook)(std::string_view step));

}  // namespace scortavia
