// What every engine that keeps archives must do alike: the program folder's own files and a database
// server. Each case runs once per engine, through openArchive, as the screens reach them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pricelists/PriceListFiles.h"
#include "storage/Archive.h"
#include "storage/ArchiveEngine.h"
#include "storage/CardFiles.h"
#include "storage/MovementRecord.h"
#include "storage/PriceListPage.h"
#include "storage/ProductRecord.h"
#include "support/Processes.h"
#include "support/Records.h"
#include "support/TempFolder.h"
#include "support/TestServer.h"

namespace scortavia {
namespace {

enum class Engine { Folder, Server };

using Bytes = std::vector<std::uint8_t>;

template <class Record>
Bytes bytesOf(const Record& r) {
    return Bytes(r.bytes().begin(), r.bytes().end());
}

Bytes joined(const std::vector<Bytes>& records) {
    Bytes all;
    for (const Bytes& r : records) all.insert(all.end(), r.begin(), r.end());
    return all;
}

class ArchiveContract : public testing::TestWithParam<Engine> {
protected:
    test::TempFolder folder;
    std::optional<test::TestShop> shop;
    // Every engine this process made stays alive to its end: a child process must never close the
    // connection it inherited, which is its parent's.
    std::vector<std::shared_ptr<ServerEngine>> engines;

    void SetUp() override {
        if (GetParam() == Engine::Server) {
            shop.emplace();
            useOwnEngine();
        }
    }
    void TearDown() override { useArchiveEngine(folder.path(), nullptr); }

    // A child process connects for itself.
    void useOwnEngine() {
        if (!shop) return;
        engines.push_back(shop->connect());
        useArchiveEngine(folder.path(), engines.back());
    }

    std::unique_ptr<Archive> open(const std::string& name = "Magazzino.pro", std::size_t size = ProductRecord::kSize) {
        auto archive = openArchive(folder.file(name), size);
        EXPECT_TRUE(archive.ok()) << archive.error();
        return archive ? std::move(*archive) : nullptr;
    }

