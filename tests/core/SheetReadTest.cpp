#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "export/SpreadsheetExport.h"
#include "sheets/SheetRead.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows cellsOf(const SheetTable& table) {
    Rows rows;
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        rows.emplace_back();
        for (std::size_t c = 0; c < table.cellCount(r); ++c) rows.back().emplace_back(table.cell(r, c));
    }
    return rows;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    Rows rows;
    char delimiter;
    SheetEncoding encoding;
};

std::ostream& operator<<(std::ostream& out, const ReadCase& c) { return out << c.name; }

class CsvReading : public testing::TestWithParam<ReadCase> {};

TEST_P(CsvReading, GivesTheCellsASpreadsheetProgramShows) {
    const ReadCase& c = GetParam();
    const SheetReading reading = readSheetBytes(c.bytes);
    ASSERT_EQ(reading.problem, SheetProblem::None) << sheetProblemText(reading.problem, reading.line);
    ASSERT_TRUE(reading.table);
    EXPECT_EQ(reading.table->format, SheetFormat::Csv);
    EXPECT_EQ(reading.table->delimiter, c.delimiter);
    EXPECT_EQ(reading.table->encoding, c.encoding);
    EXPECT_EQ(cellsOf(*reading.table), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CsvReading,
    testing::Values(
        ReadCase{"Semicolon", "Codice;Nome\nA1;Vite\n", {{"Codice", "Nome"}, {"A1", "Vite"}}, ';', SheetEncoding::Utf8},
        ReadCase{"Comma",
                 "Codice,Nome\r\nA1,\"Vite; dado\"\r\n",
                 {{"Codice", "Nome"}, {"A1", "Vite; dado"}},
                 ',',
                 SheetEncoding::Utf8},
        ReadCase{
            "Tab", "Codice\tCosto\nA1\t12,50\n", {{"Codice", "Costo"}, {"A1", "12,50"}}, '\t', SheetEncoding::Utf8},
        // Commas inside the Italian numbers must not win over the semicolon that splits every line.
        ReadCase{"SemicolonWithDecimalCommas",
                 "Codice;Costo;Prezzo\nA1;1,50;2,50\nA2;3,00;4,00\n",
                 {{"Codice", "Costo", "Prezzo"}, {"A1", "1,50", "2,50"}, {"A2", "3,00", "4,00"}},
                 ';',
                 SheetEncoding::Utf8},
        ReadCase{"QuotedDelimiterQuoteAndLineBreak",
                 "Codice;Note\nA1;\"Vite \"\"M6\"\"; zincata\r\nseconda riga\"\nA2;x\n",
                 {{"Codice", "Note"}, {"A1", "Vite \"M6\"; zincata\r\nseconda riga"}, {"A2", "x"}},
                 ';',
                 SheetEncoding::Utf8},
        ReadCase{"BareQuoteInsideAField",
                 "Codice;Nome\nA1;Monitor 24\" LED\n",
                 {{"Codice", "Nome"}, {"A1", "Monitor 24\" LED"}},
                 ';',
                 SheetEncoding::Utf8},
        ReadCase{"Utf8Bom",
                 "\xEF\xBB\xBF"
                 "Codice;Qualità\nA1;Sì\n",
                 {{"Codice", "Qualità"}, {"A1", "Sì"}},
                 ';',
                 SheetEncoding::Utf8Bom},
        ReadCase{"Windows1252",
                 "Codice;Qualit\xE0\nA1;\x80 5\n",
                 {{"Codice", "Qualità"}, {"A1", "€ 5"}},
                 ';',
                 SheetEncoding::Windows1252},
        ReadCase{"Utf16LittleEndian",
                 std::string("\xFF\xFE"
                             "C\0;\0\xE0\0\n\0",
                             10),
                 {{"C", "à"}},
                 ';',
                 SheetEncoding::Utf16},
        // A character beyond the first 65,536 comes as a surrogate pair and leaves as four UTF-8 bytes.
        ReadCase{"Utf16SurrogatePair",
                 std::string("\xFF\xFE"
                             "A\0;\0\x3D\xD8\x00\xDE\n\0",
                             12),
                 {{"A", "\xF0\x9F\x98\x80"}},
                 ';',
                 SheetEncoding::Utf16},
        // Blank lines and rows of empty cells (a sheet's formatted but empty rows) are no products.
        ReadCase{"EmptyLinesAreSkipped",
                 "Codice;Nome\n\nA1;Vite\n;;\n  \nA2;Dado",
                 {{"Codice", "Nome"}, {"A1", "Vite"}, {"A2", "Dado"}},
                 ';',
                 SheetEncoding::Utf8},
        ReadCase{"RaggedRows",
                 "Codice;Nome;Costo\nA1;Vite\nA2;Dado;1,00;extra\n",
                 {{"Codice", "Nome", "Costo"}, {"A1", "Vite"}, {"A2", "Dado", "1,00", "extra"}},
                 ';',
                 SheetEncoding::Utf8},
        ReadCase{"ExcelSeparatorLine",
                 "sep=,\nCodice;Nome,Costo\nA;B,1\n",
                 {{"Codice;Nome", "Costo"}, {"A;B", "1"}},
                 ',',
                 SheetEncoding::Utf8},
        ReadCase{"SingleColumn", "Codice\nA1\nA2\n", {{"Codice"}, {"A1"}, {"A2"}}, ';', SheetEncoding::Utf8},
        // FileMaker writes a line break inside a field as a vertical tab, quoted or not; so many of them
        // must not make the file look binary.
        ReadCase{"VerticalTabsAreLineBreaksInsideFields",
                 "Codice;Note\nA1;\"prima\vseconda\vterza\"\nA2;x\vy\n",
                 {{"Codice", "Note"}, {"A1", "prima\nseconda\nterza"}, {"A2", "x\ny"}},
                 ';',
                 SheetEncoding::Utf8},
        // A sheet saved out to its last column: blank cells after the last that holds something are
        // no cells; a blank column before it is one.
        ReadCase{"TrailingEmptyColumnsAreDropped",
                 "Codice;;Nome;;; \nA1;;Vite;;;\n;;;;;\n",
                 {{"Codice", "", "Nome"}, {"A1", "", "Vite"}},
                 ';',
                 SheetEncoding::Utf8}),
    [](const testing::TestParamInfo<ReadCase>& c) { return std::string(c.param.name); });

TEST(CsvReading, ColumnsEndAtTheLastThatHoldsSomething) {
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t columns;
    };
    // 50 products saved out to column 16,384 with empty separators.
    std::string wide = "Codice;Nome;Prezzo" + std::string(16381, ';') + "\n";
    for (int i = 0; i < 50; ++i) wide += "A" + std::to_string(i) + ";Vite;1,00" + std::string(16381, ';') + "\r\n";
    for (const Case& c : {Case{"Wide", wide, 3}, Case{"AHeaderWithoutData", "A;B;C\n1;2\n", 3},
                          Case{"DataWithoutAHeader", "A;B\n1;2;;3;;\n", 4}}) {
        const SheetReading reading = readSheetBytes(c.bytes);
        ASSERT_TRUE(reading.table) << c.name;
        EXPECT_EQ(reading.table->columnCount(), c.columns) << c.name;
    }
}

