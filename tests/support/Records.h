#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "storage/ProductRecord.h"

namespace scortavia::test {

// A product with every mandatory field filled, distinguishable by its code.
inline ProductRecord product(const std::string& code, const std::string& name = "Prodotto") {
    ProductRecord r;
    r.setText(ProductRecord::Codice, code);
    r.setText(ProductRecord::Costo, "1,00");
    r.setText(ProductRecord::Nome, name);
    r.setText(ProductRecord::Giacenza, "0");
    r.setText(ProductRecord::Avviso, "0");
    r.setText(ProductRecord::UM, "Scatola");
    r.setText(ProductRecord::Tipologia, "Varie");
    r.setText(ProductRecord::Caratteristiche, "Nessuna");
    r.setText(ProductRecord::Prezzo, "2,00");
    r.setText(ProductRecord::Pagato, kFlagNo);
    return r;
}

// The bytes of an archive holding `records` one after the other.
template <class Record>
std::string archiveBytes(const std::vector<Record>& records) {
    std::string bytes;
    for (const auto& r : records) bytes.append(reinterpret_cast<const char*>(r.bytes().data()), r.bytes().size());
    return bytes;
}

}  // namespace scortavia::test
