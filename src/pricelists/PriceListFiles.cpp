#include "pricelists/PriceListFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "common/TextRules.h"
#include "storage/ArchiveEngine.h"
#include "storage/ArchivePaths.h"
#include "storage/FileAccess.h"
#include "storage/Windows1252.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = paths::kPriceListExtension;

// The code point starting at `at`, moving `at` past it; nullopt (and `at` past one byte) for bytes
// that start no well-formed UTF-8 character.
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        ++at;
        return std::nullopt;
    }
    if (at + length > text.size()) {
        ++at;
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return std::nullopt;
        }
        cp = (cp << 6) | (byte(at + i) & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++at;
        return std::nullopt;
    }
    at += length;
    return cp;
}

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// The rule on a name as it stands, blanks included.
ListNameProblem problemOf(std::string_view name) {
    if (trimBlanks(name).empty()) return ListNameProblem::Empty;
    bool separator = false;
    bool control = false;
    for (std::size_t at = 0; at < name.size();) {
        const std::optional<char32_t> c = nextCodePoint(name, at);
        if (!c) return ListNameProblem::NotUtf8;
        separator = separator || *c == U'/' || *c == U'\\';
        control = control || isControl(*c);
    }
    if (separator) return ListNameProblem::Separator;
    if (control) return ListNameProblem::ControlCharacter;
    if (name.front() == '.') return ListNameProblem::LeadingDot;
    if (name.size() > kMaxListNameBytes) return ListNameProblem::TooLong;
    return ListNameProblem::None;
}

bool endsWithExtension(std::string_view fileName) {
    if (fileName.size() < kExtension.size()) return false;
    const std::string_view end = fileName.substr(fileName.size() - kExtension.size());
    return std::equal(end.begin(), end.end(), kExtension.begin(),
                      [](char c, char lower) { return foldLowerAZ(c) == lower; });
}

std::string_view withoutExtension(std::string_view fileName) {
    return fileName.substr(0, fileName.size() - std::min(fileName.size(), kExtension.size()));
}

// What keeps an archive from being opened, apart from other archives sharing its photos.
ArchiveProblem problemOfArchiveName(std::string_view fileName) {
    const std::string_view photoName = photoListName(fileName);
    if (photoName.empty()) return ArchiveProblem::EmptyName;
    if (photoName == "." || photoName == "..") return ArchiveProblem::DotsOnly;
    if (photoName.find('\\') != std::string_view::npos) return ArchiveProblem::Backslash;
    return ArchiveProblem::None;
}

std::string inQuotes(std::string_view name) { return "«" + std::string(name) + "»"; }

// «a», «b» e «c».
std::string quotedList(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " e " : ", ";
        text += inQuotes(names[i]);
    }
    return text;
}

constexpr std::string_view kSameNameApart =
    "a parte le maiuscole dell'estensione .lis o gli spazi all'inizio e alla fine";

// An archive named `fileName`, with what its name alone keeps from being opened.
ListedArchive unlistedArchive(std::string fileName) {
    ListedArchive archive;
    archive.shownName = shownFileName(fileName);
    archive.listName =
        archive.shownName.substr(0, archive.shownName.size() - std::min(archive.shownName.size(), kExtension.size()));
    archive.problem = problemOfArchiveName(fileName);
    archive.fileName = std::move(fileName);
    return archive;
}

// The place of a character in list order: A to Z as a to z, then its Windows-1252 code; a character
// the code page cannot hold comes after all of those, a byte that is no character after everything.
std::uint32_t orderKey(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    const std::optional<char32_t> c = nextCodePoint(text, at);
    if (!c) return 0x200000u + static_cast<unsigned char>(text[start]);
    if (*c >= U'A' && *c <= U'Z') return *c - U'A' + U'a';
    if (*c < 0x80) return *c;
    const std::string encoded = encodeWindows1252(text.substr(start, at - start));
    if (encoded != "?") return static_cast<unsigned char>(encoded.front());
    return 0x100u + *c;
}

Status systemFailure(std::string_view what, const fs::path& path, int error) {
    return Status::failure(std::string(what) + " " + path.string() + ": " + std::strerror(error));
}

