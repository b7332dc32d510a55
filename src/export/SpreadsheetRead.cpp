#include "export/SpreadsheetRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>
#include <new>
#include <optional>

#include "common/TextRules.h"
#include "storage/FileAccess.h"
#include "storage/Windows1252.h"

namespace scortavia {

// ---- The table ----

std::size_t SheetTable::cellCount(std::size_t row) const {
    const std::size_t end = row + 1 < rowFirstCell_.size() ? rowFirstCell_[row + 1] : cellEnds_.size();
    return end - rowFirstCell_[row];
}

std::string_view SheetTable::cell(std::size_t row, std::size_t column) const {
    if (row >= rowCount() || column >= cellCount(row)) return {};
    const std::size_t index = rowFirstCell_[row] + column;
    const std::size_t begin = index == 0 ? 0 : cellEnds_[index - 1];
    return std::string_view(text_).substr(begin, cellEnds_[index] - begin);
}

void SheetTable::startRow(std::size_t row) {
    rowFirstCell_.push_back(static_cast<std::uint32_t>(cellEnds_.size()));
    sheetRows_.push_back(static_cast<std::uint32_t>(row));
    emptyCells_ = 0;
}

void SheetTable::addCell(std::string_view text) {
    if (text.empty()) {
        ++emptyCells_;
        return;
    }
    for (; emptyCells_ > 0; --emptyCells_) cellEnds_.push_back(static_cast<std::uint32_t>(text_.size()));
    text_.append(text);
    cellEnds_.push_back(static_cast<std::uint32_t>(text_.size()));
}

void SheetTable::finishRow() {
    emptyCells_ = 0;
    const std::size_t row = rowFirstCell_.size() - 1;
    std::size_t cells = cellCount(row);
    while (cells > 0 && trimBlanks(cell(row, cells - 1)).empty()) --cells;
    const std::size_t first = rowFirstCell_[row];
    cellEnds_.resize(first + cells);
    text_.resize(cellEnds_.empty() ? 0 : cellEnds_.back());
    if (cells > 0) {
        columns_ = std::max(columns_, cells);
        return;
    }
    rowFirstCell_.pop_back();
    sheetRows_.pop_back();
}

namespace {

// ---- Bytes to UTF-8 ----

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// UTF-16 after its byte-order mark; an unpaired surrogate becomes U+FFFD.
std::string decodeUtf16(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) {
        const auto lo = static_cast<unsigned char>(bytes[littleEndian ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[littleEndian ? i + 1 : i]);
        return static_cast<std::uint32_t>(hi << 8 | lo);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        appendUtf8(code, out);
    }
    return out;
}

// Text files hold few control characters; anything else is some program's binary format. A vertical
// tab is a line break inside a field (FileMaker writes them so), a NUL counts against the file.
bool looksBinary(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 64 * 1024);
    std::size_t controls = 0;
    for (const char ch : head) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') ++controls;
    }
    return controls * 100 > head.size();
}

// The line of the file at `at`, as the CSV reader counts them (CRLF, LF or a lone CR end a line).
std::size_t lineAt(std::string_view text, std::size_t at) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < at; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    }
    return line;
}

struct Decoded {
    std::string text;
    SheetEncoding encoding = SheetEncoding::Utf8;
    SheetProblem problem = SheetProblem::None;
    std::size_t line = 0;
};

// The line of the first NUL, if the text holds one. No text does: past the binary check it marks a
// damaged file, refused with the line to look at.
std::optional<std::size_t> nulLine(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return std::nullopt;
    return lineAt(text, nul);
}

