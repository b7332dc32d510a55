#include "backups/BackupArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "storage/ArchiveFile.h"
#include "storage/FileAccess.h"
#include "storage/RangeLock.h"

namespace scortavia {

namespace {

namespace fs = std::filesystem;

void (*stepHook)(std::string_view) = nullptr;

void step(std::string_view name) {
    if (stepHook) stepHook(name);
}

constexpr std::size_t kBlock = std::size_t{1} << 20;
// A backup of this program holds the files of one shop's folder; far more entries than this is no such
// backup, and reading their names would only cost memory.
constexpr std::size_t kMaxEntries = 2'000'000;

struct ArchiveWriteFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct ArchiveReadFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct EntryFree {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};
using Writer = std::unique_ptr<archive, ArchiveWriteFree>;
using Reader = std::unique_ptr<archive, ArchiveReadFree>;
using Entry = std::unique_ptr<archive_entry, EntryFree>;

// Hashes big blocks on a second thread while the caller reads, packs or unpacks the next one: the
// checksum and the (un)packing, the two heaviest steps, then run side by side. A block handed to add()
// must stay unchanged until the next add() or digest() returns.
class SideHasher final {
public:
    SideHasher() = default;
    SideHasher(const SideHasher&) = delete;
    SideHasher& operator=(const SideHasher&) = delete;
    ~SideHasher() { finishPending(); }