// An entry named `name` + ".lis" with the extension in any case, exact case included.
bool extensionInAnyCaseExists(const fs::path& folder, std::string_view name) {
    if (auto engine = archiveEngineOf(folder)) {
        const auto names = engine->archiveNames();
        // Unknown: taken, so that nothing is made over a list nobody could see.
        if (!names) return true;
        return std::any_of(names->begin(), names->end(), [&](const std::string& other) {
            return other.size() == name.size() + kExtension.size() && other.starts_with(name) &&
                   endsWithExtension(other);
        });
    }
    std::string extension(kExtension);
    const std::size_t letters = extension.size() - 1;  // after the dot
    for (unsigned mask = 0; mask < (1u << letters); ++mask) {
        for (std::size_t i = 0; i < letters; ++i) {
            const char lower = kExtension[i + 1];
            extension[i + 1] = (mask & (1u << i)) ? foldUpperAZ(lower) : lower;
        }
        struct stat st {};
        const fs::path candidate = folder / (std::string(name) + extension);
        if (::lstat(candidate.c_str(), &st) == 0) return true;
    }
    return false;
}

}  // namespace

ListNameCheck checkListName(std::string_view typed) {
    ListNameCheck check;
    check.name = std::string(trimBlanks(typed));
    check.problem = problemOf(check.name);
    return check;
}

std::string listNameWarning(ListNameProblem problem) {
    static constexpr std::string_view kAllowed =
        "\r\n\r\nIl nome può contenere lettere (anche accentate), cifre, spazi e i comuni segni di punteggiatura; "
        "non può contenere le barre / e \\ né caratteri di controllo e non può iniziare con un punto.";
    std::string text;
    switch (problem) {
        case ListNameProblem::None:
        case ListNameProblem::Empty:
            return text;
        case ListNameProblem::NotUtf8:
            text = "Attenzione: il nome del listino prezzi contiene caratteri non validi.";
            break;
        case ListNameProblem::Separator:
            text = "Attenzione: il nome del listino prezzi non può contenere le barre / e \\.";
            break;
        case ListNameProblem::ControlCharacter:
            text =
                "Attenzione: il nome del listino prezzi non può contenere caratteri di controllo, come la "
                "tabulazione o l'a capo.";
            break;
        case ListNameProblem::LeadingDot:
            text = "Attenzione: il nome del listino prezzi non può iniziare con un punto.";
            break;
        case ListNameProblem::TooLong:
            text =
                "Attenzione: il nome del listino prezzi è troppo lungo per il nome di un file (le lettere "
                "accentate e i simboli occupano più spazio delle lettere semplici). Indicare un nome più breve.";
            break;
    }
    text += kAllowed;
    return text;
}

bool refusedWhenTyped(char32_t c) {
    static constexpr char32_t kRefused[] = {U'"',  U'*', U'/', U':', U'<', U'>', U'?',
                                            U'\\', U'°', U'Ç', U'Ñ', U'ç', U'ñ'};
    return std::find(std::begin(kRefused), std::end(kRefused), c) != std::end(kRefused);
}

bool isListArchiveName(std::string_view fileName) {
    // Any name a folder entry can have: a backslash is a character like the others here.
    return endsWithExtension(fileName) && fileName.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::string shownFileName(std::string_view fileName) {
    const std::string text = isValidUtf8(fileName) ? std::string(fileName) : decodeWindows1252(fileName);
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> c = nextCodePoint(text, at);
        if (c && isControl(*c)) {
            shown += '?';
        } else {
            shown.append(text, start, at - start);
        }
    }
    return shown;
}

std::string_view photoListName(std::string_view fileName) { return trimBlanks(withoutExtension(fileName)); }

bool listArchiveLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::uint32_t ka = orderKey(a, i);
        const std::uint32_t kb = orderKey(b, j);
        if (ka != kb) return ka < kb;
    }
    if (i < a.size() || j < b.size()) return j < b.size();
    return a < b;
}

namespace {
std::vector<ListedArchive> sortedAndChecked(std::vector<ListedArchive> found);
}  // namespace

