#include <gtest/gtest.h>

#include "movements/MovementLists.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using M = MovementLayout;

// A goods-in year archive of the case's own; it exists only once the case writes it.
class MovementArchive : public testing::Test {
protected:
    test::TempFolder folder;
    const std::filesystem::path archive = folder.file("2024.odc");

    std::string withMovements(const std::vector<MovementRecord>& movements) const {
        std::string bytes = test::archiveBytes(movements);
        test::writeBytes(archive, bytes);
        return bytes;
    }
    // The code column of each row, in list order.
    static std::vector<std::string> codes(const RowList& rows) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < rows.size(); ++i) out.push_back(std::string(trimCode(rows[i])));
        return out;
    }
    static std::string_view trimCode(std::string_view row) {
        const std::string_view code = row.substr(row.find("Cod. ") + 5, 18);
        return code.substr(0, code.find_last_not_of(' ') + 1);
    }
};

struct SearchCase {
    const char* name;
    std::vector<std::pair<std::size_t, std::string>> typed;  // search field index, text as typed
    std::vector<std::string> listedCodes;                    // in list order
};

class MovementSearchRule : public MovementArchive, public testing::WithParamInterface<SearchCase> {};

TEST_P(MovementSearchRule, ListsTheMatchingMovementsInArchiveOrder) {
    // Deliberately not in code order: the search never sorts.
    withMovements({
        test::movement("Rossi S.r.l.", "Z9", {{M::Data, "12/03/2024"}, {M::CostoUni, "12,00"}, {M::NumDoc, "FT 118"}}),
        test::movement("F.lli ROSSI", "B2", {{M::Data, "02/04/2024"}, {M::CostoUni, "112,50"}, {M::NumDoc, "FT 7"}}),
        test::movement("Èrre", "A1", {{M::Data, "30/03/2024"}, {M::CostoUni, "3,12"}, {M::Note, "consegna"}}),
        test::movement("Bianchi", "C3", {{M::Data, "03/05/2024"}, {M::CostoUni, "7,00"}, {M::Note, "FT 118"}}),
    });
    MovementSearchTexts texts{};
    for (const auto& [i, t] : GetParam().typed) texts[i] = t;
    RowList rows;
    ASSERT_TRUE(fillMovementSearchList(archive, texts, rows).ok());
    EXPECT_EQ(codes(rows), GetParam().listedCodes);
}

// Field indexes: 0 document, 2 date, 7 unit value, 8 party, 9 notes.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, MovementSearchRule,
    testing::Values(SearchCase{"AllBlankListsEverything", {}, {"Z9", "B2", "A1", "C3"}},
                    SearchCase{"BlanksOnlyCountAsBlank", {{8, "  "}, {9, "\t"}}, {"Z9", "B2", "A1", "C3"}},
                    SearchCase{"DateSearchedAsText", {{2, "03/2024"}}, {"Z9", "A1"}},
                    SearchCase{"FoldsAToZ", {{8, "rossi"}}, {"Z9", "B2"}},
                    SearchCase{"AccentsAreNotFolded", {{8, "è"}}, {}},
                    SearchCase{"AccentedCapitalFindsItself", {{8, "Èr"}}, {"A1"}},
                    SearchCase{"TrailingBlankMustOccur", {{8, "rossi "}}, {"Z9"}},  // "F.lli ROSSI" ends there
                    SearchCase{"UnitValueDigitsAnywhere", {{7, "12"}}, {"Z9", "B2", "A1"}},
                    SearchCase{"EachBoxSearchesItsOwnField", {{0, "FT 118"}}, {"Z9"}},
                    SearchCase{"TwoFieldsMustBothMatch", {{8, "rossi"}, {2, "/04/"}}, {"B2"}}),
    [](const testing::TestParamInfo<SearchCase>& c) { return c.param.name; });
// clang-format on

TEST_F(MovementArchive, SearchOfAMissingArchiveCreatesItEmpty) {
    RowList rows;
    ASSERT_TRUE(fillMovementSearchList(archive, MovementSearchTexts{}, rows).ok());
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(std::filesystem::exists(archive));
}