// Takes the bytes over, so a UTF-8 file is never held twice.
Decoded decode(std::string&& bytes) {
    Decoded out;
    if (startsWith(bytes, "PK\x03\x04") || startsWith(bytes, "\xD0\xCF\x11\xE0")) {
        out.problem = SheetProblem::Workbook;
    } else if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF")) {
        // Half the bytes of UTF-16 are NULs; a NUL character is a unit of two.
        out.text = decodeUtf16(std::string_view(bytes).substr(2), bytes[0] == '\xFF');
        out.encoding = SheetEncoding::Utf16;
        if (const auto line = nulLine(out.text)) {
            out.problem = SheetProblem::NotText;
            out.line = *line;
        }
    } else if (looksBinary(bytes)) {
        out.problem = SheetProblem::NotText;
    } else if (const auto line = nulLine(bytes)) {
        out.problem = SheetProblem::NotText;
        out.line = *line;
    } else if (startsWith(bytes, "\xEF\xBB\xBF")) {
        // A BOM promises UTF-8; a file that breaks the promise is read byte by byte rather than refused.
        const std::string_view body = std::string_view(bytes).substr(3);
        out.encoding = isValidUtf8(body) ? SheetEncoding::Utf8Bom : SheetEncoding::Windows1252;
        if (out.encoding == SheetEncoding::Utf8Bom) {
            bytes.erase(0, 3);
            out.text = std::move(bytes);
        } else {
            out.text = decodeWindows1252(body);
        }
    } else if (isValidUtf8(bytes)) {
        out.text = std::move(bytes);
    } else {
        out.encoding = SheetEncoding::Windows1252;
        out.text = decodeWindows1252(bytes);
    }
    return out;
}

// ---- CSV ----

struct CsvOutcome {
    SheetProblem problem = SheetProblem::None;
    std::size_t line = 0;
    std::vector<std::size_t> fieldCounts;  // when only counting
};

// Reads records from `text` with `delimiter`. With a table, every record is stored; without one only
// the field counts of the first `maxRecords` records are kept (delimiter detection).
CsvOutcome parseCsv(std::string_view text, char delimiter, std::size_t firstLine, SheetTable* table,
                    std::size_t maxRecords = std::numeric_limits<std::size_t>::max()) {
    CsvOutcome out;
    std::size_t pos = 0;
    std::size_t line = firstLine;
    std::size_t ordinal = 0;
    std::string field;
    const std::size_t n = text.size();
    const auto atLineBreak = [&](std::size_t i) { return i < n && (text[i] == '\n' || text[i] == '\r'); };
    const auto skipLineBreak = [&] {
        if (text[pos] == '\r' && pos + 1 < n && text[pos + 1] == '\n') ++pos;
        ++pos;
        ++line;
    };
    while (pos < n && ordinal < maxRecords) {
        ++ordinal;
        if (table) table->startRow(ordinal);
        std::size_t fields = 0;
        while (true) {
            field.clear();
            std::size_t start = pos;
            while (start < n && text[start] == ' ' && delimiter != ' ') ++start;
            if (start < n && text[start] == '"') {
                const std::size_t openedAt = line;
                pos = start + 1;
                bool closed = false;
                while (pos < n) {
                    const std::size_t quote = text.find('"', pos);
                    const std::size_t stop = quote == std::string_view::npos ? n : quote;
                    for (std::size_t i = pos; i < stop; ++i) {
                        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= n || text[i + 1] != '\n'))) ++line;
                    }
                    field.append(text.substr(pos, stop - pos));
                    if (quote == std::string_view::npos) break;
                    if (quote + 1 < n && text[quote + 1] == '"') {
                        field.push_back('"');
                        pos = quote + 2;
                        continue;
                    }
                    pos = quote + 1;
                    closed = true;
                    break;
                }
                if (!closed) return {SheetProblem::OpenQuote, openedAt, {}};
                while (pos < n && text[pos] == ' ' && delimiter != ' ') ++pos;
                if (pos < n && text[pos] != delimiter && !atLineBreak(pos)) return {SheetProblem::AfterQuote, line, {}};
            } else {
                std::size_t end = pos;
                while (end < n && text[end] != delimiter && text[end] != '\n' && text[end] != '\r') ++end;
                field.assign(text.substr(pos, end - pos));
                pos = end;
            }
            ++fields;
            // A vertical tab is the line break a FileMaker field holds.
            std::replace(field.begin(), field.end(), '\v', '\n');
            if (table) table->addCell(field);
            if (pos < n && text[pos] == delimiter) {
                ++pos;
                continue;
            }
            if (pos < n) skipLineBreak();
            break;
        }
        if (table) {
            table->finishRow();
        } else {
            out.fieldCounts.push_back(fields);
        }
    }
    return out;
}

