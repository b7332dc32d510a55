#include "common/ListRows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <utility>

#include "common/TextRules.h"

namespace scortavia {

std::string fitField(std::string_view value, std::size_t width) {
    std::string out(value);
    fitTail(out, 0, width);
    return out;
}

void fitTail(std::string& row, std::size_t from, std::size_t width) {
    const std::string_view tail = std::string_view(row).substr(from);
    const std::string_view trimmed = trimBlanks(tail);
    if (trimmed.size() != tail.size()) {
        const auto end = static_cast<std::size_t>(trimmed.data() + trimmed.size() - row.data());
        const auto leading = static_cast<std::size_t>(trimmed.data() - tail.data());
        row.erase(end);
        row.erase(from, leading);
    }
    const std::string_view value = std::string_view(row).substr(from);
    const std::size_t length = countCharacters(value);
    if (length >= width) {
        row.resize(from + prefixBytes(value, width));
    } else {
        row.append(width - length, ' ');
    }
}

void addColumnHeading(ListHeadings& headings, std::string_view literal, std::size_t width, std::string_view heading) {
    const std::size_t start = headings.rowWidth + countCharacters(literal);
    headings.columns.push_back({start, heading});
    headings.rowWidth = start + (width == kWholeValue ? std::max(kWholeValueRoom, countCharacters(heading)) : width);
}

namespace {

// Code points of the Windows-1252 bytes 0x80-0x9F, as storage/Windows1252.cpp stores them (the core layer cannot
// use storage; a test checks that the two agree). The other bytes equal their code point.
constexpr std::array<char16_t, 32> kHighCodes = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Places in list order past the 256 codes of the code page.
constexpr std::uint32_t kBeyondCodePage = 0x100;    // + code point
constexpr std::uint32_t kNotACharacter = 0x200000;  // + byte

constexpr std::uint32_t foldedAscii(std::uint32_t byte) { return byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte; }

std::uint32_t codePagePlace(std::uint32_t cp) {
    if (cp >= 0xA0 && cp <= 0xFF) return cp;
    for (std::size_t i = 0; i < kHighCodes.size(); ++i) {
        if (kHighCodes[i] == cp) return static_cast<std::uint32_t>(0x80 + i);
    }
    return kBeyondCodePage + cp;
}

// The place in list order of the character at `i`, and moves `i` past it. Characters with the same place have the
// same length, so two texts can be walked in step.
std::uint32_t listPlace(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return foldedAscii(b0);
    }
    std::size_t length = 0;
    std::uint32_t cp = 0;
    std::uint32_t least = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1Fu, least = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0Fu, least = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07u, least = 0x10000;
    }
    bool valid = length != 0 && s.size() - i >= length;
    for (std::size_t k = 1; valid && k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        valid = (b & 0xC0) == 0x80;
        cp = (cp << 6) | (b & 0x3Fu);
    }
    if (!valid || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kNotACharacter + b0;
    }
    i += length;
    return codePagePlace(cp);
}

// Walks `a` and `b` in step from `i`, a character boundary of both, while their characters have the same place;
// returns where the walk stopped (at `limit` at the latest).
std::size_t samePlacesUntil(std::string_view a, std::string_view b, std::size_t i, std::size_t limit) {
    limit = std::min({limit, a.size(), b.size()});
    while (i < limit) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x < 0x80 && y < 0x80) {
            if (x != y && foldedAscii(x) != foldedAscii(y)) return i;
            ++i;
            continue;
        }
        std::size_t nextA = i;
        std::size_t nextB = i;
        if (listPlace(a, nextA) != listPlace(b, nextB)) return i;
        i = nextA;
    }
    return i;
}

// <0, 0 or >0 as `a` comes before, with or after `b` in list order; both agree up to `from`, a character boundary.
int compareFrom(std::string_view a, std::string_view b, std::size_t from) {
    std::size_t i = samePlacesUntil(a, b, from, std::string_view::npos);
    if (i == a.size() || i == b.size()) return (a.size() > i) - (b.size() > i);
    std::size_t j = i;
    const std::uint32_t x = listPlace(a, i);
    const std::uint32_t y = listPlace(b, j);
    return x < y ? -1 : 1;
}