    void add(const char* bytes, std::size_t size) {
        finishPending();
        // A thread is worth starting only for a block that takes far longer to hash.
        if (size < std::size_t{256} * 1024) {
            hasher_.add(bytes, size);
            return;
        }
        pending_ = std::async(std::launch::async, [this, bytes, size] { hasher_.add(bytes, size); });
    }
    Sha256 digest() {
        finishPending();
        return hasher_.digest();
    }

private:
    void finishPending() {
        if (pending_.valid()) pending_.get();
    }
    Sha256Sum hasher_;
    std::future<void> pending_;
};

// Two buffers taken in turn, so that the one a SideHasher still reads is never refilled.
class TwoBuffers final {
public:
    explicit TwoBuffers(std::size_t size) : buffers_{std::vector<char>(size), std::vector<char>(size)} {}
    std::vector<char>& next() { return buffers_[turn_ ^= 1]; }

private:
    std::vector<char> buffers_[2];
    int turn_ = 0;
};

Status cancelled() { return Status::failure(std::string(kBackupCancelledText)); }

// Progress over a job, in bytes; false once the user stopped it.
class Meter final {
public:
    Meter(const BackupProgress& progress, std::uint64_t total) : progress_(progress), total_(total) {}
    bool add(std::uint64_t bytes) {
        done_ += bytes;
        return !progress_ || progress_(std::min(done_, total_), total_);
    }

private:
    const BackupProgress& progress_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
};

// libarchive spells names by the locale of the thread: every backup is written and read in UTF-8, as zip
// names are meant to be, whatever the locale the program was started in.
class Utf8Names final {
public:
    Utf8Names()
        : utf8_(::newlocale(LC_ALL_MASK, "C.UTF-8", locale_t{})), previous_(utf8_ ? ::uselocale(utf8_) : locale_t{}) {}
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;
    ~Utf8Names() {
        if (!utf8_) return;
        ::uselocale(previous_);
        ::freelocale(utf8_);
    }

private:
    locale_t utf8_;
    locale_t previous_;
};

std::string entryName(archive_entry* entry) {
    // The UTF-8 form needs no locale; a name that has none is taken as its bytes are.
    if (const char* utf8 = archive_entry_pathname_utf8(entry)) return utf8;
    if (const char* raw = archive_entry_pathname(entry)) return raw;
    return {};
}

// Already compressed: deflating them again costs time and saves nothing.
bool storedAsIs(const DataFile& file) {
    if (file.kind == DataFileKind::ProductPhoto || file.kind == DataFileKind::PriceListPhoto) return true;
    std::string extension = fs::path(file.path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    constexpr std::string_view kPacked[] = {".jpg",  ".jpeg", ".png", ".gif", ".pdf", ".zip", ".docx",
                                            ".xlsx", ".odt",  ".ods", ".mp4", ".7z",  ".rar", ".gz"};
    return std::find(std::begin(kPacked), std::end(kPacked), extension) != std::end(kPacked);
}

// One data file opened for the backup: archives through ArchiveFile, so that a rewrite a dead copy left
// half done is replayed first, and held under a shared lock over the whole file while they are read.
struct OpenedData {
    std::optional<ArchiveFile> archive;
    UniqueFd plain;
    RangeLock lock;
    std::uint64_t size = 0;
    int fd() const { return archive ? archive->descriptor() : plain.get(); }
};

// nullopt: the file went away since the folder was listed (deleted by another copy), and is left out.
Result<std::optional<OpenedData>> openData(const fs::path& folder, const DataFile& file) {
    const fs::path path = folder / file.path;
    OpenedData opened;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) return std::optional<OpenedData>();
    if (const std::size_t recordSize = recordSizeOf(file.kind); recordSize > 0) {
        auto archive = ArchiveFile::openOrCreate(path, recordSize);
        if (archive) opened.archive.emplace(std::move(*archive));
    }
    // A folder the user may only read is backed up as it stands: nothing there can be half written.
    if (!opened.archive) {
        auto fd = openRegularFile(path, O_RDONLY | O_CLOEXEC);
        if (!fd) {
            if (errno == ENOENT) return std::optional<OpenedData>();
            return Status::failure(backupText(kDataReadFailedText, file.path));
        }
        opened.plain = std::move(*fd);
    }
    int error = 0;
    opened.lock = RangeLock::place(opened.fd(), F_RDLCK, 0, 0, false, error);
    if (error != 0 && !locksUnsupported(error)) return Status::failure(backupText(kDataReadFailedText, file.path));
    if (::fstat(opened.fd(), &info) != 0) return Status::failure(backupText(kDataReadFailedText, file.path));
    opened.size = static_cast<std::uint64_t>(info.st_size);
    return std::optional<OpenedData>(std::move(opened));
}

Status writeFailed(archive* a) {
    const char* why = archive_error_string(a);
    return Status::failure(backupText(kBackupWriteFailedText, why ? why : "errore di scrittura"));
}

// Writes the entries and the manifest into `fd`; fills `manifest`.
Status writeEntries(int fd, const fs::path& folder, const std::vector<DataFile>& files, Manifest& manifest,
                    const BackupProgress& progress) {
    Writer writer(archive_write_new());
    archive* a = writer.get();
    if (!a || archive_write_set_format_zip(a) != ARCHIVE_OK) return writeFailed(a);
    // The fastest deflate: archives are mostly the empty ends of their fields, which any level squeezes.
    if (archive_write_set_format_option(a, "zip", "compression-level", "1") < ARCHIVE_WARN) return writeFailed(a);
    archive_write_set_bytes_per_block(a, 64 * 1024);
    if (archive_write_open_fd(a, fd) != ARCHIVE_OK) return writeFailed(a);

    std::uint64_t total = 0;
    for (const DataFile& file : files) total += file.size;
    Meter meter(progress, total);
    TwoBuffers buffers(kBlock);
    std::vector<DataFile> written;  // as read under their locks, for the counts of the manifest
    for (const DataFile& file : files) {
        auto opened = openData(folder, file);
        if (!opened) return opened.status();
        if (!*opened) continue;
        OpenedData& data = **opened;

        Entry entry(archive_entry_new());
        archive_entry_set_pathname_utf8(entry.get(), zipNameOf(file.path).c_str());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(data.size));
        struct stat info {};
        if (::fstat(data.fd(), &info) == 0) archive_entry_set_mtime(entry.get(), info.st_mtim.tv_sec, 0);
        if (storedAsIs(file) ? archive_write_zip_set_compression_store(a) != ARCHIVE_OK
                             : archive_write_zip_set_compression_deflate(a) != ARCHIVE_OK) {
            return writeFailed(a);
        }
        if (archive_write_header(a, entry.get()) != ARCHIVE_OK) return writeFailed(a);

        SideHasher hasher;
        std::uint64_t offset = 0;
        std::vector<char>* buffer = &buffers.next();
        while (offset < data.size) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, data.size - offset));
            const ssize_t got = ::pread(data.fd(), buffer->data(), want, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR) continue;
            // The size was taken under the lock, so a shorter file is a failing disk, not a writer.
            if (got <= 0) return Status::failure(backupText(kDataReadFailedText, file.path));
            hasher.add(buffer->data(), static_cast<std::size_t>(got));
            if (archive_write_data(a, buffer->data(), static_cast<std::size_t>(got)) != got) return writeFailed(a);
            offset += static_cast<std::uint64_t>(got);
            if (!meter.add(static_cast<std::uint64_t>(got))) return cancelled();
            buffer = &buffers.next();
        }
        if (archive_write_finish_entry(a) != ARCHIVE_OK) return writeFailed(a);
        manifest.files.push_back({file.path, data.size, hasher.digest()});
        written.push_back({file.path, file.kind, data.size});
        step(file.path);
    }

    manifest.counts = countRecords(written);
    const std::string text = writeManifest(manifest);
    Entry entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), std::string(kManifestName).c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(text.size()));
    if (archive_write_zip_set_compression_deflate(a) != ARCHIVE_OK) return writeFailed(a);
    if (archive_write_header(a, entry.get()) != ARCHIVE_OK) return writeFailed(a);
    if (archive_write_data(a, text.data(), text.size()) != static_cast<la_ssize_t>(text.size())) return writeFailed(a);
    if (archive_write_close(a) != ARCHIVE_OK) return writeFailed(a);
    return Status::success();
}

