#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/PackedTexts.h"

// Rows of the fixed-width lists (search results, watch lists, pickers, summaries) and their find box.
namespace scortavia {

// Column rule of every fixed-width list row: the value trimmed of blanks, padded on the right with spaces and cut
// to exactly `width` characters (UTF-8 code points, not bytes: "è" and "€" count as one).
std::string fitField(std::string_view value, std::size_t width);

// The same rule applied in place to the text from byte `from` to the end of `row`, so rows can be
// built by appending each value straight from its record field.
void fitTail(std::string& row, std::size_t from, std::size_t width);

// One column of a fixed-width list row: the literal written before the value, the record field the value comes
// from, the value's width in characters (kWholeValue: trimmed and never cut, for the last column) and the heading
// shown above the list where the value starts. A row format is a table of these, read both by the row builder and
// by the list's headings, so the headings cannot drift from the rows.
inline constexpr std::size_t kWholeValue = 0;

template <class Field>
struct RowColumn {
    std::string_view literal;
    Field field;
    std::size_t width;
    std::string_view heading;
};

// The fields a list reads: those of its row columns (a column of no field, FieldCount, reads none) and
// those its rule looks at, each once and in record order, so that a server sends no more.
template <class Columns, class Field>
std::vector<std::size_t> fieldsOfList(const Columns& columns, std::span<const Field> rule) {
    std::vector<std::size_t> fields(rule.begin(), rule.end());
    for (const auto& column : columns) {
        if (static_cast<std::size_t>(column.field) < static_cast<std::size_t>(Field::FieldCount))
            fields.push_back(column.field);
    }
    std::sort(fields.begin(), fields.end());
    fields.erase(std::unique(fields.begin(), fields.end()), fields.end());
    return fields;
}

template <const auto& Columns, std::size_t I, class View>
void appendColumn(std::string& row, const View& record) {
    constexpr auto& column = Columns[I];
    if constexpr (!column.literal.empty()) row += column.literal;
    if constexpr (column.width == kWholeValue) {
        record.appendText(column.field, row);
    } else {
        record.appendFitted(column.field, column.width, row);
    }
}

// Appends the first `Count` columns of the table `Columns` (all of them by default) from a record (a RecordView):
// each literal, then its value fitted to the column's width, or whole. Unrolled at compile time, so a row costs
// what writing out its columns by hand would: the lists build a row for every record of an archive.
template <const auto& Columns, std::size_t Count = std::tuple_size_v<std::remove_cvref_t<decltype(Columns)>>,
          class View>
void appendColumns(std::string& row, const View& record) {
    [&]<std::size_t... I>(std::index_sequence<I...>) { (appendColumn<Columns, I>(row, record), ...); }
    (std::make_index_sequence<Count>{});
}

// A list's column heading and the character of every row at which its column's value starts.
struct ColumnHeading {
    std::size_t offset;
    std::string_view text;
};

// Room given to a whole last value (a sum of money) when a list is made wide enough to show its rows.
inline constexpr std::size_t kWholeValueRoom = 12;

struct ListHeadings {
    std::vector<ColumnHeading> columns;
    std::size_t rowWidth = 0;  // characters of a row, its whole value counted as kWholeValueRoom
};

// Adds a column after those already in `headings`.
void addColumnHeading(ListHeadings& headings, std::string_view literal, std::size_t width, std::string_view heading);

// The headings of a row format.
template <class Columns>
ListHeadings listHeadings(const Columns& columns) {
    ListHeadings headings;
    for (const auto& column : columns) addColumnHeading(headings, column.literal, column.width, column.heading);
    return headings;
}

// Control characters (tab, line feed...) that another tool may have stored inside a field become blanks
// from byte `from` to the end of `row`, so a row never spans two lines on screen or on paper.
void blankControls(std::string& row, std::size_t from);

// Order of every list: character by character after turning a-z into A-Z (nothing else changes), then by the
// character's Windows-1252 code, the code it is stored with in the archives ("€" 0x80 before "À" 0xC0); a prefix
// comes first. A character the code page cannot hold (never in rows built from records: it was stored as "?") comes
// after every one it can, by code point; a byte that starts no UTF-8 character comes after those, by value.
bool listOrderLess(std::string_view a, std::string_view b);

// Sorts rows in list order; rows that compare equal keep their original (archive) order.
void sortListRows(std::vector<std::string>& rows);

// The rows of one list, held in a single text buffer so that 100,000 rows cost a handful of
// allocations. A row is appended in place (startRow, append to text(), endRow) by the row builders.
class RowList final {
public:
    RowList() = default;
    RowList(const RowList&) = default;
    RowList(RowList&&) noexcept = default;
    RowList& operator=(const RowList&) = default;
    // Gives this list's buffers back before taking the other's (a plain string move would keep them when the
    // other list is empty).
    RowList& operator=(RowList&& other) noexcept;
    ~RowList() = default;

    void reserve(std::size_t rows, std::size_t bytesPerRow);
    // Empties the list and keeps its buffers, so filling it again costs no new memory.
    void clear();
    // Empties the list and gives its buffers back: a list of 100,000 rows holds megabytes.
    void release();

    std::string& startRow();  // the buffer to append the new row's text to
    void endRow();
    void add(std::string_view row);

    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    std::string_view row(std::size_t index) const;
    std::string_view operator[](std::size_t index) const { return row(index); }
    std::vector<std::string> toVector() const;

    // Puts the rows in list order; equal rows keep their order.
    void sort();

private:
    PackedTexts<std::size_t> rows_;     // in the order they were added
    std::vector<std::uint32_t> order_;  // after sort(): the added row at each place of the list; empty before
};

enum class FindOutcome { EmptyList, Found, NotFound };

struct FindResult {
    FindOutcome outcome;
    std::optional<std::size_t> selected;  // the selection after the find
    std::string memory;                   // the find text to remember for the next press
};

// The "Trova" button of the list screens. On an empty list nothing changes. Otherwise the first row is selected
// when none is (an index past the end counts as none); a find text that differs from previousFindText searches
// from row 0, the same text searches from the row after the selection, wrapping once around the list. Matching is
// a substring test with only A-Z folded; an empty find text matches nothing. When nothing matches the selection
// stays. memory is the lower-cased find text, to be passed back as previousFindText on the next press.
FindResult findInList(std::span<const std::string> rows, std::optional<std::size_t> selected, std::string_view findText,
                      std::string_view previousFindText);
FindResult findInList(const RowList& rows, std::optional<std::size_t> selected, std::string_view findText,
                      std::string_view previousFindText);

}  // namespace scortavia
