#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "storage/AnsiField.h"

namespace scortavia {

// Flag texts of the paid / still-to-be-paid fields.
inline constexpr std::string_view kFlagYes = "Sì";
inline constexpr std::string_view kFlagNo = "No";

// Byte offsets of fields laid one after the other, each taking capacity + 1 bytes.
template <std::size_t N>
constexpr std::array<std::size_t, N + 1> fieldOffsets(const std::array<std::size_t, N>& capacities) {
    std::array<std::size_t, N + 1> offsets{};
    for (std::size_t i = 0; i < N; ++i) offsets[i + 1] = offsets[i] + capacities[i] + 1;
    return offsets;
}

// A layout names its fields (enum Field) and gives their capacities in record order;
// offsets and the record size follow from them.
template <class Layout>
struct LayoutInfo {
    static constexpr auto kOffsets = fieldOffsets(Layout::kCapacities);
    static constexpr std::size_t kSize = kOffsets.back();
    static constexpr std::size_t offset(typename Layout::Field f) { return kOffsets[f]; }
    static constexpr std::size_t capacity(typename Layout::Field f) { return Layout::kCapacities[f]; }
};

// Read-only view of one record inside a larger buffer (a scan block); nothing is copied.
template <class Layout>
class RecordView : public Layout {
public:
    using Info = LayoutInfo<Layout>;
    using Field = typename Layout::Field;
    static constexpr std::size_t kSize = Info::kSize;

    explicit RecordView(const std::uint8_t* bytes) : bytes_(bytes) {}

    std::string text(Field f) const { return readFieldText(bytes_ + Info::offset(f), Info::capacity(f)); }
    void appendText(Field f, std::string& out) const {
        appendFieldText(bytes_ + Info::offset(f), Info::capacity(f), out);
    }
    // The field as a list column of `width` characters (see appendFittedField).
    void appendFitted(Field f, std::size_t width, std::string& out) const {
        appendFittedField(bytes_ + Info::offset(f), Info::capacity(f), width, out);
    }
    std::string_view stored(Field f) const { return storedBytes(bytes_ + Info::offset(f), Info::capacity(f)); }
    const std::uint8_t* data() const { return bytes_; }

private:
    const std::uint8_t* bytes_;
};

// A record buffer of one layout, zero-filled (every field empty) when made.
template <class Layout>
class FixedRecord : public Layout {
public:
    using Info = LayoutInfo<Layout>;
    using Field = typename Layout::Field;
    static constexpr std::size_t kSize = Info::kSize;

    FixedRecord() { bytes_.fill(0); }

    AnsiField field(Field f) { return AnsiField(bytes_.data() + Info::offset(f), Info::capacity(f)); }
    std::string text(Field f) const { return view().text(f); }
    void setText(Field f, std::string_view text) { field(f).assignText(text); }
    RecordView<Layout> view() const { return RecordView<Layout>(bytes_.data()); }

    std::span<std::uint8_t, kSize> bytes() { return bytes_; }
    std::span<const std::uint8_t, kSize> bytes() const { return bytes_; }

private:
    std::array<std::uint8_t, kSize> bytes_;
};

}  // namespace scortavia
