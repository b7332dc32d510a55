#pragma once

#include "storage/FixedRecord.h"

namespace scortavia {

// One goods-in or goods-out movement of a year archive: 20 text fields, 2937 bytes.
// The two directions share the layout; only the file extension tells them apart.
struct MovementLayout {
    enum Field : std::size_t {
        Fornitore,
        Recapiti,
        NumDoc,
        DataDoc,
        Data,
        Codice,
        Tipologia,
        Marca,
        Descrizione,
        CostoUni,
        Quant,
        CostoTot,
        Note,
        DaSaldare,
        File01,
        File02,
        File03,
        Desc01,
        Desc02,
        Desc03,
        FieldCount
    };
    static constexpr std::array<std::size_t, FieldCount> kCapacities = {
        250, 50, 20, 10, 10, 30, 250, 250, 250, 15, 15, 15, 250, 2, 250, 250, 250, 250, 250, 250,
    };
};

using MovementRecord = FixedRecord<MovementLayout>;
using MovementView = RecordView<MovementLayout>;

static_assert(MovementRecord::kSize == 2937);
static_assert(MovementRecord::Info::offset(MovementLayout::NumDoc) == 302);
static_assert(MovementRecord::Info::offset(MovementLayout::Data) == 334);
static_assert(MovementRecord::Info::offset(MovementLayout::Codice) == 345);
static_assert(MovementRecord::Info::offset(MovementLayout::CostoUni) == 1129);
static_assert(MovementRecord::Info::offset(MovementLayout::CostoTot) == 1161);
static_assert(MovementRecord::Info::offset(MovementLayout::DaSaldare) == 1428);
static_assert(MovementRecord::Info::offset(MovementLayout::File01) == 1431);
static_assert(MovementRecord::Info::offset(MovementLayout::Desc03) == 2686);

}  // namespace scortavia
