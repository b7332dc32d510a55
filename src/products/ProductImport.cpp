#include "products/ProductImport.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <new>

#include "common/Numbers.h"
#include "common/TextRules.h"
#include "products/ProductCard.h"
#include "storage/ArchiveFile.h"
#include "storage/ArchivePaths.h"
#include "storage/ArchiveScan.h"
#include "storage/FileAccess.h"
#include "storage/Windows1252.h"

namespace scortavia {
namespace {

using P = ProductLayout;

constexpr std::size_t kFields = kImportFieldCount;

struct FieldWords {
    std::string_view name;     // where the user chooses it
    std::string_view subject;  // in a sentence: "il costo unitario"
    std::string_view aliases;  // headers that name it, "|" between them, already folded
};

// In record order. The export's header and the card's label of each field come first among its aliases.
constexpr std::array<FieldWords, kFields> kWords = {{
    {"Codice articolo", "il codice articolo", "codice articolo|codice|codice prodotto|cod articolo"},
    {"Costo unitario", "il costo unitario", "costo unitario|costo|prezzo di acquisto|prezzo acquisto"},
    {"Nome prodotto", "il nome del prodotto", "nome prodotto|nome|prodotto|nome del prodotto"},
    {"Giacenza", "la giacenza", "giacenza|quantita|quantita in magazzino|pezzi"},
    {"Avviso (pezzi rimasti)", "il livello di avviso", "avviso n|avviso|scorta minima|livello di avviso"},
    {"Aspetto esteriore del bene", "l'aspetto esteriore del bene",
     "aspetto esteriore del bene|aspetto esteriore|aspetto|um|unita di misura"},
    {"Categoria merceologica", "la categoria merceologica", "categoria merceologica|categoria|tipologia"},
    {"Caratteristiche", "le caratteristiche del prodotto", "caratteristiche|caratteristiche del prodotto|descrizione"},
    {"Collocazione in magazzino", "la collocazione in magazzino", "collocazione in magazzino|collocazione|ubicazione"},
    {"Ditta fornitrice", "la ditta fornitrice", "ditta fornitrice|ditta|fornitore"},
    {"Agente", "l'agente", "agente"},
    {"Recapito telefonico", "il recapito telefonico", "recapito telefonico|recapito|telefono"},
    {"Documento di acquisto", "il documento di acquisto", "documento di acquisto|documento"},
    // The export's grid has always shown this header misspelt, so a sheet copied from it says so too.
    {"Modalità di pagamento", "la modalità di pagamento",
     "modalita di pagamento|modalito di pagamento|pagamento|modalita pagamento"},
    {"Data scadenza", "la data di scadenza", "data scadenza|data di scadenza|scadenza|datasca"},
    {"Note", "le note", "note"},
    {"Prezzo di vendita", "il prezzo di vendita", "prezzo di vendita|prezzo|prezzo vendita"},
    {"Pagato", "il campo Pagato", "pagato"},
}};

bool isMoney(std::size_t f) { return f == P::Costo || f == P::Prezzo; }
bool isWhole(std::size_t f) { return f == P::Giacenza || f == P::Avviso; }
bool isNumber(std::size_t f) { return isMoney(f) || isWhole(f); }

// Latin letters without their accents, A-Z lowered: enough to match Italian headers however typed.
void appendFolded(std::string_view utf8, std::string& out) {
    const std::string bytes = encodeWindows1252(utf8);
    for (const char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c == 0xFF) {
            c = 'y';
        } else if (c >= 0xC0 && c != 0xD7 && c != 0xF7) {
            static constexpr std::string_view kBase = "aaaaaaaceeeeiiiidnooooo*ouuuuyts";
            c = static_cast<unsigned char>(kBase[(c - 0xC0) & 0x1F]);
        }
        out.push_back(foldLowerAZ(static_cast<char>(c)));
    }
}

std::string foldedHeader(std::string_view header) {
    std::string folded;
    appendFolded(trimBlanks(header), folded);
    std::string out;
    for (const char c : folded) {
        const bool blank = static_cast<unsigned char>(c) <= 32 || c == '_';
        if (blank) {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    while (!out.empty() && (out.back() == ':' || out.back() == '.' || out.back() == ' ')) out.pop_back();
    return out;
}

// Codes compare as the lists find them: A-Z folded, nothing else.
std::string codeKey(std::string_view storedCode) { return upperAZ(trimBlanks(storedCode)); }

// ---- Numbers as a spreadsheet writes them ----

// "1.250" or "1.250,50" (or the same with the separators swapped): digits grouped by threes.
bool groupedThousands(std::string_view s, char group, char decimal) {
    std::size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    std::size_t lead = 0;
    while (i < s.size() && isAsciiDigit(s[i])) ++i, ++lead;
    if (lead == 0 || lead > 3 || i >= s.size() || s[i] != group) return false;
    while (i < s.size() && s[i] == group) {
        ++i;
        for (int k = 0; k < 3; ++k, ++i) {
            if (i >= s.size() || !isAsciiDigit(s[i])) return false;
        }
    }
    if (i == s.size()) return true;
    if (s[i] != decimal) return false;
    for (++i; i < s.size(); ++i) {
        if (!isAsciiDigit(s[i])) return false;
    }
    return true;
}

// The cell without blanks inside and without a euro sign: "€ 1 250,00" is a number a shop writes.
std::string bareNumber(std::string_view cell) {
    std::string out;
    const std::string_view text = trimBlanks(cell);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 3) == "\xE2\x82\xAC" || text.substr(i, 3) == "\xE2\x80\xAF") {
            i += 2;
        } else if (text.substr(i, 2) == "\xC2\xA0") {
            i += 1;
        } else if (static_cast<unsigned char>(text[i]) > 32) {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The number in the card's own writing (decimal comma, no grouping), or nullopt when it is none.
std::optional<std::string> commaNumber(std::string_view cell, bool decimalPoint) {
    std::string s = bareNumber(cell);
    const char group = decimalPoint ? ',' : '.';
    const char decimal = decimalPoint ? '.' : ',';
    if (groupedThousands(s, group, decimal)) std::erase(s, group);
    if (s.find(group) != std::string::npos) return std::nullopt;
    if (decimalPoint) std::replace(s.begin(), s.end(), '.', ',');
    if (!parseDecimalComma(s)) return std::nullopt;
    return s;
}

// Evidence of the decimal separator in one number cell: +1 for the full stop, -1 for the comma.
int decimalEvidence(std::string_view cell) {
    const std::string s = bareNumber(cell);
    const std::size_t point = s.find('.');
    const std::size_t comma = s.find(',');
    if (point != std::string::npos && comma != std::string::npos) return point > comma ? 1 : -1;
    const std::size_t at = point != std::string::npos ? point : comma;
    if (at == std::string::npos) return 0;
    if (s.find(s[at], at + 1) != std::string::npos) return 0;  // "1.250.000": grouping either way
    const std::size_t after = s.size() - at - 1;
    const std::size_t before = at - ((s[0] == '-' || s[0] == '+') ? 1 : 0);
    // "1.250" may be a thousand and a quarter or twelve hundred and fifty: no evidence.
    if (after == 3 && before >= 1 && before <= 3) return 0;
    return point != std::string::npos ? 1 : -1;
}

// ---- Dates ----

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// "5/3/2027", "05-03-27", "5.3.2027", "2027-03-05" (a time after it ignored) as "05/03/2027".
std::optional<std::string> dueDate(std::string_view cell) {
    std::string_view s = trimBlanks(cell);
    if (const std::size_t space = s.find(' '); space != std::string_view::npos) s = s.substr(0, space);
    std::array<int, 3> parts{};
    std::array<std::size_t, 3> widths{};
    std::size_t part = 0;
    char separator = 0;
    for (const char c : s) {
        if (isAsciiDigit(c)) {
            if (widths[part] >= 4) return std::nullopt;
            parts[part] = parts[part] * 10 + (c - '0');
            ++widths[part];
        } else if ((c == '/' || c == '-' || c == '.') && part < 2 && widths[part] > 0 &&
                   (separator == 0 || separator == c)) {
            separator = c;
            ++part;
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || widths[2] == 0) return std::nullopt;
    int day = parts[0], month = parts[1], year = parts[2];
    if (widths[0] == 4 && widths[2] <= 2) {
        year = parts[0], day = parts[2];
    } else if (widths[0] > 2 || widths[1] > 2 || (widths[2] != 2 && widths[2] != 4)) {
        return std::nullopt;
    } else if (widths[2] == 2) {
        year += 2000;
    }
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || year < 1) return std::nullopt;
    if (day > kDays[month - 1] + (month == 2 && leap(year) ? 1 : 0)) return std::nullopt;
    char out[32];
    std::snprintf(out, sizeof out, "%02d/%02d/%04d", day, month, year);
    return std::string(out);
}

std::optional<bool> paidFlag(std::string_view cell) {
    std::string folded;
    appendFolded(trimBlanks(cell), folded);
    for (const std::string_view yes : {"si", "s", "x", "1", "vero", "true", "yes", "pagato"}) {
        if (folded == yes) return true;
    }
    for (const std::string_view no : {"", "no", "n", "0", "falso", "false"}) {
        if (folded == no) return false;
    }
    return std::nullopt;
}

// Line breaks inside a cell (a note typed with Alt+Enter) would split the card's one-line boxes.
std::string oneLine(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c == '\r' || c == '\n' || c == '\t') {
            if (c == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n') ++i;
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string formatted(const char* pattern, std::string_view a, std::string_view b = {}) {
    std::string out;
    for (const char* p = pattern; *p != 0; ++p) {
        if (*p == '%' && (p[1] == '1' || p[1] == '2')) {
            out.append(p[1] == '1' ? a : b);
            ++p;
        } else {
            out.push_back(*p);
        }
    }
    return out;
}

std::string capitalised(std::string_view text) {
    std::string out(text);
    if (!out.empty()) out[0] = foldUpperAZ(out[0]);
    return out;
}

}  // namespace

std::string_view importFieldName(ProductLayout::Field field) { return kWords.at(field).name; }

std::optional<ProductLayout::Field> fieldForHeader(std::string_view header) {
    const std::string folded = foldedHeader(header);
    if (folded.empty()) return std::nullopt;
    for (std::size_t f = 0; f < kFields; ++f) {
        std::string_view aliases = kWords[f].aliases;
        while (!aliases.empty()) {
            const std::size_t bar = aliases.find('|');
            if (aliases.substr(0, bar) == folded) return static_cast<P::Field>(f);
            aliases = bar == std::string_view::npos ? std::string_view{} : aliases.substr(bar + 1);
        }
    }
    return std::nullopt;
}

ColumnMapping mappingFromHeaders(const SheetTable& table, bool& matched) {
    ColumnMapping mapping(table.columnCount());
    matched = false;
    if (table.rowCount() == 0) return mapping;
    std::array<bool, kFields> taken{};
    for (std::size_t c = 0; c < mapping.size(); ++c) {
        const auto field = fieldForHeader(table.cell(0, c));
        if (!field || taken[*field]) continue;
        taken[*field] = true;
        mapping[c] = field;
        matched = true;
    }
    return mapping;
}

Result<ArchiveCodes> readArchiveCodes(const std::filesystem::path& archive) {
    ArchiveCodes codes;
    Status scanned = scanArchive(
        archive, ProductRecord::kSize,
        [&](const std::uint8_t* record, std::int64_t index) {
            codes.records = index + 1;
            codes.positions.try_emplace(codeKey(ProductView(record).text(P::Codice)), index + 1);
            return true;
        },
        [&](std::int64_t count) { codes.positions.reserve(static_cast<std::size_t>(count)); });
    if (!scanned) return scanned;
    return codes;
}

bool refuses(ProblemKind kind) {
    return kind == ProblemKind::Missing || kind == ProblemKind::NotNumber || kind == ProblemKind::NumberTooLong;
}

// ---- The preview ----

ImportPreview ImportPreview::build(const SheetTable& table, const ImportOptions& options, const ArchiveCodes& codes) {
    ImportPreview preview;
    const std::size_t first = options.headerRow ? 1 : 0;
    const std::size_t rows = table.rowCount() > first ? table.rowCount() - first : 0;

    // Which column fills each field.
    std::array<std::optional<std::size_t>, kFields> column{};
    for (std::size_t c = 0; c < options.mapping.size(); ++c) {
        if (const auto field = options.mapping[c]; field && *field < kFields && !column[*field]) column[*field] = c;
    }

    // The file's decimal separator, from every number it holds: the full stop only when the numbers
    // clearly use it and none uses the comma.
    int points = 0;
    int commas = 0;
    for (std::size_t f = 0; f < kFields; ++f) {
        if (!isNumber(f) || !column[f]) continue;
        for (std::size_t r = first; r < table.rowCount(); ++r) {
            const int evidence = decimalEvidence(table.cell(r, *column[f]));
            points += evidence > 0;
            commas += evidence < 0;
        }
    }
    preview.decimalPoint_ = points > 0 && commas == 0;

    preview.sheetRows_.reserve(rows);
    preview.status_.reserve(rows);
    preview.flags_.reserve(rows);
    preview.problemEnds_.reserve(rows);
    preview.starts_.reserve(rows);
    preview.lengths_.reserve(rows * kFields);
    // The stored text comes from the cells, reformatted, plus the few characters of the defaults
    // ("0,00", "No"): reserved from what the file holds, not from the number of fields.
    preview.text_.reserve(std::min(rows * kFields * 12, table.textBytes() + rows * 16));
    preview.archiveRecords_ = codes.records;

    std::unordered_map<std::string, std::uint32_t> firstRowOfCode;
    firstRowOfCode.reserve(rows);
    std::vector<std::pair<std::size_t, std::uint32_t>> repeated;  // row, the first row holding its code

    ProductRecord record;
    std::string value;
    std::array<std::string, kFields> shown;
    for (std::size_t r = first; r < table.rowCount(); ++r) {
        const std::size_t row = preview.sheetRows_.size();
        std::uint32_t flags = 0;
        bool refused = false;
        bool warned = false;
        const auto problem = [&](ProblemKind kind, std::size_t field, std::uint32_t other = 0) {
            preview.problems_.push_back({kind, static_cast<std::uint8_t>(field), other});
            flags |= 1u << field;
            (refuses(kind) ? refused : warned) = true;
        };

        record = ProductRecord();
        std::array<bool, kFields> blankPrice{};
        // A number the row is refused for is shown whole, as the file has it: cut, it would mislead.
        std::array<bool, kFields> showUncut{};
        for (std::size_t f = 0; f < kFields; ++f) {
            const auto field = static_cast<P::Field>(f);
            const std::string_view cell = column[f] ? table.cell(r, *column[f]) : std::string_view{};
            const std::string_view trimmed = trimBlanks(cell);
            value.clear();
            if (isNumber(f)) {
                if (trimmed.empty()) {
                    // A blank box is stored as the card stores it; a blank price is a missing field.
                    value = isMoney(f) ? "0,00" : "0";
                    blankPrice[f] = isMoney(f) && column[f].has_value();
                } else if (const auto number = commaNumber(trimmed, preview.decimalPoint_)) {
                    value = isMoney(f) ? formatMoneyText(*number, 2) : formatWholeText(*number);
                    const double read = *parseDecimalComma(*number);
                    if (*parseDecimalComma(value) != read) problem(ProblemKind::Rounded, f);
                    if (cutChangesNumber(value, ProductRecord::Info::capacity(field))) {
                        problem(ProblemKind::NumberTooLong, f);
                        showUncut[f] = true;
                    }
                } else {
                    value = oneLine(trimmed);
                    problem(ProblemKind::NotNumber, f);
                    showUncut[f] = true;
                }
            } else if (f == P::DataSca) {
                if (!trimmed.empty()) {
                    if (const auto date = dueDate(trimmed)) {
                        value = *date;
                    } else {
                        problem(ProblemKind::BadDate, f);
                    }
                }
            } else if (f == P::Pagato) {
                const auto paid = paidFlag(trimmed);
                if (!paid) problem(ProblemKind::BadFlag, f);
                value = paid.value_or(false) ? kFlagYes : kFlagNo;
            } else {
                value = oneLine(trimmed);
                const std::string encoded = encodeWindows1252(value);
                if (std::count(encoded.begin(), encoded.end(), '?') > std::count(value.begin(), value.end(), '?')) {
                    problem(ProblemKind::Replaced, f);
                }
                if (encoded.size() > ProductRecord::Info::capacity(field)) {  // value is already trimmed
                    problem(ProblemKind::Cut, f);
                }
            }
            record.setText(field, value);
            if (showUncut[f]) shown[f] = value;
        }
        // In the card's order. A price column left blank is missing; a price column not in the file
        // takes the card's "0,00", as a new card does.
        for (const MandatoryField& m : kProductMandatory) {
            const bool missing =
                isMoney(m.field) ? blankPrice[m.field] : trimBlanks(record.view().text(m.field)).empty();
            if (missing) problem(ProblemKind::Missing, m.field);
        }

        preview.starts_.push_back(static_cast<std::uint32_t>(preview.text_.size()));
        for (std::size_t f = 0; f < kFields; ++f) {
            const std::size_t begin = preview.text_.size();
            if (showUncut[f]) {
                // A cell that is no number is shown as the file has it, up to what a field length holds.
                std::size_t keep = std::min<std::size_t>(shown[f].size(), kMaxFieldBytes);
                while (keep < shown[f].size() && keep > 0 &&
                       (static_cast<unsigned char>(shown[f][keep]) & 0xC0) == 0x80) {
                    --keep;
                }
                preview.text_.append(shown[f], 0, keep);
            } else {
                record.view().appendText(static_cast<P::Field>(f), preview.text_);
            }
            preview.lengths_.push_back(static_cast<std::uint16_t>(preview.text_.size() - begin));
        }

        const std::string key = codeKey(record.view().text(P::Codice));
        if (!key.empty()) {
            const auto [at, inserted] = firstRowOfCode.try_emplace(key, static_cast<std::uint32_t>(row));
            if (!inserted) repeated.emplace_back(row, at->second);
            if (const auto found = codes.positions.find(key); found != codes.positions.end()) {
                problem(ProblemKind::InArchive, P::Codice, static_cast<std::uint32_t>(found->second));
                if (!refused) ++preview.inArchiveRows_;
            }
        }

        // Reasons for refusing first: they are what the user must fix.
        const std::size_t rowBegin = preview.problemEnds_.empty() ? 0 : preview.problemEnds_.back();
        std::stable_partition(preview.problems_.begin() + static_cast<std::ptrdiff_t>(rowBegin),
                              preview.problems_.end(), [](const RowProblem& p) { return refuses(p.kind); });

        preview.sheetRows_.push_back(static_cast<std::uint32_t>(table.sheetRow(r)));
        preview.status_.push_back(refused ? RowStatus::Refused : warned ? RowStatus::Warning : RowStatus::Ready);
        preview.flags_.push_back(flags);
        preview.problemEnds_.push_back(static_cast<std::uint32_t>(preview.problems_.size()));
    }

    // Codes repeated in the file: each row names another row holding it. Added after the pass, so
    // these problems go at the end of their rows' lists.
    if (!repeated.empty()) {
        std::vector<std::vector<RowProblem>> extra(preview.rowCount());
        for (const auto& [row, firstRow] : repeated) {
            extra[row].push_back({ProblemKind::TwiceInFile, P::Codice, preview.sheetRows_[firstRow]});
            if (extra[firstRow].empty()) {
                extra[firstRow].push_back({ProblemKind::TwiceInFile, P::Codice, preview.sheetRows_[row]});
            }
        }
        std::vector<RowProblem> merged;
        merged.reserve(preview.problems_.size() + repeated.size() * 2);
        std::size_t begin = 0;
        for (std::size_t row = 0; row < preview.rowCount(); ++row) {
            const std::size_t end = preview.problemEnds_[row];
            merged.insert(merged.end(), preview.problems_.begin() + static_cast<std::ptrdiff_t>(begin),
                          preview.problems_.begin() + static_cast<std::ptrdiff_t>(end));
            merged.insert(merged.end(), extra[row].begin(), extra[row].end());
            begin = end;
            preview.problemEnds_[row] = static_cast<std::uint32_t>(merged.size());
            if (!extra[row].empty()) {
                preview.flags_[row] |= 1u << P::Codice;
                if (preview.status_[row] == RowStatus::Ready) preview.status_[row] = RowStatus::Warning;
            }
        }
        preview.problems_ = std::move(merged);
    }

    for (const RowStatus status : preview.status_) ++preview.counts_[static_cast<std::size_t>(status)];
    // The preview stays as long as the screen: the room left by growing and by the text's estimate goes back.
    preview.problems_.shrink_to_fit();
    preview.text_.shrink_to_fit();
    return preview;
}

std::optional<ImportPreview> ImportPreview::tryBuild(const SheetTable& table, const ImportOptions& options,
                                                     const ArchiveCodes& codes) {
    try {
        return build(table, options, codes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::string_view ImportPreview::text(std::size_t row, ProductLayout::Field field) const {
    if (row >= rowCount() || field >= kFields) return {};
    const std::uint16_t* lengths = lengths_.data() + row * kFields;
    std::size_t begin = starts_[row];
    for (std::size_t f = 0; f < field; ++f) begin += lengths[f];
    return std::string_view(text_).substr(begin, lengths[field]);
}

std::vector<RowProblem> ImportPreview::problems(std::size_t row) const {
    const std::size_t begin = row == 0 ? 0 : problemEnds_[row - 1];
    return {problems_.begin() + static_cast<std::ptrdiff_t>(begin),
            problems_.begin() + static_cast<std::ptrdiff_t>(problemEnds_[row])};
}

bool ImportPreview::flagged(std::size_t row, ProductLayout::Field field) const {
    return field < kFields && (flags_[row] >> field & 1u) != 0;
}

bool ImportPreview::inArchive(std::size_t row) const {
    const std::size_t begin = row == 0 ? 0 : problemEnds_[row - 1];
    for (std::size_t i = begin; i < problemEnds_[row]; ++i) {
        if (problems_[i].kind == ProblemKind::InArchive) return true;
    }
    return false;
}

RowOutcome ImportPreview::outcome(std::size_t row, ArchiveDuplicates choice) const {
    switch (status_[row]) {
        case RowStatus::Ready:
            return RowOutcome::Ready;  // a code in the archive always warns, so it is never ready
        case RowStatus::Refused:
            return RowOutcome::Refused;
        case RowStatus::Warning:
            break;
    }
    const bool excluded = choice == ArchiveDuplicates::Skip && (flags_[row] >> P::Codice & 1u) != 0 && inArchive(row);
    return excluded ? RowOutcome::Excluded : RowOutcome::Warning;
}

bool ImportPreview::imported(std::size_t row, ArchiveDuplicates choice) const {
    const RowOutcome o = outcome(row, choice);
    return o == RowOutcome::Ready || o == RowOutcome::Warning;
}

OutcomeCounts ImportPreview::counts(ArchiveDuplicates choice) const {
    // The rows left out are those inArchiveRows_ counted while building: never refused, always warned.
    const std::size_t excluded = choice == ArchiveDuplicates::Skip ? inArchiveRows_ : 0;
    return {counts_[0], counts_[1] - excluded, counts_[2], excluded};
}

std::size_t ImportPreview::importedRows(ArchiveDuplicates choice) const {
    const std::size_t notRefused = rowCount() - refused();
    return choice == ArchiveDuplicates::AddAsNew ? notRefused : notRefused - inArchiveRows_;
}

ProductRecord ImportPreview::record(std::size_t row) const {
    ProductRecord record;
    for (std::size_t f = 0; f < kFields; ++f) {
        const auto field = static_cast<P::Field>(f);
        record.setText(field, text(row, field));
    }
    return record;
}

// ---- Memory ----

namespace {

std::optional<std::uint64_t> budgetForTesting;

// Bytes the kernel says can be given without swapping; the free pages where it does not say.
std::uint64_t availableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes) {
        if (key == "MemAvailable:") return kilobytes * 1024;
        std::getline(meminfo, unit);
    }
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0) return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
    return kImportMemoryCeiling;
}

std::uint64_t megabytes(std::uint64_t bytes) { return (bytes + (1u << 20) - 1) >> 20; }

}  // namespace

std::uint64_t previewBytes(std::uint64_t rows, std::uint64_t textBytes) {
    // Kept for each row: where its text starts, the lengths of its fields, its sheet row, status,
    // flags and where its problems end (53 bytes), a few problems of 8 bytes in a list that may hold
    // twice what it uses, up to 16 bytes of defaults in the text, and the grid's row (its header's
    // section, 8 bytes, and its place in the list of rows to check). While building, each code's entry
    // in the map of codes seen (80 bytes).
    constexpr std::uint64_t kPerRow = 53 + 2 * 6 * sizeof(RowProblem) + 16 + 2 * 8 + 4 + 80;
    return rows * kPerRow + textBytes;
}

void setImportMemoryBudgetForTesting(std::optional<std::uint64_t> budget) { budgetForTesting = budget; }

std::uint64_t importMemoryBudget() {
    if (budgetForTesting) return *budgetForTesting;
    std::uint64_t budget = std::min(availableMemory() / 2, kImportMemoryCeiling);
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        budget = std::min<std::uint64_t>(budget, limit.rlim_cur / 2);
    }
    return budget;
}

std::string importMemoryText(std::uint64_t need, std::uint64_t budget) {
    return "Attenzione: il file scelto è troppo grande per la memoria di questo computer: per mostrarne "
           "l'anteprima servirebbero circa " +
           std::to_string(megabytes(need)) + " MB, mentre se ne possono usare " + std::to_string(budget >> 20) +
           ".\n\nDividere il file in più parti con il programma per fogli di calcolo e importarle una alla volta.";
}

ImportFile readImportFile(const std::filesystem::path& file, std::uint64_t budget) {
    ImportFile out;
    SheetCensus census;
    if (const SheetProblem problem = censusSheetFile(file, census); problem != SheetProblem::None) {
        out.refusal = sheetProblemText(problem, 0);
        return out;
    }
    // The most the file can cost: reading it, then its table and the preview built from it.
    const std::uint64_t need =
        std::max(sheetReadingBytes(census), sheetTableBytes(census) + previewBytes(census.records, census.textBytes));
    if (need > budget) {
        out.refusal = importMemoryText(need, budget);
        return out;
    }
    SheetReading reading = readSheetFile(file);
    if (!reading.table) {
        out.refusal = sheetProblemText(reading.problem, reading.line);
        return out;
    }
    out.table = std::move(reading.table);
    return out;
}

std::string problemText(const RowProblem& problem, const ImportPreview& preview, std::size_t row,
                        ArchiveDuplicates choice) {
    const auto field = static_cast<P::Field>(problem.field);
    const FieldWords& words = kWords.at(field);
    const std::string shown(preview.text(row, field));
    switch (problem.kind) {
        case ProblemKind::Missing:
            for (const MandatoryField& m : kProductMandatory) {
                // The card's own words, without its "Attenzione: ".
                if (m.field == field) return capitalised(m.warning.substr(m.warning.find(':') + 2));
            }
            return {};
        case ProblemKind::NotNumber:
            return capitalised(
                formatted("%1 «%2» non è un numero: la riga non può essere importata.", words.subject, shown));
        case ProblemKind::NumberTooLong:
            return capitalised(formatted("%1 %2 supera la lunghezza massima del campo (", words.subject, shown)) +
                   std::to_string(ProductRecord::Info::capacity(field)) +
                   (field == P::Giacenza ? " caratteri: da -999 a 9999 pezzi)." : " caratteri).") +
                   " La riga non può essere importata.";
        case ProblemKind::Cut:
            return formatted("Il testo di «%1» supera i ", words.name) +
                   std::to_string(ProductRecord::Info::capacity(field)) + " caratteri del campo ed è stato tagliato.";
        case ProblemKind::Replaced:
            return formatted(
                "Il testo di «%1» contiene caratteri che l'archivio non può registrare, sostituiti da «?».",
                words.name);
        case ProblemKind::Rounded:
            return formatted("Il valore di «%1» è arrotondato a %2, come nella scheda.", words.name, shown);
        case ProblemKind::BadDate:
            return "La data di scadenza non è una data nella forma gg/mm/aaaa: non viene importata.";
        case ProblemKind::BadFlag:
            return "Il valore di «Pagato» non è né Sì né No: viene registrato No.";
        case ProblemKind::TwiceInFile:
            return "Lo stesso codice articolo compare anche alla riga " + std::to_string(problem.other) + " del file.";
        case ProblemKind::InArchive:
            return "Il codice articolo è già presente in magazzino (scheda n. " + std::to_string(problem.other) +
                   (choice == ArchiveDuplicates::Skip ? "): la riga non viene importata."
                                                      : "): viene aggiunta una nuova scheda.");
    }
    return {};
}

// ---- Writing ----

ImportOutcome writeImport(const std::filesystem::path& archive, const ImportPreview& preview, ArchiveDuplicates choice,
                          const ImportProgress& progress, std::size_t batchRecords) {
    ImportOutcome outcome;
    std::size_t total = preview.importedRows(choice);
    outcome.skipped = preview.rowCount();
    if (total == 0) return outcome;
    auto file = ArchiveFile::openOrCreate(archive, ProductRecord::kSize);
    if (!file) {
        outcome.status = file.status();
        return outcome;
    }
    batchRecords = std::max<std::size_t>(batchRecords, 1);
    const std::filesystem::path folder = archive.has_parent_path() ? archive.parent_path() : ".";
    // Codes of the cards other copies appended since the preview, with the position of the first card
    // holding each. Only those cards are read, under the append lock: when no one else appended, the
    // check reads nothing, whatever the size of the archive.
    const bool skipArchived = choice == ArchiveDuplicates::Skip;
    std::unordered_map<std::string, std::int64_t> arrived;
    std::int64_t seen = preview.archiveRecords();
    const auto noteArrived = [&](std::span<const std::uint8_t> records, std::int64_t firstIndex) {
        for (std::size_t i = 0; i * ProductRecord::kSize < records.size(); ++i) {
            const ProductView card(records.data() + i * ProductRecord::kSize);
            arrived.try_emplace(codeKey(card.text(P::Codice)), firstIndex + static_cast<std::int64_t>(i) + 1);
        }
    };
    std::vector<std::uint8_t> batch;
    batch.reserve(std::min(batchRecords, total) * ProductRecord::kSize);
    std::size_t row = 0;
    while (row < preview.rowCount()) {
        std::size_t inBatch = 0;
        const auto compose = [&]() -> std::span<const std::uint8_t> {
            batch.clear();
            for (; row < preview.rowCount() && inBatch < batchRecords; ++row) {
                if (!preview.imported(row, choice)) continue;
                if (!arrived.empty()) {
                    const auto found = arrived.find(codeKey(preview.text(row, P::Codice)));
                    if (found != arrived.end()) {
                        outcome.arrived.push_back({row, found->second});
                        continue;
                    }
                }
                const ProductRecord record = preview.record(row);
                batch.insert(batch.end(), record.bytes().begin(), record.bytes().end());
                ++inBatch;
            }
            return batch;
        };
        // Rows imported as new cards whatever the archive holds need no look at what others appended.
        const auto first = skipArchived ? file->appendBatchChecked(seen, noteArrived, compose) : [&] {
            const std::span<const std::uint8_t> records = compose();
            return records.empty() ? Result<std::int64_t>(0) : file->appendBatch(records);
        }();
        total = preview.importedRows(choice) - outcome.arrived.size();
        if (!first) {
            outcome.status = first.status();
            break;
        }
        if (inBatch == 0) break;
        if (outcome.added == 0) outcome.firstPosition = *first + 1;
        outcome.added += inBatch;
        // A card's photo is the file named after its position. One lying at a new card's position was
        // left by an archive that is gone (a new card's save would replace it): it is no photo of this
        // product. Other copies appending meanwhile get other positions, so nothing of theirs is touched.
        for (std::int64_t position = *first + 1; position <= *first + static_cast<std::int64_t>(inBatch); ++position) {
            ::unlink(paths::productPhoto(folder, position).c_str());
        }
        if (progress && outcome.added < total && !progress(outcome.added, total)) {
            outcome.cancelled = true;
            break;
        }
    }
    if (progress && outcome.status.ok() && !outcome.cancelled) progress(outcome.added, total);
    outcome.skipped = preview.rowCount() - outcome.added;
    return outcome;
}

std::string arrivedCodesLine(const ImportOutcome& outcome) {
    if (outcome.arrived.empty()) return {};
    return "Righe non importate perché nel frattempo un'altra postazione ha aggiunto lo stesso codice articolo: " +
           std::to_string(outcome.arrived.size());
}

std::string importLogText(std::string_view when, std::string_view file, const ImportPreview& preview,
                          ArchiveDuplicates choice, const ImportOutcome& outcome) {
    std::string out;
    out += "==== Importazione prodotti del ";
    out += when;
    out += " ====\n";
    out += "File: ";
    out += file;
    out += "\nRighe lette: " + std::to_string(preview.rowCount());
    out += "\nSchede aggiunte al magazzino: " + std::to_string(outcome.added);
    if (outcome.added > 0) {
        out += " (schede n. " + std::to_string(outcome.firstPosition) + " e seguenti)";
    }
    out += "\nRighe non importate: " + std::to_string(outcome.skipped);
    if (!outcome.arrived.empty()) out += "\n" + arrivedCodesLine(outcome);
    if (outcome.cancelled) out += "\nImportazione interrotta dall'utente.";
    if (!outcome.status.ok()) out += "\nImportazione interrotta da un errore di scrittura: " + outcome.status.error();

    std::string refused;
    std::string duplicates;
    for (std::size_t row = 0; row < preview.rowCount(); ++row) {
        const bool refusedRow = preview.status(row) == RowStatus::Refused;
        const bool skippedRow = !refusedRow && !preview.imported(row, choice);
        if (!refusedRow && !skippedRow) continue;
        std::string& list = refusedRow ? refused : duplicates;
        list += "  Riga " + std::to_string(preview.sheetRow(row)) + " (codice \"" +
                std::string(preview.text(row, ProductLayout::Codice)) + "\"):";
        for (const RowProblem& problem : preview.problems(row)) {
            if (refusedRow ? refuses(problem.kind) : problem.kind == ProblemKind::InArchive) {
                list += ' ';
                list += problemText(problem, preview, row, choice);
            }
        }
        list += '\n';
    }
    std::string arrived;
    for (const ArrivedCode& late : outcome.arrived) {
        arrived += "  Riga " + std::to_string(preview.sheetRow(late.row)) + " (codice \"" +
                   std::string(preview.text(late.row, ProductLayout::Codice)) +
                   "\"): Il codice articolo è stato aggiunto al magazzino da un'altra postazione dopo l'anteprima "
                   "(scheda n. " +
                   std::to_string(late.position) + "): la riga non viene importata.\n";
    }
    if (!refused.empty()) out += "\nRighe rifiutate:\n" + refused;
    if (!duplicates.empty()) out += "\nRighe con un codice già presente in magazzino, non importate:\n" + duplicates;
    if (!arrived.empty()) {
        out += "\nRighe con un codice aggiunto al magazzino da un'altra postazione dopo l'anteprima, non importate:\n" +
               arrived;
    }
    out += "\n\n";
    return out;
}

Status appendImportLog(const std::filesystem::path& programFolder, std::string_view text) {
    // Appended, never rewritten, so two copies of the program logging at once keep both accounts.
    return appendLocked(programFolder / std::string(kImportLogName), text);
}

}  // namespace scortavia
