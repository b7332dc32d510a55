#include "sheets/HtmlTable.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "common/TextRules.h"
#include "storage/Windows1252.h"

namespace scortavia {

// ---- Writing ----

namespace {

// Appends UTF-8 text in Windows-1252. The markup and most cell texts are plain ASCII and are copied as
// they stand; only the runs of other characters go through the code page's table.
void appendWindows1252(std::string_view utf8, std::string& out) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t ascii = i;
        while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
        out.append(utf8.data() + i, ascii - i);
        std::size_t other = ascii;
        while (other < utf8.size() && static_cast<unsigned char>(utf8[other]) >= 0x80) ++other;
        if (other > ascii) out += encodeWindows1252(utf8.substr(ascii, other - ascii));
        i = other;
    }
}

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void appendExportCellText(std::string_view text, std::string& out) {
    text = trimBlanks(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&': {
                const bool startsReference = i + 1 < text.size() && (isAsciiLetter(text[i + 1]) || text[i + 1] == '#');
                out += startsReference ? "&amp;" : "&";
                break;
            }
            // A line break inside a cell (a note pasted from elsewhere) would split the one-line file.
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                out.push_back(c);
        }
    }
}

// The cell tags. sdnum is "language of sdval; language of the format (0: the reader's own); format",
// as LibreOffice reads it; Excel reads the text format from mso-number-format.
constexpr std::string_view kPlainCell = "<td style=\"text-align: left;\">";
constexpr std::string_view kTextCell = "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1033;0;@\">";

// The decimals of a number in the card's form: an optional "-", digits, and decimals after a comma, at
// most 15 digits in all so that a spreadsheet program holds it exactly. Nothing for any other text.
std::optional<std::size_t> cardNumberDecimals(std::string_view text) {
    if (text.starts_with('-')) text.remove_prefix(1);
    const std::size_t comma = text.find(',');
    const std::string_view whole = text.substr(0, comma);
    const std::string_view decimals = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const auto allDigits = [](std::string_view digits) {
        return std::all_of(digits.begin(), digits.end(), isAsciiDigit);
    };
    if (whole.empty() || !allDigits(whole) || !allDigits(decimals)) return std::nullopt;
    if (comma != std::string_view::npos && decimals.empty()) return std::nullopt;
    if (whole.size() + decimals.size() > 15) return std::nullopt;
    return decimals.size();
}

constexpr std::size_t kChunkBytes = std::size_t{256} << 10;
constexpr std::size_t kProgressRows = 1000;

}  // namespace

bool writeHtmlTable(std::string_view worksheet, std::span<const HtmlColumn> columns, std::size_t rows,
                    const CellSource& cell, const std::function<bool(std::string_view)>& write,
                    const std::function<bool(std::size_t)>& rowsDone) {
    std::string out;
    out.reserve(kChunkBytes + (std::size_t{64} << 10));
    std::string escaped;
    std::string tag;
    const auto flush = [&] {
        const bool written = out.empty() || write(out);
        out.clear();
        return written;
    };

    out +=
        "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
        "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" xmlns=\"http://www.w3.org/TR/REC-html40\">";
    out += "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";
    out += "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>";
    appendWindows1252(worksheet, out);
    out +=
        "</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane><x:Number>1</x:Number>"
        "<x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes><x:ProtectContents>False</x:ProtectContents>"
        "<x:ProtectObjects>False</x:ProtectObjects><x:ProtectScenarios>False</x:ProtectScenarios>"
        "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]-->"
        "</head><body><table x:str><tr>";
    for (const HtmlColumn& column : columns) {
        out += "<td style=\"text-align: left; font-weight: bold;\" width=";
        out += std::to_string(column.width);
        out += '>';
        appendWindows1252(column.header, out);
        out += "</td>";
    }
    out += "</tr>";

    for (std::size_t row = 0; row < rows; ++row) {
        out += "<tr>";
        for (std::size_t column = 0; column < columns.size(); ++column) {
            escaped.clear();
            appendExportCellText(cell(row, column), escaped);
            out += exportCellTag(columns[column].kind, escaped, tag);
            appendWindows1252(escaped, out);
            out += "</td>";
        }
        out += "</tr>";
        if (out.size() >= kChunkBytes && !flush()) return false;
        const std::size_t done = row + 1;
        if ((done % kProgressRows == 0 || done == rows) && !rowsDone(done)) return false;
    }

    out += "</table></body></html>";
    return flush();
}

std::string exportCellText(std::string_view text) {
    std::string out;
    appendExportCellText(text, out);
    return out;
}

std::string_view exportCellTag(CellKind kind, std::string_view text, std::string& scratch) {
    if (kind == CellKind::Text) return kTextCell;
    if (text.empty()) return kPlainCell;
    const std::optional<std::size_t> decimals = cardNumberDecimals(text);
    if (!decimals) return kTextCell;
    scratch.assign("<td style=\"text-align: left;\" sdval=\"");
    for (const char c : text) scratch.push_back(c == ',' ? '.' : c);
    scratch += "\" sdnum=\"1033;0;0";
    if (*decimals > 0) {
        scratch += '.';
        scratch.append(*decimals, '0');
    }
    scratch += "\">";
    return scratch;
}

// ---- Reading ----

namespace {

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

}  // namespace

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
        if (rest.starts_with("<!--")) {
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

}  // namespace scortavia
