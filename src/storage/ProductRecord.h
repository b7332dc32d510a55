#pragma once

#include "storage/FixedRecord.h"

namespace scortavia {

// One product card of "Magazzino.pro": 24 text fields, 2592 bytes.
struct ProductLayout {
    enum Field : std::size_t {
        Codice,
        Costo,
        Nome,
        Giacenza,
        Avviso,
        UM,
        Tipologia,
        Caratteristiche,
        Collocazione,
        Ditta,
        Agente,
        Recapito,
        Documento,
        Pagamento,
        DataSca,
        Note,
        Prezzo,
        Pagato,
        File01,
        File02,
        File03,
        Desc01,
        Desc02,
        Desc03,
        FieldCount
    };
    static constexpr std::array<std::size_t, FieldCount> kCapacities = {
        25, 12, 50, 4, 3, 120, 50, 250, 50, 50, 50, 30, 50, 50, 10, 250, 12, 2, 250, 250, 250, 250, 250, 250,
    };
};

using ProductRecord = FixedRecord<ProductLayout>;
using ProductView = RecordView<ProductLayout>;

static_assert(ProductRecord::kSize == 2592);
static_assert(ProductRecord::Info::offset(ProductLayout::Costo) == 26);
static_assert(ProductRecord::Info::offset(ProductLayout::Giacenza) == 90);
static_assert(ProductRecord::Info::offset(ProductLayout::UM) == 99);
static_assert(ProductRecord::Info::offset(ProductLayout::Caratteristiche) == 271);
static_assert(ProductRecord::Info::offset(ProductLayout::Recapito) == 675);
static_assert(ProductRecord::Info::offset(ProductLayout::DataSca) == 808);
static_assert(ProductRecord::Info::offset(ProductLayout::Prezzo) == 1070);
static_assert(ProductRecord::Info::offset(ProductLayout::Pagato) == 1083);
static_assert(ProductRecord::Info::offset(ProductLayout::File01) == 1086);
static_assert(ProductRecord::Info::offset(ProductLayout::Desc03) == 2341);

}  // namespace scortavia