TEST(CsvReading, NumbersRowsAsTheSpreadsheetDoes) {
    // A quoted line break does not make a new sheet row; a blank line does.
    const SheetReading reading = readSheetBytes("Codice;Note\nA1;\"due\nrighe\"\n\nA2;x\n");
    ASSERT_TRUE(reading.table);
    ASSERT_EQ(reading.table->rowCount(), 3u);
    EXPECT_EQ(reading.table->sheetRow(0), 1u);
    EXPECT_EQ(reading.table->sheetRow(1), 2u);
    EXPECT_EQ(reading.table->sheetRow(2), 4u);
    EXPECT_EQ(reading.table->columnCount(), 2u);
}

struct RefusedCase {
    const char* name;
    std::string bytes;
    SheetProblem problem;
    std::size_t line;
};

std::ostream& operator<<(std::ostream& out, const RefusedCase& c) { return out << c.name; }

class RefusedFiles : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedFiles, AreToldWhatIsWrong) {
    const RefusedCase& c = GetParam();
    const SheetReading reading = readSheetBytes(c.bytes);
    EXPECT_FALSE(reading.table);
    EXPECT_EQ(reading.problem, c.problem);
    EXPECT_EQ(reading.line, c.line);
    const std::string text = sheetProblemText(reading.problem, reading.line);
    EXPECT_FALSE(text.empty());
    if (c.line > 0) {
        EXPECT_NE(text.find("riga " + std::to_string(c.line) + " "), std::string::npos) << text;
    }
}