// ---- reading ----

struct Listed {
    std::string name;                 // as the zip has it
    std::optional<std::string> path;  // the data path it stands for, if it stands for one
    bool regular = false;
};

Result<Reader> openReader(int fd) {
    Reader reader(archive_read_new());
    // Every entry is checked against the SHA-256 of its manifest, which finds all the zip's CRC-32 would:
    // computing both only doubles the time of the check.
    if (!reader || archive_read_support_format_zip_seekable(reader.get()) != ARCHIVE_OK ||
        archive_read_set_format_option(reader.get(), "zip", "ignorecrc32", "1") != ARCHIVE_OK ||
        archive_read_open_fd(reader.get(), fd, kBlock) != ARCHIVE_OK) {
        return Status::failure(std::string(kUnreadableBackupText));
    }
    return reader;
}

// Reads the data of the current entry, at most `limit` bytes of it (one more tells it is bigger).
// nullopt when the stored data are damaged.
template <class Take>
std::optional<std::uint64_t> readEntryData(archive* a, std::uint64_t limit, TwoBuffers& buffers, Take take) {
    std::uint64_t count = 0;
    for (;;) {
        std::vector<char>& buffer = buffers.next();
        const la_ssize_t got = archive_read_data(a, buffer.data(), buffer.size());
        if (got == 0) return count;
        if (got < 0) return std::nullopt;
        count += static_cast<std::uint64_t>(got);
        if (count > limit) return count;
        if (!take(buffer.data(), static_cast<std::size_t>(got))) return count;
    }
}

// The first pass: every entry's name and type, and the manifest. Reads no data but the manifest's.
struct Survey {
    std::vector<Listed> entries;
    std::optional<Manifest> manifest;
};

Result<Survey> survey(int fd) {
    auto reader = openReader(fd);
    if (!reader) return reader.status();
    archive* a = reader->get();
    Survey found;
    bool manifestSeen = false;
    TwoBuffers buffers(std::size_t{64} * 1024);
    for (;;) {
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN) return Status::failure(std::string(kUnreadableBackupText));
        if (found.entries.size() >= kMaxEntries) return Status::failure(std::string(kManifestMismatchText));
        Listed listed{entryName(entry), std::nullopt, archive_entry_filetype(entry) == AE_IFREG};
        listed.path = pathOfZipName(listed.name);
        if (listed.name == kManifestName && listed.regular && !manifestSeen) {
            manifestSeen = true;
            std::string text;
            const auto read = readEntryData(a, kManifestMaxBytes, buffers, [&](const char* bytes, std::size_t size) {
                text.append(bytes, size);
                return true;
            });
            if (!read) return Status::failure(std::string(kUnreadableBackupText));
            if (*read > kManifestMaxBytes) return Status::failure(std::string(kNotABackupText));
            found.manifest = parseManifest(text);
            if (!found.manifest) return Status::failure(std::string(kNotABackupText));
            continue;
        }
        found.entries.push_back(std::move(listed));
    }
    return found;
}

