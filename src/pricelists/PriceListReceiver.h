#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "ui/HandOver.h"

namespace scortavia {

// The key the opening screen hands the chosen list to the editor under.
inline constexpr std::string_view kPriceListEditorKey = "listino";

// A name as the price-list screens show it and as its bytes name the file on disk (see showFileOnLabel).
struct ShownFileName {
    QString shown;
    std::string bytes;
};

// The price-list editor, given the list chosen on the opening screen: its archive and its name.
class PriceListReceiver {
public:
    virtual ~PriceListReceiver() = default;
    virtual void openPriceList(const ShownFileName& archive, const ShownFileName& name) = 0;
};

template <>
struct HandOverReceiver<HandOver::PriceListOpen> {
    using type = PriceListReceiver;
};

}  // namespace scortavia
