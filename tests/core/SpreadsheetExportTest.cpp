#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "common/TextRules.h"
#include "export/SpreadsheetExport.h"
#include "storage/Windows1252.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;
using M = MovementLayout;
using P = ProductLayout;

// ---- The file, piece by piece, as a spreadsheet program expects it ----

// UTF-8 to bytes for the texts of these tests, which stay within Latin-1.
std::string latin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F)));
        }
    }
    return out;
}

std::string opening(const std::string& worksheet) {
    std::string s;
    s += "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
         "xmlns=\"http://www.w3.org/TR/REC-html40\">";
    s += "<head>";
    s += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";
    s += "<!--[if gte mso 9]><xml>";
    s += "<x:ExcelWorkbook>";
    s += "<x:ExcelWorksheets>";
    s += "<x:ExcelWorksheet>";
    s += "<x:Name>" + worksheet + "</x:Name>";
    s += "<x:WorksheetOptions>";
    s += "<x:Selected/>";
    s += "<x:Panes>";
    s += "<x:Pane>";
    s += "<x:Number>1</x:Number>";
    s += "<x:ActiveRow>3</x:ActiveRow>";
    s += "</x:Pane>";
    s += "</x:Panes>";
    s += "<x:ProtectContents>False</x:ProtectContents>";
    s += "<x:ProtectObjects>False</x:ProtectObjects>";
    s += "<x:ProtectScenarios>False</x:ProtectScenarios>";
    s += "</x:WorksheetOptions>";
    s += "</x:ExcelWorksheet>";
    s += "</x:ExcelWorksheets>";
    s += "</x:ExcelWorkbook>";
    s += "</xml><![endif]-->";
    s += "</head>";
    s += "<body>";
    s += "<table x:str>";
    return s;
}

const std::string kClosing = std::string("</table>") + "</body>" + "</html>";

struct Heading {
    int width;
    std::string header;  // UTF-8
};

std::string headerRow(const std::vector<Heading>& headings) {
    std::string s = "<tr>";
    for (const auto& h : headings) {
        s += "<td style=\"text-align: left; font-weight: bold;\" width=" + std::to_string(h.width) + ">" +
             latin1(h.header) + "</td>";
    }
    return s + "</tr>";
}

// A data cell as spreadsheet programs must read it, `bytes` already as the file's: text kept as written
// (LibreOffice's sdnum, Excel's mso-number-format), a number with its value and its decimals, or an
// empty amount left unmarked.
std::string textCell(const std::string& bytes) {
    return "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1033;0;@\">" + bytes + "</td>";
}
std::string numberCell(const std::string& bytes, const std::string& value, const std::string& format) {
    return "<td style=\"text-align: left;\" sdval=\"" + value + "\" sdnum=\"1033;0;" + format + "\">" + bytes + "</td>";
}
const std::string kEmptyAmount = "<td style=\"text-align: left;\"></td>";

std::string dataRow(const std::vector<std::string>& cells) {
    std::string s = "<tr>";
    for (const auto& c : cells) s += c;
    return s + "</tr>";
}

// A row of text cells, `bytes` already as the file's, but for the empty amounts at `amounts`.
std::string textRow(const std::vector<std::string>& bytes, const std::vector<std::size_t>& amounts = {}) {
    std::vector<std::string> cells;
    for (std::size_t c = 0; c < bytes.size(); ++c) {
        const bool amount = std::count(amounts.begin(), amounts.end(), c) == 1;
        cells.push_back(amount && bytes[c].empty() ? kEmptyAmount : textCell(bytes[c]));
    }
    return dataRow(cells);
}

const std::vector<Heading> kProductHeadings = {
    {250, "Codice articolo"},
    {200, "Costo unitario"},
    {250, "Nome prodotto"},
    {180, "Giacenza"},
    {250, "Aspetto esteriore del bene"},
    {250, "Categoria merceologica"},
    {350, "Caratteristiche"},
    {250, "Collocazione in magazzino"},
    {250, "Ditta fornitrice"},
    {250, "Agente"},
    {200, "Recapito telefonico"},
    {250, "Documento di acquisto"},
    {250, "Modalità di pagamento"},
    {200, "Data scadenza"},
    {350, "Note"},
    {200, "Prezzo di vendita"},
    {150, "Pagato"},
};

const std::vector<Heading> kGoodsInHeadings = {
    {250, "Documento n."}, {200, "Data emissione"},   {250, "Fornitore"},         {250, "Recapito preferenziale"},
    {200, "Data carico"},  {250, "Codice articolo"},  {250, "Tipologia"},         {250, "Marca e modello"},
    {400, "Descrizione"},  {200, "Costo unitario"},   {200, "Quantità caricata"}, {200, "Costo totale"},
    {400, "Note"},         {200, "Conto da saldare"},
};