// The delimiter that splits the first records into the same number of fields, two at least; the
// Italian ";" first when two candidates split them equally well.
char detectDelimiter(std::string_view text) {
    constexpr std::array<char, 3> kCandidates = {';', '\t', ','};
    constexpr std::size_t kSample = 50;
    char best = ';';
    std::size_t bestAgreeing = 0;
    std::size_t bestFields = 0;
    for (const char candidate : kCandidates) {
        const CsvOutcome counted = parseCsv(text, candidate, 1, nullptr, kSample);
        if (counted.problem != SheetProblem::None || counted.fieldCounts.empty()) continue;
        std::size_t first = 0;
        for (const std::size_t count : counted.fieldCounts) {
            if (count > 1) {
                first = count;
                break;
            }
        }
        if (first < 2) continue;
        const auto agreeing =
            static_cast<std::size_t>(std::count(counted.fieldCounts.begin(), counted.fieldCounts.end(), first));
        if (agreeing > bestAgreeing || (agreeing == bestAgreeing && first > bestFields)) {
            best = candidate;
            bestAgreeing = agreeing;
            bestFields = first;
        }
    }
    return best;
}

// ---- The program's own export: an HTML table ----

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (foldLowerAZ(text[i]) != prefix[i]) return false;
    }
    return true;
}

std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from = 0) {
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (startsWithNoCase(text.substr(i), needle)) return i;
    }
    return std::string_view::npos;
}

// Appends the character an entity names, and returns how much of `text` (from its "&") it took;
// 0 when it is no entity, so the "&" stays as written ("Viti & bulloni").
std::size_t appendEntity(std::string_view text, std::string& out) {
    // The ";" is looked for only as far as the longest entity reaches ("&#x0010FFFF;"), so a cell full
    // of "&" costs one look at each.
    constexpr std::size_t kLongestEntity = 12;
    const std::size_t semicolon = text.substr(0, kLongestEntity + 1).find(';');
    if (semicolon == std::string_view::npos) return 0;
    const std::string_view name = text.substr(1, semicolon - 1);
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kNamed = {{
        {"lt", "<"},
        {"gt", ">"},
        {"amp", "&"},
        {"quot", "\""},
        {"apos", "'"},
        {"nbsp", " "},
    }};
    for (const auto& [entity, character] : kNamed) {
        if (name == entity) {
            out.append(character);
            return semicolon + 1;
        }
    }
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    std::uint32_t code = 0;
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    for (const char c : digits) {
        int value = -1;
        if (isAsciiDigit(c)) value = c - '0';
        if (hex && c >= 'a' && c <= 'f') value = c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') value = c - 'A' + 10;
        if (value < 0 || code > 0x10FFFF) return 0;
        code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    appendUtf8(code, out);
    return semicolon + 1;
}

// Cell text as the HTML means it: entities decoded, and a line break in the markup (a program that
// wraps long lines) read as one space. Spaces themselves are kept, so a stored "a  b" comes back whole.
void appendHtmlText(std::string_view raw, std::string& out) {
    std::size_t i = 0;
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '&') {
            const std::size_t taken = appendEntity(raw.substr(i), out);
            if (taken > 0) {
                i += taken;
                continue;
            }
        }
        if (c == '\n' || c == '\r') {
            while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
            while (i < raw.size() && (raw[i] == '\n' || raw[i] == '\r' || raw[i] == ' ' || raw[i] == '\t')) ++i;
            out.push_back(' ');
            continue;
        }
        out.push_back(c);
        ++i;
    }
}

