#pragma once

#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/FixedRecord.h"
#include "storage/MovementRecord.h"
#include "storage/ProductRecord.h"

namespace scortavia::test {

// Field texts to put into a record of any layout, e.g. {{ProductLayout::Nome, "Vite"}}.
template <class Record>
using Fields = std::initializer_list<std::pair<typename Record::Field, std::string_view>>;

// `base` with `fields` stored over it; every other field keeps what it held.
template <class Record>
Record withFields(Record base, Fields<Record> fields) {
    for (const auto& [field, text] : fields) base.setText(field, text);
    return base;
}

// A record holding `fields` and nothing else.
template <class Record>
Record record(Fields<Record> fields) {
    return withFields(Record(), fields);
}

// A product with every mandatory field filled, distinguishable by its code, with `fields` stored over it.
inline ProductRecord product(const std::string& code, const std::string& name = "Prodotto",
                             Fields<ProductRecord> fields = {}) {
    using P = ProductLayout;
    ProductRecord mandatory = record<ProductRecord>({{P::Codice, code},
                                                     {P::Costo, "1,00"},
                                                     {P::Nome, name},
                                                     {P::Giacenza, "0"},
                                                     {P::Avviso, "0"},
                                                     {P::UM, "Scatola"},
                                                     {P::Tipologia, "Varie"},
                                                     {P::Caratteristiche, "Nessuna"},
                                                     {P::Prezzo, "2,00"},
                                                     {P::Pagato, kFlagNo}});
    return withFields(std::move(mandatory), fields);
}

// A movement with every field a movement card cannot be saved without, told apart by its party and code,
// with `fields` stored over it.
inline MovementRecord movement(const std::string& party, const std::string& code, Fields<MovementRecord> fields = {}) {
    using M = MovementLayout;
    MovementRecord mandatory = record<MovementRecord>({{M::Fornitore, party},
                                                       {M::Data, "07/03/2024"},
                                                       {M::Codice, code},
                                                       {M::Tipologia, "Varie"},
                                                       {M::Descrizione, "Nessuna"},
                                                       {M::CostoUni, "1,00"},
                                                       {M::Quant, "1"},
                                                       {M::CostoTot, "1,00"},
                                                       {M::DaSaldare, kFlagNo}});
    return withFields(std::move(mandatory), fields);
}

// Products coded C1, C2, ... in archive order; all named "Prodotto", or `namePrefix` and their number.
inline std::vector<ProductRecord> numberedProducts(int count, const std::string& namePrefix = {}) {
    std::vector<ProductRecord> products;
    for (int i = 1; i <= count; ++i) {
        const std::string number = std::to_string(i);
        products.push_back(namePrefix.empty() ? product("C" + number) : product("C" + number, namePrefix + number));
    }
    return products;
}

// The bytes of an archive holding `records` one after the other.
template <class Record>
std::string archiveBytes(const std::vector<Record>& records) {
    std::string bytes;
    for (const auto& r : records) bytes.append(reinterpret_cast<const char*>(r.bytes().data()), r.bytes().size());
    return bytes;
}

// The record at `index` (from 0) of an archive's bytes; an empty one when the archive ends before it.
template <class Record>
Record recordAt(const std::string& archive, std::size_t index) {
    Record r;
    if (archive.size() >= (index + 1) * Record::kSize) {
        std::memcpy(r.bytes().data(), archive.data() + index * Record::kSize, Record::kSize);
    }
    return r;
}

}  // namespace scortavia::test
