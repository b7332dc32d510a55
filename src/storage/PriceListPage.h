#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "storage/FixedRecord.h"

namespace scortavia {

// One product slot of a price-list page: five text fields, 462 bytes.
struct PriceListSlotLayout {
    enum Field : std::size_t { Codice, Nome, UM, Caratteristiche, Prezzo, FieldCount };
    static constexpr std::array<std::size_t, FieldCount> kCapacities = {25, 50, 120, 250, 12};
};

using PriceListSlotInfo = LayoutInfo<PriceListSlotLayout>;
static_assert(PriceListSlotInfo::kSize == 462);
static_assert(PriceListSlotInfo::offset(PriceListSlotLayout::Prezzo) == 449);

// A slot of a page buffer, lettered A to H.
class PriceListSlot final : public PriceListSlotLayout {
public:
    using Field = PriceListSlotLayout::Field;
    static constexpr std::size_t kSize = PriceListSlotInfo::kSize;

    explicit PriceListSlot(std::uint8_t* bytes) : bytes_(bytes) {}
    std::string text(Field f) const;
    void setText(Field f, std::string_view text);

private:
    std::uint8_t* bytes_;
};

// One page of a price list (".lis" archives): eight slots A to H, 3696 bytes, nothing else.
class PriceListPage final {
public:
    static constexpr int kSlots = 8;
    static constexpr std::size_t kSize = PriceListSlot::kSize * kSlots;

    PriceListPage() { bytes_.fill(0); }

    // Slot by index, 0 for A to 7 for H.
    PriceListSlot slot(int index);
    std::string text(int slotIndex, PriceListSlot::Field f) const;
    void setText(int slotIndex, PriceListSlot::Field f, std::string_view text) { slot(slotIndex).setText(f, text); }

    static char slotLetter(int index) { return static_cast<char>('A' + index); }

    std::span<std::uint8_t, kSize> bytes() { return bytes_; }
    std::span<const std::uint8_t, kSize> bytes() const { return bytes_; }

private:
    std::array<std::uint8_t, kSize> bytes_;
};

static_assert(PriceListPage::kSize == 3696);

}  // namespace scortavia