void readHtmlTable(std::string_view text, SheetTable& table) {
    std::size_t pos = 0;
    std::size_t ordinal = 0;
    bool inRow = false;
    bool inCell = false;
    std::string cell;
    const auto closeCell = [&] {
        if (!inCell) return;
        table.addCell(cell);
        inCell = false;
    };
    const auto closeRow = [&] {
        closeCell();
        if (inRow) table.finishRow();
        inRow = false;
    };
    while (pos < text.size()) {
        const std::size_t lt = text.find('<', pos);
        const std::size_t stop = lt == std::string_view::npos ? text.size() : lt;
        if (inCell) appendHtmlText(text.substr(pos, stop - pos), cell);
        if (lt == std::string_view::npos) break;
        const std::string_view rest = text.substr(lt);
        if (startsWith(rest, "<!--")) {
            const std::size_t end = text.find("-->", lt + 4);
            pos = end == std::string_view::npos ? text.size() : end + 3;
            continue;
        }
        const std::size_t gt = text.find('>', lt);
        if (gt == std::string_view::npos) break;
        std::string_view tag = text.substr(lt + 1, gt - lt - 1);
        const bool closing = !tag.empty() && tag[0] == '/';
        if (closing) tag.remove_prefix(1);
        std::size_t nameEnd = 0;
        while (nameEnd < tag.size() && tag[nameEnd] != ' ' && tag[nameEnd] != '\t' && tag[nameEnd] != '\n' &&
               tag[nameEnd] != '\r' && tag[nameEnd] != '/') {
            ++nameEnd;
        }
        std::string name;
        for (const char c : tag.substr(0, nameEnd)) name.push_back(foldLowerAZ(c));
        pos = gt + 1;
        if ((name == "style" || name == "script" || name == "head") && !closing) {
            const std::size_t end = findNoCase(text, "</" + name, pos);
            pos = end == std::string_view::npos ? text.size() : end;
        } else if (name == "tr") {
            closeRow();
            if (!closing) {
                table.startRow(++ordinal);
                inRow = true;
            }
        } else if (name == "td" || name == "th") {
            closeCell();
            if (!closing && inRow) {
                cell.clear();
                inCell = true;
            }
        } else if (name == "br" && inCell) {
            cell.push_back('\n');
        } else if (name == "table" && closing) {
            closeRow();
        }
    }
    closeRow();
}

bool isHtmlTable(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos || text[first] != '<') return false;
    return findNoCase(text.substr(0, std::min<std::size_t>(text.size(), std::size_t{1} << 20)), "<table") !=
           std::string_view::npos;
}

}  // namespace

namespace {

SheetReading readSheetText(std::string&& bytes) {
    SheetReading reading;
    Decoded decoded = decode(std::move(bytes));
    if (decoded.problem != SheetProblem::None) {
        reading.problem = decoded.problem;
        reading.line = decoded.line;
        return reading;
    }
    std::string_view text = decoded.text;
    if (text.find_first_not_of(" \t\r\n\f") == std::string_view::npos) {
        reading.problem = SheetProblem::Empty;
        return reading;
    }
    SheetTable table;
    table.encoding = decoded.encoding;
    table.reserveText(text.size());
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (isHtmlTable(text)) {
        table.format = SheetFormat::ExportTable;
        table.delimiter = 0;
        readHtmlTable(text, table);
    } else if (text[first] == '<') {
        // Some other markup (a spreadsheet saved as XML): not a table this program can read.
        reading.problem = SheetProblem::Workbook;
        return reading;
    } else {
        std::size_t firstLine = 1;
        if (startsWithNoCase(text, "sep=") && text.size() > 4 && text[4] != '\r' && text[4] != '\n') {
            // Excel's own hint line names the delimiter and is no row of the sheet.
            table.delimiter = text[4];
            const std::size_t eol = text.find('\n');
            text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
            firstLine = 2;
        } else {
            table.delimiter = detectDelimiter(text);
        }
        const CsvOutcome parsed = parseCsv(text, table.delimiter, firstLine, &table);
        if (parsed.problem != SheetProblem::None) {
            reading.problem = parsed.problem;
            reading.line = parsed.line;
            return reading;
        }
    }
    if (table.rowCount() == 0) {
        reading.problem = SheetProblem::Empty;
        return reading;
    }
    reading.table = std::move(table);
    return reading;
}

// A file too large and one that cannot be read at all are told apart.
SheetProblem unreadable(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > kMaxSheetBytes ? SheetProblem::TooLarge : SheetProblem::Unreadable;
}

}  // namespace

