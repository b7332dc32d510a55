// The one buffer of many texts that lists, exports and spreadsheets keep their rows and cells in.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/PackedTexts.h"

namespace scortavia {
namespace {

std::vector<std::string> all(const PackedTexts<std::uint32_t>& texts) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < texts.size(); ++i) out.emplace_back(texts[i]);
    return out;
}

TEST(PackedTexts, TextsAppendedInPlaceOrWholeComeBackAsWritten) {
    PackedTexts<std::uint32_t> texts;
    texts.add("città");
    texts.close();  // nothing appended: an empty text between two others
    texts.open().append("Viti ");
    texts.open().append("zincate");
    texts.close();
    EXPECT_EQ(all(texts), (std::vector<std::string>{"città", "", "Viti zincate"}));
    EXPECT_EQ(texts.bytes(), std::string("cittàViti zincate").size());
}

TEST(PackedTexts, TruncateDropsLaterTextsAndWhatWasLeftOpen) {
    struct Case {
        std::size_t keep;
        std::vector<std::string> left;
    };
    for (const Case& c : {Case{0, {}}, Case{1, {"A1"}}, Case{2, {"A1", ""}}, Case{3, {"A1", "", "B22"}}}) {
        PackedTexts<std::uint32_t> texts;
        for (const char* text : {"A1", "", "B22"}) texts.add(text);
        texts.open().append("aperto");
        texts.truncate(c.keep);
        EXPECT_EQ(all(texts), c.left) << c.keep;
        // What comes next starts right after the texts kept.
        texts.add("X");
        EXPECT_EQ(texts[c.keep], "X") << c.keep;
    }
}

TEST(PackedTexts, ClearKeepsTheBuffersAndReleaseGivesThemBack) {
    PackedTexts<std::size_t> texts;
    texts.reserve(1000, 64'000);
    texts.add("riga");
    texts.clear();
    EXPECT_TRUE(texts.empty());
    EXPECT_GE(texts.open().capacity(), 64'000u);
    texts.add("riga");
    texts.release();
    EXPECT_TRUE(texts.empty());
    EXPECT_LT(texts.open().capacity(), 64'000u);
}

}  // namespace
}  // namespace scortavia
