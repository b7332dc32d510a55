#include <gtest/gtest.h>

#include "labels/LabelProducts.h"
#include "labels/LabelSheet.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

const LabelFormat& format(std::string_view prefix) {
    for (const LabelFormat& f : labelFormats())
        if (f.name.starts_with(prefix)) return f;
    throw std::runtime_error("no format " + std::string(prefix));
}

struct Box {
    int page;
    double x, y, w, h;
};

struct SheetCase {
    const char* format;
    int count;
    int firstFree;
    Box first;
    Box last;
};

// The first and last label of a run at their places on the sheet, from a fresh sheet and from label 17.
// The places are worked out by hand from the sheets' sizes, centred on 210 x 297 mm.
const SheetCase kSheetCases[] = {
    {"A4 3 x 7", 21, 1, {0, 0.0, 0.45, 70, 42.3}, {0, 140.0, 254.25, 70, 42.3}},
    {"A4 3 x 7", 21, 17, {0, 70.0, 211.95, 70, 42.3}, {1, 0.0, 211.95, 70, 42.3}},
    {"A4 3 x 8", 24, 1, {0, 0.0, 0.5, 70, 37}, {0, 140.0, 259.5, 70, 37}},
    {"A4 3 x 8", 24, 17, {0, 70.0, 185.5, 70, 37}, {1, 0.0, 185.5, 70, 37}},
    {"A4 4 x 10", 40, 1, {0, 8.0, 21.5, 48.5, 25.4}, {0, 153.5, 250.1, 48.5, 25.4}},
    {"A4 4 x 10", 40, 17, {0, 8.0, 123.1, 48.5, 25.4}, {1, 153.5, 97.7, 48.5, 25.4}},
    {"A4 2 x 7", 14, 1, {0, 0.0, 0.45, 105, 42.3}, {0, 105.0, 254.25, 105, 42.3}},
    {"A4 5 x 13", 65, 1, {0, 5.0, 10.7, 38, 21.2}, {0, 167.0, 265.1, 38, 21.2}},
    {"A4 5 x 13", 65, 17, {0, 45.5, 74.3, 38, 21.2}, {1, 5.0, 74.3, 38, 21.2}},
    {"Rotolo 62 x 29", 3, 1, {0, 0.0, 0.0, 62, 29}, {2, 0.0, 0.0, 62, 29}},
};

void expectBox(const LabelBox& got, const Box& want, const char* which) {
    SCOPED_TRACE(which);
    EXPECT_EQ(got.page, want.page);
    EXPECT_NEAR(got.x, want.x, 1e-6);
    EXPECT_NEAR(got.y, want.y, 1e-6);
    EXPECT_NEAR(got.width, want.w, 1e-9);
    EXPECT_NEAR(got.height, want.h, 1e-9);
}

TEST(LabelSheet, FirstAndLastLabelOfEachFormatFromAFreshSheetAndFromLabel17) {
    for (const SheetCase& c : kSheetCases) {
        SCOPED_TRACE(std::string(c.format) + " from " + std::to_string(c.firstFree));
        const Result<std::vector<LabelBox>> boxes = layOutLabels(format(c.format), c.count, c.firstFree);
        ASSERT_TRUE(boxes.ok()) << boxes.error();
        ASSERT_EQ(boxes->size(), static_cast<std::size_t>(c.count));
        expectBox(boxes->front(), c.first, "first");
        expectBox(boxes->back(), c.last, "last");
        EXPECT_EQ(labelPageCount(format(c.format), c.count, c.firstFree), c.last.page + 1);
    }
}

TEST(LabelSheet, EveryA4SheetIsCentredAndInsideThePage) {
    for (const LabelFormat& f : labelFormats()) {
        SCOPED_TRACE(f.name);
        const double right = f.left + f.columns * f.labelWidth + (f.columns - 1) * f.gapX;
        const double bottom = f.top + f.rows * f.labelHeight + (f.rows - 1) * f.gapY;
        EXPECT_GE(f.left, 0.0);
        EXPECT_GE(f.top, 0.0);
        EXPECT_NEAR(f.pageWidth - right, f.left, 1e-9);
        EXPECT_NEAR(f.pageHeight - bottom, f.top, 1e-9);
    }
}

TEST(LabelSheet, AFirstFreeLabelOutsideOneSheetIsRefused) {
    // 17 is past the 14 labels of a 2 x 7 sheet and past the roll's single label: no silent wrap.
    for (const auto& [name, firstFree] : std::vector<std::pair<const char*, int>>{
             {"A4 2 x 7", 17}, {"Rotolo 62 x 29", 17}, {"A4 3 x 8", 25}, {"A4 3 x 8", 0}}) {
        SCOPED_TRACE(std::string(name) + " from " + std::to_string(firstFree));
        const auto boxes = layOutLabels(format(name), 5, firstFree);
        ASSERT_FALSE(boxes.ok());
        EXPECT_NE(boxes.error().find("prima etichetta libera"), std::string::npos);
    }
    // The last label of the sheet is a valid start: the run goes on at the top of the next sheet.
    const auto boxes = layOutLabels(format("A4 3 x 8"), 2, 24);
    ASSERT_TRUE(boxes.ok());
    EXPECT_EQ((*boxes)[1].page, 1);
    EXPECT_DOUBLE_EQ((*boxes)[1].x, 0.0);
    EXPECT_DOUBLE_EQ((*boxes)[1].y, 0.5);
}

