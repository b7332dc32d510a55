#include "storage/ArchiveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "storage/FileAccess.h"

namespace scortavia {
namespace {

// Appenders agree on one byte far beyond any real archive as their mutex, so an append waits
// only for other appends, not for a lock held on some record.
constexpr std::int64_t kAppendLockOffset = std::int64_t{1} << 62;

// Filesystems without byte-range locks (some network mounts) still let the program work, unlocked.
bool locksUnsupported(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS; }

void (*raceHook)() = nullptr;

}  // namespace

ArchiveFile::ArchiveFile(int fd, std::filesystem::path path, std::size_t recordSize)
    : fd_(fd), path_(std::move(path)), recordSize_(recordSize) {}

ArchiveFile::ArchiveFile(ArchiveFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      recordSize_(other.recordSize_),
      position_(other.position_) {}

ArchiveFile& ArchiveFile::operator=(ArchiveFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        recordSize_ = other.recordSize_;
        position_ = other.position_;
    }
    return *this;
}

ArchiveFile::~ArchiveFile() { close(); }

void ArchiveFile::setRaceHookForTesting(void (*hook)()) { raceHook = hook; }

void ArchiveFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

Status ArchiveFile::failure(const char* what, int error) const {
    return Status::failure(std::string(what) + " " + path_.string() + ": " + std::strerror(error));
}

Result<ArchiveFile> ArchiveFile::openOrCreate(const std::filesystem::path& path, std::size_t recordSize) {
    if (recordSize == 0) return Status::failure("record size 0");
    // A folder, a FIFO or a device standing under an archive's name is refused without waiting.
    auto fd = openRegularFile(path, O_RDWR | O_CREAT, 0666);
    if (!fd) return fd.status();
    return ArchiveFile(fd->release(), path, recordSize);
}

Result<std::int64_t> ArchiveFile::recordCount() const {
    struct stat st {};
    if (fd_ < 0) return Status::failure("archive closed");
    if (::fstat(fd_, &st) != 0) return failure("stat", errno);
    return static_cast<std::int64_t>(st.st_size) / static_cast<std::int64_t>(recordSize_);
}

bool ArchiveFile::atEnd() const {
    auto count = recordCount();
    return !count || position_ >= *count;
}

Status ArchiveFile::readAt(std::int64_t index, std::span<std::uint8_t> record) {
    if (fd_ < 0) return Status::failure("archive closed");
    if (index < 0 || record.size() != recordSize_) return Status::failure("bad record index or buffer");
    const auto offset = static_cast<off_t>(index * static_cast<std::int64_t>(recordSize_));
    std::size_t done = 0;
    while (done < recordSize_) {
        const ssize_t n = ::pread(fd_, record.data() + done, recordSize_ - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failure("read", errno);
        if (n == 0) return Status::failure("record " + std::to_string(index) + " is past the end of " + path_.string());
        done += static_cast<std::size_t>(n);
    }
    position_ = index + 1;
    return Status::success();
}

Status ArchiveFile::writeRecord(std::int64_t index, std::span<const std::uint8_t> record) {
    const auto offset = static_cast<off_t>(index * static_cast<std::int64_t>(recordSize_));
    ssize_t n = 0;
    do {
        n = ::pwrite(fd_, record.data(), recordSize_, offset);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return failure("write", errno);
    if (static_cast<std::size_t>(n) != recordSize_) {
        return Status::failure("short write to " + path_.string() + " (disk full or file too large)");
    }
    if (::fdatasync(fd_) != 0) return failure("flush", errno);
    return Status::success();
}

Status ArchiveFile::writeAt(std::int64_t index, std::span<const std::uint8_t> record) {
    if (fd_ < 0) return Status::failure("archive closed");
    if (index < 0 || record.size() != recordSize_) return Status::failure("bad record index or buffer");
    auto count = recordCount();
    if (!count) return count.status();
    if (index > *count) return Status::failure("record " + std::to_string(index) + " would leave a hole");
    return writeRecord(index, record);
}

Status ArchiveFile::lockRange(std::int64_t offset, std::int64_t length, bool lock) const {
    struct flock fl {};
    fl.l_type = lock ? F_WRLCK : F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    // Locks owned by the open file, not the process: closing another descriptor of the same
    // file elsewhere in the program cannot silently drop them.
    int rc = 0;
    do {
        rc = ::fcntl(fd_, F_OFD_SETLKW, &fl);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EINVAL) {
        fl.l_pid = 0;
        do {
            rc = ::fcntl(fd_, F_SETLKW, &fl);
        } while (rc != 0 && errno == EINTR);
    }
    if (rc != 0 && !locksUnsupported(errno)) return failure("lock", errno);
    return Status::success();
}

Result<std::int64_t> ArchiveFile::append(std::span<const std::uint8_t> record) {
    if (fd_ < 0) return Status::failure("archive closed");
    if (record.size() != recordSize_) return Status::failure("bad record buffer");
    if (auto locked = lockRange(kAppendLockOffset, 1, true); !locked) return locked;
    auto count = recordCount();
    if (raceHook) raceHook();
    Status written = count ? writeRecord(*count, record) : count.status();
    lockRange(kAppendLockOffset, 1, false);
    if (!written) return written;
    return *count;
}

Result<std::int64_t> ArchiveFile::appendBatch(std::span<const std::uint8_t> records) {
    if (fd_ < 0) return Status::failure("archive closed");
    if (records.empty() || records.size() % recordSize_ != 0) return Status::failure("bad record buffer");
    if (auto locked = lockRange(kAppendLockOffset, 1, true); !locked) return locked;
    auto count = recordCount();
    if (raceHook) raceHook();
    Status written = count.status();
    if (count) {
        const auto start = static_cast<off_t>(*count * static_cast<std::int64_t>(recordSize_));
        std::size_t done = 0;
        while (written && done < records.size()) {
            const ssize_t n =
                ::pwrite(fd_, records.data() + done, records.size() - done, start + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) written = failure("write", errno);
            if (n == 0)
                written = Status::failure("short write to " + path_.string() + " (disk full or file too large)");
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        if (written && ::fdatasync(fd_) != 0) written = failure("flush", errno);
        // Other appenders wait for the lock, so nothing can stand past the old end but this batch. Should
        // the cut fail too, the whole records written stay and count as cards, the partial one does not.
        if (!written && ::ftruncate(fd_, start) != 0) written = failure("write", errno);
    }
    lockRange(kAppendLockOffset, 1, false);
    if (!written) return written;
    return *count;
}

Result<ArchiveFile::Update> ArchiveFile::updateAt(std::int64_t index, std::span<std::uint8_t> record,
                                                  const std::function<bool(std::span<std::uint8_t>)>& change) {
    if (fd_ < 0) return Status::failure("archive closed");
    if (index < 0 || record.size() != recordSize_) return Status::failure("bad record index or buffer");
    const auto size = static_cast<std::int64_t>(recordSize_);
    if (auto locked = lockRange(index * size, size, true); !locked) return locked;
    Status result = readAt(index, record);
    Update update = Update::LeftAsItWas;
    if (result && change(record)) {
        if (raceHook) raceHook();
        result = writeRecord(index, record);
        update = Update::Written;
    }
    lockRange(index * size, size, false);
    if (!result) return result;
    return update;
}

Result<std::int64_t> ArchiveFile::appendBatchChecked(std::int64_t& seen, const UnseenRecords& unseen,
                                                     const ComposeRecords& compose) {
    if (fd_ < 0) return Status::failure("archive closed");
    if (auto locked = lockRange(kAppendLockOffset, 1, true); !locked) return locked;
    auto count = recordCount();
    Status status = count.status();
    const auto size = static_cast<std::int64_t>(recordSize_);
    if (count) {
        // An archive found shorter than before has nothing unseen.
        std::int64_t from = std::clamp<std::int64_t>(seen, 0, *count);
        const std::int64_t perBlock = std::max<std::int64_t>(1, (std::int64_t{1} << 20) / size);
        std::vector<std::uint8_t> block;
        while (status && from < *count) {
            const std::int64_t records = std::min(perBlock, *count - from);
            block.resize(static_cast<std::size_t>(records * size));
            std::size_t done = 0;
            while (status && done < block.size()) {
                const ssize_t n = ::pread(fd_, block.data() + done, block.size() - done,
                                          static_cast<off_t>(from * size) + static_cast<off_t>(done));
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) status = failure("read", errno);
                if (n == 0)
                    status =
                        Status::failure("record " + std::to_string(from) + " is past the end of " + path_.string());
                if (n > 0) done += static_cast<std::size_t>(n);
            }
            if (status) unseen(block, from);
            from += records;
        }
        seen = *count;
    }
    Result<std::int64_t> first = status;
    if (status) {
        first = *count;
        if (const std::span<const std::uint8_t> records = compose(); !records.empty()) {
            // appendBatch takes the append lock again: the lock belongs to this open file, so taking it
            // is a no-op and nothing can have been appended since the count above.
            first = appendBatch(records);
            if (first) seen = *first + static_cast<std::int64_t>(records.size() / recordSize_);
        }
    }
    lockRange(kAppendLockOffset, 1, false);
    return first;
}

}  // namespace scortavia
