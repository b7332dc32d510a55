#include "storage/FileAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/TextRules.h"
#include "storage/RangeLock.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

Status systemFailure(std::string_view what, const fs::path& path, int error) {
    return Status::failure(std::string(what) + " " + path.string() + ": " + std::strerror(error));
}

// Calls `take` with each block read from `fd` until the end of the file.
Status readAll(int fd, const fs::path& path, const std::function<Status(std::string_view)>& take) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return Status::success();
        if (n < 0) {
            const int error = errno;
            if (error == EINTR) continue;
            return systemFailure("read", path, error);
        }
        if (Status taken = take(std::string_view(buffer, static_cast<std::size_t>(n))); !taken) return taken;
    }
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
}

int UniqueFd::release() { return std::exchange(fd_, -1); }

Status writeAll(int fd, std::string_view bytes, const fs::path& path) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            const int error = errno;
            if (error == EINTR) continue;
            return systemFailure("write", path, error);
        }
        if (n == 0) return Status::failure("short write to " + path.string());
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Status::success();
}

Status syncFolder(const fs::path& folder) {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return systemFailure("cannot open the folder to sync it:", folder, errno);
    // Some filesystems cannot sync a folder at all; nothing more can be done there.
    if (::fsync(fd.get()) != 0 && errno != EINVAL) return systemFailure("cannot sync the folder", folder, errno);
    return Status::success();
}

namespace {

// The open of openRegularFile; on failure `error` holds errno, or 0 for a file that is not regular.
UniqueFd openChecked(const fs::path& path, int flags, unsigned createMode, int& error) {
    int opened = -1;
    do {
        // Non-blocking: opening a FIFO for reading would otherwise wait for a writer forever.
        opened = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, static_cast<mode_t>(createMode));
    } while (opened < 0 && errno == EINTR);
    error = errno;
    if (opened < 0) return UniqueFd();
    UniqueFd fd(opened);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        error = errno;
        return UniqueFd();
    }
    if (!S_ISREG(st.st_mode)) {
        error = 0;
        return UniqueFd();
    }
    // Reads and writes of a regular file never wait anyway; blocking mode keeps them whole.
    const int status = ::fcntl(fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        error = errno;
        return UniqueFd();
    }
    return fd;
}

Status openFailure(const fs::path& path, int error) {
    if (error == 0) return Status::failure("not a regular file: " + path.string());
    return systemFailure("open", path, error);
}

}  // namespace

Result<UniqueFd> openRegularFile(const fs::path& path, int flags, unsigned createMode) {
    int error = 0;
    UniqueFd fd = openChecked(path, flags, createMode, error);
    if (fd.get() < 0) return openFailure(path, error);
    return fd;
}

Result<std::optional<FileContents>> readRegularFile(const fs::path& path, std::size_t maxBytes) {
    int error = 0;
    UniqueFd fd = openChecked(path, O_RDONLY, 0, error);
    if (fd.get() < 0) {
        if (error == ENOENT) return std::optional<FileContents>();
        return openFailure(path, error);
    }
    FileContents contents;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return systemFailure("stat", path, errno);
    if (static_cast<std::size_t>(st.st_size) > maxBytes) return Status::failure("file too large: " + path.string());
    contents.mode = st.st_mode & 07777;
    contents.bytes.reserve(static_cast<std::size_t>(st.st_size));
    Status read = readAll(fd.get(), path, [&](std::string_view block) {
        if (contents.bytes.size() + block.size() > maxBytes) return Status::failure("file too large: " + path.string());
        contents.bytes.append(block);
        return Status::success();
    });
    if (!read) return read;
    return std::optional<FileContents>(std::move(contents));
}

Status writeFileReplacing(const fs::path& target, unsigned mode,
                          const std::function<Status(int fd, const fs::path&)>& fill, FolderSync folderSync) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int created = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (created < 0) return systemFailure("create a temporary file in", folder, errno);
    UniqueFd fd(created);
    const fs::path temporary = pattern;
    bool renamed = false;
    struct Cleanup {
        const std::string& path;
        const bool& renamed;
        ~Cleanup() {
            if (!renamed) ::unlink(path.c_str());
        }
    } cleanup{pattern, renamed};

    // The file just made carries the folder's own idea of "now".
    struct stat made {};
    if (::fstat(fd.get(), &made) == 0) removeTemporaryLeftovers(target, made.st_mtim.tv_sec);

    if (::fchmod(fd.get(), static_cast<mode_t>(mode)) != 0) return systemFailure("chmod", temporary, errno);
    if (Status filled = fill(fd.get(), temporary); !filled) return filled;
    if (::fsync(fd.get()) != 0) return systemFailure("fsync", temporary, errno);
    if (::close(fd.release()) != 0) return systemFailure("close", temporary, errno);
    // rename() replaces the name itself: a link standing there is replaced, its target untouched.
    if (::rename(pattern.c_str(), target.c_str()) != 0) return systemFailure("rename over", target, errno);
    renamed = true;

    // The new name is only durable once the folder entry is on disk too.
    const Status synced = syncFolder(folder);
    if (synced || folderSync == FolderSync::BestEffort) return Status::success();
    return Status::failure("replaced, but " + synced.error());
}