const std::vector<Heading> kGoodsOutHeadings = {
    {250, "Documento n."},
    {200, "Data emissione"},
    {250, "Cliente"},
    {250, "Telefono preferenziale"},
    {200, "Data scarico"},
    {250, "Codice articolo"},
    {250, "Tipologia"},
    {250, "Marca e modello"},
    {400, "Descrizione"},
    {200, "Prezzo unitario"},
    {200, "Quantità scaricata"},
    {200, "Prezzo totale"},
    {400, "Note"},
    {200, "Conto da saldare"},
};

// ---- Reading the file back as a spreadsheet program's HTML parser would ----

// Decodes the references the export writes (&lt; &gt; &amp; and numeric ones); a bare "&" stays itself.
std::string decodeEntities(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            const std::size_t semicolon = text.find(';', i);
            const std::string_view name =
                semicolon == std::string_view::npos ? "" : text.substr(i + 1, semicolon - i - 1);
            std::optional<unsigned long> code;
            if (name == "lt") code = '<';
            if (name == "gt") code = '>';
            if (name == "amp") code = '&';
            if (name.size() > 1 && name[0] == '#') {
                const bool hex = name[1] == 'x' || name[1] == 'X';
                const std::string digits(name.substr(hex ? 2 : 1));
                if (!digits.empty() &&
                    digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") == std::string::npos) {
                    code = std::stoul(digits, nullptr, hex ? 16 : 10);
                }
            }
            if (code && *code < 0x80) {
                out.push_back(static_cast<char>(*code));
                i = semicolon;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

// The table's rows, each cell's text decoded (UTF-8); the header row first. Markup inside a cell
// (a "<" that was not escaped) breaks the expected shape and fails the test.
std::vector<std::vector<std::string>> tableOf(const std::string& file) {
    std::vector<std::vector<std::string>> rows;
    const std::size_t tableStart = file.find("<table x:str>");
    const std::size_t tableEnd = file.find("</table>");
    EXPECT_NE(tableStart, std::string::npos);
    EXPECT_NE(tableEnd, std::string::npos);
    if (tableStart == std::string::npos || tableEnd == std::string::npos) return rows;
    std::string_view table = std::string_view(file).substr(tableStart + 13, tableEnd - tableStart - 13);
    while (!table.empty()) {
        EXPECT_TRUE(table.starts_with("<tr>")) << table.substr(0, 60);
        if (!table.starts_with("<tr>")) break;
        table.remove_prefix(4);
        std::vector<std::string> row;
        while (table.starts_with("<td")) {
            table.remove_prefix(table.find('>') + 1);
            const std::size_t end = table.find('<');
            row.push_back(decodeWindows1252(decodeEntities(table.substr(0, end))));
            table.remove_prefix(end);
            EXPECT_TRUE(table.starts_with("</td>")) << table.substr(0, 60);
            if (!table.starts_with("</td>")) return rows;
            table.remove_prefix(5);
        }
        EXPECT_TRUE(table.starts_with("</tr>")) << table.substr(0, 60);
        if (!table.starts_with("</tr>")) break;
        table.remove_prefix(5);
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---- Grids ----

using Grid = std::vector<std::vector<std::string>>;

CellSource sourceOf(const Grid& grid) {
    return [&grid](std::size_t row, std::size_t column) { return std::string_view(grid.at(row).at(column)); };
}

CellSource sourceOf(const ExportCells& cells) {
    return [&cells](std::size_t row, std::size_t column) { return cells.cell(row, column); };
}

CellSource emptyCells() {
    return [](std::size_t, std::size_t) { return std::string_view(); };
}

// A grid of `rows` rows of `columns` cells, each naming its row and column.
Grid numberedGrid(std::size_t rows, std::size_t columns) {
    Grid grid(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < columns; ++c) grid[r].push_back("r" + std::to_string(r) + "c" + std::to_string(c));
    }
    return grid;
}

std::vector<std::string> rowOf(const ExportCells& cells, std::size_t row) {
    std::vector<std::string> out;
    for (std::size_t c = 0; c < cells.columnCount(); ++c) out.emplace_back(cells.cell(row, c));
    return out;
}

std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Stores `bytes` as they stand in a field (length byte and text), blanks included, as another tool may.
template <class Record>
void storeRaw(Record& record, typename Record::Field field, std::string_view bytes) {
    std::uint8_t* at = record.bytes().data() + Record::Info::offset(field);
    at[0] = static_cast<std::uint8_t>(bytes.size());
    std::memcpy(at + 1, bytes.data(), bytes.size());
}

// ---- The three exports ----

struct DesignCase {
    ExportKind kind;
    std::string name;
    std::string caption;
    std::string fileName;
    std::string worksheet;
    std::string helpTitle;
    std::size_t recordSize;
    const std::vector<Heading>* headings;
    std::vector<std::size_t> editable;          // 0-based columns
    std::vector<std::size_t> amounts;           // money and stock: numbers, not text
    std::optional<std::size_t> misspeltColumn;  // shown as "Modalitò di pagamento"
};

void PrintTo(const DesignCase& c, std::ostream* os) { *os << c.name; }

class ExportDesignTest : public testing::TestWithParam<DesignCase> {};

TEST_P(ExportDesignTest, DescribesItsScreenAndFile) {
    const DesignCase& c = GetParam();
    const ExportDesign& design = exportDesign(c.kind);
    EXPECT_EQ(design.kind, c.kind);
    EXPECT_EQ(design.name, c.name);
    EXPECT_EQ(design.caption, c.caption);
    EXPECT_EQ(design.fileName, c.fileName);
    EXPECT_EQ(design.worksheet, c.worksheet);
    EXPECT_EQ(design.helpTitle, c.helpTitle);
    EXPECT_EQ(design.recordSize, c.recordSize);
    ASSERT_EQ(design.columns.size(), c.headings->size());
    for (std::size_t i = 0; i < design.columns.size(); ++i) {
        const ExportColumn& column = design.columns[i];
        EXPECT_EQ(column.header, (*c.headings)[i].header) << i;
        EXPECT_EQ(column.width, (*c.headings)[i].width) << i;
        EXPECT_EQ(column.screenHeader, c.misspeltColumn == i ? "Modalitò di pagamento" : column.header) << i;
        EXPECT_EQ(column.editable, std::count(c.editable.begin(), c.editable.end(), i) == 1) << i;
        EXPECT_EQ(column.kind == CellKind::Number, std::count(c.amounts.begin(), c.amounts.end(), i) == 1) << i;
    }
}

// A missing archive is created empty; the grid then shows its empty rows, and those are what the file holds.
TEST_P(ExportDesignTest, EmptyArchiveGivesTheHeaderAndTenEmptyRows) {
    const DesignCase& c = GetParam();
    const ExportDesign& design = exportDesign(c.kind);
    test::TempFolder folder;
    ExportCells cells;
    ASSERT_TRUE(cells.load(folder.file("archivio"), design).ok());
    EXPECT_EQ(cells.rowCount(), 0u);
    EXPECT_EQ(cells.columnCount(), c.headings->size());
    EXPECT_TRUE(fs::is_regular_file(folder.file("archivio")));
    EXPECT_EQ(fs::file_size(folder.file("archivio")), 0u);

    std::string expected = opening(c.worksheet) + headerRow(*c.headings);
    for (std::size_t r = 0; r < kEmptyExportRows; ++r)
        expected += textRow(std::vector<std::string>(c.headings->size()), c.amounts);
    expected += kClosing;
    EXPECT_EQ(kEmptyExportRows, 10u);
    EXPECT_EQ(spreadsheetBytes(design, kEmptyExportRows, emptyCells()), expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ExportDesignTest,
                         testing::Values(DesignCase{ExportKind::Products,
                                                    "frmExpMagazzino",
                                                    " Esporta magazzino prodotti in Excel",
                                                    "Magazzino.xls",
                                                    "Magazzino Prodotti",
                                                    "Esportazione magazzino prodotti in Excel",
                                                    2592,
                                                    &kProductHeadings,
                                                    {2, 4, 5, 10, 14, 15, 16},
                                                    {1, 3, 15},
                                                    12},
                                         DesignCase{ExportKind::GoodsIn,
                                                    "frmExpCarichi",
                                                    " Esporta archivio operazioni di carico in Excel",
                                                    "Operazioni_Carico.xls",
                                                    "Operazioni Carico",
                                                    "Esportazione archivio operazioni di carico in Excel",
                                                    2937,
                                                    &kGoodsInHeadings,
                                                    {0, 1, 2, 3, 8, 9, 10, 11, 12, 13},
                                                    {9, 10, 11},
                                                    std::nullopt},
                                         DesignCase{ExportKind::GoodsOut,
                                                    "frmExpScarichi",
                                                    " Esporta archivio operazioni di scarico in Excel",
                                                    "Operazioni_Scarico.xls",
                                                    "Operazioni Scarico",
                                                    "Esportazione archivio operazioni di scarico in Excel",
                                                    2937,
                                                    &kGoodsOutHeadings,
                                                    {0, 1, 2, 3, 8, 9, 10, 11, 12, 13},
                                                    {9, 10, 11},
                                                    std::nullopt}));

// ---- Reading the archive ----

class ExportArchive : public testing::Test {
protected:
    test::TempFolder folder;
    const fs::path archive = folder.file("Magazzino.pro");
};

TEST_F(ExportArchive, TwoProductsGiveTheWholeFile) {
    const ProductRecord first = test::record<ProductRecord>({{P::Codice, "ART-001"},
                                                             {P::Costo, "1,25"},
                                                             {P::Nome, "Viti & bulloni"},
                                                             {P::Giacenza, "40"},
                                                             {P::Avviso, "5"},
                                                             {P::UM, "Scatola da 100"},
                                                             {P::Tipologia, "Ferramenta"},
                                                             {P::Caratteristiche, "Acciaio, perché dura"},
                                                             {P::Collocazione, "Scaffale 3"},
                                                             {P::Ditta, "Bianchi S.r.l."},
                                                             {P::Agente, "Mario Rossi"},
                                                             {P::Recapito, "055 1234567"},
                                                             {P::Documento, "DDT 12"},
                                                             {P::Pagamento, "Bonifico"},
                                                             {P::DataSca, "31/12/2026"},
                                                             {P::Note, "€ 2 al pezzo"},
                                                             {P::Prezzo, "2,50"},
                                                             {P::Pagato, "Sì"},
                                                             {P::File01, "foto.jpg"},
                                                             {P::Desc01, "Fronte"}});
    test::writeBytes(archive, test::archiveBytes(std::vector{first, test::product("ART-002", "Tasselli")}));

    ExportCells cells;
    ASSERT_TRUE(cells.load(archive, exportDesign(ExportKind::Products)).ok());
    ASSERT_EQ(cells.rowCount(), 2u);
    const std::string file = spreadsheetBytes(exportDesign(ExportKind::Products), 2, sourceOf(cells));

    const std::string expected =
        opening("Magazzino Prodotti") + headerRow(kProductHeadings) +
        dataRow({textCell("ART-001"), numberCell("1,25", "1.25", "0.00"), textCell("Viti & bulloni"),
                 numberCell("40", "40", "0"), textCell("Scatola da 100"), textCell("Ferramenta"),
                 textCell("Acciaio, perch\xE9 dura"), textCell("Scaffale 3"), textCell("Bianchi S.r.l."),
                 textCell("Mario Rossi"), textCell("055 1234567"), textCell("DDT 12"), textCell("Bonifico"),
                 textCell("31/12/2026"), textCell("\x80 2 al pezzo"), numberCell("2,50", "2.50", "0.00"),
                 textCell("S\xEC")}) +
        dataRow({textCell("ART-002"), numberCell("1,00", "1.00", "0.00"), textCell("Tasselli"),
                 numberCell("0", "0", "0"), textCell("Scatola"), textCell("Varie"), textCell("Nessuna"), textCell(""),
                 textCell(""), textCell(""), textCell(""), textCell(""), textCell(""), textCell(""), textCell(""),
                 numberCell("2,00", "2.00", "0.00"), textCell("No")}) +
        kClosing;
    EXPECT_EQ(file, expected);
    EXPECT_NE(file.find("<td style=\"text-align: left; font-weight: bold;\" width=250>Codice articolo</td>"),
              std::string::npos);
    EXPECT_NE(file.find(">Modalit\xE0 di pagamento</td>"), std::string::npos);
    EXPECT_EQ(file.find_first_of("\r\n"), std::string::npos);

    const fs::path target = folder.file("Magazzino.xls");
    ASSERT_EQ(writeSpreadsheetFile(target, exportDesign(ExportKind::Products), 2, sourceOf(cells)),
              ExportOutcome::Written);
    EXPECT_EQ(test::readBytes(target), expected);
}

TEST_F(ExportArchive, FieldsAreReadTrimmedAndDecoded) {
    ProductRecord stored = test::product("ART-1");
    storeRaw(stored, P::Nome, "  Vite \xE8 \x80 \t");
    storeRaw(stored, P::Note, "\r\n riga\r\nnuova ");
    test::writeBytes(archive, test::archiveBytes(std::vector{stored}));

    ExportCells cells;
    ASSERT_TRUE(cells.load(archive, exportDesign(ExportKind::Products)).ok());
    ASSERT_EQ(cells.rowCount(), 1u);
    EXPECT_EQ(cells.cell(0, 2), "Vite è €");
    EXPECT_EQ(cells.cell(0, 14), "riga\r\nnuova");
}

TEST_F(ExportArchive, MovementsReadEachColumnsField) {
    const MovementRecord stored = test::record<MovementRecord>({{M::Fornitore, "Bianchi"},
                                                                {M::Recapiti, "055 1"},
                                                                {M::NumDoc, "DDT 7"},
                                                                {M::DataDoc, "01/03/2024"},
                                                                {M::Data, "02/03/2024"},
                                                                {M::Codice, "ART-9"},
                                                                {M::Tipologia, "Ferramenta"},
                                                                {M::Marca, "Bosch"},
                                                                {M::Descrizione, "Trapano"},
                                                                {M::CostoUni, "10,00"},
                                                                {M::Quant, "3"},
                                                                {M::CostoTot, "30,00"},
                                                                {M::Note, "Urgente"},
                                                                {M::DaSaldare, "Sì"},
                                                                {M::File01, "ddt.pdf"},
                                                                {M::Desc01, "Bolla"}});
    const fs::path year = folder.file("2024.odc");
    test::writeBytes(year, test::archiveBytes(std::vector{stored, test::movement("Rossi", "ART-1")}));

    for (ExportKind kind : {ExportKind::GoodsIn, ExportKind::GoodsOut}) {
        ExportCells cells;
        ASSERT_TRUE(cells.load(year, exportDesign(kind)).ok());
        ASSERT_EQ(cells.rowCount(), 2u);
        EXPECT_EQ(rowOf(cells, 0),
                  (std::vector<std::string>{"DDT 7", "01/03/2024", "Bianchi", "055 1", "02/03/2024", "ART-9",
                                            "Ferramenta", "Bosch", "Trapano", "10,00", "3", "30,00", "Urgente", "Sì"}));
        EXPECT_EQ(rowOf(cells, 1)[2], "Rossi");
    }
}

// Rows keep the archive's order, in the grid and in the file, across the writer's chunks and progress steps.
TEST_F(ExportArchive, ManyRowsKeepTheArchiveOrder) {
    test::writeBytes(archive, test::archiveBytes(test::numberedProducts(2500)));
    ExportCells cells;
    ASSERT_TRUE(cells.load(archive, exportDesign(ExportKind::Products)).ok());
    ASSERT_EQ(cells.rowCount(), 2500u);

    const fs::path target = folder.file("Magazzino.xls");
    std::vector<std::size_t> told;
    ASSERT_EQ(writeSpreadsheetFile(target, exportDesign(ExportKind::Products), cells.rowCount(), sourceOf(cells),
                                   [&](std::size_t rows) {
                                       told.push_back(rows);
                                       return true;
                                   }),
              ExportOutcome::Written);
    EXPECT_EQ(told, (std::vector<std::size_t>{1000, 2000, 2500}));

    const std::string file = test::readBytes(target);
    EXPECT_EQ(file, spreadsheetBytes(exportDesign(ExportKind::Products), cells.rowCount(), sourceOf(cells)));
    const auto table = tableOf(file);
    ASSERT_EQ(table.size(), 2501u);
    for (std::size_t r = 0; r < 2500; ++r) {
        ASSERT_EQ(table[r + 1].size(), 17u);
        EXPECT_EQ(table[r + 1][0], "C" + std::to_string(r + 1));
    }
}

TEST_F(ExportArchive, AFolderInPlaceOfTheArchiveFailsCleanly) {
    fs::create_directory(archive);
    ExportCells cells;
    EXPECT_FALSE(cells.load(archive, exportDesign(ExportKind::Products)).ok());
    EXPECT_EQ(cells.rowCount(), 0u);
    EXPECT_EQ(cells.columnCount(), 17u);
    EXPECT_EQ(cells.cell(0, 0), "");
}

// A pipe in place of the archive is refused at once, never waited on; an archive that is missing and
// cannot be created (its folder is gone) has nothing to export, which is no failure.
TEST_F(ExportArchive, APipeFailsAndAMissingArchiveIsEmpty) {
    ASSERT_EQ(::mkfifo(archive.c_str(), 0644), 0);
    ExportCells cells;
    EXPECT_FALSE(cells.load(archive, exportDesign(ExportKind::Products)).ok());
    EXPECT_EQ(cells.rowCount(), 0u);

    const fs::path nowhere = folder.file("assente") / "2024.odc";
    ASSERT_TRUE(cells.load(nowhere, exportDesign(ExportKind::GoodsIn)).ok());
    EXPECT_EQ(cells.rowCount(), 0u);
    EXPECT_FALSE(fs::exists(folder.file("assente")));
}

// A partial record at the end (another tool, a crash) is left out; a new load starts afresh.
TEST_F(ExportArchive, PartialRecordIsLeftOutAndReloadingStartsAfresh) {
    test::writeBytes(archive, test::archiveBytes(test::numberedProducts(2)) + std::string(100, 'x'));
    ExportCells cells;
    ASSERT_TRUE(cells.load(archive, exportDesign(ExportKind::Products)).ok());
    ASSERT_EQ(cells.rowCount(), 2u);
    EXPECT_EQ(cells.cell(1, 0), "C2");

    ASSERT_TRUE(cells.load(folder.file("2024.ods"), exportDesign(ExportKind::GoodsOut)).ok());
    EXPECT_EQ(cells.rowCount(), 0u);
    EXPECT_EQ(cells.columnCount(), 14u);
}

// What a spreadsheet program's parser reads back from each cell is what the grid showed, trimmed.
TEST(SpreadsheetFile, TrickyCellsReadBackAsTheGridShowedThem) {
    const std::vector<std::string> tricky = {
        "Viti & bulloni", "<2 mm",  "a&b;",      "&#65;",     "vite <M6>",     "&amp;",
        "AT&T",           "x&",     "&",         "</td><td>", "<!-- nota",     "perché € 3",
        "&lt;",           "&#x41;", "  spazi  ", "a > b",     "riga\r\nnuova", "\"virgolette\"",
        "l'apostrofo",    "",       "<tr>",
    };
    const std::size_t columns = exportDesign(ExportKind::GoodsIn).columns.size();
    Grid grid;
    for (std::size_t i = 0; i < tricky.size(); i += columns) {
        std::vector<std::string> row;
        for (std::size_t c = 0; c < columns; ++c) row.push_back(tricky[(i + c) % tricky.size()]);
        grid.push_back(std::move(row));
    }
    const std::string file = spreadsheetBytes(exportDesign(ExportKind::GoodsIn), grid.size(), sourceOf(grid));
    EXPECT_EQ(file.find_first_of("\r\n"), std::string::npos);

    const auto table = tableOf(file);
    ASSERT_EQ(table.size(), grid.size() + 1);
    EXPECT_EQ(table[0][10], "Quantità caricata");
    for (std::size_t r = 0; r < grid.size(); ++r) {
        ASSERT_EQ(table[r + 1].size(), columns);
        for (std::size_t c = 0; c < columns; ++c) {
            EXPECT_EQ(table[r + 1][c], trimBlanks(grid[r][c])) << "row " << r << " column " << c;
        }
    }
}

TEST(SpreadsheetFile, WritesWindows1252WithAQuestionMarkForWhatItCannotHold) {
    const Grid grid = {{"è", "€", "ā", "→", "perché costa € 5 → sì", "Œ ™ …"}};
    const std::string file = spreadsheetBytes(exportDesign(ExportKind::Products), 1, [&](std::size_t r, std::size_t c) {
        return c < grid[r].size() ? std::string_view(grid[r][c]) : "";
    });
    const std::string row = textRow({"\xE8", "\x80", "?", "?", "perch\xE9 costa \x80 5 ? s\xEC", "\x8C \x99 \x85", "",
                                     "", "", "", "", "", "", "", "", "", ""},
                                    {1, 3, 15});
    EXPECT_NE(file.find(row), std::string::npos);
    EXPECT_NE(file.find("width=250>Modalit\xE0 di pagamento</td>"), std::string::npos);
}

// ---- What LibreOffice makes of the file, where it is installed ----

struct CsvField {
    std::string text;
    bool quoted;  // LibreOffice quotes the text cells only
};

// The CSV LibreOffice writes: ";" between fields, text in double quotes with "" inside, one line a row.
std::vector<std::vector<CsvField>> parseCsv(std::string_view csv) {
    std::vector<std::vector<CsvField>> rows(1);
    CsvField field{"", false};
    std::size_t i = 0;
    const auto endField = [&] {
        rows.back().push_back(field);
        field = CsvField{"", false};
    };
    while (i < csv.size()) {
        const char c = csv[i++];
        if (c == '"' && field.text.empty() && !field.quoted) {
            field.quoted = true;
            for (; i < csv.size(); ++i) {
                if (csv[i] == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
                    field.text.push_back('"');
                    ++i;
                } else if (csv[i] == '"') {
                    ++i;
                    break;
                } else {
                    field.text.push_back(csv[i]);
                }
            }
        } else if (c == ';') {
            endField();
        } else if (c == '\n') {
            endField();
            if (i < csv.size()) rows.emplace_back();
        } else if (c != '\r') {
            field.text.push_back(c);
        }
    }
    if (!csv.ends_with('\n')) endField();
    return rows;
}

// `file` opened by LibreOffice with a profile of its own in the language setting `locale` and saved as
// CSV (UTF-8, every text cell quoted, numbers as shown); nothing when it did not run.
std::optional<std::string> libreOfficeCsv(const fs::path& file, const std::string& locale, const fs::path& work) {
    const fs::path profile = work / "profilo";
    fs::create_directories(profile / "user");
    test::writeBytes(profile / "user" / "registrymodifications.xcu",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                     "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                     "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                     "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
                     "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooSetupSystemLocale\" "
                     "oor:op=\"fuse\"><value>" +
                         locale + "</value></prop></item></oor:items>");
    const std::string command = "timeout 300 soffice -env:UserInstallation='file://" + profile.string() +
                                "' --headless --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1,,0,true,false,"
                                "true' --outdir '" +
                                work.string() + "' '" + file.string() + "' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    const fs::path csv = work / (file.stem().string() + ".csv");
    if (!fs::exists(csv)) return std::nullopt;
    return test::readBytes(csv);
}

// Codes, telephone numbers, dates and notes come back exactly as exported, never as numbers, dates or
// formulas; amounts come back as numbers with the card's decimals, in an Italian and an English setting.
TEST(LibreOffice, ReadsTextsAsWrittenAndAmountsAsNumbers) {
    if (std::system("command -v soffice > /dev/null 2>&1") != 0) GTEST_SKIP() << "LibreOffice is not installed";
    const ExportDesign& design = exportDesign(ExportKind::GoodsIn);
    const Grid grid = {
        {"00123", "01/03/2024", "=1+1", "0612345678", "31/12/2026", "0012345678905", "3E5", "1.250", "Viti & bulloni",
         "1250,50", "3", "-3,75", "-5", "TRUE"},
        {"A-1", "", "=SOMMA(A1:A2)", "", "", "", "1,25", "", "vite <M6>", "1.250", "", "n.d.", "", "No"},
    };
    const std::size_t amounts[] = {9, 10, 11};
    test::TempFolder folder;
    const fs::path file = folder.file("Operazioni_Carico.xls");
    ASSERT_EQ(writeSpreadsheetFile(file, design, grid.size(), sourceOf(grid)), ExportOutcome::Written);

    struct Setting {
        std::string locale;
        std::vector<std::string> shown;  // the first row's amounts
    };
    for (const Setting& setting :
         {Setting{"it-IT", {"1250,50", "3", "-3,75"}}, Setting{"en-US", {"1250.50", "3", "-3.75"}}}) {
        SCOPED_TRACE(setting.locale);
        const auto csv = libreOfficeCsv(file, setting.locale, folder.path() / setting.locale);
        ASSERT_TRUE(csv.has_value()) << "LibreOffice did not convert the file";
        const auto rows = parseCsv(*csv);
        ASSERT_EQ(rows.size(), 3u) << *csv;
        for (std::size_t c = 0; c < design.columns.size(); ++c) {
            ASSERT_EQ(rows[0].size(), design.columns.size());
            EXPECT_EQ(rows[0][c].text, design.columns[c].header);
        }
        for (std::size_t r = 0; r < grid.size(); ++r) {
            ASSERT_EQ(rows[r + 1].size(), design.columns.size()) << *csv;
            for (std::size_t c = 0; c < design.columns.size(); ++c) {
                const CsvField& read = rows[r + 1][c];
                const bool amount = std::count(std::begin(amounts), std::end(amounts), c) == 1;
                if (amount && r == 0) {
                    EXPECT_EQ(read.text, setting.shown[c - amounts[0]]) << "column " << c;
                    EXPECT_FALSE(read.quoted) << "a number: column " << c;
                } else {
                    EXPECT_EQ(read.text, grid[r][c]) << "row " << r << " column " << c;
                    EXPECT_EQ(read.quoted, !grid[r][c].empty()) << "text: row " << r << " column " << c;
                }
            }
        }
    }
}

// ---- Writing the file ----

class ExportFile : public testing::Test {
protected:
    test::TempFolder folder;
    const fs::path target = folder.file("Magazzino.xls");
    const ExportDesign& design = exportDesign(ExportKind::Products);
    const Grid grid = numberedGrid(2500, 17);

    std::string bytesOf(const Grid& g) const { return spreadsheetBytes(design, g.size(), sourceOf(g)); }
};

TEST_F(ExportFile, WritesAndReplacesThePreviousExport) {
    test::writeBytes(target, "esportazione precedente");
    ASSERT_EQ(writeSpreadsheetFile(target, design, grid.size(), sourceOf(grid)), ExportOutcome::Written);
    EXPECT_EQ(test::readBytes(target), bytesOf(grid));

    const Grid other = numberedGrid(3, 17);
    ASSERT_EQ(writeSpreadsheetFile(target, design, other.size(), sourceOf(other)), ExportOutcome::Written);
    EXPECT_EQ(test::readBytes(target), bytesOf(other));
    EXPECT_EQ(entriesOf(folder.path()), std::vector<std::string>{"Magazzino.xls"});
}

TEST_F(ExportFile, CancelLeavesThePreviousFileAndNoTemporaryOne) {
    for (std::size_t cancelAt : {std::size_t{1000}, std::size_t{2000}, grid.size()}) {
        test::writeBytes(target, "esportazione precedente");
        std::size_t lastTold = 0;
        EXPECT_EQ(writeSpreadsheetFile(target, design, grid.size(), sourceOf(grid),
                                       [&](std::size_t rows) {
                                           lastTold = rows;
                                           return rows < cancelAt;
                                       }),
                  ExportOutcome::Cancelled);
        EXPECT_EQ(lastTold, cancelAt) << "not asked again once cancelled";
        EXPECT_EQ(test::readBytes(target), "esportazione precedente") << cancelAt;
        EXPECT_EQ(entriesOf(folder.path()), std::vector<std::string>{"Magazzino.xls"}) << cancelAt;
    }
}

TEST_F(ExportFile, AFolderInPlaceOfTheFileFailsAndLeavesNoTemporaryFile) {
    fs::create_directory(target);
    test::writeBytes(target / "dentro", "x");
    EXPECT_EQ(writeSpreadsheetFile(target, design, grid.size(), sourceOf(grid)), ExportOutcome::Failed);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(test::readBytes(target / "dentro"), "x");
    EXPECT_EQ(entriesOf(folder.path()), std::vector<std::string>{"Magazzino.xls"});

    EXPECT_EQ(writeSpreadsheetFile(folder.file("assente") / "Magazzino.xls", design, 1, sourceOf(grid)),
              ExportOutcome::Failed);
}

// What exports killed half-way left beside the file goes with the next export; a younger one may be
// another copy's export in progress and stays, and so does anything not named as the export's own.
TEST_F(ExportFile, TheNextExportRemovesOldLeftoversOfKilledOnes) {
    const auto aged = [&](const std::string& name, std::chrono::minutes age) {
        test::writeBytes(folder.file(name), std::string(1000, 'x'));
        fs::last_write_time(folder.file(name), fs::file_time_type::clock::now() - age);
    };
    aged(".Magazzino.xls.tmp18429-0", std::chrono::minutes(60));
    aged(".Magazzino.xls.Xy12Ab", std::chrono::minutes(60));
    aged(".Magazzino.xls.tmp18430-0", std::chrono::minutes(1));
    aged(".Magazzino.xls.tmp-notes", std::chrono::minutes(60));
    aged(".Operazioni_Carico.xls.tmp18429-1", std::chrono::minutes(60));

    ASSERT_EQ(writeSpreadsheetFile(target, design, 3, sourceOf(grid)), ExportOutcome::Written);
    EXPECT_EQ(entriesOf(folder.path()),
              (std::vector<std::string>{".Magazzino.xls.tmp-notes", ".Magazzino.xls.tmp18430-0",
                                        ".Operazioni_Carico.xls.tmp18429-1", "Magazzino.xls"}));
}

// A link planted at the export's name must not carry the write outside the program folder.
TEST_F(ExportFile, ALinkAtTheTargetIsReplacedAndItsTargetLeftAlone) {
    test::TempFolder outside;
    test::writeBytes(outside.file("altro.xls"), "non toccare");
    fs::create_symlink(outside.file("altro.xls"), target);

    ASSERT_EQ(writeSpreadsheetFile(target, design, 3, sourceOf(grid)), ExportOutcome::Written);
    EXPECT_EQ(test::readBytes(outside.file("altro.xls")), "non toccare");
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(target)));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
    EXPECT_EQ(test::readBytes(target), spreadsheetBytes(design, 3, sourceOf(grid)));
}

}  // namespace
}  // namespace scortavia
