#include "server/ServerRows.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "storage/AnsiField.h"
#include "storage/MovementRecord.h"
#include "storage/PriceListPage.h"
#include "storage/ProductRecord.h"
#include "storage/Windows1252.h"

namespace scortavia {
namespace {

template <class Layout>
ServerLayout layoutOf(std::string_view table, std::vector<std::string> columns) {
    ServerLayout layout{table, std::move(columns), {}, LayoutInfo<Layout>::kSize};
    layout.capacities.assign(Layout::kCapacities.begin(), Layout::kCapacities.end());
    return layout;
}

// A field's text as the texts column keeps it. A NUL byte inside a stored text cannot be a server
// text; it is left out here and the record keeps its exact bytes.
std::string fieldText(const std::uint8_t* field, std::size_t capacity) {
    std::string text = decodeWindows1252(storedBytes(field, capacity));
    std::erase(text, '\0');
    return text;
}

void writeField(std::string_view text, std::size_t capacity, std::uint8_t* field) {
    const std::string stored = encodeWindows1252(text);
    const std::size_t length = std::min({stored.size(), capacity, kAnsiFieldMaxCapacity});
    field[0] = static_cast<std::uint8_t>(length);
    std::copy_n(stored.data(), length, field + 1);
    std::fill_n(field + 1 + length, capacity - length, std::uint8_t{0});
}

}  // namespace

const ServerLayout& productLayout() {
    static const ServerLayout layout = layoutOf<ProductLayout>(
        "products",
        {"codice",       "costo",  "nome",   "giacenza", "avviso",    "um",        "tipologia", "caratteristiche",
         "collocazione", "ditta",  "agente", "recapito", "documento", "pagamento", "data_sca",  "note",
         "prezzo",       "pagato", "file01", "file02",   "file03",    "desc01",    "desc02",    "desc03"});
    return layout;
}

const ServerLayout& movementLayout() {
    static const ServerLayout layout = layoutOf<MovementLayout>(
        "movements", {"fornitore", "recapiti",    "num_doc",   "data_doc", "data",      "codice", "tipologia",
                      "marca",     "descrizione", "costo_uni", "quant",    "costo_tot", "note",   "da_saldare",
                      "file01",    "file02",      "file03",    "desc01",   "desc02",    "desc03"});
    return layout;
}

const ServerLayout& priceListLayout() {
    static const ServerLayout layout = [] {
        ServerLayout l{"price_list_pages", {}, {}, PriceListPage::kSize};
        constexpr std::array<std::string_view, PriceListSlotLayout::FieldCount> names = {"codice", "nome", "um",
                                                                                         "caratteristiche", "prezzo"};
        for (int slot = 0; slot < PriceListPage::kSlots; ++slot) {
            for (std::size_t f = 0; f < names.size(); ++f) {
                l.columns.push_back(std::string(names[f]) + "_" + static_cast<char>('a' + slot));
                l.capacities.push_back(PriceListSlotLayout::kCapacities[f]);
            }
        }
        return l;
    }();
    return layout;
}

ServerRow rowOf(const ServerLayout& layout, std::span<const std::uint8_t> record) {
    ServerRow row;
    row.texts.reserve(layout.capacities.size());
    std::size_t offset = 0;
    for (std::size_t capacity : layout.capacities) {
        row.texts.push_back(fieldText(record.data() + offset, capacity));
        offset += capacity + 1;
    }
    // The record is kept as texts only when they give back every byte of it.
    std::vector<std::uint8_t> again(record.size());
    std::vector<std::string_view> views(row.texts.begin(), row.texts.end());
    recordOf(layout, views, std::nullopt, again);
    if (!std::equal(again.begin(), again.end(), record.begin())) {
        row.exact.emplace(reinterpret_cast<const char*>(record.data()), record.size());
    }
    return row;
}

void recordOf(const ServerLayout& layout, const std::vector<std::string_view>& texts,
              const std::optional<std::string_view>& exact, std::span<std::uint8_t> record) {
    if (exact && exact->size() == record.size()) {
        std::memcpy(record.data(), exact->data(), record.size());
        return;
    }
    std::size_t offset = 0;
    for (std::size_t i = 0; i < layout.capacities.size(); ++i) {
        writeField(i < texts.size() ? texts[i] : std::string_view(), layout.capacities[i], record.data() + offset);
        offset += layout.capacities[i] + 1;
    }
}

}  // namespace scortavia
