#include <gtest/gtest.h>

#include <string>

#include "storage/MovementRecord.h"
#include "storage/PriceListPage.h"
#include "storage/ProductRecord.h"

namespace scortavia {
namespace {

struct Layout {
    std::size_t offset;
    std::size_t capacity;
};

template <class Record>
void expectLayout(const std::vector<Layout>& table) {
    ASSERT_EQ(table.size(), static_cast<std::size_t>(Record::FieldCount));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto f = static_cast<typename Record::Field>(i);
        EXPECT_EQ(Record::Info::offset(f), table[i].offset) << "field " << i;
        EXPECT_EQ(Record::Info::capacity(f), table[i].capacity) << "field " << i;
    }
}

TEST(RecordLayout, ProductFieldsSitAtTheirOffsets) {
    expectLayout<ProductRecord>({{0, 25},     {26, 12},    {39, 50},    {90, 4},     {95, 3},     {99, 120},
                                 {220, 50},   {271, 250},  {522, 50},   {573, 50},   {624, 50},   {675, 30},
                                 {706, 50},   {757, 50},   {808, 10},   {819, 250},  {1070, 12},  {1083, 2},
                                 {1086, 250}, {1337, 250}, {1588, 250}, {1839, 250}, {2090, 250}, {2341, 250}});
    EXPECT_EQ(ProductRecord::kSize, 2592u);
}

TEST(RecordLayout, MovementFieldsSitAtTheirOffsets) {
    expectLayout<MovementRecord>({{0, 250},    {251, 50},   {302, 20},   {323, 10},   {334, 10},
                                  {345, 30},   {376, 250},  {627, 250},  {878, 250},  {1129, 15},
                                  {1145, 15},  {1161, 15},  {1177, 250}, {1428, 2},   {1431, 250},
                                  {1682, 250}, {1933, 250}, {2184, 250}, {2435, 250}, {2686, 250}});
    EXPECT_EQ(MovementRecord::kSize, 2937u);
}

TEST(RecordLayout, ProductPaidFlagBytes) {
    ProductRecord r;
    r.setText(ProductRecord::Pagato, kFlagYes);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.bytes().data()) + 1083, 3), "\x02\x53\xEC");
    r.setText(ProductRecord::Pagato, kFlagNo);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.bytes().data()) + 1083, 3), "\x02\x4E\x6F");
    EXPECT_EQ(r.text(ProductRecord::Pagato), "No");
}

TEST(RecordLayout, MovementToBePaidFlagBytesAndFullSupplierName) {
    MovementRecord r;
    r.setText(MovementRecord::DaSaldare, kFlagYes);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.bytes().data()) + 1428, 3), "\x02\x53\xEC");
    const std::string name(250, 'F');
    r.setText(MovementRecord::Fornitore, "  " + name + " ");
    EXPECT_EQ(r.text(MovementRecord::Fornitore), name);
    EXPECT_EQ(r.bytes()[0], 250);
    EXPECT_EQ(r.text(MovementRecord::DaSaldare), "Sì");
}

TEST(RecordLayout, FieldsDoNotOverlap) {
    // Filling every field to its capacity must give back every text intact.
    ProductRecord r;
    for (std::size_t i = 0; i < ProductRecord::FieldCount; ++i) {
        const auto f = static_cast<ProductRecord::Field>(i);
        r.setText(f, std::string(ProductRecord::Info::capacity(f), static_cast<char>('A' + i % 26)));
    }
    for (std::size_t i = 0; i < ProductRecord::FieldCount; ++i) {
        const auto f = static_cast<ProductRecord::Field>(i);
        EXPECT_EQ(r.text(f), std::string(ProductRecord::Info::capacity(f), static_cast<char>('A' + i % 26)));
    }
}

TEST(RecordLayout, PriceListSlotsFollowEachOther) {
    PriceListPage page;
    for (int k = 0; k < PriceListPage::kSlots; ++k) {
        page.setText(k, PriceListSlot::Codice, std::string("COD-") + PriceListPage::slotLetter(k));
        page.setText(k, PriceListSlot::Prezzo, "0,00");
    }
    page.setText(4, PriceListSlot::Prezzo, "12,50");
    const auto* bytes = page.bytes().data();
    // clang-format off
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 2297, 6), "\x05" "12,50");  // slot E price
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 3683, 5), "\x04" "0,00");   // slot H price
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 462 * 2, 6), "\x05" "COD-C");
    // clang-format on
    EXPECT_EQ(page.text(7, PriceListSlot::Codice), "COD-H");
    EXPECT_EQ(PriceListSlotInfo::offset(PriceListSlot::Nome), 26u);
    EXPECT_EQ(PriceListSlotInfo::offset(PriceListSlot::UM), 77u);
    EXPECT_EQ(PriceListSlotInfo::offset(PriceListSlot::Caratteristiche), 198u);
}

TEST(RecordLayout, PriceListCodeKeepsItsFirst25Characters) {
    PriceListPage page;
    page.setText(0, PriceListSlot::Codice, "  " + std::string(30, '7'));
    EXPECT_EQ(page.text(0, PriceListSlot::Codice), std::string(25, '7'));
}

}  // namespace
}  // namespace scortavia
