#include "shell/DesktopLauncher.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <system_error>

#include "common/TextRules.h"
#include "storage/FileAccess.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMainGroup = "[Desktop Entry]";

// A value of the string kinds: the characters that would end the line or start an escape.
std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                out += text[i];
        }
    }
    return out;
}

// The name a folder goes by: the last part of its absolute path (the whole path for the root).
std::string folderName(const fs::path& absolute) {
    const std::string name = absolute.filename().string();
    return name.empty() ? absolute.string() : name;
}

// FNV-1a: a short, stable sum of the folder's path for the entry's file name.
std::uint32_t pathSum(std::string_view text) {
    std::uint32_t sum = 2166136261u;
    for (const char c : text) {
        sum ^= static_cast<unsigned char>(c);
        sum *= 16777619u;
    }
    return sum;
}

// The line's key and value when it is a key line; the key and the value lose the spaces around "=".
bool splitLine(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.starts_with('#')) return false;
    key = line.substr(0, equals);
    while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    value = line.substr(equals + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return true;
}

// Calls `each` with every line of the entry and whether it lies in the main group.
template <class Each>
void forEachLine(std::string_view entry, Each each) {
    bool inMain = false;
    while (!entry.empty()) {
        const std::size_t end = entry.find('\n');
        std::string_view line = entry.substr(0, end);
        entry = end == std::string_view::npos ? std::string_view() : entry.substr(end + 1);
        const bool hadNewline = end != std::string_view::npos;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.starts_with('[')) inMain = line == kMainGroup;
        each(line, inMain, hadNewline);
    }
}

fs::path absoluteFolder(const fs::path& folder) {
    std::error_code ignored;
    fs::path absolute = fs::absolute(folder, ignored);
    if (absolute.empty()) absolute = folder;
    absolute = absolute.lexically_normal();
    // "/shop/" and "/shop" are one folder.
    if (absolute.has_relative_path() && absolute.filename().empty()) absolute = absolute.parent_path();
    return absolute;
}

}  // namespace

std::string execValue(const fs::path& executable) {
    std::string quoted = "\"";
    for (const char c : executable.string()) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        // A lone "%" would be read as a field code.
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    quoted += '"';
    return escaped(quoted);
}

