#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "common/Version.h"

// The launcher of a program folder in the user's applications menu: a desktop entry and the program's
// icon under the desktop's data folder. Each program folder (each shop) has a launcher of its own.
namespace scortavia {

// The icon's name in the icon theme, and the application's id everywhere the desktop asks for one.
inline constexpr std::string_view kLauncherIconName = kProgramId;
// Our own key in an entry: the program folder it starts, so that entries of other shops can be found.
inline constexpr std::string_view kLauncherFolderKey = "X-Scortavia-Folder";
// The class of the program's windows (the application name Qt gives them).
inline constexpr std::string_view kWindowClass = "Scortavia";

// What a launcher starts: the executable, run in its program folder.
struct LauncherTarget {
    std::filesystem::path executable;
    std::filesystem::path programFolder;
};

// The value of an Exec key running `executable` with no arguments: quoted, with the characters the
// desktop would take as quoting, escapes or field codes made literal.
std::string execValue(const std::filesystem::path& executable);

// The launcher's id for `programFolder`: the folder's name made safe, and a short sum of its whole path,
// so that two folders never share one and the same folder always gets the same one. The entry's file
// name is the id with ".desktop"; the program's windows carry the id, so the desktop pairs them.
std::string launcherId(const std::filesystem::path& programFolder);
std::string launcherFileName(const std::filesystem::path& programFolder);

// "Scortavia" when it is the only shop with a launcher, "Scortavia – <folder name>" when there are several.
std::string launcherName(const std::filesystem::path& programFolder, bool severalFolders);

// The whole desktop entry of `target`, shown in the menu as `name`. The folder must be UTF-8 text.
std::string desktopEntry(const LauncherTarget& target, std::string_view name);

// The value of `key` in the main group of an entry's text, with its escapes undone; nullopt without it.
std::optional<std::string> entryValue(std::string_view entry, std::string_view key);

// `entry` with the value of its main group's Name key replaced by `name`.
std::string withName(std::string_view entry, std::string_view name);

struct LauncherWritten {
    std::filesystem::path entry;
    std::filesystem::path icon;
    std::vector<std::filesystem::path> renamed;  // other shops' entries now named after their folders
};

// Writes the launcher of `target` under the data folder `dataHome` (applications/<file name> and the
// icon `iconSvg` under icons/hicolor/scalable/apps/), each through a temporary file and a rename. An
// entry already there for the same folder is replaced. When the launchers of other program folders
// that still exist are found there, every one, this one included, is named after its folder; a launcher
// whose folder is gone is left as it is.
Result<LauncherWritten> writeLauncher(const std::filesystem::path& dataHome, const LauncherTarget& target,
                                      std::string_view iconSvg);

}  // namespace scortavia
