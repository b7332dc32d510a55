#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "movements/MovementCard.h"

namespace scortavia {
namespace {

using M = MovementLayout;

MovementTexts filled() {
    MovementTexts t{};
    for (std::size_t i = 0; i < M::FieldCount; ++i) t[i] = "Campo " + std::to_string(i);
    t[M::Data] = "15/03/2026";
    t[M::CostoUni] = "2,50";
    t[M::DaSaldare] = "Sì";
    return t;
}

TEST(MovementCardRecord, EveryFieldSurvivesARecordInItsPlace) {
    const MovementTexts texts = filled();
    const MovementRecord record = movementRecordFrom(texts);
    EXPECT_EQ(movementTextsOf(record.view()), texts);
    // Stored in Windows-1252 where the layout puts each field: a mistake made both ways (two fields swapped,
    // UTF-8 in and out) would still round-trip.
    for (std::size_t i = 0; i < M::FieldCount; ++i) {
        const auto f = static_cast<M::Field>(i);
        EXPECT_EQ(record.view().stored(f), texts[i] == "Sì" ? std::string("S\xEC") : texts[i]) << "field " << i;
    }
}

TEST(MovementCardRecord, FlagIsStoredInWindows1252AtItsOffset) {
    for (const auto& [flag, bytes] : std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
             {"Sì", {0x02, 0x53, 0xEC}}, {"No", {0x02, 0x4E, 0x6F}}}) {
        MovementTexts t = filled();
        t[M::DaSaldare] = flag;
        const MovementRecord record = movementRecordFrom(t);
        const auto stored = record.bytes().subspan(1428, 3);
        EXPECT_EQ(std::vector<std::uint8_t>(stored.begin(), stored.end()), bytes) << flag;
        EXPECT_EQ(movementTextsOf(record.view())[M::DaSaldare], flag);
    }
}

TEST(MovementCardRecord, TextsAreTrimmedAndCutToTheirField) {
    MovementTexts t{};
    const std::string supplier(250, 'F');
    t[M::Fornitore] = supplier + "eccedenza";
    t[M::Recapiti] = "  \t 0123 456789  ";
    t[M::Codice] = "VT-0042 ";
    const MovementRecord record = movementRecordFrom(t);
    const MovementTexts back = movementTextsOf(record.view());
    EXPECT_EQ(back[M::Fornitore], supplier);
    EXPECT_EQ(record.bytes()[0], 250);
    EXPECT_EQ(record.bytes()[251], 11) << "the cut never reaches the next field's length byte";
    EXPECT_EQ(back[M::Recapiti], "0123 456789");
    EXPECT_EQ(back[M::Codice], "VT-0042");

    t[M::Fornitore] = supplier;
    EXPECT_EQ(movementTextsOf(movementRecordFrom(t).view())[M::Fornitore], supplier) << "exactly 250 fits whole";
}

TEST(MovementCardMandatory, CheckedInOrderWithTheDirectionsOwnWarnings) {
    for (const MovementDirection* d : {&kGoodsIn, &kGoodsOut}) {
        const auto m = movementMandatory(*d);
        const std::vector<M::Field> fields = {m[0].field, m[1].field, m[2].field, m[3].field, m[4].field};
        EXPECT_EQ(fields, (std::vector<M::Field>{M::Fornitore, M::Data, M::Codice, M::Tipologia, M::Descrizione}));
        EXPECT_EQ(m[0].warning, d->partyMissing);
        EXPECT_EQ(m[1].warning, d->dateMissing);
        EXPECT_EQ(m[2].warning, "Attenzione: per salvare la scheda è necessario indicare il codice articolo.");
        EXPECT_EQ(m[3].warning, "Attenzione: per salvare la scheda è necessario indicare la tipologia di merce.");
        EXPECT_EQ(m[4].warning,
                  "Attenzione: per salvare la scheda è necessario indicare la descrizione dell'articolo.");
    }
    EXPECT_NE(movementMandatory(kGoodsIn)[0].warning, movementMandatory(kGoodsOut)[0].warning);
    EXPECT_NE(movementMandatory(kGoodsIn)[1].warning, movementMandatory(kGoodsOut)[1].warning);
}

struct TotalCase {
    const char* name;
    const char* unit;
    const char* quantity;
    MovementTotal expected;
};

class MovementCardTotal : public testing::TestWithParam<TotalCase> {};

TEST_P(MovementCardTotal, Calcola) {
    const auto& c = GetParam();
    const MovementTotal t = computeMovementTotal(c.unit, c.quantity);
    EXPECT_EQ(t.unit, c.expected.unit);
    EXPECT_EQ(t.quantity, c.expected.quantity);
    EXPECT_EQ(t.total, c.expected.total);
    EXPECT_EQ(t.fits, c.expected.fits);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, MovementCardTotal,
    testing::Values(TotalCase{"Plain", "2,50", "3", {"2,50", "3", "7,50"}},
                    // 3.4499999999999997 as a double: the general format's 15 digits give 3,45 before rounding.
                    TotalCase{"DoubleJustBelowTheHalf", "1,15", "3", {"1,15", "3", "3,45"}},
                    TotalCase{"RoundsUp", "0,333", "3", {"0,333", "3", "1,00"}},
                    TotalCase{"MoreDecimals", "12,3456", "2", {"12,3456", "2", "24,69"}},
                    TotalCase{"BlanksCountAsZero", " ", "", {"0,00", "0", "0,00"}},
                    TotalCase{"TypedTextKeptAsTyped", " 4 ", "2,0", {" 4 ", "2,0", "8,00"}},
                    TotalCase{"NegativeQuantity", "2,50", "-2", {"2,50", "-2", "-5,00"}},
                    TotalCase{"Large", "123456789,99", "12345", {"123456789,99", "12345", "1524074072426,55", false}},
                    // The total box holds 15 characters, comma, decimals and sign included.
                    TotalCase{"Length14", "12345678901", "1", {"12345678901", "1", "12345678901,00", true}},
                    TotalCase{"Length15", "123456789012", "1", {"123456789012", "1", "123456789012,00", true}},
                    TotalCase{"Length16", "1234567890123", "1", {"1234567890123", "1", "1234567890123,00", false}},
                    TotalCase{"CutToTheBoxWouldReadAsAnotherNumber", "99999999", "99999999",
                              {"99999999", "99999999", "9999999800000000,00", false}},
                    // 999999999999,9999 exactly: rounding carries into a thirteenth digit.
                    TotalCase{"RoundingAddsADigit", "594177064,7653", "1683",
                              {"594177064,7653", "1683", "1000000000000,00", false}},
                    TotalCase{"JustBelowTheCarry", "9999999999,9999", "100",
                              {"9999999999,9999", "100", "999999999999,99", true}},
                    TotalCase{"NegativeLength15", "-99999999999,99", "1",
                              {"-99999999999,99", "1", "-99999999999,99", true}},
                    TotalCase{"NegativeLength16", "99999999999,99", "-10",
                              {"99999999999,99", "-10", "-999999999999,90", false}},
                    TotalCase{"UnreadableUnitResetsAll", "1,2,3", "3", {"0,00", "0", "0,00"}},
                    TotalCase{"UnreadableQuantityResetsAll", "5", "abc", {"0,00", "0", "0,00"}},
                    TotalCase{"PointIsNotADecimalSeparator", "2.50", "3", {"0,00", "0", "0,00"}}),
    [](const testing::TestParamInfo<TotalCase>& c) { return c.param.name; });
// clang-format on

}  // namespace
}  // namespace scortavia
