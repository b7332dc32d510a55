#include "storage/SettingsFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <system_error>
#include <vector>

#include "common/TextRules.h"
#include "storage/FileAccess.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Mode of a file the write creates: what 0666 gives under the usual umask 022.
constexpr mode_t kNewFileMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;

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
    auto content = readRegularFile(file);
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

    auto existing = readRegularFile(target);
    if (!existing) return existing.status();
    const std::string bytes = existing->has_value() ? (*existing)->bytes : std::string();
    const unsigned mode = existing->has_value() ? (*existing)->mode : kNewFileMode;

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
    return replaceFileContents(target, updated, mode);
}

}  // namespace scortavia
