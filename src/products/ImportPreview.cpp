#include "products/ImportPreview.h"

#include <algorithm>
#include <new>

#include "common/CalendarDate.h"
#include "common/Numbers.h"
#include "common/TextRules.h"
#include "products/ProductCard.h"
#include "storage/ArchiveScan.h"
#include "storage/Windows1252.h"

namespace scortavia {
namespace {

using P = ProductLayout;

constexpr std::size_t kFields = kImportFieldCount;

bool isMoney(std::size_t f) { return f == P::Costo || f == P::Prezzo; }
bool isWhole(std::size_t f) { return f == P::Giacenza || f == P::Avviso; }
bool isNumber(std::size_t f) { return isMoney(f) || isWhole(f); }

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
    const std::optional<CalendarDate> date = CalendarDate::of(year, month, day);
    if (!date) return std::nullopt;
    return dateText(*date);
}

std::optional<bool> paidFlag(std::string_view cell) {
    const std::string folded = foldedWords(trimBlanks(cell));
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

std::string importCodeKey(std::string_view storedCode) { return upperAZ(trimBlanks(storedCode)); }

Result<ArchiveCodes> readArchiveCodes(const std::filesystem::path& archive) {
    ArchiveCodes codes;
    Status scanned = scanArchive(
        archive, ProductRecord::kSize,
        [&](const std::uint8_t* record, std::int64_t index) {
            codes.records = index + 1;
            codes.positions.try_emplace(importCodeKey(ProductView(record).text(P::Codice)), index + 1);
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
    preview.lengths_.reserve(rows * kFields);
    // The stored text comes from the cells, reformatted, plus the few characters of the defaults
    // ("0,00", "No"): reserved from what the file holds, not from the number of fields.
    preview.rows_.reserve(rows, std::min(rows * kFields * 12, table.textBytes() + rows * 16));
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

        std::string& text = preview.rows_.open();
        for (std::size_t f = 0; f < kFields; ++f) {
            const std::size_t begin = text.size();
            if (showUncut[f]) {
                // A cell that is no number is shown as the file has it, up to what a field length holds.
                std::size_t keep = std::min<std::size_t>(shown[f].size(), kMaxFieldBytes);
                while (keep < shown[f].size() && keep > 0 &&
                       (static_cast<unsigned char>(shown[f][keep]) & 0xC0) == 0x80) {
                    --keep;
                }
                text.append(shown[f], 0, keep);
            } else {
                record.view().appendText(static_cast<P::Field>(f), text);
            }
            preview.lengths_.push_back(static_cast<std::uint16_t>(text.size() - begin));
        }
        preview.rows_.close();

        const std::string key = importCodeKey(record.view().text(P::Codice));
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
    preview.rows_.shrinkToFit();
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
    std::size_t begin = 0;
    for (std::size_t f = 0; f < field; ++f) begin += lengths[f];
    return rows_[row].substr(begin, lengths[field]);
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

std::string problemText(const RowProblem& problem, const ImportPreview& preview, std::size_t row,
                        ArchiveDuplicates choice) {
    const auto field = static_cast<P::Field>(problem.field);
    const std::string shown(preview.text(row, field));
    switch (problem.kind) {
        case ProblemKind::Missing:
            for (const MandatoryField& m : kProductMandatory) {
                // The card's own words, without its "Attenzione: ".
                if (m.field == field) return capitalised(m.warning.substr(m.warning.find(':') + 2));
            }
            return {};
        case ProblemKind::NotNumber:
            return capitalised(formatted("%1 «%2» non è un numero: la riga non può essere importata.",
                                         importFieldSubject(field), shown));
        case ProblemKind::NumberTooLong:
            return capitalised(
                       formatted("%1 %2 supera la lunghezza massima del campo (", importFieldSubject(field), shown)) +
                   std::to_string(ProductRecord::Info::capacity(field)) +
                   (field == P::Giacenza ? " caratteri: da -999 a 9999 pezzi)." : " caratteri).") +
                   " La riga non può essere importata.";
        case ProblemKind::Cut:
            return formatted("Il testo di «%1» supera i ", importFieldName(field)) +
                   std::to_string(ProductRecord::Info::capacity(field)) + " caratteri del campo ed è stato tagliato.";
        case ProblemKind::Replaced:
            return formatted(
                "Il testo di «%1» contiene caratteri che l'archivio non può registrare, sostituiti da «?».",
                importFieldName(field));
        case ProblemKind::Rounded:
            return formatted("Il valore di «%1» è arrotondato a %2, come nella scheda.", importFieldName(field), shown);
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

bool ImportSession::rebuildPreview() {
    // The old preview goes first, so two are never held at once.
    preview.reset();
    preview = ImportPreview::tryBuild(table, options, codes);
    return preview.has_value();
}

}  // namespace scortavia