// The checks that need no data: the backup is this program's, holds only regular files with safe data
// names, and its entries are exactly the files of its manifest.
Status checkNames(const Survey& found) {
    if (!found.manifest) return Status::failure(std::string(kNotABackupText));
    for (const Listed& listed : found.entries) {
        if (!listed.regular || !listed.path || !dataFileKind(*listed.path)) {
            return Status::failure(backupText(kUnsafeEntryText, listed.name));
        }
    }
    if (found.entries.size() != found.manifest->files.size())
        return Status::failure(std::string(kManifestMismatchText));
    std::vector<std::string_view> names;
    names.reserve(found.entries.size());
    for (const Listed& listed : found.entries) names.push_back(*listed.path);
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] != found.manifest->files[i].path) return Status::failure(std::string(kManifestMismatchText));
    }
    return Status::success();
}

BackupInfo infoOf(const fs::path& file, int fd, const Manifest& manifest) {
    BackupInfo info;
    info.file = file;
    info.kind = manifest.kind;
    info.created = manifest.created;
    struct stat st {};
    if (::fstat(fd, &st) == 0) info.fileBytes = static_cast<std::uint64_t>(st.st_size);
    for (const ManifestFile& f : manifest.files) info.dataBytes += f.size;
    info.fileCount = manifest.files.size();
    info.counts = manifest.counts;
    return info;
}

Result<UniqueFd> openFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Status::failure("cannot open " + folder.string());
    return UniqueFd(fd);
}

Status makeFolders(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return error ? Status::failure("cannot make " + folder.string() + ": " + error.message()) : Status::success();
}

// The second pass: every entry's data against the manifest; with `into`, written there too.
Result<BackupInfo> readWhole(const fs::path& file, const BackupProgress& progress, const fs::path* into) {
    auto fd = openRegularFile(file, O_RDONLY | O_CLOEXEC);
    if (!fd) return Status::failure(std::string(kUnreadableBackupText));
    auto found = survey(fd->get());
    if (!found) return found.status();
    if (Status names = checkNames(*found); !names) return names;
    const Manifest& manifest = *found->manifest;

    std::unordered_map<std::string_view, const ManifestFile*> byPath;
    std::uint64_t total = 0;
    for (const ManifestFile& f : manifest.files) {
        byPath.emplace(f.path, &f);
        total += f.size;
    }
    if (::lseek(fd->get(), 0, SEEK_SET) != 0) return Status::failure(std::string(kUnreadableBackupText));
    auto reader = openReader(fd->get());
    if (!reader) return reader.status();
    archive* a = reader->get();
    Meter meter(progress, total);
    TwoBuffers buffers(kBlock);
    std::size_t checked = 0;
    for (;;) {
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN) return Status::failure(std::string(kUnreadableBackupText));
        const std::string name = entryName(entry);
        if (name == kManifestName) continue;
        const auto path = pathOfZipName(name);
        const auto listed = path ? byPath.find(*path) : byPath.end();
        // The file changed since the first pass: its entries are no longer those that were checked.
        if (listed == byPath.end() || listed->second == nullptr || archive_entry_filetype(entry) != AE_IFREG) {
            return Status::failure(std::string(kManifestMismatchText));
        }
        const ManifestFile& expected = *listed->second;
        listed->second = nullptr;  // an entry twice is a mismatch

        UniqueFd out;
        fs::path target;
        if (into) {
            target = *into / expected.path;
            if (Status made = makeFolders(target.parent_path()); !made) {
                return Status::failure(backupText(kUnpackFailedText, made.error()));
            }
            auto opened = openRegularFile(target, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
            if (!opened) return Status::failure(backupText(kUnpackFailedText, opened.error()));
            out = std::move(*opened);
        }
        SideHasher hasher;
        Status written = Status::success();
        bool stopped = false;
        const auto read = readEntryData(a, expected.size, buffers, [&](const char* bytes, std::size_t size) {
            hasher.add(bytes, size);
            if (out.get() >= 0) {
                written = writeAll(out.get(), std::string_view(bytes, size), target);
                if (!written) return false;
            }
            if (!meter.add(size)) {
                stopped = true;
                return false;
            }
            return true;
        });
        if (!written) return Status::failure(backupText(kUnpackFailedText, written.error()));
        if (stopped) return cancelled();
        if (!read) return Status::failure(backupText(kDamagedEntryText, name));
        if (*read > expected.size) return Status::failure(backupText(kOversizedEntryText, name));
        if (*read != expected.size || hasher.digest() != expected.sha256) {
            return Status::failure(backupText(kDamagedEntryText, name));
        }
        ++checked;
    }
    if (checked != manifest.files.size()) return Status::failure(std::string(kManifestMismatchText));
    // One flush of the whole file system instead of one a file: a thousand photos cost as much as one.
    if (into) {
        auto folder = openFolder(*into);
        if (!folder || ::syncfs(folder->get()) != 0) {
            return Status::failure(backupText(kUnpackFailedText, std::strerror(errno)));
        }
    }
    return infoOf(file, fd->get(), manifest);
}

}  // namespace