    static Bytes readAll(Archive& archive) {
        const auto count = archive.recordCount();
        EXPECT_TRUE(count.ok()) << count.error();
        Bytes all(static_cast<std::size_t>(*count) * archive.recordSize());
        const auto read = archive.readRecords(0, all);
        EXPECT_TRUE(read.ok()) << read.error();
        all.resize(read ? *read : 0);
        return all;
    }
};

std::string engineName(const testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Folder ? "Folder" : "Server";
}

TEST_P(ArchiveContract, ANewArchiveIsEmptyAndRecordsGoInGaplessAndComeBackWhole) {
    auto archive = open();
    EXPECT_EQ(*archive->recordCount(), 0);
    Bytes one(ProductRecord::kSize);
    EXPECT_FALSE(archive->readAt(0, one)) << "no record 1 in an empty archive";

    const std::vector<Bytes> records = {bytesOf(test::product("A")), bytesOf(test::product("B")),
                                        bytesOf(test::product("C")), bytesOf(test::product("D"))};
    EXPECT_EQ(*archive->append(records[0]), 0);
    EXPECT_EQ(*archive->appendBatch(joined({records[1], records[2]})), 1);
    EXPECT_EQ(*archive->append(records[3]), 3);
    EXPECT_FALSE(archive->appendBatch({}).ok()) << "an empty batch is a mistake of the caller's";

    auto again = open();
    EXPECT_EQ(*again->recordCount(), 4);
    EXPECT_EQ(readAll(*again), joined(records));
    ASSERT_TRUE(again->readAt(2, one));
    EXPECT_EQ(one, records[2]);
    // A read past the end gives back what there is, and nothing from the end on.
    Bytes three(3 * ProductRecord::kSize);
    EXPECT_EQ(*again->readRecords(2, three), 2 * ProductRecord::kSize);
    EXPECT_EQ(*again->readRecords(4, three), 0u);
    EXPECT_FALSE(again->readAt(4, one));
}

TEST_P(ArchiveContract, WritesChangeOnlyTheirRecordAndNeverLeaveAHole) {
    auto archive = open();
    const Bytes a = bytesOf(test::product("A")), b = bytesOf(test::product("B")), b2 = bytesOf(test::product("B2"));
    ASSERT_TRUE(archive->appendBatch(joined({a, b, a})).ok());
    ASSERT_TRUE(archive->writeAt(1, b2));
    EXPECT_EQ(readAll(*archive), joined({a, b2, a}));

    EXPECT_FALSE(archive->writeAt(4, b)) << "past the end";
    EXPECT_FALSE(archive->writeAt(-1, b));
    EXPECT_TRUE(archive->writeAt(3, b)) << "writing at the count appends";
    EXPECT_EQ(readAll(*archive), joined({a, b2, a, b}));

    Bytes small(100);
    EXPECT_FALSE(archive->writeAt(0, small));
    EXPECT_FALSE(archive->append(small).ok());
    EXPECT_FALSE(archive->readAt(0, small));
    EXPECT_FALSE(archive->appendBatch(Bytes(ProductRecord::kSize + 100)).ok()) << "a batch holds whole records";
    EXPECT_EQ(*archive->recordCount(), 4);
}

TEST_P(ArchiveContract, AnUpdateWritesWhatTheChangeMadeOrLeavesTheRecord) {
    auto archive = open();
    ASSERT_TRUE(archive->appendBatch(joined({bytesOf(test::product("A")), bytesOf(test::product("B"))})).ok());
    for (const bool write : {true, false}) {
        ProductRecord r;
        const auto outcome = archive->updateAt(1, r.bytes(), [&](std::span<std::uint8_t> bytes) {
            ProductRecord read;
            std::memcpy(read.bytes().data(), bytes.data(), bytes.size());
            EXPECT_EQ(read.text(ProductRecord::Codice), write ? "B" : "B-changed");
            read.setText(ProductRecord::Codice, write ? "B-changed" : "never written");
            std::memcpy(bytes.data(), read.bytes().data(), bytes.size());
            return write;
        });
        ASSERT_TRUE(outcome.ok()) << outcome.error();
        EXPECT_EQ(*outcome, write ? Archive::Update::Written : Archive::Update::LeftAsItWas);
    }
    ProductRecord r;
    ASSERT_TRUE(archive->readAt(1, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Codice), "B-changed");
    EXPECT_FALSE(archive->updateAt(2, r.bytes(), [](auto) { return true; }).ok()) << "no record 3";
}

// A checked append reads only the records after those the caller has seen, hands them over before
// the batch is made, and then counts the batch as seen too.
TEST_P(ArchiveContract, ACheckedAppendShowsOnlyWhatCameSinceAndThenAppends) {
    auto archive = open();
    Bytes five;
    for (const auto& p : test::numberedProducts(5)) {
        const Bytes b = bytesOf(p);
        five.insert(five.end(), b.begin(), b.end());
    }
    ASSERT_TRUE(archive->appendBatch(five).ok());
    const ProductRecord added = test::product("NEW");
    struct Step {
        std::int64_t seen;
        bool append;
        std::vector<std::int64_t> shown;  // indexes handed to the filter
        std::int64_t first;
        std::int64_t seenAfter;
    };
    // From index 3 of 5; then nothing new; then an empty batch; then from before the start.
    for (const Step& step : {Step{3, true, {3, 4}, 5, 6}, Step{6, true, {}, 6, 7}, Step{7, false, {}, 7, 7},
                             Step{-2, false, {0, 1, 2, 3, 4, 5, 6}, 7, 7}}) {
        std::int64_t seen = step.seen;
        std::vector<std::int64_t> shown;
        bool composedAfterShown = true;
        const auto first = archive->appendBatchChecked(
            seen,
            [&](std::span<const std::uint8_t> records, std::int64_t firstIndex) {
                for (std::size_t i = 0; i < records.size() / ProductRecord::kSize; ++i) {
                    shown.push_back(firstIndex + static_cast<std::int64_t>(i));
                }
            },
            [&]() -> std::span<const std::uint8_t> {
                composedAfterShown = shown.size() == step.shown.size();
                if (!step.append) return {};
                return added.bytes();
            });
        ASSERT_TRUE(first.ok()) << first.error();
        EXPECT_EQ(shown, step.shown) << "from " << step.seen;
        EXPECT_TRUE(composedAfterShown);
        EXPECT_EQ(*first, step.first);
        EXPECT_EQ(seen, step.seenAfter);
    }
    EXPECT_EQ(*archive->recordCount(), 7);
    ProductRecord r;
    ASSERT_TRUE(archive->readAt(6, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Codice), "NEW");
}

// The archives of one folder are apart whatever keeps them: a year's goods-in and goods-out, two years,
// two price lists and the products.
TEST_P(ArchiveContract, EachArchiveOfTheFolderKeepsItsOwnRecords) {
    struct Kind {
        std::string name;
        std::size_t size;
    };
    const std::vector<Kind> kinds = {
        {"Magazzino.pro", ProductRecord::kSize}, {"2024.odc", MovementRecord::kSize},
        {"2024.ods", MovementRecord::kSize},     {"2025.odc", MovementRecord::kSize},
        {"Estate.lis", PriceListPage::kSize},    {"Inverno 2025.lis", PriceListPage::kSize}};
    std::map<std::string, Bytes> written;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        auto archive = open(kinds[k].name, kinds[k].size);
        std::vector<Bytes> records;
        for (std::size_t i = 0; i <= k; ++i) {
            Bytes r(kinds[k].size, 0);
            // The first field's text names the archive and the record.
            const std::string text = kinds[k].name.substr(0, 6) + std::to_string(i);
            r[0] = static_cast<std::uint8_t>(text.size());
            std::memcpy(r.data() + 1, text.data(), text.size());
            records.push_back(r);
        }
        written[kinds[k].name] = joined(records);
        ASSERT_TRUE(archive->appendBatch(written[kinds[k].name]).ok());
    }
    for (const Kind& kind : kinds) {
        auto archive = open(kind.name, kind.size);
        EXPECT_EQ(readAll(*archive), written[kind.name]) << kind.name;
    }
}

// Records as other programs and older copies left them come back byte for byte: the texts a server
// keeps are not all there is to a record.
TEST_P(ArchiveContract, EveryRecordComesBackByteForByteHoweverOddItsBytes) {
    using P = ProductLayout;
    const auto edited = [](ProductRecord r, std::size_t offset, std::vector<std::uint8_t> bytes) {
        std::memcpy(r.bytes().data() + offset, bytes.data(), bytes.size());
        return bytesOf(r);
    };
    const std::size_t nome = ProductRecord::Info::offset(P::Nome);
    const ProductRecord plain = test::product("P1", "Perché € 5 “offerta”");
    Bytes longest = bytesOf(plain);
    {
        ProductRecord r = plain;
        r.setText(P::Caratteristiche, std::string(250, 'x'));
        longest = bytesOf(r);
    }
    struct Odd {
        std::string what;
        Bytes record;
    };
    const std::vector<Odd> odd = {
        {"accents, the euro and curly quotes", bytesOf(plain)},
        {"a field filled to its capacity", longest},
        {"bytes left after the text", edited(plain, nome + 25, {'o', 'l', 'd'})},
        {"a length beyond the capacity", edited(plain, nome, {200})},
        {"a NUL inside the text", edited(plain, nome + 3, {0})},
        {"bytes the code page leaves unassigned", edited(plain, nome + 1, {0x81, 0x8D, 0x8F, 0x90, 0x9D})},
        {"every byte 0xFF", Bytes(ProductRecord::kSize, 0xFF)},
        {"every byte zero", Bytes(ProductRecord::kSize, 0)},
    };
    auto archive = open();
    for (const Odd& o : odd) ASSERT_TRUE(archive->append(o.record).ok()) << o.what;
    Bytes back(ProductRecord::kSize);
    for (std::size_t i = 0; i < odd.size(); ++i) {
        ASSERT_TRUE(archive->readAt(static_cast<std::int64_t>(i), back));
        EXPECT_EQ(back, odd[i].record) << odd[i].what << ", appended";
    }
    // Rewritten in reverse order, by a write and by an update.
    for (std::size_t i = 0; i < odd.size(); ++i) {
        const auto at = static_cast<std::int64_t>(i);
        const Bytes& other = odd[odd.size() - 1 - i].record;
        if (i % 2 == 0) {
            ASSERT_TRUE(archive->writeAt(at, other));
        } else {
            ASSERT_TRUE(archive
                            ->updateAt(at, back,
                                       [&](std::span<std::uint8_t> bytes) {
                                           std::memcpy(bytes.data(), other.data(), other.size());
                                           return true;
                                       })
                            .ok());
        }
        ASSERT_TRUE(archive->readAt(at, back));
        EXPECT_EQ(back, other) << odd[odd.size() - 1 - i].what << ", rewritten";
    }
}

TEST_P(ArchiveContract, AnArchiveIsThereOnceOpenedAndOnlyThen) {
    EXPECT_FALSE(*archiveExists(folder.file("2024.odc")));
    open("2024.odc", MovementRecord::kSize);
    EXPECT_TRUE(*archiveExists(folder.file("2024.odc")));
    EXPECT_FALSE(*archiveExists(folder.file("2024.ods"))) << "the other direction of the year is another archive";
}

// The photos and documents of the cards, whole, under the names the program gives them.
TEST_P(ArchiveContract, CardFilesAreWrittenReadReplacedAndRemovedWhole) {
    std::filesystem::create_directories(folder.file("Documenti_Allegati"));
    std::filesystem::create_directories(folder.file("Foto_Listino"));
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>(i * 7 % 256));
    const std::vector<std::pair<std::string, std::string>> files = {
        {"7.jpg", "\xFF\xD8\xFF photo of card 7"},
        {"Documenti_Allegati/Fattura n° 12 – perché.pdf", binary},
        {"Foto_Listino/Estate_Foto_B_3.jpg", std::string("\0\0with NULs\0", 13)},
        {"Documenti_Allegati/vuoto.txt", ""},
    };
    for (const auto& [name, bytes] : files) {
        const auto file = folder.file(name);
        EXPECT_FALSE(*cardFileExists(file)) << name;
        EXPECT_FALSE(readCardFile(file, 1 << 20)->has_value()) << name;
        ASSERT_TRUE(writeCardFile(file, "old")) << name;
        ASSERT_TRUE(writeCardFile(file, bytes)) << name;
        EXPECT_TRUE(*cardFileExists(file)) << name;
        EXPECT_EQ(readCardFile(file, 1 << 20)->value(), bytes) << name;
    }
    EXPECT_FALSE(readCardFile(folder.file("Documenti_Allegati/Fattura n° 12 – perché.pdf"), 1000).ok())
        << "a file larger than asked for is not read";