Status replaceFileContents(const fs::path& path, std::string_view bytes, unsigned mode) {
    return writeFileReplacing(path, mode,
                              [bytes](int fd, const fs::path& temporary) { return writeAll(fd, bytes, temporary); });
}

Status copyFileReplacing(const fs::path& source, const fs::path& target) {
    auto in = openRegularFile(source, O_RDONLY);
    if (!in) return in.status();
    return writeFileReplacing(target, 0644, [&](int fd, const fs::path& temporary) {
        return readAll(in->get(), source, [&](std::string_view block) { return writeAll(fd, block, temporary); });
    });
}

Status appendLocked(const fs::path& path, std::string_view bytes) {
    auto fd = openRegularFile(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (!fd) return fd.status();
    // A filesystem without locks still gets the bytes, in one write.
    int error = 0;
    const RangeLock whole = RangeLock::place(fd->get(), F_WRLCK, 0, 0, false, error);
    if (!writeAll(fd->get(), bytes, path)) return Status::failure("write " + path.string());
    if (::fdatasync(fd->get()) != 0) return Status::failure("flush " + path.string());
    return Status::success();
}

namespace {

bool isAsciiAlnum(char c) { return isAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Takes one or more digits from the front of `text`.
bool takeDigits(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && isAsciiDigit(text[n])) ++n;
    text.remove_prefix(n);
    return n > 0;
}

}  // namespace

bool isTemporaryNameOf(std::string_view name, std::string_view targetName) {
    if (targetName.empty() || name.size() < targetName.size() + 2 || name[0] != '.' ||
        name.substr(1, targetName.size()) != targetName || name[targetName.size() + 1] != '.') {
        return false;
    }
    std::string_view rest = name.substr(targetName.size() + 2);
    // mkstemp's six characters.
    if (rest.size() == 6 && std::all_of(rest.begin(), rest.end(), isAsciiAlnum)) return true;
    // The process number and a counter.
    if (!rest.starts_with("tmp")) return false;
    rest.remove_prefix(3);
    if (!takeDigits(rest) || !rest.starts_with('-')) return false;
    rest.remove_prefix(1);
    return takeDigits(rest) && rest.empty();
}

namespace {

// The hidden names of each folder written to, as last listed. A folder of 100,000 photos is listed once in
// a while, not at every photo written; a leftover must be kTemporaryLeftoverAge old before it goes anyway,
// so one that appears after a listing waits no longer than that for the next.
struct HiddenNames {
    std::chrono::steady_clock::time_point listedAt;
    std::vector<std::string> names;
};

std::mutex hiddenNamesMutex;
std::unordered_map<std::string, HiddenNames> hiddenNamesByFolder;

std::vector<std::string> listHiddenNames(int folderFd) {
    std::vector<std::string> names;
    // The listing reads through a descriptor of its own: closedir() closes it.
    const int listingFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listingFd < 0) return names;
    DIR* entries = ::fdopendir(listingFd);
    if (entries == nullptr) {
        ::close(listingFd);
        return names;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (entry->d_name[0] == '.') names.emplace_back(entry->d_name);
    }
    ::closedir(entries);
    return names;
}

}  // namespace

std::size_t removeTemporaryLeftovers(const fs::path& target, std::time_t folderNow) {
    const std::string targetName = target.filename().string();
    if (targetName.empty()) return 0;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() < 0) return 0;

    const std::lock_guard lock(hiddenNamesMutex);
    const auto now = std::chrono::steady_clock::now();
    auto listed = hiddenNamesByFolder.find(folder.string());
    if (listed == hiddenNamesByFolder.end() || now - listed->second.listedAt >= kTemporaryLeftoverAge) {
        listed =
            hiddenNamesByFolder.insert_or_assign(folder.string(), HiddenNames{now, listHiddenNames(folderFd.get())})
                .first;
    }
    std::vector<std::string>& names = listed->second.names;

    const std::time_t newest = folderNow - static_cast<std::time_t>(kTemporaryLeftoverAge.count());
    std::size_t removed = 0;
    for (auto name = names.begin(); name != names.end();) {
        if (!isTemporaryNameOf(*name, targetName)) {
            ++name;
            continue;
        }
        // Looked at through the folder, not followed: a link or a folder of that name stays.
        struct stat st {};
        if (::fstatat(folderFd.get(), name->c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            name = names.erase(name);  // gone meanwhile
            continue;
        }
        if (S_ISREG(st.st_mode) && st.st_mtim.tv_sec <= newest && ::unlinkat(folderFd.get(), name->c_str(), 0) == 0) {
            ++removed;
            name = names.erase(name);
            continue;
        }
        ++name;
    }
    return removed;
}

}  // namespace scortavia