Result<std::vector<ListedArchive>> listArchives(const fs::path& programFolder) {
    std::vector<ListedArchive> found;
    if (auto engine = archiveEngineOf(programFolder)) {
        auto names = engine->archiveNames();
        if (!names) return names.status();
        for (std::string& name : *names) {
            if (isListArchiveName(name)) found.push_back(unlistedArchive(std::move(name)));
        }
        return sortedAndChecked(std::move(found));
    }
    // The folder may hold a photo for each of 100,000 products: entries are only looked at by name,
    // and only a list's is asked what it is (a page save looks through the folder too).
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(programFolder.c_str()), ::closedir);
    if (!folder) return systemFailure("read the folder", programFolder, errno);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(folder.get());
        if (!entry) break;
        const std::string_view fileName(entry->d_name);
        if (!isListArchiveName(fileName)) continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            regular =
                ::fstatat(::dirfd(folder.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
        }
        if (regular) found.push_back(unlistedArchive(std::string(fileName)));
    }
    if (errno != 0) return systemFailure("read the folder", programFolder, errno);
    return sortedAndChecked(std::move(found));
}

namespace {

// The lists in the order shown, each told of the others whose photos would carry its names.
std::vector<ListedArchive> sortedAndChecked(std::vector<ListedArchive> found) {
    std::sort(found.begin(), found.end(), [](const ListedArchive& a, const ListedArchive& b) {
        if (a.shownName != b.shownName) return listArchiveLess(a.shownName, b.shownName);
        return a.fileName < b.fileName;
    });
    // Archives whose photos would carry the same names: each would replace the other's.
    for (ListedArchive& archive : found) {
        if (archive.problem != ArchiveProblem::None) continue;
        for (const ListedArchive& other : found) {
            if (&other != &archive && photoListName(other.fileName) == photoListName(archive.fileName)) {
                archive.sharingPhotos.push_back(other.shownName);
            }
        }
        if (!archive.sharingPhotos.empty()) archive.problem = ArchiveProblem::SharedPhotos;
    }
    return found;
}

}  // namespace

ListedArchive archiveToOpen(const fs::path& programFolder, std::string_view fileName) {
    const auto archives = listArchives(programFolder);
    if (archives) {
        for (const ListedArchive& archive : *archives) {
            if (archive.fileName == fileName) return archive;
        }
    }
    ListedArchive archive = unlistedArchive(std::string(fileName));
    if (archive.problem != ArchiveProblem::None || !archives) return archive;
    for (const ListedArchive& other : *archives) {
        if (photoListName(other.fileName) == photoListName(fileName)) archive.sharingPhotos.push_back(other.shownName);
    }
    if (!archive.sharingPhotos.empty()) archive.problem = ArchiveProblem::SharedPhotos;
    return archive;
}

fs::path listedArchivePath(const fs::path& programFolder, const ListedArchive& archive) {
    return programFolder / archive.fileName;
}

std::string openRefusal(const ListedArchive& archive) {
    static constexpr std::string_view kRename =
        "\r\n\r\nPer aprire il listino, rinominare prima il file nella cartella di installazione del programma.";
    const std::string cannot =
        "Attenzione: il file " + inQuotes(archive.shownName) + " non può essere aperto come listino prezzi, perché ";
    switch (archive.problem) {
        case ArchiveProblem::None:
            return {};
        case ArchiveProblem::EmptyName:
            return cannot + "il suo nome senza l'estensione è vuoto e le foto delle sue pagine non avrebbero un nome." +
                   std::string(kRename);
        case ArchiveProblem::DotsOnly:
            return cannot +
                   "il suo nome senza l'estensione è fatto solo di punti e non può dare il nome alle foto delle sue "
                   "pagine." +
                   std::string(kRename);
        case ArchiveProblem::Backslash:
            return cannot +
                   "il suo nome contiene la barra rovesciata \\, che non può comparire nei nomi delle foto delle sue "
                   "pagine." +
                   std::string(kRename);
        case ArchiveProblem::SharedPhotos:
            break;
    }
    std::vector<std::string> names{archive.shownName};
    names.insert(names.end(), archive.sharingPhotos.begin(), archive.sharingPhotos.end());
    const bool two = names.size() == 2;
    return "Attenzione: i file " + quotedList(names) + " sono " + (two ? "due " : "") +
           "listini prezzi diversi con lo stesso nome, " + std::string(kSameNameApart) +
           ": le foto delle loro pagine nella cartella Foto_Listino avrebbero gli stessi nomi, e salvando una pagina " +
           (two ? "dell'uno si sostituirebbero le foto dell'altro."
                : "di uno si sostituirebbero le foto degli altri.") +
           "\r\n\r\nPer aprire il listino, rinominare prima " +
           (two ? "uno dei due file" : "i file in modo che ciascuno abbia un nome diverso") +
           " nella cartella di installazione del programma.";
}

