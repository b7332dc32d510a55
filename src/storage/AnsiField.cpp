#include "storage/AnsiField.h"

#include <algorithm>
#include <cstring>

#include "common/TextRules.h"
#include "storage/Windows1252.h"

namespace scortavia {

void AnsiField::assignText(std::string_view text) {
    std::string encoded = encodeWindows1252(trimBlanks(text));
    const std::size_t length = std::min({encoded.size(), kAnsiFieldMaxCapacity, capacity_});
    bytes_[0] = static_cast<std::uint8_t>(length);
    std::memcpy(bytes_ + 1, encoded.data(), length);
    std::memset(bytes_ + 1 + length, 0, capacity_ - length);
}

std::string AnsiField::readText() const { return readFieldText(bytes_, capacity_); }

std::string_view storedBytes(const std::uint8_t* field, std::size_t capacity) {
    const std::size_t length = std::min<std::size_t>(field[0], capacity);
    return {reinterpret_cast<const char*>(field + 1), length};
}

void appendFieldText(const std::uint8_t* field, std::size_t capacity, std::string& out) {
    // Bytes up to 0x20 decode to themselves, so trimming before decoding is the same as after.
    appendDecodedWindows1252(trimBlanks(storedBytes(field, capacity)), out);
}

void appendFittedField(const std::uint8_t* field, std::size_t capacity, std::size_t width, std::string& out) {
    const std::string_view text = trimBlanks(storedBytes(field, capacity)).substr(0, width);
    appendDecodedWindows1252(text, out);
    out.append(width - text.size(), ' ');
}

std::string readFieldText(const std::uint8_t* field, std::size_t capacity) {
    std::string out;
    appendFieldText(field, capacity, out);
    return out;
}

}  // namespace scortavia