// Sorting compares rows first by the places of their next eight characters packed in one integer (a missing
// character counts as 0), which orders most rows without reading them again. A place past 0xFF does not fit: it
// counts as 0xFF and ends the packing, as does 0xFF itself, so the packed order never contradicts the list order.
// Rows whose packed places agree are sorted the same way from where they start to differ, or compared in full when
// that gains nothing; row numbers break ties, so equal rows keep their order.
struct SortEntry {
    std::uint64_t prefix;
    std::uint32_t row;
};

constexpr std::size_t kFewRows = 16;  // fewer rows than this are compared in full

std::uint64_t packedPrefix(std::string_view row, std::size_t i) {
    std::uint64_t packed = 0;
    int taken = 0;
    while (taken < 8 && i < row.size()) {
        const auto b = static_cast<unsigned char>(row[i]);
        std::uint32_t place = 0;
        if (b < 0x80) {
            place = foldedAscii(b);
            ++i;
        } else {
            place = std::min<std::uint32_t>(listPlace(row, i), 0xFF);
        }
        packed = (packed << 8) | place;
        ++taken;
        if (place == 0xFF) break;
    }
    return taken == 0 ? 0 : packed << (8 * (8 - taken));
}

constexpr std::size_t kManyRows = 2048;  // from this many rows the prefixes are sorted by their bytes

// Sorts the entries, given in row order, by prefix and then by row. A long run is sorted byte by byte from the last,
// which keeps the row order of equal prefixes; bytes that every prefix shares are skipped.
void sortByPrefix(std::span<SortEntry> run) {
    if (run.size() < kManyRows) {
        std::sort(run.begin(), run.end(), [](const SortEntry& a, const SortEntry& b) {
            return a.prefix != b.prefix ? a.prefix < b.prefix : a.row < b.row;
        });
        return;
    }
    std::array<std::array<std::size_t, 256>, 8> counts{};
    for (const SortEntry& e : run) {
        for (std::size_t b = 0; b < 8; ++b) ++counts[b][(e.prefix >> (8 * b)) & 0xFF];
    }
    std::vector<SortEntry> spare(run.size());
    std::span<SortEntry> from = run;
    std::span<SortEntry> to = spare;
    for (std::size_t b = 0; b < 8; ++b) {
        std::array<std::size_t, 256>& count = counts[b];
        if (count[(run.front().prefix >> (8 * b)) & 0xFF] == run.size()) continue;
        std::size_t start = 0;
        for (std::size_t& c : count) start += std::exchange(c, start);
        for (const SortEntry& e : from) to[count[(e.prefix >> (8 * b)) & 0xFF]++] = e;
        std::swap(from, to);
    }
    if (from.data() != run.data()) std::copy(from.begin(), from.end(), run.begin());
}

// Sorts `run`, whose rows agree up to `from`; `packedAt` is where its prefixes were taken last (npos for none).
template <class RowAt>
void sortRun(std::span<SortEntry> run, std::size_t from, std::size_t packedAt, const RowAt& rowAt) {
    if (run.size() < 2) return;
    // One pass finds how far all rows agree and packs each row's prefix from where they agreed so far, since
    // reading the rows is what costs; only the rows before the last narrowing are packed again.
    const std::string_view first = rowAt(run.front().row);
    std::size_t shared = first.size();
    std::size_t packAgain = 1;
    bool sameLength = true;
    for (std::size_t k = 1; k < run.size(); ++k) {
        const std::string_view row = rowAt(run[k].row);
        const std::size_t agreed = samePlacesUntil(first, row, from, shared);
        if (agreed < shared) {
            shared = agreed;
            packAgain = k;
        }
        sameLength = sameLength && row.size() == first.size();
        run[k].prefix = packedPrefix(row, shared);
    }
    if (shared == first.size() && sameLength) return;  // all equal, already in row order

    if (run.size() < kFewRows || shared == packedAt) {
        std::sort(run.begin(), run.end(), [&](const SortEntry& a, const SortEntry& b) {
            const int c = compareFrom(rowAt(a.row), rowAt(b.row), shared);
            return c != 0 ? c < 0 : a.row < b.row;
        });
        return;
    }
    for (std::size_t k = 0; k < packAgain; ++k) run[k].prefix = packedPrefix(rowAt(run[k].row), shared);
    sortByPrefix(run);
    for (auto group = run.begin(); group != run.end();) {
        const auto groupEnd =
            std::find_if(group, run.end(), [&](const SortEntry& e) { return e.prefix != group->prefix; });
        sortRun(std::span<SortEntry>(group, groupEnd), shared, shared, rowAt);
        group = groupEnd;
    }
}

