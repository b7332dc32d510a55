#include "backups/BackupSchedule.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <system_error>

#include "storage/FileAccess.h"

namespace scortavia {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

constexpr std::string_view kPrefix = "Scortavia_";
constexpr std::string_view kExtension = ".zip";

std::string_view suffixOf(BackupKind kind) {
    switch (kind) {
        case BackupKind::Automatic:
            return "_automatica";
        case BackupKind::BeforeRestore:
            return "_prima-del-ripristino";
        default:
            return "";
    }
}

// Reads `count` digits at `at`; -1 when they are not digits.
int digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return -1;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// The Monday that starts the week of `day`.
sys_days weekOf(year_month_day day) {
    const sys_days d(day);
    return d - (weekday(d) - Monday);
}

}  // namespace

LocalMinute localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {year(local.tm_year + 1900) / month(static_cast<unsigned>(local.tm_mon + 1)) /
                day(static_cast<unsigned>(local.tm_mday)),
            local.tm_hour, local.tm_min, local.tm_sec};
}

std::string manifestTime(const LocalMinute& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(when.day.year()),
                  static_cast<unsigned>(when.day.month()), static_cast<unsigned>(when.day.day()), when.hour,
                  when.minute, when.second);
    return text;
}

std::string backupFileName(BackupKind kind, const LocalMinute& when, int serial) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02u-%02u_%02d-%02d", static_cast<int>(when.day.year()),
                  static_cast<unsigned>(when.day.month()), static_cast<unsigned>(when.day.day()), when.hour,
                  when.minute);
    std::string name = std::string(kPrefix) + stamp + std::string(suffixOf(kind));
    if (serial > 1) name += "-" + std::to_string(serial);
    return name + std::string(kExtension);
}

std::optional<BackupName> parseBackupFileName(std::string_view name) {
    if (!name.starts_with(kPrefix) || !name.ends_with(kExtension)) return std::nullopt;
    std::string_view rest = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kExtension.size());
    // "2026-12-10_15-30" then the kind's suffix, then "-N" for a second copy in the same minute.
    const int y = digits(rest, 0, 4), mo = digits(rest, 5, 2), d = digits(rest, 8, 2);
    const int h = digits(rest, 11, 2), mi = digits(rest, 14, 2);
    if (rest.size() < 16 || rest[4] != '-' || rest[7] != '-' || rest[10] != '_' || rest[13] != '-' || y < 0 || mo < 0 ||
        d < 0 || h < 0 || h > 23 || mi < 0 || mi > 59) {
        return std::nullopt;
    }
    BackupName parsed{
        BackupKind::Manual, {year(y) / month(static_cast<unsigned>(mo)) / day(static_cast<unsigned>(d)), h, mi, 0}, 1};
    if (!parsed.when.day.ok()) return std::nullopt;
    rest = rest.substr(16);
    for (BackupKind kind : {BackupKind::Automatic, BackupKind::BeforeRestore}) {
        if (rest.starts_with(suffixOf(kind))) {
            parsed.kind = kind;
            rest = rest.substr(suffixOf(kind).size());
        }
    }
    if (!rest.empty()) {
        const int serial = rest.size() <= 4 && rest[0] == '-' ? digits(rest, 1, rest.size() - 1) : -1;
        if (serial < 2) return std::nullopt;
        parsed.serial = serial;
    }
    return parsed;
}

fs::path newBackupPath(const fs::path& folder, BackupKind kind, const LocalMinute& when) {
    for (int serial = 1;; ++serial) {
        fs::path candidate = folder / backupFileName(kind, when, serial);
        std::error_code error;
        if (!fs::exists(fs::symlink_status(candidate, error)) || serial >= 999) return candidate;
    }
}

std::vector<fs::path> listBackups(const fs::path& folder) {
    std::vector<std::pair<BackupName, fs::path>> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (const auto parsed = parseBackupFileName(name)) {
            if (it->is_regular_file(error)) found.emplace_back(*parsed, it->path());
            continue;
        }
        // A backup killed half-way leaves its hidden temporary file ".<name>.XXXXXX": never listed, and
        // removed once it is too old to be a backup still being written.
        if (name.size() > 8 && name[0] == '.') {
            const std::string target = name.substr(1, name.size() - 8);
            if (parseBackupFileName(target) && isTemporaryNameOf(name, target)) {
                struct stat info {};
                if (::lstat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                    std::time(nullptr) - info.st_mtim.tv_sec >= duration_cast<seconds>(kTemporaryLeftoverAge).count()) {
                    std::error_code ignored;
                    fs::remove(it->path(), ignored);
                }
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const auto key = [](const BackupName& n) {
            return std::tuple(sys_days(n.when.day), n.when.hour, n.when.minute, n.serial);
        };
        return key(a.first) > key(b.first);
    });
    std::vector<fs::path> paths;
    paths.reserve(found.size());
    for (auto& [name, path] : found) paths.push_back(std::move(path));
    return paths;
}

std::vector<fs::path> automaticBackupsToDelete(const std::vector<fs::path>& backups) {
    std::vector<std::pair<BackupName, fs::path>> automatic;
    for (const fs::path& path : backups) {
        const auto parsed = parseBackupFileName(path.filename().string());
        if (parsed && parsed->kind == BackupKind::Automatic) automatic.emplace_back(*parsed, path);
    }
    // Newest first, so the first of a day or a week met is the one it keeps.
    std::sort(automatic.begin(), automatic.end(), [](const auto& a, const auto& b) {
        return std::tuple(sys_days(a.first.when.day), a.first.when.hour, a.first.when.minute, a.first.serial) >
               std::tuple(sys_days(b.first.when.day), b.first.when.hour, b.first.when.minute, b.first.serial);
    });
    std::vector<sys_days> days, weeks;
    std::vector<fs::path> doomed;
    for (const auto& [name, path] : automatic) {
        bool kept = false;
        const sys_days d(name.when.day);
        if (std::find(days.begin(), days.end(), d) == days.end() && days.size() < 7) {
            days.push_back(d);
            kept = true;
        }
        const sys_days w = weekOf(name.when.day);
        if (std::find(weeks.begin(), weeks.end(), w) == weeks.end() && weeks.size() < 4) {
            weeks.push_back(w);
            kept = true;
        }
        if (!kept) doomed.push_back(path);
    }
    return doomed;
}

bool hasAutomaticBackupOn(const std::vector<fs::path>& backups, year_month_day day) {
    return std::any_of(backups.begin(), backups.end(), [&](const fs::path& path) {
        const auto parsed = parseBackupFileName(path.filename().string());
        return parsed && parsed->kind == BackupKind::Automatic && parsed->when.day == day;
    });
}

}  // namespace scortavia