    // The desktop opens a plain file with the same bytes.
    test::TempFolder scratch;
    const auto openable = openableCardFile(folder.file(files[1].first), scratch.path());
    ASSERT_TRUE(openable.ok()) << openable.error();
    EXPECT_EQ(test::readBytes(*openable), binary);

    // A document chosen on another disk comes in whole.
    test::writeBytes(scratch.file("scelto.odt"), "chosen document");
    ASSERT_TRUE(copyIntoCardFile(scratch.file("scelto.odt"), folder.file("Documenti_Allegati/scelto.odt")));
    EXPECT_EQ(readCardFile(folder.file("Documenti_Allegati/scelto.odt"), 100)->value(), "chosen document");
    EXPECT_FALSE(copyIntoCardFile(scratch.file("missing.odt"), folder.file("Documenti_Allegati/missing.odt")));

    for (const auto& [name, bytes] : files) {
        ASSERT_TRUE(removeCardFile(folder.file(name))) << name;
        EXPECT_FALSE(*cardFileExists(folder.file(name))) << name;
        EXPECT_TRUE(removeCardFile(folder.file(name))) << "removing what is gone is no failure";
    }
}

// What the program does not keep for a card is a plain file whatever keeps the archives: a picture
// chosen elsewhere, a file of another name in the program folder.
TEST_P(ArchiveContract, FilesTheProgramDoesNotKeepStayPlainFiles) {
    test::TempFolder elsewhere;
    for (const auto& file : {elsewhere.file("foto.jpg"), folder.file("note.jpg"), folder.file("unins000.dll")}) {
        ASSERT_TRUE(writeCardFile(file, "plain")) << file;
        EXPECT_EQ(test::readBytes(file), "plain") << file;
        EXPECT_EQ(readCardFile(file, 100)->value(), "plain") << file;
    }
}