SheetReading readSheetBytes(std::string_view bytes) {
    try {
        return readSheetText(std::string(bytes));
    } catch (const std::bad_alloc&) {
        SheetReading reading;
        reading.problem = SheetProblem::NoMemory;
        return reading;
    }
}

SheetReading readSheetFile(const std::filesystem::path& path) {
    // Running out of memory is a file the machine cannot take, never the end of the program.
    try {
        auto contents = readRegularFile(path, kMaxSheetBytes);
        if (!contents || !*contents) {
            SheetReading reading;
            reading.problem = contents ? SheetProblem::Unreadable : unreadable(path);
            return reading;
        }
        return readSheetText(std::move((*contents)->bytes));
    } catch (const std::bad_alloc&) {
        SheetReading reading;
        reading.problem = SheetProblem::NoMemory;
        return reading;
    }
}

SheetProblem censusSheetFile(const std::filesystem::path& path, SheetCensus& census) {
    census = {};
    auto fd = openRegularFile(path, O_RDONLY | O_CLOEXEC);
    if (!fd) return unreadable(path);
    struct stat st {};
    if (::fstat(fd->get(), &st) != 0) return SheetProblem::Unreadable;
    if (static_cast<std::uint64_t>(st.st_size) > kMaxSheetBytes) return SheetProblem::TooLarge;

    std::uint64_t lineFeeds = 0;
    std::uint64_t returns = 0;
    std::uint64_t crlf = 0;
    std::uint64_t tags = 0;
    std::uint64_t separators = 0;
    std::uint64_t high = 0;
    bool utf16 = false;
    bool markup = false;
    bool started = false;
    char last = 0;
    std::vector<char> block(std::size_t{1} << 20);
    while (true) {
        const ssize_t n = ::read(fd->get(), block.data(), block.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return SheetProblem::Unreadable;
        if (n == 0) break;
        const std::string_view bytes(block.data(), static_cast<std::size_t>(n));
        if (census.bytes == 0) utf16 = startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF");
        census.bytes += bytes.size();
        if (census.bytes > kMaxSheetBytes) return SheetProblem::TooLarge;
        for (const char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == '\n') {
                ++lineFeeds;
                crlf += last == '\r';
            } else if (c == '\r') {
                ++returns;
            } else if (c == '<') {
                ++tags;
            } else if (c == ';' || c == ',' || c == '\t') {
                ++separators;
            } else if (c >= 0x80) {
                ++high;
            }
            // Markup starts with "<" after blanks and a byte-order mark (whose bytes are all high).
            if (!started && c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != 0 && c < 0x80) {
                started = true;
                markup = c == '<';
            }
            last = ch;
        }
    }
    const std::uint64_t lines = lineFeeds + (returns - crlf) + 1;
    // A table row takes "<tr><td>" at the least, and a cell one tag.
    census.records = markup ? std::max(lines, tags / 2 + 1) : lines;
    census.cells = census.records + (markup ? tags : separators);
    // Windows-1252 grows by up to two bytes a character in UTF-8; UTF-16 shrinks to at most 3 bytes of 2.
    census.textBytes = utf16 ? census.bytes / 2 * 3 : census.bytes + 2 * high;
    return SheetProblem::None;
}