std::vector<std::string> archivesSharingPhotos(const fs::path& programFolder, std::string_view fileName,
                                               std::string_view photoName) {
    std::vector<std::string> others;
    const auto archives = listArchives(programFolder);
    if (!archives) return others;
    for (const ListedArchive& archive : *archives) {
        if (archive.fileName != fileName && photoListName(archive.fileName) == trimBlanks(photoName)) {
            others.push_back(archive.shownName);
        }
    }
    return others;
}

std::string sharedPhotosSaveRefusal(std::string_view shownName, const std::vector<std::string>& others) {
    const bool one = others.size() == 1;
    return "Attenzione: la scheda non è stata salvata. Nella cartella del programma " +
           std::string(one ? "c'è anche il listino prezzi " : "ci sono anche i listini prezzi ") + quotedList(others) +
           ", con lo stesso nome di questo (" + inQuotes(shownName) + ") " + std::string(kSameNameApart) +
           ": le foto " + (one ? "delle sue pagine hanno" : "delle loro pagine hanno") +
           " gli stessi nomi, e salvando questa pagina si sostituirebbero.\r\n\r\nRinominare " +
           (one ? "uno dei due file" : "quei file") +
           " nella cartella di installazione del programma, poi aprire di nuovo il listino.";
}

CreateResult createListArchive(const fs::path& programFolder, std::string_view name) {
    CreateResult result{CreateOutcome::Failed, paths::priceListArchive(programFolder, name), {}};
    // Two lists whose photos in "Foto_Listino" have the same names would replace each other's: one whose
    // extension differs only in case, or one with blanks around the same name.
    if (extensionInAnyCaseExists(programFolder, name) ||
        !archivesSharingPhotos(programFolder, std::string(name) + std::string(kExtension), name).empty()) {
        result.outcome = CreateOutcome::NameTaken;
        return result;
    }
    if (auto engine = archiveEngineOf(programFolder)) {
        const auto made = engine->createArchive(result.path);
        if (!made) {
            result.error = made.error();
        } else {
            result.outcome = *made ? CreateOutcome::Created : CreateOutcome::NameTaken;
        }
        return result;
    }
    int opened = -1;
    do {
        opened = ::open(result.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (opened < 0 && errno == EINTR);
    if (opened < 0) {
        const int cause = errno;
        if (cause == EEXIST) {
            result.outcome = CreateOutcome::NameTaken;
        } else {
            result.error = systemFailure("create", result.path, cause).error();
        }
        return result;
    }
    UniqueFd fd(opened);
    // Told "created", the user may copy the folder or switch off: the empty file must be there.
    const bool durable = ::fsync(fd.get()) == 0 && ::close(fd.release()) == 0 && syncFolder(programFolder).ok();
    if (!durable) {
        result.error = systemFailure("sync", result.path, errno).error();
        ::unlink(result.path.c_str());
        return result;
    }
    result.outcome = CreateOutcome::Created;
    return result;
}

Status deleteListArchive(const fs::path& programFolder, std::string_view fileName) {
    if (!isListArchiveName(fileName)) return Status::failure("not a price list archive: " + std::string(fileName));
    const fs::path path = programFolder / std::string(fileName);
    if (auto engine = archiveEngineOf(programFolder)) return engine->removeArchive(path);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return systemFailure("delete", path, errno);
    return Status::success();
}

}  // namespace scortavia
