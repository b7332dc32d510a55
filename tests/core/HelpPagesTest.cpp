#include <gtest/gtest.h>

#include <algorithm>
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

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, HelpPageTitles,
    testing::Values(
        TitleCase{"Overview", Overview, "Uno sguardo a Scortavia"},
        TitleCase{"Products", Products, "App Magazzino Prodotti"},
        TitleCase{"GoodsIn", GoodsIn, "App Operazioni di Carico"},
        TitleCase{"GoodsOut", GoodsOut, "App Operazioni di Scarico"},
        TitleCase{"GoodsInSummary", GoodsInSummary, "App Riepilogo movimenti di carico merce"},
        TitleCase{"GoodsOutSummary", GoodsOutSummary, "App Riepilogo movimenti di scarico merce"},
        TitleCase{"Inventory", Inventory, "App Inventario Merce"},
        TitleCase{"PriceListFiles", PriceListFiles, "Creazione e apertura dei listini prezzi"},
        TitleCase{"PriceListEditor", PriceListEditor, "App Gestione Listino Prezzi"},
        TitleCase{"ProductExport", ProductExport, "Esportazione magazzino prodotti in Excel"},
        TitleCase{"GoodsInExport", GoodsInExport, "Esportazione archivio operazioni di carico in Excel"},
        TitleCase{"GoodsOutExport", GoodsOutExport, "Esportazione archivio operazioni di scarico in Excel"}),
    [](const testing::TestParamInfo<TitleCase>& c) { return std::string(c.param.name); });
// clang-format on

TEST(HelpPages, ComeInTopicOrderForTheGuide) {
    const auto pages = helpPages();
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(ProductImport) + 1);
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