// Rows of a shop's sheet filling the first 64 KiB and more, then a NUL on the next line.
std::string nulAfterTheHead() {
    std::string csv = "Codice;Nome\n";
    for (int i = 0; i < 3000; ++i) csv += "A" + std::to_string(i) + ";Vite zincata M6\r\n";
    return csv + "B1;Vi" + std::string(1, '\0') + "te\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFiles,
    testing::Values(
        RefusedCase{"QuoteNeverClosed", "Codice;Nome\nA1;Vite\nA2;\"Dado\nA3;x\n", SheetProblem::OpenQuote, 3},
        RefusedCase{"TextAfterClosingQuote", "Codice;Nome\nA1;\"Vite\"x\n", SheetProblem::AfterQuote, 2},
        RefusedCase{"Png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), SheetProblem::NotText, 0},
        RefusedCase{"Xlsx", std::string("PK\x03\x04\x14\0\x06\0", 8), SheetProblem::Workbook, 0},
        RefusedCase{"OldExcelBinary", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), SheetProblem::Workbook, 0},
        RefusedCase{"XmlSpreadsheet", "<?xml version=\"1.0\"?><Workbook></Workbook>", SheetProblem::Workbook, 0},
        RefusedCase{"NulPastTheFirst64KiB", nulAfterTheHead(), SheetProblem::NotText, 3002},
        RefusedCase{"NulInAText", "Codice;Nome\n" + std::string(200, ';') + "\nA1;V" + std::string(1, '\0') + "\n",
                    SheetProblem::NotText, 3},
        // In UTF-16 half the bytes are NULs; a NUL character is two of them.
        RefusedCase{"NulCharacterInUtf16",
                    std::string("\xFF\xFE"
                                "A\0;\0B\0\n\0C\0\0\0",
                                14),
                    SheetProblem::NotText, 2},
        RefusedCase{"Empty", "", SheetProblem::Empty, 0},
        RefusedCase{"OnlyBlanks", " \r\n;;\n", SheetProblem::Empty, 0}),
    [](const testing::TestParamInfo<RefusedCase>& c) { return std::string(c.param.name); });

TEST(SheetFile, AFifoOrAMissingFileIsUnreadableWithoutWaiting) {
    test::TempFolder folder;
    const auto fifo = folder.file("prodotti.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(readSheetFile(fifo).problem, SheetProblem::Unreadable);
    EXPECT_EQ(readSheetFile(folder.file("assente.csv")).problem, SheetProblem::Unreadable);
}

// ---- The program's own export ----

TEST(ExportTable, ReadsBackWhatTheExportWrote) {
    const std::vector<std::vector<std::string>> cells = {
        {"A-1", "Vite <M6> & dado", "due  spazi", "Viti &amp; bulloni"},
        {"B-2", "Nota\nsu due righe", "Qualità €", ""},
    };
    const ExportDesign& design = exportDesign(ExportKind::Products);
    const std::string bytes = spreadsheetBytes(design, cells.size(), [&](std::size_t row, std::size_t column) {
        return column < cells[row].size() ? std::string_view(cells[row][column]) : std::string_view("x");
    });
    const SheetReading reading = readSheetBytes(bytes);
    ASSERT_TRUE(reading.table) << sheetProblemText(reading.problem, reading.line);
    EXPECT_EQ(reading.table->format, SheetFormat::ExportTable);
    EXPECT_EQ(reading.table->encoding, SheetEncoding::Windows1252);
    ASSERT_EQ(reading.table->rowCount(), 3u);
    for (std::size_t c = 0; c < design.columns.size(); ++c) {
        EXPECT_EQ(reading.table->cell(0, c), design.columns[c].header);
    }
    for (std::size_t r = 0; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            EXPECT_EQ(reading.table->cell(r + 1, c), cells[r][c]) << "row " << r << " column " << c;
        }
    }
}

// Each "&" looks for its ";" only as far as the longest entity, so a cell of millions reads at once.
TEST(ExportTable, ACellFullOfAmpersandsIsReadInLinearTime) {
    constexpr std::size_t kAmpersands = 2'000'000;
    const std::string html =
        "<table><tr><td>" + std::string(kAmpersands, '&') + "&amp;&#x0010FFFF;&lt</td></tr></table>";
    const auto start = std::chrono::steady_clock::now();
    const SheetReading reading = readSheetBytes(html);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(reading.table);
    EXPECT_EQ(reading.table->cell(0, 0), std::string(kAmpersands + 1, '&') + "\xF4\x8F\xBF\xBF&lt");
    EXPECT_LT(elapsed, std::chrono::seconds(1));
}

TEST(ExportTable, ReadsATableASpreadsheetProgramSavedAgain) {
    // Such programs wrap lines inside cells, add tags and attributes, and use entities of their own.
    const std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><style>td { color: red; }</style></head>\n"
        "<body><table border=1>\n<tr><th>Codice articolo</th><TD class=xl65>Nome\n   prodotto</TD></tr>\n"
        "<tr>\n <td>A&#45;1</td>\n <td><font face=Arial>Vite&nbsp;M6<br>zincata &#x20AC;</font></td>\n</tr>\n"
        "<tr><td>A-2<td>Dado</tr></table></body></html>";
    const SheetReading reading = readSheetBytes(html);
    ASSERT_TRUE(reading.table);
    EXPECT_EQ(cellsOf(*reading.table),
              (Rows{{"Codice articolo", "Nome prodotto"}, {"A-1", "Vite M6\nzincata €"}, {"A-2", "Dado"}}));
}

}  // namespace
}  // namespace scortavia
