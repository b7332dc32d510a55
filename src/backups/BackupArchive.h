#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "backups/BackupManifest.h"
#include "common/Result.h"

// Backup files: one zip (written and read with libarchive) holding the data files of the program folder
// and, last, their manifest. A backup is made beside its final name and renamed only once it has been
// read back whole and every entry matched its manifest; a backup is used only once it has been checked
// whole the same way. Failures carry the Italian text the user is shown.
namespace scortavia {

// How far a long job has gone, in bytes of data; returns false to stop the job there (cancelled).
using BackupProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// What the list of backups shows of one backup.
struct BackupInfo {
    std::filesystem::path file;
    BackupKind kind = BackupKind::Manual;
    std::string created;          // as in the manifest
    std::uint64_t fileBytes = 0;  // size of the backup file itself
    std::uint64_t dataBytes = 0;  // the data it holds, unpacked
    std::size_t fileCount = 0;
    DataCounts counts;
};

// The texts of the failures, each shown as it stands (those with %1 name the entry at fault).
inline constexpr std::string_view kBackupCancelledText = "Operazione annullata.";
inline constexpr std::string_view kNotABackupText = "Il file scelto non è una copia di sicurezza di Scortavia.";
inline constexpr std::string_view kUnreadableBackupText =
    "La copia di sicurezza non si può leggere: il file è incompleto o danneggiato.";
inline constexpr std::string_view kDamagedEntryText =
    "La copia di sicurezza è danneggiata: il contenuto di \"%1\" non è quello registrato al momento della copia.";
inline constexpr std::string_view kManifestMismatchText =
    "La copia di sicurezza non è integra: l'elenco dei file che contiene non corrisponde al suo contenuto.";
inline constexpr std::string_view kUnsafeEntryText =
    "La copia di sicurezza contiene un elemento non ammesso (\"%1\") e per sicurezza non viene usata.";
inline constexpr std::string_view kOversizedEntryText =
    "La copia di sicurezza contiene un file più grande di quanto dichiarato (\"%1\") e per sicurezza non viene "
    "usata.";
inline constexpr std::string_view kBackupWriteFailedText =
    "Non è stato possibile scrivere la copia di sicurezza nella cartella scelta: %1";
inline constexpr std::string_view kDataReadFailedText =
    "Non è stato possibile leggere un file dei dati (\"%1\"): la copia non è stata fatta.";

inline constexpr std::string_view kUnpackFailedText =
    "Non è stato possibile scrivere i file della copia nella cartella del programma: %1";

// `text` with its %1 replaced by `entry`.
std::string backupText(std::string_view text, std::string_view entry = {});

// Writes a backup of the data files of `programFolder` as `target`, which must not exist yet. Each
// archive is read under a shared lock over the whole file (after an interrupted rewrite of it is
// replayed), so no record is caught half written by another copy of the program. A cancelled or failed
// backup leaves no file behind, neither `target` nor a part of it.
Result<BackupInfo> createBackup(const std::filesystem::path& programFolder, const std::filesystem::path& target,
                                BackupKind kind, const std::string& created, const BackupProgress& progress = {});

// Checks a backup whole without writing anything: every entry a regular file with a safe data name,
// listed in the manifest with its size and SHA-256, and the manifest listing nothing more.
Result<BackupInfo> verifyBackup(const std::filesystem::path& file, const BackupProgress& progress = {});

// What the list shows: the manifest and the sizes, reading no data entry (quick, but no check).
Result<BackupInfo> readBackupInfo(const std::filesystem::path& file);

// Checks the backup as verifyBackup does while writing its data files under `folder` (made when
// missing), each checked against the manifest as it is written, and all flushed to disk at the end. On
// failure `folder` may hold part of the files: the caller removes it.
Result<BackupInfo> extractBackup(const std::filesystem::path& file, const std::filesystem::path& folder,
                                 const BackupProgress& progress = {});

// Tests stop or kill a backup between its steps: called after each entry written (with its path) and
// just before the finished file is renamed into place (with the final name).
void setBackupStepHookForTesting(void (*hook)(std::string_view step));

}  // namespace scortavia
