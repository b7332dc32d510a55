#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/CardProtocol.h"
#include "storage/MovementRecord.h"
#include "storage/ProductRecord.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

struct NavCase {
    const char* name;
    int records;  // archive of cards coded "C1", "C2", ...; -1: no archive file at all
    CardAction action;
    CardPosition position;   // 0: a new card
    const char* loadedCode;  // nullptr: nothing loaded
    CardPosition expectedPosition;
    CardMessage message;
};

class CardNavigation : public test::ProductArchiveFixture, public testing::WithParamInterface<NavCase> {};

TEST_P(CardNavigation, LoadsTheRightCardAndSaysTheRightThing) {
    const auto& c = GetParam();
    if (c.records >= 0) withProducts(test::numberedProducts(c.records));
    ProductRecord buffer;
    const auto outcome = CardProtocol(archive, ProductRecord::kSize).navigate(c.action, c.position, buffer.bytes());
    EXPECT_EQ(outcome.loaded, c.loadedCode != nullptr);
    if (c.loadedCode) {
        EXPECT_EQ(buffer.text(ProductRecord::Codice), c.loadedCode);
    }
    EXPECT_EQ(outcome.position, c.expectedPosition);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_FALSE(outcome.saved);
    EXPECT_TRUE(fs::exists(archive)) << "every action opens (and so creates) the archive";
}

using A = CardAction;
using M = CardMessage;
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, CardNavigation,
    testing::Values(
        NavCase{"FirstWithNoArchiveFile", -1, A::First, 0, nullptr, 0, M::EmptyArchive},
        NavCase{"FirstOnEmpty", 0, A::First, 3, nullptr, 3, M::EmptyArchive},
        NavCase{"First", 5, A::First, 4, "C1", 1, M::None},
        NavCase{"LastOnEmpty", 0, A::Last, 0, nullptr, 0, M::EmptyArchive},
        NavCase{"Last", 5, A::Last, 0, "C5", 5, M::None},
        NavCase{"NextFromNewCard", 5, A::Next, 0, "C1", 1, M::None},
        NavCase{"Next", 5, A::Next, 2, "C3", 3, M::None},
        NavCase{"NextOnLastDoesNothing", 5, A::Next, 5, nullptr, 5, M::None},
        NavCase{"NextOnEmptyMakesANewCard", 0, A::Next, 4, nullptr, 0, M::EmptyArchive},
        NavCase{"NextOnEmptyFromNewCard", 0, A::Next, 0, nullptr, 0, M::EmptyArchive},
        NavCase{"NextFromAnImpossiblePosition", 5, A::Next, -2, nullptr, -2, M::AccessFailed},
        NavCase{"PreviousOnFirstDoesNothing", 5, A::Previous, 1, nullptr, 1, M::None},
        NavCase{"PreviousOnFirstOfEmptyArchive", 0, A::Previous, 1, nullptr, 1, M::None},
        NavCase{"PreviousFromNewCard", 5, A::Previous, 0, "C1", 1, M::None},
        NavCase{"Previous", 5, A::Previous, 3, "C2", 2, M::None},
        NavCase{"PreviousOnEmpty", 0, A::Previous, 0, nullptr, 0, M::EmptyArchive},
        NavCase{"PreviousBeyondTheArchive", 2, A::Previous, 9, nullptr, 9, M::AccessFailed},
        NavCase{"PreviousFromAnImpossiblePosition", 5, A::Previous, -1, nullptr, -1, M::AccessFailed}),
    [](const testing::TestParamInfo<NavCase>& c) { return c.param.name; });
// clang-format on

class CardSave : public test::ProductArchiveFixture {
protected:
    CardProtocol protocol{archive, ProductRecord::kSize};
};

TEST_F(CardSave, NewCardIsAppendedAtTheEnd) {
    const std::string before = withProducts(test::numberedProducts(3));
    const auto card = test::product("NEW");
    const auto outcome = protocol.save(kNewCard, card.bytes());
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(outcome.position, 4);
    EXPECT_EQ(outcome.message, CardMessage::Inserted);
    const std::string after = test::readBytes(archive);
    ASSERT_EQ(after.size(), 10368u);
    EXPECT_EQ(after.substr(0, 7776), before);
    EXPECT_EQ(after.substr(7776), test::archiveBytes(std::vector{card}));
}

TEST_F(CardSave, StoredCardIsRewrittenInPlace) {
    const std::string before = withProducts(test::numberedProducts(3));
    const auto card = test::product("CHANGED");
    const auto outcome = protocol.save(2, card.bytes());
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(outcome.position, 2);
    EXPECT_EQ(outcome.message, CardMessage::Updated);
    const std::string after = test::readBytes(archive);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, 2592), before.substr(0, 2592));
    EXPECT_EQ(after.substr(2592, 2592), test::archiveBytes(std::vector{card}));
    EXPECT_EQ(after.substr(5184), before.substr(5184));
}

TEST_F(CardSave, FirstSaveCreatesTheArchive) {
    const auto outcome = protocol.save(kNewCard, test::product("A").bytes());
    EXPECT_EQ(outcome.position, 1);
    EXPECT_EQ(fs::file_size(archive), 2592u);
}

TEST_F(CardSave, ImpossiblePositionsFailWithoutWriting) {
    const std::string before = withProducts(test::numberedProducts(2));
    for (CardPosition position : {-1, -7, 4}) {
        const auto outcome = protocol.save(position, test::product("X").bytes());
        EXPECT_FALSE(outcome.saved) << position;
        EXPECT_EQ(outcome.message, CardMessage::AccessFailed) << position;
        EXPECT_EQ(outcome.position, position);
    }
    EXPECT_EQ(test::readBytes(archive), before);
}

TEST(CardProtocolFailure, UnreachableArchiveGivesTheAccessMessageAndKeepsThePosition) {
    test::TempFolder folder;
    fs::create_directory(folder.file("Magazzino.pro"));
    CardProtocol protocol(folder.file("Magazzino.pro"), ProductRecord::kSize);
    ProductRecord buffer;
    for (auto action : {A::First, A::Previous, A::Next, A::Last}) {
        const auto outcome = protocol.navigate(action, kNewCard, buffer.bytes());
        EXPECT_EQ(outcome.message, M::AccessFailed);
        EXPECT_EQ(outcome.position, kNewCard) << "a new card never gets a position it has not got";
        EXPECT_FALSE(outcome.loaded);
    }
    EXPECT_FALSE(protocol.reachable());
    const auto saved = protocol.save(kNewCard, buffer.bytes());
    EXPECT_FALSE(saved.saved);
    EXPECT_EQ(saved.message, M::AccessFailed);
    EXPECT_EQ(cardMessageText(M::AccessFailed),
              "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di possedere i "
              "privilegi di scrittura nella cartella di installazione del programma.");
}

TEST(CardProtocolReachable, OpeningCreatesAnEmptyArchiveAndReadsNothing) {
    test::TempFolder folder;
    CardProtocol protocol(folder.file("2024.odc"), MovementRecord::kSize);
    EXPECT_TRUE(protocol.reachable());
    EXPECT_EQ(fs::file_size(folder.file("2024.odc")), 0u);
}

}  // namespace
}  // namespace scortavia
