#include "shell/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "common/TextRules.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Mode of a file the write creates: what 0666 gives under the usual umask 022.
constexpr mode_t kNewFileMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;

Status systemFailure(std::string_view what, const fs::path& path, int error) {
    return Status::failure(std::string(what) + " " + path.string() + ": " + std::strerror(error));
}

struct FileContent {
    std::string bytes;
    mode_t mode = 0;
};

// The whole file, or nullopt when it does not exist.
Result<std::optional<FileContent>> readWholeFile(const fs::path& file) {
    int fd = -1;
    do {
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) return std::optional<FileContent>();
        return systemFailure("open", file, error);
    }
    FileContent content;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Status::failure("not a regular file: " + file.string());
    }
    content.mode = st.st_mode & 07777;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            const int error = errno;
            if (error == EINTR) continue;
            ::close(fd);
            return systemFailure("read", file, error);
        }
        content.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return std::optional<FileContent>(std::move(content));
}

bool equalFoldedAZ(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return foldUpperAZ(x) == foldUpperAZ(y); });
}

struct Line {
    std::string_view text;  // without its line break
    std::string_view end;   // "\r\n", "\n", or "" on a last line without one
};

std::vector<Line> splitLines(std::string_view body) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < body.size()) {
        const std::size_t newline = body.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back({body.substr(start), body.substr(body.size())});
            break;
        }
        std::size_t textEnd = newline;
        if (textEnd > start && body[textEnd - 1] == '\r') --textEnd;
        lines.push_back({body.substr(start, textEnd - start), body.substr(textEnd, newline + 1 - textEnd)});
        start = newline + 1;
    }
    return lines;
}

// The first line break decides; a file without any takes CRLF, like a new one.
std::string_view lineBreakOf(std::string_view body) {
    const std::size_t newline = body.find('\n');
    if (newline != std::string_view::npos && (newline == 0 || body[newline - 1] != '\r')) return "\n";
    return "\r\n";
}

std::optional<std::string_view> sectionName(std::string_view line) {
    const std::string_view trimmed = trimBlanks(line);
    if (!trimmed.starts_with('[')) return std::nullopt;
    const std::string_view inside = trimmed.substr(1);
    return trimBlanks(inside.substr(0, inside.find(']')));
}

struct KeyLine {
    std::string_view name;
    std::string_view value;  // trimmed; an empty view just after "=" when the value is blank
};

std::optional<KeyLine> keyLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string_view value = trimBlanks(line.substr(equals + 1));
    if (value.empty()) value = line.substr(equals + 1, 0);
    return KeyLine{trimBlanks(line.substr(0, equals)), value};
}

// Where the reader finds the key and where the writer would add it. Lines before the first
// section belong to none.
struct Location {
    std::optional<std::size_t> key;          // first line holding the key in a section of that name
    std::optional<std::size_t> sectionLast;  // last non-blank line of the first section of that name
};

Location locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location found;
    bool inSection = false;
    bool inFirstSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = lines[i].text;
        if (auto name = sectionName(text)) {
            inSection = equalFoldedAZ(*name, section);
            inFirstSection = inSection && !found.sectionLast;
            if (inFirstSection) found.sectionLast = i;
            continue;
        }
        if (inFirstSection && !trimBlanks(text).empty()) found.sectionLast = i;
        if (inSection && !found.key) {
            if (auto entry = keyLine(text); entry && equalFoldedAZ(entry->name, key)) found.key = i;
        }
    }
    return found;
}