std::string backupText(std::string_view text, std::string_view entry) {
    std::string result(text);
    if (const std::size_t at = result.find("%1"); at != std::string::npos) result.replace(at, 2, entry);
    return result;
}

Result<BackupInfo> createBackup(const fs::path& programFolder, const fs::path& target, BackupKind kind,
                                const std::string& created, const BackupProgress& progress) {
    const Utf8Names utf8;
    auto files = listDataFiles(programFolder);
    if (!files) return Status::failure(backupText(kDataReadFailedText, programFolder.string()));
    Manifest manifest;
    manifest.kind = kind;
    manifest.created = created;
    std::optional<BackupInfo> info;
    bool ownFailure = false;  // the texts of our own failures are the user's already
    const Status written = writeFileReplacing(target, 0644, [&](int fd, const fs::path& temporary) -> Status {
        ownFailure = true;
        if (Status entries = writeEntries(fd, programFolder, *files, manifest, progress); !entries) return entries;
        // Read back what reached the disk, not what the cache remembers of it.
        if (::fsync(fd) != 0) return Status::failure(backupText(kBackupWriteFailedText, std::strerror(errno)));
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        auto reread = readWhole(temporary, {}, nullptr);
        if (!reread) {
            return Status::failure(backupText(kBackupWriteFailedText, "la copia riletta non corrisponde ai dati"));
        }
        step(target.filename().string());
        info = *reread;
        ownFailure = false;
        return Status::success();
    });
    if (!written) return ownFailure ? written : Status::failure(backupText(kBackupWriteFailedText, written.error()));
    info->file = target;
    return *info;
}

Result<BackupInfo> verifyBackup(const fs::path& file, const BackupProgress& progress) {
    const Utf8Names utf8;
    return readWhole(file, progress, nullptr);
}

Result<BackupInfo> readBackupInfo(const fs::path& file) {
    const Utf8Names utf8;
    auto fd = openRegularFile(file, O_RDONLY | O_CLOEXEC);
    if (!fd) return Status::failure(std::string(kUnreadableBackupText));
    auto found = survey(fd->get());
    if (!found) return found.status();
    if (!found->manifest) return Status::failure(std::string(kNotABackupText));
    return infoOf(file, fd->get(), *found->manifest);
}

Result<BackupInfo> extractBackup(const fs::path& file, const fs::path& folder, const BackupProgress& progress) {
    const Utf8Names utf8;
    if (Status made = makeFolders(folder); !made) return Status::failure(backupText(kUnpackFailedText, made.error()));
    return readWhole(file, progress, &folder);
}

void setBackupStepHookForTesting(void (*hook)(std::string_view)) { stepHook = hook; }

}  // namespace scortavia
