#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "export/SpreadsheetExport.h"
#include "products/ImportFields.h"
#include "products/ProductCard.h"
#include "sheets/SheetRead.h"

namespace scortavia {
namespace {

using P = ProductLayout;

// ---- Headers ----

TEST(ImportHeaders, TheExportsOwnHeadersNameTheirFields) {
    for (const ExportColumn& column : exportDesign(ExportKind::Products).columns) {
        EXPECT_EQ(fieldForHeader(column.header), std::optional<P::Field>(static_cast<P::Field>(column.field)))
            << column.header;
        EXPECT_EQ(fieldForHeader(column.screenHeader), std::optional<P::Field>(static_cast<P::Field>(column.field)))
            << column.screenHeader;
    }
}

// The card's captions name their fields as they stand ("Avviso n.", "Pagato"), and every field has a name
// to be chosen by, the export's header where it has a column.
TEST(ImportHeaders, TheCardsCaptionsNameTheirFields) {
    for (std::size_t f = 0; f < kImportFieldCount; ++f) {
        const auto field = static_cast<P::Field>(f);
        EXPECT_EQ(fieldForHeader(productCaption(field)), std::optional<P::Field>(field)) << productCaption(field);
        EXPECT_FALSE(importFieldName(field).empty()) << f;
    }
    EXPECT_EQ(importFieldName(P::Codice), "Codice articolo");
    EXPECT_EQ(importFieldName(P::Avviso), "Avviso (pezzi rimasti)");
}

TEST(ImportHeaders, CaseAccentsBlanksAndTheLabelsColonAreIgnored) {
    const std::vector<std::pair<std::string, std::optional<P::Field>>> cases = {
        {"  PREZZO   di VENDITA: ", P::Prezzo},
        {"MODALITÀ DI PAGAMENTO", P::Pagamento},
        {"Modalita di pagamento", P::Pagamento},
        {"Avviso n.", P::Avviso},
        {"Categoria", P::Tipologia},
        {"codice_articolo", P::Codice},
        {"Colore", std::nullopt},
        {"", std::nullopt},
        {"File01", std::nullopt},
    };
    for (const auto& [header, field] : cases) EXPECT_EQ(fieldForHeader(header), field) << header;
}

TEST(ImportHeaders, AFieldNamedTwiceGoesToItsFirstColumn) {
    const SheetReading reading = readSheetBytes("Codice;Nome;Codice articolo;Colore\nA;B;C;D\n");
    ASSERT_TRUE(reading.table);
    bool matched = false;
    const ColumnMapping mapping = mappingFromHeaders(*reading.table, matched);
    EXPECT_TRUE(matched);
    EXPECT_EQ(mapping, (ColumnMapping{P::Codice, P::Nome, std::nullopt, std::nullopt}));

    const SheetReading data = readSheetBytes("A1;Vite\nA2;Dado\n");
    ASSERT_TRUE(data.table);
    mappingFromHeaders(*data.table, matched);
    EXPECT_FALSE(matched) << "a first row of data names no field";
}

}  // namespace
}  // namespace scortavia
