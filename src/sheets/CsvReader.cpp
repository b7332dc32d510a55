#include "sheets/CsvReader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

#include "common/TextRules.h"

namespace scortavia {
namespace {

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

}  // namespace

CsvReading readCsv(std::string_view text, SheetTable& table) {
    std::size_t firstLine = 1;
    if (lowerAZ(text.substr(0, 4)) == "sep=" && text.size() > 4 && text[4] != '\r' && text[4] != '\n') {
        // Excel's own hint line names the delimiter and is no row of the sheet.
        table.delimiter = text[4];
        const std::size_t eol = text.find('\n');
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        firstLine = 2;
    } else {
        table.delimiter = detectDelimiter(text);
    }
    const CsvOutcome parsed = parseCsv(text, table.delimiter, firstLine, &table);
    return {parsed.problem, parsed.line};
}

}  // namespace scortavia