// The price lists of the shop, as the screens that create, open and delete them see them.
TEST_P(ArchiveContract, PriceListsAreListedMadeOnceAndDeleted) {
    for (const char* name : {"Estate", "Inverno è", "autunno"}) {
        EXPECT_EQ(createListArchive(folder.path(), name).outcome, CreateOutcome::Created) << name;
    }
    EXPECT_EQ(createListArchive(folder.path(), "Estate").outcome, CreateOutcome::NameTaken);
    open("2024.odc", MovementRecord::kSize);  // no list
    auto listed = listArchives(folder.path());
    ASSERT_TRUE(listed.ok()) << listed.error();
    std::vector<std::string> shown;
    for (const ListedArchive& a : *listed) shown.push_back(a.shownName);
    EXPECT_EQ(shown, (std::vector<std::string>{"autunno.lis", "Estate.lis", "Inverno è.lis"}));

    auto page = open("Estate.lis", PriceListPage::kSize);
    ASSERT_TRUE(page->append(PriceListPage().bytes()).ok());
    ASSERT_TRUE(deleteListArchive(folder.path(), "Estate.lis"));
    EXPECT_FALSE(*archiveExists(folder.file("Estate.lis")));
    EXPECT_EQ(createListArchive(folder.path(), "Estate").outcome, CreateOutcome::Created);
    EXPECT_EQ(*open("Estate.lis", PriceListPage::kSize)->recordCount(), 0) << "a list made again starts empty";
    EXPECT_EQ(listArchives(folder.path())->size(), 3u);
}