TEST(LabelSheet, CustomFormatIsCheckedAgainstThePage) {
    struct Case {
        const char* name;
        int columns, rows;
        double w, h, left, top, gapX, gapY;
        const char* error;  // nullptr: accepted
    };
    const Case cases[] = {
        {"fills the page exactly", 3, 8, 70, 37, 0, 0.5, 0, 0, nullptr},
        {"with gaps", 2, 5, 90, 50, 10, 10, 10, 5, nullptr},
        {"no columns", 0, 8, 70, 37, 0, 0, 0, 0, "almeno una colonna"},
        {"zero height", 3, 8, 70, 0, 0, 0, 0, 0, "maggiori di zero"},
        {"negative gap", 3, 8, 60, 30, 0, 0, -1, 0, "negativi"},
        {"too wide", 3, 8, 70, 37, 0.5, 0, 0, 0, "non entrano"},
        {"too tall with gaps", 3, 8, 70, 37, 0, 0, 0, 0.2, "non entrano"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto f = customLabelFormat(c.columns, c.rows, c.w, c.h, c.left, c.top, c.gapX, c.gapY);
        if (!c.error) {
            ASSERT_TRUE(f.ok()) << f.error();
            const auto boxes = layOutLabels(*f, f->perSheet(), 1);
            ASSERT_TRUE(boxes.ok());
            EXPECT_NEAR(boxes->back().x, c.left + (c.columns - 1) * (c.w + c.gapX), 1e-9);
            EXPECT_NEAR(boxes->back().y, c.top + (c.rows - 1) * (c.h + c.gapY), 1e-9);
        } else {
            ASSERT_FALSE(f.ok());
            EXPECT_NE(f.error().find(c.error), std::string::npos) << f.error();
        }
    }
}

TEST(LabelProducts, PriceIsTheCardsMoneyTextAfterTheEuroSign) {
    EXPECT_EQ(labelPriceText("12,5"), "\xE2\x82\xAC 12,50");
    EXPECT_EQ(labelPriceText(""), "\xE2\x82\xAC 0,00");
    EXPECT_EQ(labelPriceText("1234,567"), "\xE2\x82\xAC 1234,57");
}

TEST(LabelProducts, PiecesOfAQuantity) {
    const std::pair<const char*, int> cases[] = {
        {"3", 3}, {" 12 ", 12}, {"3,0", 3}, {"2,5", 1}, {"0,25", 1},
        {"", 0},  {"0", 0},     {"-2", 0},  {"tre", 0}, {"1000000", 10000},
    };
    for (const auto& [quantity, pieces] : cases) EXPECT_EQ(labelPiecesOf(quantity), pieces) << quantity;
}

class GoodsInDay : public testing::Test {
protected:
    test::TempFolder folder;
    const std::filesystem::path movements = folder.file("2024.odc");
    const std::filesystem::path products = folder.file("Magazzino.pro");
};

TEST_F(GoodsInDay, AsManyLabelsAsPiecesReceivedThatDay) {
    using M = MovementLayout;
    using P = ProductLayout;
    test::writeBytes(movements, test::archiveBytes(std::vector<MovementRecord>{
                                    test::movement("Rossi", "A1", {{M::Data, "07/03/2024"}, {M::Quant, "2"}}),
                                    test::movement("Rossi", "B2", {{M::Data, "08/03/2024"}, {M::Quant, "5"}}),
                                    test::movement("Rossi", "C3", {{M::Data, "07/03/2024"}, {M::Quant, "1,5"}}),
                                    test::movement("Rossi", "D4", {{M::Data, "07/03/2024"}, {M::Quant, ""}}),
                                    test::movement("Rossi", "GONE", {{M::Data, "07/03/2024"}, {M::Quant, "1"}}),
                                    test::movement("Rossi", "A1", {{M::Data, "7/3/2024"}, {M::Quant, "1"}}),
                                }));
    test::writeBytes(products, test::archiveBytes(std::vector<ProductRecord>{
                                   test::product("A1", "Vite", {{P::Prezzo, "0,5"}, {P::Tipologia, "Ferramenta"}}),
                                   test::product("C3", "Corda", {{P::Prezzo, "3"}}),
                               }));

    const auto pieces = goodsInLabelPieces(movements, CalendarDate(2024, 3, 7));
    ASSERT_TRUE(pieces.ok()) << pieces.error();
    std::vector<std::pair<std::string, int>> got;
    for (const LabelPieces& p : *pieces) got.emplace_back(p.code, p.count);
    EXPECT_EQ(got, (std::vector<std::pair<std::string, int>>{{"A1", 2}, {"C3", 1}, {"GONE", 1}, {"A1", 1}}));

    const auto labels = labelsForPieces(products, *pieces);
    ASSERT_TRUE(labels.ok()) << labels.error();
    std::vector<std::string> names;
    for (const LabelProduct& l : *labels) names.push_back(l.code + "/" + l.name + "/" + l.price + "/" + l.category);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "A1/Vite/\xE2\x82\xAC 0,50/Ferramenta", "A1/Vite/\xE2\x82\xAC 0,50/Ferramenta",
                         "C3/Corda/\xE2\x82\xAC 3,00/Varie", "GONE///", "A1/Vite/\xE2\x82\xAC 0,50/Ferramenta"}));
}

TEST_F(GoodsInDay, AMissingArchiveGivesNoLabelsAndIsNotCreated) {
    const auto pieces = goodsInLabelPieces(movements, CalendarDate(2024, 3, 7));
    ASSERT_TRUE(pieces.ok());
    EXPECT_TRUE(pieces->empty());
    EXPECT_FALSE(std::filesystem::exists(movements));
}

}  // namespace
}  // namespace scortavia
