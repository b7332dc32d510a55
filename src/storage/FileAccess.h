#pragma once

#include <cstddef>
#include <filesystem>
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

// The whole of a regular file, or nullopt when it does not exist. Anything else in its place, or a
// file larger than `maxBytes`, is a failure.
Result<std::optional<FileContents>> readRegularFile(const std::filesystem::path& path,
                                                    std::size_t maxBytes = std::size_t{1} << 30);

// Writes `bytes` as the file at `path` through a temporary file in the same folder renamed over it:
// a failure at any point leaves the old file whole, and whatever stood at `path` (a symbolic link
// included) is replaced by a regular file, never written through. The folder entry is synced too.
Status replaceFileContents(const std::filesystem::path& path, std::string_view bytes, unsigned mode = 0644);

// Copies the regular file `source` to `target` the same way: complete or not at all.
Status copyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace scortavia
