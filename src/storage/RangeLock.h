#pragma once

#include <cstdint>

namespace scortavia {

// Places or lifts a lock on a byte range of `fd` (length 0: to the end, whatever it becomes), waiting
// for it unless `tryOnly`; the errno of a failure, 0 on success. Locks owned by the open file, not the
// process: closing another descriptor of the same file elsewhere in the program cannot drop them.
int placeLock(int fd, short type, std::int64_t offset, std::int64_t length, bool tryOnly);

// Filesystems without byte-range locks (some network mounts) still let the program work, unlocked.
bool locksUnsupported(int error);

// A lock placed with placeLock, lifted when the guard goes out of scope (or at unlock()), so that no
// way out of a function leaves a record or a file locked for the other copies of the program.
class RangeLock final {
public:
    RangeLock() = default;
    RangeLock(RangeLock&& other) noexcept;
    RangeLock& operator=(RangeLock&& other) noexcept;
    RangeLock(const RangeLock&) = delete;
    RangeLock& operator=(const RangeLock&) = delete;
    ~RangeLock() { unlock(); }

    // Places the lock and hands placeLock's answer to `error`. The guard lifts the range at its end
    // when the lock was placed, and also where the filesystem has no locks (a harmless attempt); after
    // any other failure, a busy range among them, it holds nothing.
    static RangeLock place(int fd, short type, std::int64_t offset, std::int64_t length, bool tryOnly, int& error);

    // Lifts the range now; a failure to lift is not reported, as nothing could be done about it.
    void unlock();

private:
    RangeLock(int fd, std::int64_t offset, std::int64_t length) : fd_(fd), offset_(offset), length_(length) {}

    int fd_ = -1;
    std::int64_t offset_ = 0;
    std::int64_t length_ = 0;
};

}  // namespace scortavia