std::uint64_t sheetTableBytes(const SheetCensus& census) {
    // The text is reserved whole up front; the row and cell lists may hold twice what they use.
    return census.textBytes + 2 * (census.records * 2 * sizeof(std::uint32_t) + census.cells * sizeof(std::uint32_t));
}

std::uint64_t sheetReadingBytes(const SheetCensus& census) {
    // The file's bytes and their decoded text are held together while decoding; then the text and the
    // table built from it, whose lists may be growing (the old block and the new one twice as large).
    const std::uint64_t lists = census.records * 2 * sizeof(std::uint32_t) + census.cells * sizeof(std::uint32_t);
    return std::max(census.bytes + census.textBytes, 2 * census.textBytes + 3 * lists);
}

std::string sheetProblemText(SheetProblem problem, std::size_t line) {
    switch (problem) {
        case SheetProblem::None:
            return {};
        case SheetProblem::Unreadable:
            return "Attenzione: non è stato possibile leggere il file scelto.\n\n"
                   "Accertarsi che il file esista e di possedere i privilegi di lettura.";
        case SheetProblem::TooLarge:
            return "Attenzione: il file scelto è troppo grande per essere un elenco di prodotti.";
        case SheetProblem::Empty:
            return "Attenzione: il file scelto non contiene alcuna riga da importare.";
        case SheetProblem::Workbook:
            return "Attenzione: il file scelto è nel formato proprio di un programma per fogli di calcolo.\n\n"
                   "Aprirlo con il programma che lo ha creato e salvarlo in formato CSV (testo con valori "
                   "separati da punto e virgola), quindi importare il file CSV.";
        case SheetProblem::NotText:
            if (line == 0) return "Attenzione: il file scelto non è un file CSV né un file esportato dal programma.";
            return "Attenzione: il file scelto non è un file CSV né un file esportato dal programma: alla riga " +
                   std::to_string(line) +
                   " contiene un carattere nullo, che nei file di testo non compare.\n\nSe il file viene da un "
                   "programma per fogli di calcolo, aprirlo con quel programma e salvarlo di nuovo in formato CSV.";
        case SheetProblem::OpenQuote:
            return "Attenzione: il file scelto non è un file CSV valido: le virgolette aperte alla riga " +
                   std::to_string(line) +
                   " non vengono mai chiuse.\n\nCorreggere il file con il programma per fogli di calcolo e "
                   "salvarlo di nuovo in formato CSV.";
        case SheetProblem::AfterQuote:
            return "Attenzione: il file scelto non è un file CSV valido: alla riga " + std::to_string(line) +
                   " un campo tra virgolette è seguito da altro testo.\n\nCorreggere il file con il programma "
                   "per fogli di calcolo e salvarlo di nuovo in formato CSV.";
        case SheetProblem::NoMemory:
            return "Attenzione: la memoria del computer non basta per leggere il file scelto.\n\nChiudere gli altri "
                   "programmi aperti e riprovare, oppure dividere il file in più parti e importarle una alla volta.";
    }
    return {};
}

std::string_view sheetEncodingName(SheetEncoding encoding) {
    switch (encoding) {
        case SheetEncoding::Utf8:
            return "UTF-8";
        case SheetEncoding::Utf8Bom:
            return "UTF-8 con BOM";
        case SheetEncoding::Utf16:
            return "UTF-16";
        case SheetEncoding::Windows1252:
            return "Windows-1252";
    }
    return {};
}

std::string_view sheetDelimiterName(char delimiter) {
    switch (delimiter) {
        case ';':
            return "punto e virgola";
        case ',':
            return "virgola";
        case '\t':
            return "tabulazione";
        default:
            return "carattere speciale";
    }
}

}  // namespace scortavia