std::string launcherId(const fs::path& programFolder) {
    const fs::path folder = absoluteFolder(programFolder);
    std::string slug;
    for (const char c : folderName(folder)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (plain || (c >= 'A' && c <= 'Z')) {
            if (slug.size() < 32) slug += static_cast<char>(plain ? c : c - 'A' + 'a');
        } else if (!slug.empty() && slug.back() != '-' && slug.size() < 32) {
            slug += '-';
        }
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    char sum[9];
    std::snprintf(sum, sizeof sum, "%08x", static_cast<unsigned>(pathSum(folder.string())));
    return "scortavia-" + (slug.empty() ? std::string() : slug + "-") + sum;
}

std::string launcherFileName(const fs::path& programFolder) { return launcherId(programFolder) + ".desktop"; }

std::string launcherName(const fs::path& programFolder, bool severalFolders) {
    if (!severalFolders) return "Scortavia";
    return "Scortavia \u2013 " + folderName(absoluteFolder(programFolder));
}

std::string desktopEntry(const LauncherTarget& target, std::string_view name) {
    const fs::path folder = absoluteFolder(target.programFolder);
    std::string entry;
    entry += std::string(kMainGroup) + "\n";
    entry += "Type=Application\n";
    entry += "Version=1.4\n";
    entry += "Name=" + escaped(name) + "\n";
    entry += "GenericName=Stock management\n";
    entry += "GenericName[it]=Gestione del magazzino\n";
    entry += "Comment=Keep the stock of a small shop: products, goods in and out, price lists\n";
    entry += "Comment[it]=Il magazzino di un piccolo negozio: prodotti, carichi, scarichi e listini prezzi\n";
    entry += "Keywords=stock;warehouse;inventory;shop;price list;\n";
    entry += "Keywords[it]=magazzino;giacenze;inventario;negozio;listino;\n";
    entry += "Icon=" + std::string(kLauncherIconName) + "\n";
    entry += "Exec=" + execValue(target.executable) + "\n";
    entry += "Path=" + escaped(folder.string()) + "\n";
    entry += "Terminal=false\n";
    entry += "Categories=Office;Finance;\n";
    entry += "StartupWMClass=" + std::string(kWindowClass) + "\n";
    entry += std::string(kLauncherFolderKey) + "=" + escaped(folder.string()) + "\n";
    return entry;
}

std::optional<std::string> entryValue(std::string_view entry, std::string_view key) {
    std::optional<std::string> found;
    forEachLine(entry, [&](std::string_view line, bool inMain, bool) {
        std::string_view lineKey;
        std::string_view value;
        if (!found && inMain && splitLine(line, lineKey, value) && lineKey == key) found = unescaped(value);
    });
    return found;
}

std::string withName(std::string_view entry, std::string_view name) {
    std::string out;
    out.reserve(entry.size() + name.size());
    forEachLine(entry, [&](std::string_view line, bool inMain, bool hadNewline) {
        std::string_view key;
        std::string_view value;
        if (inMain && splitLine(line, key, value) && key == "Name") {
            out += "Name=" + escaped(name);
        } else {
            out += line;
        }
        if (hadNewline) out += '\n';
    });
    return out;
}

Result<LauncherWritten> writeLauncher(const fs::path& dataHome, const LauncherTarget& target,
                                      std::string_view iconSvg) {
    const fs::path folder = absoluteFolder(target.programFolder);
    // An entry is UTF-8 text: a path that is not cannot be written into one.
    if (!isValidUtf8(folder.string()) || !isValidUtf8(target.executable.string())) {
        return Status::failure("the program folder's path is not UTF-8 text: " + folder.string());
    }
    const fs::path applications = dataHome / "applications";
    const fs::path icons = dataHome / "icons" / "hicolor" / "scalable" / "apps";
    for (const fs::path& made : {applications, icons}) {
        std::error_code error;
        fs::create_directories(made, error);
        if (error) return Status::failure("cannot create " + made.string() + ": " + error.message());
    }

    LauncherWritten written;
    written.icon = icons / (std::string(kLauncherIconName) + ".svg");
    if (Status done = replaceFileContents(written.icon, iconSvg); !done) return done;

    // The launchers of other shops whose folders are still there.
    const std::string ownFile = launcherFileName(folder);
    std::vector<std::pair<fs::path, std::string>> others;
    std::error_code error;
    for (fs::directory_iterator it(applications, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        if (path.extension() != ".desktop" || path.filename() == ownFile) continue;
        auto contents = readRegularFile(path, std::size_t{1} << 20);
        if (!contents || !*contents) continue;
        const std::optional<std::string> otherFolder = entryValue((*contents)->bytes, kLauncherFolderKey);
        // Gone, or this very folder reached by another path (a link): not another shop.
        std::error_code ignored;
        if (!otherFolder || !fs::is_directory(*otherFolder, ignored) || absoluteFolder(*otherFolder) == folder ||
            fs::equivalent(*otherFolder, folder, ignored)) {
            continue;
        }
        others.emplace_back(path, std::move((*contents)->bytes));
    }
    if (error) return Status::failure("cannot read " + applications.string() + ": " + error.message());
    std::sort(others.begin(), others.end());

    const bool several = !others.empty();
    written.entry = applications / ownFile;
    if (Status done = replaceFileContents(written.entry,
                                          desktopEntry({target.executable, folder}, launcherName(folder, several)));
        !done) {
        return done;
    }
    for (const auto& [path, entry] : others) {
        const std::string renamed = withName(entry, launcherName(*entryValue(entry, kLauncherFolderKey), true));
        if (renamed == entry) continue;
        if (Status done = replaceFileContents(path, renamed); !done) return done;
        written.renamed.push_back(path);
    }
    return written;
}

}  // namespace scortavia
