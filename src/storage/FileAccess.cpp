#include "storage/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <utility>

namespace scortavia {
namespace {

namespace fs = std::filesystem;

Status systemFailure(std::string_view what, const fs::path& path, int error) {
    return Status::failure(std::string(what) + " " + path.string() + ": " + std::strerror(error));
}

Status writeAll(int fd, std::string_view bytes, const fs::path& path) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            const int error = errno;
            if (error == EINTR) continue;
            return systemFailure("write", path, error);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Status::success();
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

// Writes a new file beside `target` with `fill`, then renames it over `target`. The temporary file
// is removed whenever the rename did not happen.
Status writeReplacing(const fs::path& target, unsigned mode,
                      const std::function<Status(int fd, const fs::path&)>& fill) {
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

    if (::fchmod(fd.get(), static_cast<mode_t>(mode)) != 0) return systemFailure("chmod", temporary, errno);
    if (Status filled = fill(fd.get(), temporary); !filled) return filled;
    if (::fsync(fd.get()) != 0) return systemFailure("fsync", temporary, errno);
    if (::close(fd.release()) != 0) return systemFailure("close", temporary, errno);
    // rename() replaces the name itself: a link standing there is replaced, its target untouched.
    if (::rename(pattern.c_str(), target.c_str()) != 0) return systemFailure("rename over", target, errno);
    renamed = true;

    // The new name is only durable once the folder entry is on disk too.
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() < 0) return systemFailure("replaced, but cannot open the folder to sync it:", folder, errno);
    // Some filesystems cannot sync a folder at all; nothing more can be done there.
    if (::fsync(folderFd.get()) != 0 && errno != EINVAL) {
        return systemFailure("replaced, but cannot sync the folder", folder, errno);
    }
    return Status::success();
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

Status replaceFileContents(const fs::path& path, std::string_view bytes, unsigned mode) {
    return writeReplacing(path, mode,
                          [bytes](int fd, const fs::path& temporary) { return writeAll(fd, bytes, temporary); });
}

Status copyFileReplacing(const fs::path& source, const fs::path& target) {
    auto in = openRegularFile(source, O_RDONLY);
    if (!in) return in.status();
    return writeReplacing(target, 0644, [&](int fd, const fs::path& temporary) {
        return readAll(in->get(), source, [&](std::string_view block) { return writeAll(fd, block, temporary); });
    });
}

}  // namespace scortavia
