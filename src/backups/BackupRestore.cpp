#include "backups/BackupRestore.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <vector>

#include "storage/FileAccess.h"

namespace scortavia {

namespace {

namespace fs = std::filesystem;

void (*stepHook)(std::string_view) = nullptr;

void step(std::string_view name) {
    if (stepHook) stepHook(name);
}

constexpr std::string_view kPlanFirstLine = "Scortavia - piano di ripristino, versione 1";

// The files a restore takes away and the files it puts in their place, by relative path.
struct Plan {
    std::vector<std::string> old;
    std::vector<std::string> incoming;
};

fs::path workFolder(const fs::path& programFolder) { return programFolder / kRestoreFolderName; }
fs::path planFile(const fs::path& programFolder) { return workFolder(programFolder) / "piano"; }
fs::path incomingFolder(const fs::path& programFolder) { return workFolder(programFolder) / "nuovo"; }
fs::path oldFolder(const fs::path& programFolder) { return workFolder(programFolder) / "vecchio"; }

std::string writePlan(const Plan& plan) {
    std::string text(kPlanFirstLine);
    text += "\nvecchi " + std::to_string(plan.old.size()) + "\n";
    for (const std::string& path : plan.old) text += path + "\n";
    text += "nuovi " + std::to_string(plan.incoming.size()) + "\n";
    for (const std::string& path : plan.incoming) text += path + "\n";
    return text;
}

std::optional<Plan> parsePlan(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;  // a plan always ends its last line
        lines.push_back(text.substr(0, end));
        text = text.substr(end + 1);
    }
    Plan plan;
    std::size_t at = 0;
    if (lines.empty() || lines[at++] != kPlanFirstLine) return std::nullopt;
    for (auto [label, list] :
         {std::pair{std::string_view("vecchi "), &plan.old}, std::pair{std::string_view("nuovi "), &plan.incoming}}) {
        if (at >= lines.size() || !lines[at].starts_with(label)) return std::nullopt;
        const std::string count(lines[at++].substr(label.size()));
        char* end = nullptr;
        const unsigned long n = std::strtoul(count.c_str(), &end, 10);
        if (count.empty() || *end != '\0' || n > lines.size() - at) return std::nullopt;
        for (unsigned long i = 0; i < n; ++i) {
            if (!dataFileKind(lines[at])) return std::nullopt;
            list->emplace_back(lines[at++]);
        }
    }
    if (at != lines.size()) return std::nullopt;
    return plan;
}

bool present(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

Status moveInto(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::create_directories(to.parent_path(), error);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return Status::failure("cannot move " + from.string() + " to " + to.string() + ": " + std::strerror(errno));
    }
    return Status::success();
}

// The swap, safe to run again from the start after an interruption anywhere in it: first every old
// file goes into the work folder, then every new file comes out of it. Until all old files are out, no
// new file is in, so a path found in the program folder is old in the first step and new in the second.
Status applyPlan(const fs::path& programFolder, const Plan& plan) {
    std::set<fs::path> touched{programFolder};
    for (const std::string& path : plan.old) {
        const fs::path in = programFolder / path;
        const fs::path away = oldFolder(programFolder) / path;
        if (present(in) && !present(away)) {
            if (Status moved = moveInto(in, away); !moved) return moved;
            step("spostato");
        }
        touched.insert(in.parent_path());
    }
    for (const std::string& path : plan.incoming) {
        const fs::path from = incomingFolder(programFolder) / path;
        const fs::path in = programFolder / path;
        if (present(from)) {
            if (Status moved = moveInto(from, in); !moved) return moved;
            step("inserito");
        }
        touched.insert(in.parent_path());
    }
    // The renames must be on disk before the plan that would replay them goes.
    for (const fs::path& folder : touched) {
        if (present(folder)) (void)syncFolder(folder);  // a folder that cannot be synced has nothing to add
    }
    return Status::success();
}

Status finishAndForget(const fs::path& programFolder) {
    if (::unlink(planFile(programFolder).c_str()) != 0 && errno != ENOENT) {
        return Status::failure("cannot remove the plan in " + workFolder(programFolder).string());
    }
    (void)syncFolder(workFolder(programFolder));
    std::error_code error;
    fs::remove_all(workFolder(programFolder), error);
    step("fatto");
    return Status::success();
}

Status forgetUnplanned(const fs::path& programFolder) {
    std::error_code error;
    fs::remove_all(workFolder(programFolder), error);
    if (error) return Status::failure("cannot remove " + workFolder(programFolder).string() + ": " + error.message());
    return Status::success();
}

std::vector<std::string> pathsOf(const std::vector<DataFile>& files) {
    std::vector<std::string> paths;
    paths.reserve(files.size());
    for (const DataFile& file : files) paths.push_back(file.path);
    return paths;
}

}  // namespace

