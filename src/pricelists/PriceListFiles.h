#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"

// The price lists of the program folder as files: which names can become a list's archive, which
// archives are there, and creating and deleting one. A list's name is its archive's file name
// without ".lis"; its page photos in "Foto_Listino" are named after it too.
namespace scortavia {

// The longest file name the file systems the program runs on can hold, in bytes (UTF-8).
inline constexpr std::size_t kMaxFileNameBytes = 255;
// The longest list name, in bytes: the longest file named after a list is a page photo,
// name + "_Foto_H_" + a page number of up to 10 digits + ".jpg", and it is written through a hidden
// temporary name ("." + that + ".XXXXXX"), which must fit too.
inline constexpr std::size_t kMaxListNameBytes = kMaxFileNameBytes - (8 + 10 + 4) - (1 + 7);

// Why a name cannot be a list's name, in the order the rule checks.
enum class ListNameProblem {
    None,
    Empty,             // nothing but blanks
    NotUtf8,           // bytes that are no text (never typed: from a file name another tool made)
    Separator,         // "/" or "\": the file would land in another folder
    ControlCharacter,  // a tab, a line break or another control character inside
    LeadingDot,        // ".", ".." or a hidden file
    TooLong,           // a file named after the list would be longer than the file system allows
};

struct ListNameCheck {
    std::string name;  // the name as typed, trimmed of leading and trailing blanks
    ListNameProblem problem = ListNameProblem::None;
    bool ok() const { return problem == ListNameProblem::None; }
};

// The name rule: `typed` trimmed, then checked so the archive it names is a plain, visible file
// directly in the program folder. Characters that only Windows refuses (":" "*" "?"...) pass: the
// box's typing filter keeps them out, and a pasted one is a valid name here.
ListNameCheck checkListName(std::string_view typed);

// The warning shown for a refused name (not for an empty one, which has its own message).
std::string listNameWarning(ListNameProblem problem);

// The characters the name box does not let the user type: the ones Windows refuses in a file name,
// the degree sign and the C and N with cedilla and tilde. The vertical bar is let through.
bool refusedWhenTyped(char32_t c);

// One archive found in the program folder.
struct ListedArchive {
    std::string fileName;  // as it stands on disk, "Estate.lis" or "Vecchio.LIS"
    std::string listName;  // the file name without its extension
};

// True when a file name is a list's archive name: it ends in ".lis" in any case (a list copied from
// another system may end in ".LIS") and the name before it passes the name rule.
bool isListArchiveName(std::string_view fileName);

// List order: A to Z folded to lower case, every other character by its Windows-1252 code (one the
// code page cannot hold after all of those, by code point); a prefix comes first. Names equal that
// way (only on a case-sensitive file system) are ordered by their bytes.
bool listArchiveLess(std::string_view a, std::string_view b);

// The archives directly in `programFolder`, in list order: regular files (a symbolic link is not one)
// whose names are list archive names. Subfolders are never looked into. A folder that cannot be
// read is a failure.
Result<std::vector<ListedArchive>> listArchives(const std::filesystem::path& programFolder);

// The archive of a listed file.
std::filesystem::path listedArchivePath(const std::filesystem::path& programFolder, const ListedArchive& archive);

enum class CreateOutcome { Created, NameTaken, Failed };

struct CreateResult {
    CreateOutcome outcome;
    std::filesystem::path path;  // the new archive: program folder + name + ".lis"
    std::string error;           // what the system said, when it failed
};

// Creates the empty archive of the list `name` (a name that passed the rule), never touching one that
// is there: a list of that name, its extension in any case, is NameTaken. The new file and its
// folder entry are on disk before Created is returned.
CreateResult createListArchive(const std::filesystem::path& programFolder, std::string_view name);

// Removes one archive of the program folder (`fileName` as listed), and nothing else: the list's
// photos stay. A file already gone is no failure: what the user asked for is done.
Status deleteListArchive(const std::filesystem::path& programFolder, std::string_view fileName);

}  // namespace scortavia
