#include "common/ListRows.h"

#include <algorithm>

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

bool listOrderLess(std::string_view a, std::string_view b) {
    // Lists can hold 100,000 rows sharing long prefixes: fold on the fly, and only where the bytes differ.
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) continue;
        const auto x = static_cast<unsigned char>(foldUpperAZ(a[i]));
        const auto y = static_cast<unsigned char>(foldUpperAZ(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

void sortListRows(std::vector<std::string>& rows) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const std::string& a, const std::string& b) { return listOrderLess(a, b); });
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

void RowList::reserve(std::size_t rows, std::size_t bytesPerRow) {
    ends_.reserve(rows);
    text_.reserve(rows * bytesPerRow);
}

void RowList::clear() {
    text_.clear();
    ends_.clear();
}

std::string& RowList::startRow() { return text_; }

void RowList::endRow() { ends_.push_back(text_.size()); }

void RowList::add(std::string_view row) {
    text_.append(row);
    endRow();
}

std::string_view RowList::row(std::size_t index) const {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
}

std::vector<std::string> RowList::toVector() const {
    std::vector<std::string> rows;
    rows.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) rows.emplace_back(row(i));
    return rows;
}

void RowList::sort() {
    std::vector<std::size_t> order(size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return listOrderLess(row(a), row(b)); });
    RowList sorted;
    sorted.reserve(size(), size() ? text_.size() / size() + 1 : 0);
    for (std::size_t i : order) sorted.add(row(i));
    *this = std::move(sorted);
}

}  // namespace scortavia