TEST_F(MovementArchive, SearchOfAFolderFails) {
    std::filesystem::create_directory(archive);
    RowList rows;
    EXPECT_FALSE(fillMovementSearchList(archive, MovementSearchTexts{}, rows).ok());
}

TEST(MovementRow, ColumnsAreFittedAndTheTotalIsWhole) {
    const MovementRecord m = test::movement("Rossi", "COD-0123456789-ABCDEF",  // 21 characters: cut at 18
                                            {{M::Data, "07/03/2024"},
                                             {M::Quant, "12"},
                                             {M::Tipologia, "Ferramenta"},
                                             {M::Descrizione, "Viti autofilettanti in acciaio inox da 4 mm"},
                                             {M::CostoTot, "123456789012,50"}});
    EXPECT_EQ(movementRow(m.view()), "Data: 07/03/2024  Cod. COD-0123456789-ABC  Quant. 12          Tipo Ferramenta" +
                                         std::string(18, ' ') +
                                         "  Viti autofilettanti in acciaio inox d  Tot. € 123456789012,50");
}

TEST(MovementRow, ControlCharactersShowAsBlanks) {
    MovementRecord m = test::movement("Rossi", "A\tB");
    // Written by another tool: a line feed inside the description, a tab at the end of the total.
    std::string description = "riga uno\nriga due";
    m.bytes()[MovementRecord::Info::offset(M::Descrizione)] = static_cast<std::uint8_t>(description.size());
    std::copy(description.begin(), description.end(),
              m.bytes().begin() + MovementRecord::Info::offset(M::Descrizione) + 1);
    const std::string row = movementRow(m.view());
    EXPECT_EQ(row.find_first_of("\t\n\r"), std::string::npos) << row;
    EXPECT_NE(row.find("Cod. A B "), std::string::npos) << row;
    EXPECT_NE(row.find("  riga uno riga due "), std::string::npos) << row;
}

TEST_F(MovementArchive, OpenAccountsAreTheTickedCardsInArchiveOrder) {
    // Flags as another tool may have written them: only "Sì", trimmed, is still to be paid.
    MovementRecord padded = test::movement("E", "E5");
    const std::size_t flag = MovementRecord::Info::offset(M::DaSaldare);
    padded.bytes()[flag] = 2;
    padded.bytes()[flag + 1] = 'S';
    padded.bytes()[flag + 2] = 0xEC;
    withMovements({test::movement("A", "Z1", {{M::DaSaldare, kFlagYes}}), test::movement("B", "Z2"),
                   test::movement("C", "A3", {{M::DaSaldare, "sì"}}), test::movement("D", "B4", {{M::DaSaldare, ""}}),
                   test::movement("F", "A6", {{M::DaSaldare, "Si"}}), padded,
                   test::movement("G", "A0", {{M::DaSaldare, kFlagYes}})});
    RowList rows;
    ASSERT_TRUE(fillOpenAccountsList(archive, rows).ok());
    EXPECT_EQ(codes(rows), (std::vector<std::string>{"Z1", "E5", "A0"}));
}

TEST_F(MovementArchive, AFailedFillingKeepsNoStaleRows) {
    std::filesystem::create_directory(archive);
    RowList rows;
    rows.add("di prima");
    EXPECT_FALSE(fillOpenAccountsList(archive, rows).ok());
    EXPECT_TRUE(rows.empty());
}

TEST_F(MovementArchive, ARowFindsTheLastMovementGivingIt) {
    // Same row, different supplier and flag: the later record is the one found.
    withMovements({test::movement("Prima", "X1", {{M::DaSaldare, kFlagYes}}), test::movement("Altro", "Y2"),
                   test::movement("Seconda", "X1", {{M::DaSaldare, kFlagNo}})});
    const std::string row = movementRow(test::movement("?", "X1").view());
    const auto found = findMovementByRow(archive, "  " + row + " ");
    ASSERT_TRUE(found.ok());
    ASSERT_TRUE(found->has_value());
    EXPECT_EQ((*found)->position, 3);
    EXPECT_EQ(MovementView((*found)->bytes.data()).text(M::Fornitore), "Seconda");
    const auto none = findMovementByRow(archive, "Data: nessuna");
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->has_value());
}

}  // namespace
}  // namespace scortavia