// The list order of `count` rows: the row number at each place.
template <class RowAt>
std::vector<std::uint32_t> listOrder(std::size_t count, const RowAt& rowAt) {
    std::vector<SortEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i) entries[i] = {0, static_cast<std::uint32_t>(i)};
    sortRun(std::span<SortEntry>(entries), 0, std::string_view::npos, rowAt);
    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = entries[i].row;
    return order;
}

}  // namespace

void blankControls(std::string& row, std::size_t from) {
    // Bytes below 0x20 never occur inside a UTF-8 sequence. Every row of every list goes through here and
    // almost none holds such a byte, so eight bytes are checked at a time.
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    auto blank = [](char& c) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    };
    char* p = row.data() + from;
    char* const end = row.data() + row.size();
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        // Nonzero exactly when some byte of the word is below 0x20.
        if (((word - kOnes * 0x20) & ~word & kHighBits) == 0) continue;
        std::for_each(p, p + 8, blank);
    }
    std::for_each(p, end, blank);
}

bool listOrderLess(std::string_view a, std::string_view b) { return compareFrom(a, b, 0) < 0; }

void sortListRows(std::vector<std::string>& rows) {
    const std::vector<std::uint32_t> order =
        listOrder(rows.size(), [&](std::uint32_t i) { return std::string_view(rows[i]); });
    std::vector<std::string> sorted;
    sorted.reserve(rows.size());
    for (std::uint32_t i : order) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

namespace {

template <class Rows>
FindResult findRow(const Rows& rows, std::optional<std::size_t> selected, std::string_view findText,
                   std::string_view previousFindText) {
    if (rows.empty()) return {FindOutcome::EmptyList, selected, std::string(previousFindText)};

    const std::size_t count = rows.size();
    const std::size_t current = (selected && *selected < count) ? *selected : 0;
    std::string text = lowerAZ(findText);

    // A new text tests row 0 first; the same text again moves past the current row and ends by testing it.
    const std::size_t first = (text != previousFindText) ? 0 : (current + 1) % count;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t row = (first + step) % count;
        if (containsFoldedAZ(rows[row], text)) return {FindOutcome::Found, row, std::move(text)};
    }
    return {FindOutcome::NotFound, current, std::move(text)};
}

}  // namespace

FindResult findInList(std::span<const std::string> rows, std::optional<std::size_t> selected, std::string_view findText,
                      std::string_view previousFindText) {
    return findRow(rows, selected, findText, previousFindText);
}

FindResult findInList(const RowList& rows, std::optional<std::size_t> selected, std::string_view findText,
                      std::string_view previousFindText) {
    return findRow(rows, selected, findText, previousFindText);
}

RowList& RowList::operator=(RowList&& other) noexcept {
    if (this != &other) {
        release();
        rows_.swap(other.rows_);
        order_.swap(other.order_);
    }
    return *this;
}

void RowList::reserve(std::size_t rows, std::size_t bytesPerRow) { rows_.reserve(rows, rows * bytesPerRow); }

void RowList::clear() {
    rows_.clear();
    order_.clear();
}

void RowList::release() {
    rows_.release();
    std::vector<std::uint32_t>().swap(order_);
}

std::string& RowList::startRow() { return rows_.open(); }

void RowList::endRow() {
    // A row added after sorting goes to the end of the list.
    if (!order_.empty()) order_.push_back(static_cast<std::uint32_t>(rows_.size()));
    rows_.close();
}

void RowList::add(std::string_view row) {
    rows_.open().append(row);
    endRow();
}

std::string_view RowList::row(std::size_t index) const { return rows_[order_.empty() ? index : order_[index]]; }

std::vector<std::string> RowList::toVector() const {
    std::vector<std::string> rows;
    rows.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) rows.emplace_back(row(i));
    return rows;
}

void RowList::sort() {
    // Only the order is kept: the text stays where it was written, so sorting copies no row.
    std::vector<std::uint32_t> order = listOrder(size(), [this](std::uint32_t i) { return row(i); });
    if (!order_.empty()) {
        for (std::uint32_t& i : order) i = order_[i];
    }
    order_ = std::move(order);
}

}  // namespace scortavia
