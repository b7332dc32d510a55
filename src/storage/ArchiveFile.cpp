#include "storage/ArchiveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/FileAccess.h"
#include "storage/RangeLock.h"

namespace scortavia {
namespace {

// Appenders agree on one byte far beyond any real archive as their mutex, so an append waits
// only for other appends, not for a lock held on some record.
constexpr std::int64_t kAppendLockOffset = std::int64_t{1} << 62;

void (*raceHook)() = nullptr;
std::size_t pieceBytes = 0;
void (*piecesHook)(ArchiveFile::RewriteStep, int) = nullptr;

void rewriteReached(ArchiveFile::RewriteStep step, int piece = 0) {
    if (piecesHook) piecesHook(step, piece);
}

// A side file: this text, the record's index and the record size (8 bytes each, least significant
// first), the record as it was, the record as it is to be, and an FNV-1a checksum of all that before it.
constexpr std::string_view kSideMagic = "SCORTAVIA REWRITE 1\n";
constexpr std::size_t kSideHeader = kSideMagic.size() + 16;

std::size_t sideFileSize(std::size_t recordSize) { return kSideHeader + 2 * recordSize + 8; }

std::uint64_t checksum(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

void putNumber(std::uint8_t* at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t getNumber(const std::uint8_t* at) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= std::uint64_t{at[i]} << (8 * i);
    return value;
}

std::vector<std::uint8_t> sideFileBytes(std::int64_t index, std::span<const std::uint8_t> before,
                                        std::span<const std::uint8_t> after) {
    std::vector<std::uint8_t> bytes(sideFileSize(after.size()));
    std::uint8_t* at = std::copy(kSideMagic.begin(), kSideMagic.end(), bytes.data());
    putNumber(at, static_cast<std::uint64_t>(index));
    putNumber(at + 8, after.size());
    at = std::copy(before.begin(), before.end(), at + 16);
    at = std::copy(after.begin(), after.end(), at);
    putNumber(at, checksum(std::span(bytes).first(bytes.size() - 8)));
    return bytes;
}

// Whether every byte of `record` is the byte of `before` or of `after` there: a rewrite from the one to
// the other cut off half-way, or not begun, or done.
bool mixOf(std::span<const std::uint8_t> record, std::span<const std::uint8_t> before,
           std::span<const std::uint8_t> after) {
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (record[i] != before[i] && record[i] != after[i]) return false;
    }
    return true;
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

// The index the entry names, when it is whole and unsettled (a settled entry has its checksum cleared).
std::optional<std::int64_t> entryIndex(std::span<const std::uint8_t> bytes, std::size_t recordSize) {
    if (bytes.size() != sideFileSize(recordSize)) return {};
    if (!std::equal(kSideMagic.begin(), kSideMagic.end(), bytes.begin())) return {};
    const std::uint8_t* numbers = bytes.data() + kSideMagic.size();
    const auto index = static_cast<std::int64_t>(getNumber(numbers));
    if (index < 0 || getNumber(numbers + 8) != recordSize) return {};
    // A settled entry, the usual case, is told without summing it: every save opens the side file twice.
    const std::uint64_t stored = getNumber(bytes.data() + bytes.size() - 8);
    if (stored == 0 || stored != checksum(bytes.first(bytes.size() - 8))) return {};
    return index;
}

}  // namespace

ArchiveFile::ArchiveFile(UniqueFd fd, std::filesystem::path path, std::size_t recordSize)
    : fd_(std::move(fd)), path_(std::move(path)), sidePath_(sideFileOf(path_)), recordSize_(recordSize) {}

ArchiveFile::ArchiveFile(ArchiveFile&& other) noexcept = default;
ArchiveFile& ArchiveFile::operator=(ArchiveFile&& other) noexcept = default;
ArchiveFile::~ArchiveFile() = default;

void ArchiveFile::willReadInOrder() { ::posix_fadvise(fd_.get(), 0, 0, POSIX_FADV_SEQUENTIAL); }

void ArchiveFile::setRaceHookForTesting(void (*hook)()) { raceHook = hook; }

void ArchiveFile::setRewritePiecesForTesting(std::size_t bytes, void (*between)(RewriteStep step, int piece)) {
    pieceBytes = between ? bytes : 0;
    piecesHook = between;
}

std::filesystem::path ArchiveFile::sideFileOf(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    // A name too long to take the additions (a list named by another system) keeps its start and
    // gains a checksum of the whole, so that it stays one archive's own.
    constexpr std::size_t kRoom = 255 - std::string_view(". .rewrite").size() - 17;
    if (name.size() > kRoom) {
        const std::uint64_t sum = checksum(std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
        char hex[17] = {};
        for (int i = 0; i < 16; ++i) hex[i] = "0123456789abcdef"[(sum >> (60 - 4 * i)) & 0xF];
        name = name.substr(0, kRoom) + "~" + hex;
    }
    return folderOf(path) / ("." + name + ".rewrite");
}

std::optional<std::int64_t> ArchiveFile::unsettledRewriteOf(const std::filesystem::path& path, std::size_t recordSize) {
    std::vector<std::uint8_t> bytes(sideFileSize(recordSize) + 1);
    const UniqueFd fd(::open(sideFileOf(path).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return {};
    const ssize_t n = ::pread(fd.get(), bytes.data(), bytes.size(), 0);
    if (n < 0) return {};
    bytes.resize(static_cast<std::size_t>(n));
    return entryIndex(bytes, recordSize);
}

void ArchiveFile::close() {
    sideFd_ = UniqueFd();
    fd_ = UniqueFd();
}

Status ArchiveFile::failure(const char* what, int error) const {
    return Status::failure(std::string(what) + " " + path_.string() + ": " + std::strerror(error));
}

Result<ArchiveFile> ArchiveFile::openOrCreate(const std::filesystem::path& path, std::size_t recordSize) {
    if (recordSize == 0) return Status::failure("record size 0");
    // A folder, a FIFO or a device standing under an archive's name is refused without waiting.
    auto fd = openRegularFile(path, O_RDWR | O_CREAT, 0666);
    if (!fd) return fd.status();
    ArchiveFile file(std::move(*fd), path, recordSize);
    std::vector<std::uint8_t> entry;
    auto left = file.unsettledEntry(entry);
    if (!left) return left.status();
    // An entry whose record is locked is a live writer's, which settles it itself: not waited for.
    if (*left) {
        if (auto replayed = file.replayLeftover(**left, false); !replayed) return replayed;
    }
    return file;
}

Result<std::int64_t> ArchiveFile::recordCount() const {
    struct stat st {};
    if (fd_.get() < 0) return Status::failure("archive closed");
    if (::fstat(fd_.get(), &st) != 0) return failure("stat", errno);
    return static_cast<std::int64_t>(st.st_size) / static_cast<std::int64_t>(recordSize_);
}

bool ArchiveFile::atEnd() const {
    auto count = recordCount();
    return !count || position_ >= *count;
}

Status ArchiveFile::readAt(std::int64_t index, std::span<std::uint8_t> record) {
    if (fd_.get() < 0) return Status::failure("archive closed");
    if (index < 0 || record.size() != recordSize_) return Status::failure("bad record index or buffer");
    auto read = readRecords(index, record);
    if (!read) return read.status();
    if (*read < recordSize_) {
        return Status::failure("record " + std::to_string(index) + " is past the end of " + path_.string());
    }
    position_ = index + 1;
    return Status::success();
}

Result<std::size_t> ArchiveFile::readRecords(std::int64_t first, std::span<std::uint8_t> records) {
    if (fd_.get() < 0) return Status::failure("archive closed");
    if (first < 0 || records.empty() || records.size() % recordSize_ != 0) {
        return Status::failure("bad record index or buffer");
    }
    const auto size = static_cast<std::int64_t>(recordSize_);
    const auto count = static_cast<std::int64_t>(records.size()) / size;
    // Under the shared lock no writer is at work on these records, so an unsettled entry among them is
    // a dead writer's: it is replayed (under the record's own lock, this one let go meanwhile) first.
    std::vector<std::uint8_t> entry;
    RangeLock shared;
    for (int round = 0;; ++round) {
        auto locked = lockRange(F_RDLCK, first * size, count * size);
        if (!locked) return locked.status();
        shared = std::move(*locked);
        auto left = unsettledEntry(entry);
        if (!left) return left.status();
        if (!*left || **left < first || **left >= first + count || round == 3) break;
        shared.unlock();
        if (auto replayed = replayLeftover(**left); !replayed) return replayed;
    }
    return readRaw(first, records);
}

Result<std::size_t> ArchiveFile::readRaw(std::int64_t first, std::span<std::uint8_t> records) const {
    const auto offset = static_cast<off_t>(first * static_cast<std::int64_t>(recordSize_));
    std::size_t done = 0;
    while (done < records.size()) {
        const ssize_t n =
            ::pread(fd_.get(), records.data() + done, records.size() - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failure("read", errno);
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done - done % recordSize_;
}

Status ArchiveFile::readWhole(std::int64_t index, std::span<std::uint8_t> record) const {
    auto read = readRaw(index, record);
    if (!read) return read.status();
    if (*read < recordSize_) {
        return Status::failure("record " + std::to_string(index) + " is past the end of " + path_.string());
    }
    return Status::success();
}

Status ArchiveFile::writeRecord(std::int64_t index, std::span<const std::uint8_t> record) {
    const auto offset = static_cast<off_t>(index * static_cast<std::int64_t>(recordSize_));
    ssize_t n = 0;
    do {
        n = ::pwrite(fd_.get(), record.data(), recordSize_, offset);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return failure("write", errno);
    if (static_cast<std::size_t>(n) != recordSize_) {
        return Status::failure("short write to " + path_.string() + " (disk full or file too large)");
    }
    if (::fdatasync(fd_.get()) != 0) return failure("flush", errno);
    return Status::success();
}

Status ArchiveFile::writeAt(std::int64_t index, std::span<const std::uint8_t> record) {
    if (fd_.get() < 0) return Status::failure("archive closed");
    if (index < 0 || record.size() != recordSize_) return Status::failure("bad record index or buffer");
    auto count = recordCount();
    if (!count) return count.status();
    if (index > *count) return Status::failure("record " + std::to_string(index) + " would leave a hole");
    if (index == *count) return writeRecord(index, record);  // an append: a partial record never counts

    const auto size = static_cast<std::int64_t>(recordSize_);
    auto locked = lockRange(F_WRLCK, index * size, size);
    if (!locked) return locked.status();
    std::vector<std::uint8_t> before(recordSize_);
    Status result = settleDeadEntry(index);
    if (result) result = readWhole(index, before);
    if (result) result = rewriteLocked(index, before, record);
    return result;
}

Status ArchiveFile::writePieces(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset, RewriteStep step,
                                const std::filesystem::path& name) const {
    const std::size_t piece = pieceBytes > 0 ? pieceBytes : bytes.size();
    std::size_t done = 0;
    int pieces = 0;
    while (done < bytes.size()) {
        const std::size_t end = std::min(bytes.size(), done + piece);
        while (done < end) {
            const ssize_t n =
                ::pwrite(fd, bytes.data() + done, end - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Status::failure("write " + name.string() + ": " + std::strerror(errno));
            if (n == 0) return Status::failure("short write to " + name.string() + " (disk full or file too large)");
            done += static_cast<std::size_t>(n);
        }
        rewriteReached(step, ++pieces);
    }
    return Status::success();
}

Result<int> ArchiveFile::sideFile(bool create) {
    if (sideFd_.get() >= 0) return sideFd_.get();
    // Nothing but a regular file is taken for it: not a link, and never a FIFO waited on.
    const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (create ? O_CREAT : 0);
    const int opened = ::open(sidePath_.c_str(), flags, 0666);
    if (opened < 0) {
        if (!create && errno == ENOENT) return -1;  // never rewritten here: the usual case, one lookup
        return Status::failure("open " + sidePath_.string() + ": " + std::strerror(errno));
    }
    UniqueFd fd(opened);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Status::failure("stat " + sidePath_.string() + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return Status::failure(sidePath_.string() + " is not a file");
    if (create && st.st_size == 0) {
        // Open to whoever may write the archive, so that any copy can settle what it holds.
        struct stat archive {};
        if (::fstat(fd_.get(), &archive) == 0) ::fchmod(fd.get(), archive.st_mode & 0666);
    }
    sideFd_ = std::move(fd);
    return sideFd_.get();
}

Result<RangeLock> ArchiveFile::lockSideFile() const {
    // The whole file, whatever its size.
    int error = 0;
    RangeLock lock = RangeLock::place(sideFd_.get(), F_WRLCK, 0, 0, false, error);
    if (error != 0 && !locksUnsupported(error)) {
        return Status::failure("lock " + sidePath_.string() + ": " + std::strerror(error));
    }
    return lock;
}

Result<std::optional<std::int64_t>> ArchiveFile::unsettledEntry(std::vector<std::uint8_t>& entry) {
    entry.clear();
    if (sideFd_.get() < 0) {
        auto opened = sideFile(false);
        if (!opened) return opened.status();
        if (*opened < 0) return std::optional<std::int64_t>();
    }
    // One byte more than an entry, so that a longer file shows as what it is.
    entry.resize(sideFileSize(recordSize_) + 1);
    std::size_t got = 0;
    while (got < entry.size()) {
        const ssize_t n = ::pread(sideFd_.get(), entry.data() + got, entry.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Status::failure("read " + sidePath_.string() + ": " + std::strerror(errno));
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    entry.resize(got);
    return entryIndex(entry, recordSize_);
}

Status ArchiveFile::replayLeftover(std::int64_t index, bool wait) {
    const auto size = static_cast<std::int64_t>(recordSize_);
    bool busy = false;
    auto locked = lockRange(F_WRLCK, index * size, size, wait ? nullptr : &busy);
    if (!locked || busy) return locked.status();
    return settleDeadEntry(index);
}

Status ArchiveFile::settleDeadEntry(std::int64_t index) {
    auto side = sideFile(false);
    if (!side) return side.status();
    if (*side < 0) return Status::success();
    auto locked = lockSideFile();
    if (!locked) return locked.status();
    std::vector<std::uint8_t> entry;
    auto left = unsettledEntry(entry);
    Status result = left.status();
    // An entry for another record is left to whoever holds that record's lock.
    if (left && *left == index) result = replayEntry(index, entry);
    return result;
}

Status ArchiveFile::replayEntry(std::int64_t index, std::span<const std::uint8_t> entry) {
    const auto before = entry.subspan(kSideHeader, recordSize_);
    const auto after = entry.subspan(kSideHeader + recordSize_, recordSize_);
    std::vector<std::uint8_t> current(recordSize_);
    auto read = readRaw(index, current);
    if (!read) return read.status();
    // A record gone from a shortened file, or rewritten since by a copy that knows no side files, stays.
    if (*read == recordSize_ && !std::ranges::equal(current, after) && mixOf(current, before, after)) {
        if (auto written = writePieces(fd_.get(), after, index * static_cast<std::int64_t>(recordSize_),
                                       RewriteStep::RecordPiece, path_);
            !written) {
            return written;
        }
        if (::fdatasync(fd_.get()) != 0) return failure("flush", errno);
        rewriteReached(RewriteStep::RecordFlushed);
    }
    // Settled by clearing the checksum; not flushed: replayed again after a power cut, it changes nothing.
    const std::uint8_t cleared[8] = {};
    if (::pwrite(sideFd_.get(), cleared, sizeof cleared, static_cast<off_t>(sideFileSize(recordSize_) - 8)) != 8) {
        return Status::failure("write " + sidePath_.string() + ": " + std::strerror(errno));
    }
    return Status::success();
}

Status ArchiveFile::rewriteLocked(std::int64_t index, std::span<const std::uint8_t> before,
                                  std::span<const std::uint8_t> after) {
    auto side = sideFile(true);
    if (!side) return side.status();
    const auto size = static_cast<std::int64_t>(recordSize_);
    std::vector<std::uint8_t> entry;
    RangeLock sideLock;
    // The entry of a writer that died on another record is settled before its place is taken. That
    // record's lock is taken after the side file's is let go, in the order every writer takes them.
    for (;;) {
        auto locked = lockSideFile();
        if (!locked) return locked.status();
        sideLock = std::move(*locked);
        auto left = unsettledEntry(entry);
        if (!left) return left.status();
        if (!*left || **left == index) break;
        const std::int64_t other = **left;
        sideLock.unlock();
        auto otherLock = lockRange(F_WRLCK, other * size, size);
        if (!otherLock) return otherLock.status();
        if (Status settled = settleDeadEntry(other); !settled) return settled;
    }
    rewriteReached(RewriteStep::SideFileLocked);

    // Made once, at its full size and flushed with its folder entry: later flushes are of data alone. A
    // file cut short by a disk that filled up is taken up again by the next rewrite.
    const int sideFd = sideFd_.get();
    const std::size_t entrySize = sideFileSize(recordSize_);
    struct stat st {};
    if (::fstat(sideFd, &st) != 0) return Status::failure("stat " + sidePath_.string() + ": " + std::strerror(errno));
    if (static_cast<std::size_t>(st.st_size) < entrySize) {
        const std::vector<std::uint8_t> zeros(entrySize - static_cast<std::size_t>(st.st_size));
        if (auto filled = writePieces(sideFd, zeros, st.st_size, RewriteStep::SideFilePiece, sidePath_); !filled) {
            return filled;
        }
        if (::fsync(sideFd) != 0) return Status::failure("flush " + sidePath_.string() + ": " + std::strerror(errno));
        // Best effort: the file is made only once, so failing this save would not make its entry durable.
        static_cast<void>(syncFolder(folderOf(path_)));
    }

    // Written and flushed before the record is touched: an entry that cannot be is no harm done.
    const std::vector<std::uint8_t> bytes = sideFileBytes(index, before, after);
    Status journalled = writePieces(sideFd, bytes, 0, RewriteStep::SideFilePiece, sidePath_);
    if (journalled && ::fdatasync(sideFd) != 0) {
        journalled = Status::failure("flush " + sidePath_.string() + ": " + std::strerror(errno));
    }
    if (!journalled) return journalled;
    rewriteReached(RewriteStep::SideFileFlushed);

    // A record that fails half-way keeps its entry unsettled, for the next reader or opening to replay.
    if (auto written = writePieces(fd_.get(), after, index * size, RewriteStep::RecordPiece, path_); !written) {
        return written;
    }
    if (::fdatasync(fd_.get()) != 0) return failure("flush", errno);
    rewriteReached(RewriteStep::RecordFlushed);
    const std::uint8_t cleared[8] = {};
    if (::pwrite(sideFd, cleared, sizeof cleared, static_cast<off_t>(entrySize - 8)) != 8) {
        return Status::failure("write " + sidePath_.string() + ": " + std::strerror(errno));
    }
    return Status::success();
}

Result<RangeLock> ArchiveFile::lockRange(short type, std::int64_t offset, std::int64_t length, bool* busy) const {
    int error = 0;
    RangeLock lock = RangeLock::place(fd_.get(), type, offset, length, busy != nullptr, error);
    if (busy) *busy = error == EAGAIN || error == EACCES;
    if (error != 0 && !locksUnsupported(error) && !(busy && *busy)) return failure("lock", error);
    return lock;
}

Result<std::int64_t> ArchiveFile::append(std::span<const std::uint8_t> record) {
    if (fd_.get() < 0) return Status::failure("archive closed");
    if (record.size() != recordSize_) return Status::failure("bad record buffer");
    auto locked = lockRange(F_WRLCK, kAppendLockOffset, 1);
    if (!locked) return locked.status();
    auto count = recordCount();
    if (raceHook) raceHook();
    Status written = count ? writeRecord(*count, record) : count.status();
    if (!written) return written;
    return *count;
}

Result<std::int64_t> ArchiveFile::appendBatch(std::span<const std::uint8_t> records) {
    if (fd_.get() < 0) return Status::failure("archive closed");
    if (records.empty() || records.size() % recordSize_ != 0) return Status::failure("bad record buffer");
    auto locked = lockRange(F_WRLCK, kAppendLockOffset, 1);
    if (!locked) return locked.status();
    auto count = recordCount();
    if (raceHook) raceHook();
    Status written = count.status();
    if (count) {
        const auto start = static_cast<off_t>(*count * static_cast<std::int64_t>(recordSize_));
        std::size_t done = 0;
        while (written && done < records.size()) {
            const ssize_t n =
                ::pwrite(fd_.get(), records.data() + done, records.size() - done, start + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) written = failure("write", errno);
            if (n == 0)
                written = Status::failure("short write to " + path_.string() + " (disk full or file too large)");
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        if (written && ::fdatasync(fd_.get()) != 0) written = failure("flush", errno);
        // Other appenders wait for the lock, so nothing can stand past the old end but this batch. Should
        // the cut fail too, the whole records written stay and count as cards, the partial one does not.
        if (!written && ::ftruncate(fd_.get(), start) != 0) written = failure("write", errno);
    }
    if (!written) return written;
    return *count;
}

Result<ArchiveFile::Update> ArchiveFile::updateAt(std::int64_t index, std::span<std::uint8_t> record,
                                                  const std::function<bool(std::span<std::uint8_t>)>& change) {
    if (fd_.get() < 0) return Status::failure("archive closed");
    if (index < 0 || record.size() != recordSize_) return Status::failure("bad record index or buffer");
    const auto size = static_cast<std::int64_t>(recordSize_);
    auto locked = lockRange(F_WRLCK, index * size, size);
    if (!locked) return locked.status();
    // Read without readAt: its shared lock would take the place of this one.
    Status result = settleDeadEntry(index);
    if (result) result = readWhole(index, record);
    if (result) position_ = index + 1;
    const std::vector<std::uint8_t> before(record.begin(), record.end());
    Update update = Update::LeftAsItWas;
    if (result && change(record)) {
        if (raceHook) raceHook();
        result = rewriteLocked(index, before, record);
        update = Update::Written;
    }
    if (!result) return result;
    return update;
}

Result<std::int64_t> ArchiveFile::appendBatchChecked(std::int64_t& seen, const UnseenRecords& unseen,
                                                     const ComposeRecords& compose) {
    if (fd_.get() < 0) return Status::failure("archive closed");
    auto locked = lockRange(F_WRLCK, kAppendLockOffset, 1);
    if (!locked) return locked.status();
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
            // Read as any reader does, so a card being rewritten meanwhile is seen whole.
            auto read = readRecords(from, block);
            if (!read) status = read.status();
            if (read && *read < block.size()) {
                status = Status::failure("record " + std::to_string(from) + " is past the end of " + path_.string());
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
    return first;
}

}  // namespace scortavia