std::string_view withoutByteOrderMark(std::string_view content) {
    if (content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
    return content;
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

// Removes the temporary file unless it was renamed into place.
class TemporaryFile final {
public:
    TemporaryFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    int close() { return ::close(std::exchange(fd_, -1)); }
    void release() { path_.clear(); }

private:
    int fd_;
    std::string path_;
};

Status replaceFile(const fs::path& target, std::string_view content, mode_t mode) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    // errno is taken before anything else can change it.
    auto fail = [](std::string_view what, const fs::path& path) {
        const int error = errno;
        return systemFailure(what, path, error);
    };
    if (fd < 0) return fail("create a temporary file in", folder);
    TemporaryFile temporary(fd, pattern);
    const fs::path temporaryPath = pattern;

    if (::fchmod(temporary.fd(), mode) != 0) return fail("chmod", temporaryPath);
    if (Status written = writeAll(temporary.fd(), content, temporaryPath); !written) return written;
    if (::fsync(temporary.fd()) != 0) return fail("fsync", temporaryPath);
    if (temporary.close() != 0) return fail("close", temporaryPath);
    if (::rename(pattern.c_str(), target.c_str()) != 0) return fail("rename over", target);
    temporary.release();

    // The new name is only durable once the folder entry is on disk too.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return fail("replaced, but cannot open the folder to sync it:", folder);
    const int synced = ::fsync(folderFd);
    const int error = errno;
    ::close(folderFd);
    // Some filesystems cannot sync a folder at all; nothing more can be done there.
    if (synced != 0 && error != EINVAL) return systemFailure("replaced, but cannot sync the folder", folder, error);
    return Status::success();
}

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Names and values that would change the file's structure when written.
Status checkWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (key.empty()) return Status::failure("empty settings key");
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) {
        return Status::failure("line break in a settings name or value");
    }
    if (section.find(']') != std::string_view::npos) return Status::failure("']' in a settings section name");
    if (key.find('=') != std::string_view::npos || key.starts_with('[')) {
        return Status::failure("settings key cannot be written: " + std::string(key));
    }
    return Status::success();
}

}  // namespace

Result<std::string> readIniValue(const fs::path& file, std::string_view section, std::string_view key) {
    auto content = readWholeFile(file);
    if (!content) return content.status();
    if (!content->has_value()) return std::string();
    const auto lines = splitLines(withoutByteOrderMark((*content)->bytes));
    const Location found = locate(lines, trimBlanks(section), trimBlanks(key));
    if (!found.key) return std::string();
    return std::string(keyLine(lines[*found.key].text)->value);
}

Status writeIniValue(const fs::path& file, std::string_view section, std::string_view key, std::string_view value) {
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (Status valid = checkWritable(section, key, value); !valid) return valid;

    // A symbolic link stays a link: its target is what gets replaced.
    fs::path target = file;
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(file, error))) {
        target = fs::canonical(file, error);
        if (error) return Status::failure("resolve " + file.string() + ": " + error.message());
    }

    auto existing = readWholeFile(target);
    if (!existing) return existing.status();
    const std::string bytes = existing->has_value() ? (*existing)->bytes : std::string();
    const mode_t mode = existing->has_value() ? (*existing)->mode : kNewFileMode;

    const std::string_view body = withoutByteOrderMark(bytes);
    const std::size_t bodyStart = bytes.size() - body.size();
    const std::string_view lineBreak = lineBreakOf(body);
    const auto lines = splitLines(body);
    const Location found = locate(lines, section, key);
    auto offsetOf = [&](std::string_view part) {
        return bodyStart + static_cast<std::size_t>(part.data() - body.data());
    };
    const std::string entry = std::string(key) + "=" + std::string(value) + std::string(lineBreak);

    // One splice: the old value replaced, or the new lines inserted.
    std::size_t from = bytes.size();
    std::size_t length = 0;
    std::string insert;
    if (found.key) {
        // A blank old value takes its blanks with it; otherwise whatever surrounds the value stays.
        const std::string_view text = lines[*found.key].text;
        const std::string_view oldValue = keyLine(text)->value;
        from = offsetOf(oldValue);
        length = oldValue.empty() ? offsetOf(text) + text.size() - from : oldValue.size();
        insert = value;
    } else if (found.sectionLast) {
        const Line& last = lines[*found.sectionLast];
        from = offsetOf(last.end) + last.end.size();
        insert = (last.end.empty() ? std::string(lineBreak) : std::string()) + entry;
    } else {
        if (!body.empty() && !body.ends_with('\n')) insert = lineBreak;
        insert += "[" + std::string(section) + "]" + std::string(lineBreak) + entry;
    }
    std::string updated = bytes;
    updated.replace(from, length, insert);
    return replaceFile(target, updated, mode);
}

}  // namespace scortavia