Status recoverInterruptedRestore(const fs::path& programFolder) {
    if (!present(workFolder(programFolder))) return Status::success();
    auto text = readRegularFile(planFile(programFolder), std::size_t{256} << 20);
    if (!text) return text.status();
    // No plan yet: the restore never touched the data, and what it unpacked is dropped.
    if (!*text) return forgetUnplanned(programFolder);
    const auto plan = parsePlan((*text)->bytes);
    // A plan is written whole or not at all (it is renamed into place), so a plan that does not read is
    // not one of ours: the data are left as they are, and so is the plan, for someone to look at.
    if (!plan) return Status::failure("unreadable restore plan in " + workFolder(programFolder).string());
    if (Status applied = applyPlan(programFolder, *plan); !applied) return applied;
    return finishAndForget(programFolder);
}

Result<RestoreOutcome> restoreBackup(const fs::path& programFolder, const fs::path& backup,
                                     const fs::path& beforeRestoreTarget, const std::string& created,
                                     const BackupProgress& progress) {
    if (Status recovered = recoverInterruptedRestore(programFolder); !recovered) return recovered;

    // One bar over the two passes: the unpacking, which checks the whole backup before any data is
    // touched, and the copy of the current data.
    auto current = listDataFiles(programFolder);
    if (!current) return Status::failure(backupText(kRestoreNotDoneText, current.error()));
    auto info = readBackupInfo(backup);
    if (!info) return info.status();
    std::uint64_t currentBytes = 0;
    for (const DataFile& file : *current) currentBytes += file.size;
    const std::uint64_t total = info->dataBytes + currentBytes;
    std::uint64_t before = 0;
    const BackupProgress phase = [&](std::uint64_t done, std::uint64_t) {
        return !progress || progress(before + done, total);
    };
    // The backup's data must fit beside the data they replace until the swap.
    struct statvfs space {};
    if (::statvfs(programFolder.c_str(), &space) == 0 &&
        static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize < info->dataBytes + (std::uint64_t{16} << 20)) {
        return Status::failure(backupText(kRestoreNotDoneText, "non c'è abbastanza spazio libero sul disco"));
    }

    auto unpacked = extractBackup(backup, incomingFolder(programFolder), phase);
    if (!unpacked) {
        (void)forgetUnplanned(programFolder);  // nothing of the data was touched
        return unpacked.status();
    }
    step("scompattato");
    before += unpacked->dataBytes;
    auto saved = createBackup(programFolder, beforeRestoreTarget, BackupKind::BeforeRestore, created, phase);
    if (!saved) {
        (void)forgetUnplanned(programFolder);
        return saved.status();
    }

    Plan plan;
    auto old = listDataFiles(programFolder);
    auto incoming = listDataFiles(incomingFolder(programFolder));
    if (!old || !incoming) {
        (void)forgetUnplanned(programFolder);
        return Status::failure(backupText(kRestoreNotDoneText, old ? incoming.error() : old.error()));
    }
    plan.old = pathsOf(*old);
    plan.incoming = pathsOf(*incoming);
    if (Status planned = replaceFileContents(planFile(programFolder), writePlan(plan)); !planned) {
        (void)forgetUnplanned(programFolder);
        return Status::failure(backupText(kRestoreNotDoneText, planned.error()));
    }
    step("piano");

    // From here on the restore goes to its end: after a failure, the next start finishes it.
    if (Status applied = applyPlan(programFolder, plan); !applied) {
        return Status::failure(backupText(kRestoreInterruptedText, applied.error()));
    }
    if (Status done = finishAndForget(programFolder); !done) {
        return Status::failure(backupText(kRestoreInterruptedText, done.error()));
    }
    return RestoreOutcome{*unpacked, saved->file};
}

bool restoreLeftUnfinished(const fs::path& programFolder) { return present(planFile(programFolder)); }

void setRestoreStepHookForTesting(void (*hook)(std::string_view)) { stepHook = hook; }

}  // namespace scortavia
