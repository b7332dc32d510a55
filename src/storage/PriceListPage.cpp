#include "storage/PriceListPage.h"

#include <cassert>

namespace scortavia {

std::string PriceListSlot::text(Field f) const {
    return readFieldText(bytes_ + PriceListSlotInfo::offset(f), PriceListSlotInfo::capacity(f));
}

void PriceListSlot::setText(Field f, std::string_view text) {
    AnsiField(bytes_ + PriceListSlotInfo::offset(f), PriceListSlotInfo::capacity(f)).assignText(text);
}

PriceListSlot PriceListPage::slot(int index) {
    assert(index >= 0 && index < kSlots);
    return PriceListSlot(bytes_.data() + PriceListSlot::kSize * static_cast<std::size_t>(index));
}

std::string PriceListPage::text(int slotIndex, PriceListSlot::Field f) const {
    assert(slotIndex >= 0 && slotIndex < kSlots);
    const std::uint8_t* base = bytes_.data() + PriceListSlot::kSize * static_cast<std::size_t>(slotIndex);
    return readFieldText(base + PriceListSlotInfo::offset(f), PriceListSlotInfo::capacity(f));
}

}  // namespace scortavia
