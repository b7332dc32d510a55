#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "export/SpreadsheetExport.h"
#include "movements/MovementDirection.h"
#include "ui/HelpPages.h"

namespace scortavia {
namespace {

struct TitleCase {
    const char* name;
    HelpTopic topic;
    std::string_view title;
};

void PrintTo(const TitleCase& c, std::ostream* os) { *os << c.name; }

class HelpPageTitles : public testing::TestWithParam<TitleCase> {};

TEST_P(HelpPageTitles, EachTopicHasOnePageWithItsTitle) {
    const TitleCase& c = GetParam();
    const HelpPage& page = helpPage(c.topic);
    EXPECT_EQ(page.topic, c.topic);
    EXPECT_EQ(page.title, c.title);
    const auto pages = helpPages();
    EXPECT_EQ(std::count_if(pages.begin(), pages.end(), [&](const HelpPage& p) { return p.topic == c.topic; }), 1);
    EXPECT_EQ(std::count_if(pages.begin(), pages.end(), [&](const HelpPage& p) { return p.title == c.title; }), 1);
}

using enum HelpTopic;

// The name of each case is also the page's file in src/ui/help, without ".txt".
const TitleCase kTitleCases[] = {
    {"Overview", Overview, "Uno sguardo a Scortavia"},
    {"Products", Products, "App Magazzino Prodotti"},
    {"GoodsIn", GoodsIn, "App Operazioni di Carico"},
    {"GoodsOut", GoodsOut, "App Operazioni di Scarico"},
    {"GoodsInSummary", GoodsInSummary, "App Riepilogo movimenti di carico merce"},
    {"GoodsOutSummary", GoodsOutSummary, "App Riepilogo movimenti di scarico merce"},
    {"Inventory", Inventory, "App Inventario Merce"},
    {"PriceListFiles", PriceListFiles, "Creazione e apertura dei listini prezzi"},
    {"PriceListEditor", PriceListEditor, "App Gestione Listino Prezzi"},
    {"ProductExport", ProductExport, "Esportazione magazzino prodotti in Excel"},
    {"GoodsInExport", GoodsInExport, "Esportazione archivio operazioni di carico in Excel"},
    {"GoodsOutExport", GoodsOutExport, "Esportazione archivio operazioni di scarico in Excel"},
    {"ProductImport", ProductImport, "Importazione dei prodotti da un foglio di calcolo"},
    {"Backups", Backups, "Copie di sicurezza dei dati"},
    {"Labels", Labels, "Stampa delle etichette"},
    {"Server", Server, "Archivio sul server"},
};

INSTANTIATE_TEST_SUITE_P(Table, HelpPageTitles, testing::ValuesIn(kTitleCases),
                         [](const testing::TestParamInfo<TitleCase>& c) { return std::string(c.param.name); });

const std::filesystem::path kHelpFolder = std::filesystem::path(SCORTAVIA_SOURCE_DIR) / "src" / "ui" / "help";

// The pages are compiled in from their files: what the program shows must be the file's bytes, paragraph
// for paragraph, whatever the file holds (quotes, backslashes, semicolons, accented letters).
TEST_P(HelpPageTitles, ParagraphsAreTheBytesOfItsFile) {
    const TitleCase& c = GetParam();
    std::ifstream in(kHelpFolder / (std::string(c.name) + ".txt"), std::ios::binary);
    ASSERT_TRUE(in) << c.name;
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string expected;
    for (const std::string_view paragraph : helpPage(c.topic).paragraphs) {
        if (!expected.empty()) expected += "\n";
        expected.append(paragraph).append("\n");
    }
    EXPECT_EQ(expected, file);
}

// A file that is no page would be edited in vain.
TEST(HelpPages, EveryFileOfTheHelpFolderIsAPage) {
    for (const auto& entry : std::filesystem::directory_iterator(kHelpFolder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(std::any_of(std::begin(kTitleCases), std::end(kTitleCases), [&](const TitleCase& c) {
            return name == std::string(c.name) + ".txt";
        })) << name;
    }
}

TEST(HelpPages, ComeInTopicOrderForTheGuide) {
    const auto pages = helpPages();
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(Server) + 1);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].topic, static_cast<HelpTopic>(i)) << "page " << i;
        EXPECT_EQ(&helpPage(pages[i].topic), &pages[i]) << "page " << i;
    }
}

