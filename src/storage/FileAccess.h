#pragma once

#include <chrono>
#include <cstddef>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/Result.h"

// Reading and writing the program's files safely, whatever another program left in their place.
namespace scortavia {

// A file descriptor closed when it goes out of scope.
class UniqueFd final {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int get() const { return fd_; }
    int release();

private:
    int fd_ = -1;
};

// Opens a file that must be a regular file. The open itself never waits: a FIFO, a device or a
// folder in its place is refused at once instead of hanging the program. `flags` are open(2)'s.
Result<UniqueFd> openRegularFile(const std::filesystem::path& path, int flags, unsigned createMode = 0666);

struct FileContents {
    std::string bytes;
    unsigned mode = 0;  // permission bits
};

// Writes all of `bytes` at the file position of `fd`, going on after a partial write; `path` names
// the file in a failure.
Status writeAll(int fd, std::string_view bytes, const std::filesystem::path& path);

// Puts the entries of `folder` (a file made or renamed there) on disk. Some filesystems cannot sync a
// folder at all: that is no failure, there is nothing more to do.
Status syncFolder(const std::filesystem::path& folder);

// The whole of a regular file, or nullopt when it does not exist. Anything else in its place, or a
// file larger than `maxBytes`, is a failure.
Result<std::optional<FileContents>> readRegularFile(const std::filesystem::path& path,
                                                    std::size_t maxBytes = std::size_t{1} << 30);

// Whether a write that cannot sync the folder entry after its rename has failed: a settings file or a
// photo must survive a crash, while an export already whole on disk is no failure for it.
enum class FolderSync { Required, BestEffort };

// Writes the file at `path` through a temporary file in the same folder, filled by `fill` and renamed
// over `path` once complete: a failure at any point (`fill` returning one included) leaves the old file
// whole and no temporary file behind, and whatever stood at `path` (a symbolic link included) is
// replaced by a regular file, never written through. Leftovers of earlier writes of `path` that were
// killed half-way are removed first (removeTemporaryLeftovers).
Status writeFileReplacing(const std::filesystem::path& path, unsigned mode,
                          const std::function<Status(int fd, const std::filesystem::path& temporary)>& fill,
                          FolderSync folderSync = FolderSync::Required);

// writeFileReplacing with `bytes` as the whole file; the folder entry is synced too.
Status replaceFileContents(const std::filesystem::path& path, std::string_view bytes, unsigned mode = 0644);

// Copies the regular file `source` to `target` the same way: complete or not at all.
Status copyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target);

// Appends `bytes` to the file at `path`, made when missing, whole and flushed to disk, under a lock on
// the whole file, so that copies of the program appending at once never mix their texts. A link standing
// at `path` is refused rather than written through. Where the filesystem has no locks the bytes still go.
Status appendLocked(const std::filesystem::path& path, std::string_view bytes);

// A temporary file of a write killed half-way (power cut, kill) stays beside its target forever unless
// someone removes it. Only names this program gives its own temporary files for the target
// `targetName` count: "." + target + "." + six letters or digits (writeFileReplacing), and "." + target +
// ".tmp" + digits + "-" + digits (what earlier exports used).
bool isTemporaryNameOf(std::string_view name, std::string_view targetName);

// Past this age a temporary file is no write in progress: a write touches its file far more often.
inline constexpr std::chrono::seconds kTemporaryLeftoverAge = std::chrono::minutes(10);

// Removes from the folder of `target` the regular files (never a link or a folder) named as temporary
// files of `target` and last written kTemporaryLeftoverAge or more before `folderNow`: the folder's own
// clock, as a file just written there shows it, so that a share whose clock differs from this PC's never
// makes another copy's write in progress look old. Each folder's hidden names are listed again only when
// kTemporaryLeftoverAge has passed since its last listing, so writing many files into a big folder costs one
// listing. Best effort; the count removed.
std::size_t removeTemporaryLeftovers(const std::filesystem::path& target, std::time_t folderNow);

}  // namespace scortavia
