#include "storage/RangeLock.h"

#include <fcntl.h>

#include <cerrno>
#include <utility>

namespace scortavia {

bool locksUnsupported(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS; }

int placeLock(int fd, short type, std::int64_t offset, std::int64_t length, bool tryOnly) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    int rc = 0;
    do {
        rc = ::fcntl(fd, tryOnly ? F_OFD_SETLK : F_OFD_SETLKW, &fl);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EINVAL) {
        fl.l_pid = 0;
        do {
            rc = ::fcntl(fd, tryOnly ? F_SETLK : F_SETLKW, &fl);
        } while (rc != 0 && errno == EINTR);
    }
    return rc == 0 ? 0 : errno;
}

RangeLock::RangeLock(RangeLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), offset_(other.offset_), length_(other.length_) {}

RangeLock& RangeLock::operator=(RangeLock&& other) noexcept {
    if (this != &other) {
        unlock();
        fd_ = std::exchange(other.fd_, -1);
        offset_ = other.offset_;
        length_ = other.length_;
    }
    return *this;
}

RangeLock RangeLock::place(int fd, short type, std::int64_t offset, std::int64_t length, bool tryOnly, int& error) {
    error = placeLock(fd, type, offset, length, tryOnly);
    if (error != 0 && !locksUnsupported(error)) return RangeLock();
    return RangeLock(fd, offset, length);
}

void RangeLock::unlock() {
    if (fd_ < 0) return;
    placeLock(std::exchange(fd_, -1), F_UNLCK, offset_, length_, false);
}

}  // namespace scortavia
