#pragma once

#include <cstdint>
#include <span>

#include "storage/CardProtocol.h"

namespace scortavia {

// A screen that receives a whole record of its archive: a card from a search or a list, or a
// product imported into a slot of a price-list page.
class RecordTarget {
public:
    virtual ~RecordTarget() = default;
    // Puts `record` on the screen as navigation does, as the record at `position` (1-based).
    virtual void showRecord(std::span<const std::uint8_t> record, CardPosition position) = 0;
};

}  // namespace scortavia