MovementRecord numbered(int writer, int seq) {
    return test::movement("W" + std::to_string(writer) + "-" + std::to_string(seq), "C" + std::to_string(seq));
}

// Two tills appending movements at once get distinct, gapless positions, and no record is lost or torn.
TEST_P(ArchiveContract, TwoProcessesAppendingAtOnceGetGaplessPositions) {
    constexpr int kWriters = 2;
    constexpr int kPerWriter = 500;
    ASSERT_TRUE(test::allInChildren(kWriters, [&](int w) {
        useOwnEngine();
        for (int i = 0; i < kPerWriter; ++i) {
            auto archive = openArchive(folder.file("2024.ods"), MovementRecord::kSize);
            if (!archive || !(*archive)->append(numbered(w, i).bytes()).ok()) return 1;
        }
        return 0;
    }));
    auto archive = open("2024.ods", MovementRecord::kSize);
    ASSERT_EQ(*archive->recordCount(), kWriters * kPerWriter);
    const Bytes all = readAll(*archive);
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kWriters * kPerWriter) * MovementRecord::kSize);
    std::set<std::pair<int, int>> seen;
    std::vector<int> last(kWriters, -1);
    for (std::size_t i = 0; i < all.size() / MovementRecord::kSize; ++i) {
        MovementRecord r;
        std::memcpy(r.bytes().data(), all.data() + i * MovementRecord::kSize, MovementRecord::kSize);
        int writer = -1, seq = -1;
        ASSERT_EQ(std::sscanf(r.text(MovementRecord::Fornitore).c_str(), "W%d-%d", &writer, &seq), 2);
        ASSERT_TRUE(writer >= 0 && writer < kWriters);
        EXPECT_EQ(bytesOf(r), bytesOf(numbered(writer, seq))) << "torn record at " << i;
        EXPECT_GT(seq, last[writer]) << "each till's records keep their order";
        last[writer] = seq;
        seen.insert({writer, seq});
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kWriters * kPerWriter));
}

// Two tills moving the stock of one product at once: every move counts.
TEST_P(ArchiveContract, TwoProcessesUpdatingOneRecordLoseNoChange) {
    {
        auto archive = open();
        ASSERT_TRUE(archive->append(test::product("STOCK", "Prodotto", {{ProductRecord::Giacenza, "0"}}).bytes()).ok());
        ASSERT_TRUE(archive->append(test::product("OTHER").bytes()).ok());
    }
    constexpr int kProcesses = 2;
    constexpr int kIncrements = 100;
    ASSERT_TRUE(test::allInChildren(kProcesses, [&](int) {
        useOwnEngine();
        for (int i = 0; i < kIncrements; ++i) {
            auto archive = openArchive(folder.file("Magazzino.pro"), ProductRecord::kSize);
            ProductRecord r;
            const bool ok =
                archive &&
                (*archive)
                    ->updateAt(0, r.bytes(),
                               [](std::span<std::uint8_t> bytes) {
                                   ProductRecord copy;
                                   std::memcpy(copy.bytes().data(), bytes.data(), bytes.size());
                                   copy.setText(ProductRecord::Giacenza,
                                                std::to_string(std::stoi(copy.text(ProductRecord::Giacenza)) + 1));
                                   std::memcpy(bytes.data(), copy.bytes().data(), bytes.size());
                                   return true;
                               })
                    .ok();
            if (!ok) return 1;
        }
        return 0;
    }));
    auto archive = open();
    ProductRecord r;
    ASSERT_TRUE(archive->readAt(0, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Giacenza), std::to_string(kProcesses * kIncrements));
    ASSERT_TRUE(archive->readAt(1, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Codice), "OTHER");
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveContract, testing::Values(Engine::Folder, Engine::Server), engineName);

}  // namespace
}  // namespace scortavia
