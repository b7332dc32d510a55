#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scortavia {

// How one record layout lies in a server table: a column per field, in record order, each holding the
// field's text in UTF-8; the record's position; and, for a record whose bytes are not what its texts
// give back (padding left by another program, a byte no text can hold), the record's bytes as they are.
struct ServerLayout {
    std::string_view table;
    std::vector<std::string> columns;
    std::vector<std::size_t> capacities;
    std::size_t recordSize = 0;
};

// The layouts of the program's archives: product cards, movements, price-list pages (eight slots of
// five fields, the slot's letter ending each column's name).
const ServerLayout& productLayout();
const ServerLayout& movementLayout();
const ServerLayout& priceListLayout();

// One record as a row: the field texts, and the record's bytes when the texts do not give them back.
struct ServerRow {
    std::vector<std::string> texts;
    std::optional<std::string> exact;
};

ServerRow rowOf(const ServerLayout& layout, std::span<const std::uint8_t> record);

// The record a row stands for, written into `record` (one record long).
void recordOf(const ServerLayout& layout, const std::vector<std::string_view>& texts,
              const std::optional<std::string_view>& exact, std::span<std::uint8_t> record);

}  // namespace scortavia
