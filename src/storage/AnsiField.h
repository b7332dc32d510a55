#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scortavia {

// Texts that fields may never exceed, whatever their capacity: the length is one byte.
inline constexpr std::size_t kAnsiFieldMaxCapacity = 255;

// A stored text field of capacity N inside a record: one length byte, then N bytes of
// Windows-1252 text. A view over bytes owned by a record buffer.
class AnsiField final {
public:
    AnsiField(std::uint8_t* bytes, std::size_t capacity) : bytes_(bytes), capacity_(capacity) {}

    // Stores `text` (UTF-8): blanks and control characters around it removed, encoded, cut to
    // 255 bytes and then to the capacity. Bytes after the text are zeroed.
    void assignText(std::string_view text);
    std::string readText() const;

    std::size_t capacity() const { return capacity_; }

private:
    std::uint8_t* bytes_;
    std::size_t capacity_;
};

// Read-only access to a stored field, for records handed out by a scan.
// A length byte larger than the capacity (a damaged file, another tool) reads as the capacity,
// so a field never reaches into its neighbour.
std::string_view storedBytes(const std::uint8_t* field, std::size_t capacity);

// Decoded, trimmed text of a stored field.
std::string readFieldText(const std::uint8_t* field, std::size_t capacity);

// Appends the decoded, trimmed text of a stored field to `out` (no temporary string).
void appendFieldText(const std::uint8_t* field, std::size_t capacity, std::string& out);

// Appends a list column straight from a stored field: the trimmed text padded with spaces and cut to
// exactly `width` characters (fitField's rule). A stored byte is one character, so the cut happens
// before decoding and only what shows is decoded.
void appendFittedField(const std::uint8_t* field, std::size_t capacity, std::size_t width, std::string& out);

}  // namespace scortavia