// The movement and export screens carry the title of their own help page: it must be the page's.
TEST(HelpPages, TitlesAgreeWithTheScreensThatOpenThem) {
    EXPECT_EQ(helpPage(GoodsIn).title, kGoodsIn.helpTitle);
    EXPECT_EQ(helpPage(GoodsOut).title, kGoodsOut.helpTitle);
    EXPECT_EQ(helpPage(GoodsInSummary).title, kGoodsIn.summaryHelpTitle);
    EXPECT_EQ(helpPage(GoodsOutSummary).title, kGoodsOut.summaryHelpTitle);
    EXPECT_EQ(helpPage(ProductExport).title, exportDesign(ExportKind::Products).helpTitle);
    EXPECT_EQ(helpPage(GoodsInExport).title, exportDesign(ExportKind::GoodsIn).helpTitle);
    EXPECT_EQ(helpPage(GoodsOutExport).title, exportDesign(ExportKind::GoodsOut).helpTitle);
}

// The window shows paragraphs separated by a blank line, so a paragraph of its own must be one line of text.
TEST(HelpPages, ParagraphsAreSingleLinesOfText) {
    for (const HelpPage& page : helpPages()) {
        ASSERT_FALSE(page.paragraphs.empty()) << page.title;
        for (std::size_t i = 0; i < page.paragraphs.size(); ++i) {
            const std::string_view paragraph = page.paragraphs[i];
            EXPECT_NE(paragraph.find_first_not_of(" \t"), std::string_view::npos) << page.title << ", " << i;
            EXPECT_EQ(paragraph.find_first_of("\r\n"), std::string_view::npos) << page.title << ", " << i;
        }
    }
}

std::vector<std::string> splitAtBlankLines(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n\r\n", from)) != std::string::npos; from = at + 4) {
        parts.push_back(text.substr(from, at - from));
    }
    parts.push_back(text.substr(from));
    return parts;
}

TEST(HelpPages, TextIsTheParagraphsJoinedByABlankLine) {
    for (const HelpPage& page : helpPages()) {
        const std::string text = helpText(page);
        const std::vector<std::string> parts = splitAtBlankLines(text);
        ASSERT_EQ(parts.size(), page.paragraphs.size()) << page.title;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            EXPECT_EQ(parts[i], page.paragraphs[i]) << page.title << ", " << i;
            EXPECT_EQ(parts[i].find_first_of("\r\n"), std::string::npos) << page.title << ", " << i;
        }
    }
}

struct JoinCase {
    const char* name;
    std::vector<std::string_view> paragraphs;
    std::string text;
};

void PrintTo(const JoinCase& c, std::ostream* os) { *os << c.name; }

class HelpTextJoin : public testing::TestWithParam<JoinCase> {};

TEST_P(HelpTextJoin, PutsCrLfCrLfBetweenParagraphsOnly) {
    const JoinCase& c = GetParam();
    const HelpPage page{Overview, "Titolo", c.paragraphs};
    EXPECT_EQ(helpText(page), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HelpTextJoin,
    testing::Values(JoinCase{"NoParagraph", {}, ""}, JoinCase{"OneParagraph", {"Uno."}, "Uno."},
                    JoinCase{"ThreeParagraphs", {"Uno.", "Due.", "Tre."}, "Uno.\r\n\r\nDue.\r\n\r\nTre."},
                    // An empty paragraph still takes its place: the joining counts them.
                    JoinCase{"EmptyFirstParagraph", {"", "Due."}, "\r\n\r\nDue."}),
    [](const testing::TestParamInfo<JoinCase>& c) { return std::string(c.param.name); });

}  // namespace
}  // namespace scortavia
