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
// A file is written through a hidden temporary name beside it, "." + its name + ".XXXXXX".
inline constexpr std::size_t kTemporaryNameExtraBytes = 1 + 7;
// The longest list name, in bytes: the longest file named after a list is a page photo,
// name + "_Foto_H_" + a page number of up to 10 digits + ".jpg", and its temporary name must fit too.
inline constexpr std::size_t kMaxListNameBytes = kMaxFileNameBytes - (8 + 10 + 4) - kTemporaryNameExtraBytes;

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

// Why a listed archive cannot be opened. Its page photos are named after its name trimmed of blanks,
// as every copy of the program names them; a list is opened only when those names are its own.
enum class ArchiveProblem {
    None,
    EmptyName,     // nothing but blanks before ".lis": its photos would have no name
    DotsOnly,      // "." or ".." before ".lis"
    Backslash,     // a backslash in the name, which no photo name may hold
    SharedPhotos,  // another archive's photos have the same names ("Estate.lis" and "Estate.LIS", " Estate.lis")
};

// One archive found in the program folder.
struct ListedArchive {
    std::string fileName;   // the bytes of its name on disk: "Estate.lis", "Vecchio.LIS", "Caff\xE8.lis"
    std::string shownName;  // as the list shows it, in UTF-8 (see shownFileName)
    std::string listName;   // the shown name without its extension, for the editor's title
    ArchiveProblem problem = ArchiveProblem::None;
    std::vector<std::string> sharingPhotos;  // shown names of the other archives whose photos would be its own
    bool canOpen() const { return problem == ArchiveProblem::None; }
};

// True for every name of a folder entry that ends in ".lis" in any case (a list copied from another
// system may end in ".LIS"), hidden names and names of any length or encoding included. The
// program's own side and temporary files (".Estate.lis.xxxx") end otherwise and are never lists.
bool isListArchiveName(std::string_view fileName);

// A file name as the program shows it: UTF-8 as it is; a name in other bytes (written as
// Windows-1252 by another system) read as Windows-1252; a control character as "?".
std::string shownFileName(std::string_view fileName);

// The name the page photos of an archive are named after: its name without the extension, trimmed.
std::string_view photoListName(std::string_view fileName);

// List order: A to Z folded to lower case, every other character by its Windows-1252 code (one the
// code page cannot hold after all of those, by code point); a prefix comes first. Names equal that
// way (only on a case-sensitive file system) are ordered by their bytes.
bool listArchiveLess(std::string_view a, std::string_view b);

// The archives directly in `programFolder`, in list order of their shown names: regular files (a
// symbolic link is not one) whose names are list archive names, each with what keeps it from being
// opened. Subfolders are never looked into. A folder that cannot be read is a failure.
Result<std::vector<ListedArchive>> listArchives(const std::filesystem::path& programFolder);

// The archive `fileName` as the folder stands now, ready to be opened or not. One no longer there is
// given as the editor would make it again, so it is refused while another archive has its photo names.
ListedArchive archiveToOpen(const std::filesystem::path& programFolder, std::string_view fileName);

// The archive of a listed file, by the bytes of its name.
std::filesystem::path listedArchivePath(const std::filesystem::path& programFolder, const ListedArchive& archive);

// Why a listed archive cannot be opened and what to do, as the opening screen tells it; empty for
// one that can be opened.
std::string openRefusal(const ListedArchive& archive);

// The shown names of the archives other than `fileName` whose page photos are named after
// `photoName` (trimmed), as they stand in the folder now; empty when the folder cannot be read.
std::vector<std::string> archivesSharingPhotos(const std::filesystem::path& programFolder, std::string_view fileName,
                                               std::string_view photoName);

// The warning of a page save refused because the archives `others` would have their photos replaced.
std::string sharedPhotosSaveRefusal(std::string_view shownName, const std::vector<std::string>& others);

enum class CreateOutcome { Created, NameTaken, Failed };

struct CreateResult {
    CreateOutcome outcome;
    std::filesystem::path path;  // the new archive: program folder + name + ".lis"
    std::string error;           // what the system said, when it failed
};

// Creates the empty archive of the list `name` (a name that passed the rule), never touching one that
// is there: a list of that name, its extension in any case, is NameTaken, and so is a list whose page
// photos would be named as the new one's (" Estate.lis" for "Estate"). The new file and its
// folder entry are on disk before Created is returned.
CreateResult createListArchive(const std::filesystem::path& programFolder, std::string_view name);

// Removes one archive of the program folder (`fileName` as listed, by its bytes), and nothing else:
// the list's photos stay. A file already gone is no failure: what the user asked for is done.
Status deleteListArchive(const std::filesystem::path& programFolder, std::string_view fileName);

}  // namespace scortavia
