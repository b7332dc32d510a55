#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "movements/MovementDirection.h"
#include "movements/StockPicker.h"
#include "storage/ArchiveFile.h"
#include "storage/ArchiveScan.h"
#include "storage/CardProtocol.h"
#include "storage/MovementRecord.h"
#include "storage/PriceListPage.h"
#include "storage/ProductRecord.h"
#include "support/Processes.h"
#include "support/Records.h"
#include "support/TempFolder.h"

// A record rewritten in place by a process that dies, or is read by another, at any point of the rewrite:
// the storage layer's pieces hook writes the side file and the record in pieces, as a slow or network
// disk takes them, and the tests kill or stop the writer exactly between two pieces.
namespace scortavia {
namespace {

namespace fs = std::filesystem;
using Step = ArchiveFile::RewriteStep;

struct Point {
    Step step;
    int piece;
};

std::string describe(const Point& p) {
    static const char* const names[] = {"side file locked", "side file piece", "side file flushed", "record piece",
                                        "record flushed"};
    return std::string(names[static_cast<int>(p.step)]) + " " + std::to_string(p.piece);
}

// What the hook does in a child process once it reaches the point it is aimed at.
Point aim{};
void (*atAim)() = nullptr;
test::StopPoint* stopPoint = nullptr;

// Once only: a writer that must make its side file's folder again passes the same point twice.
void hitAim(Step step, int piece) {
    if (step == aim.step && piece == aim.piece && atAim) std::exchange(atAim, nullptr)();
}
void killSelf() { ::kill(::getpid(), SIGKILL); }
void stopThere() { stopPoint->stopHere(); }

std::vector<Point> passed;
void notePoint(Step step, int piece) { passed.push_back({step, piece}); }

void aimAt(Point point, std::size_t pieceBytes, void (*action)()) {
    aim = point;
    atAim = action;
    ArchiveFile::setRewritePiecesForTesting(pieceBytes, hitAim);
}

std::string bytesOf(std::span<const std::uint8_t> bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A record whose every byte differs from the same byte of the other pattern, so that any mix shows.
std::string pattern(std::size_t size, char first, int period) {
    std::string bytes(size, ' ');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(first + static_cast<int>(i % period));
    return bytes;
}

enum Seen { SawOld, SawNew, SawMix, SawOther, ReadFailed };

Seen whatIs(const std::string& record, const std::string& before, const std::string& after) {
    if (record == before) return SawOld;
    if (record == after) return SawNew;
    if (record.size() != before.size()) return SawOther;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (record[i] != before[i] && record[i] != after[i]) return SawOther;
    }
    return SawMix;
}

enum class Writer { CardSave, StockMove };
enum class Reader { RecordRead, Scan };

struct RewriteCase {
    const char* name;
    const char* file;
    std::size_t recordSize;
    Writer writer;
};

void PrintTo(const RewriteCase& c, std::ostream* out) { *out << c.name; }

// Three records, the middle one rewritten by a card's save or by the picker's stock move.
class ArchiveRewrite : public testing::TestWithParam<RewriteCase> {
protected:
    void SetUp() override {
        const auto& c = GetParam();
        if (c.writer == Writer::CardSave) {
            neighbours = {pattern(c.recordSize, 'n', 3), pattern(c.recordSize, 'r', 5)};
            before = pattern(c.recordSize, 'a', 7);
            after = pattern(c.recordSize, 'A', 11);
            pieceBytes = 512;
        } else {
            using P = ProductLayout;
            const auto picked = [](const char* stock) {
                return test::product("VT-01", "Vite", {{P::Giacenza, stock}, {P::Prezzo, "0,40"}});
            };
            neighbours = {bytesOf(test::product("A").bytes()), bytesOf(test::product("C").bytes())};
            before = bytesOf(picked("10").bytes());
            after = bytesOf(picked("7").bytes());
            // Only the stock changes: one boundary falls between its length byte and its text.
            pieceBytes = ProductRecord::Info::offset(P::Giacenza) + 1;
        }
        original = neighbours[0] + before + neighbours[1];
        test::writeBytes(archive, original);
    }
    void TearDown() override { ArchiveFile::setRewritePiecesForTesting(0, nullptr); }

    // The rewrite of the middle record; true when it reports success.
    bool rewrite() const {
        const auto& c = GetParam();
        if (c.writer == Writer::CardSave) {
            const auto bytes = reinterpret_cast<const std::uint8_t*>(after.data());
            return CardProtocol(archive, c.recordSize).save(2, std::span(bytes, after.size())).saved;
        }
        return moveProductStock(archive, 2, "VT-01", "3", kGoodsOut).outcome == StockMoveOutcome::Moved;
    }

    // Every point the rewrite passes, in order, noted in a rewrite made here once the side file exists.
    std::vector<Point> rewritePoints() {
        EXPECT_TRUE(rewrite());
        test::writeBytes(archive, original);
        passed.clear();
        ArchiveFile::setRewritePiecesForTesting(pieceBytes, notePoint);
        EXPECT_TRUE(rewrite());
        ArchiveFile::setRewritePiecesForTesting(0, nullptr);
        test::writeBytes(archive, original);
        return passed;
    }

    // A child that rewrites and dies at `point`: what test::Child::wait tells of its end.
    int rewriteIn(Point point, void (*action)()) {
        return inChildAimedAt(point, action, [this] { return rewrite() ? 0 : 1; });
    }
    template <class Body>
    int inChildAimedAt(Point point, void (*action)(), Body body) {
        test::Child child([&] {
            aimAt(point, pieceBytes, action);
            return body();
        });
        return child.wait();
    }

    // The middle record as the archive holds it now, read through an opening (which replays).
    Seen middleAfterOpening() {
        auto file = ArchiveFile::openOrCreate(archive, GetParam().recordSize);
        if (!file) return ReadFailed;
        std::string record(GetParam().recordSize, '\0');
        if (!file->readAt(1, std::span(reinterpret_cast<std::uint8_t*>(record.data()), record.size()))) {
            return ReadFailed;
        }
        return whatIs(record, before, after);
    }

    std::optional<std::int64_t> unsettled() const {
        return ArchiveFile::unsettledRewriteOf(archive, GetParam().recordSize);
    }

    test::Child readerOpenedBefore(Reader reader, test::StopPoint& stop) const;

    void expectNeighboursWhole() const {
        const std::string now = test::readBytes(archive);
        ASSERT_EQ(now.size(), original.size());
        const std::size_t size = GetParam().recordSize;
        EXPECT_TRUE(now.substr(0, size) == neighbours[0]);
        EXPECT_TRUE(now.substr(2 * size) == neighbours[1]);
    }

    test::TempFolder folder;
    const fs::path archive = folder.file(GetParam().file);
    std::vector<std::string> neighbours;
    std::string before, after, original;
    std::size_t pieceBytes = 0;
};

TEST_P(ArchiveRewrite, AKillAtAnyPointLeavesTheOldRecordOrTheNew) {
    const std::vector<Point> points = rewritePoints();
    std::size_t lastSidePiece = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].step == Step::SideFilePiece) lastSidePiece = i;
    }
    ASSERT_GT(lastSidePiece, 2u) << "the side file is written in pieces";
    ASSERT_GT(points.size() - lastSidePiece, 4u) << "and so is the record";

    for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE("killed at " + describe(points[i]));
        test::writeBytes(archive, original);
        EXPECT_EQ(rewriteIn(points[i], killSelf), 100 + SIGKILL);
        expectNeighboursWhole();
        // Once the side file is whole, the rewrite is done at the next opening; before, it never began.
        EXPECT_EQ(middleAfterOpening(), i >= lastSidePiece ? SawNew : SawOld);
        expectNeighboursWhole();
        EXPECT_FALSE(unsettled()) << "the side file's entry settled";
    }
}

// Reads the middle record through `file`, opened earlier, as a card's navigation or a list does.
Seen readMiddle(ArchiveFile& file, Reader reader, const std::string& before, const std::string& after) {
    std::string record(file.recordSize(), '\0');
    if (reader == Reader::RecordRead) {
        if (!file.readAt(1, std::span(reinterpret_cast<std::uint8_t*>(record.data()), record.size()))) {
            return ReadFailed;
        }
    } else {
        ArchiveScan scan(file);
        for (const std::uint8_t* bytes = scan.next(); bytes; bytes = scan.next()) {
            if (scan.index() == 1) std::memcpy(record.data(), bytes, record.size());
        }
        if (!scan.status().ok()) return ReadFailed;
    }
    return whatIs(record, before, after);
}

// A reader that opens the archive, stops at `stop` and then reads the middle record; its exit code is what it saw.
test::Child ArchiveRewrite::readerOpenedBefore(Reader reader, test::StopPoint& stop) const {
    return test::Child([&] {
        auto file = ArchiveFile::openOrCreate(archive, GetParam().recordSize);
        if (!file) return static_cast<int>(ReadFailed);
        stop.stopHere();
        return static_cast<int>(readMiddle(*file, reader, before, after));
    });
}

TEST_P(ArchiveRewrite, AnotherProcessReadingDuringTheRewriteSeesItWhole) {
    for (Reader reader : {Reader::RecordRead, Reader::Scan}) {
        SCOPED_TRACE(reader == Reader::RecordRead ? "record read" : "scan");
        test::writeBytes(archive, original);
        // The reader opens the archive before the rewrite begins and reads while the record is half written.
        test::StopPoint readerStop;
        test::Child readerProcess = readerOpenedBefore(reader, readerStop);
        ASSERT_TRUE(readerStop.reached());
        test::StopPoint writerStop;
        test::Child writer([&] {
            stopPoint = &writerStop;
            aimAt({Step::RecordPiece, 1}, pieceBytes, stopThere);
            return rewrite() ? 0 : 1;
        });
        ASSERT_TRUE(writerStop.reached());
        readerStop.letGo();
        // A reader that does not wait for the rewrite reads now, half old and half new.
        ASSERT_TRUE(test::eventually([&] { return readerProcess.ended() || test::lockAwaitedOn(archive); }));
        writerStop.letGo();
        EXPECT_EQ(writer.wait(), 0);
        EXPECT_EQ(readerProcess.wait(), SawNew);
    }
}

TEST_P(ArchiveRewrite, AReaderMeetingTheSideFileOfADeadWriterSeesTheNewRecord) {
    for (Reader reader : {Reader::RecordRead, Reader::Scan}) {
        SCOPED_TRACE(reader == Reader::RecordRead ? "record read" : "scan");
        test::writeBytes(archive, original);
        test::StopPoint readerStop;
        test::Child readerProcess = readerOpenedBefore(reader, readerStop);
        ASSERT_TRUE(readerStop.reached());
        ASSERT_EQ(rewriteIn({Step::RecordPiece, 1}, killSelf), 100 + SIGKILL);
        readerStop.letGo();
        EXPECT_EQ(readerProcess.wait(), SawNew);
        EXPECT_FALSE(unsettled());
    }
}

TEST_P(ArchiveRewrite, AReplayKilledHalfWayIsDoneAgainAtTheNextOpening) {
    ASSERT_EQ(rewriteIn({Step::RecordPiece, 1}, killSelf), 100 + SIGKILL);
    const int replayer = inChildAimedAt({Step::RecordPiece, 1}, killSelf, [&] {
        return ArchiveFile::openOrCreate(archive, GetParam().recordSize).ok() ? 0 : 1;
    });
    EXPECT_EQ(replayer, 100 + SIGKILL);
    EXPECT_EQ(middleAfterOpening(), SawNew);
    EXPECT_FALSE(unsettled());
}

TEST_P(ArchiveRewrite, ASideFileThatCannotBeWrittenFailsTheSaveAndLeavesTheRecord) {
    // A folder where the side file should be.
    fs::create_directory(ArchiveFile::sideFileOf(archive));
    EXPECT_FALSE(rewrite());
    EXPECT_EQ(test::readBytes(archive), original);
    fs::remove(ArchiveFile::sideFileOf(archive));

    // A disk that fills up while the side file is first made: the record may be written, the side file not.
    const std::size_t size = GetParam().recordSize;
    const int rc = test::inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2 * size + 20, 2 * size + 20};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        return rewrite() ? 1 : 0;
    });
    EXPECT_EQ(rc, 0) << "the save must fail";
    EXPECT_EQ(test::readBytes(archive), original);
    EXPECT_FALSE(unsettled());

    // The next save, with room, takes up the side file cut short.
    EXPECT_TRUE(rewrite());
    EXPECT_EQ(middleAfterOpening(), SawNew);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Archives, ArchiveRewrite,
    testing::Values(RewriteCase{"ProductCard", "Magazzino.pro", ProductRecord::kSize, Writer::CardSave},
                    RewriteCase{"MovementCard", "2024.odc", MovementRecord::kSize, Writer::CardSave},
                    RewriteCase{"PriceListPage", "Estate.lis", PriceListPage::kSize, Writer::CardSave},
                    RewriteCase{"PickerStockMove", "Magazzino.pro", ProductRecord::kSize, Writer::StockMove}),
    [](const testing::TestParamInfo<RewriteCase>& c) { return c.param.name; });
// clang-format on

// What another copy of the program, one that knows nothing of side files, or another tool does to the
// archive after a writer died with its side file whole but the record not yet rewritten.
struct LeftoverCase {
    const char* name;
    void (*meanwhile)(const fs::path& archive, std::size_t size);
    const char* middle;  // what the middle record is after the next opening
    std::size_t records;
};

void PrintTo(const LeftoverCase& c, std::ostream* out) { *out << c.name; }

class LeftoverSideFile : public testing::TestWithParam<LeftoverCase> {};

TEST_P(LeftoverSideFile, IsReplayedOnlyOverTheRecordItWasWrittenFor) {
    const auto& c = GetParam();
    constexpr std::size_t kSize = ProductRecord::kSize;
    test::TempFolder folder;
    const fs::path archive = folder.file("Magazzino.pro");
    const std::string before = pattern(kSize, 'a', 7);
    const std::string after = pattern(kSize, 'A', 11);
    test::writeBytes(archive, pattern(kSize, 'n', 3) + before + pattern(kSize, 'r', 5));
    test::Child writer([&] {
        aimAt({Step::SideFileFlushed, 0}, 0, killSelf);
        const auto card = std::span(reinterpret_cast<const std::uint8_t*>(after.data()), kSize);
        return CardProtocol(archive, kSize).save(2, card).saved ? 0 : 1;
    });
    ASSERT_EQ(writer.wait(), 100 + SIGKILL);
    c.meanwhile(archive, kSize);
    ASSERT_TRUE(ArchiveFile::openOrCreate(archive, kSize).ok());
    const std::string now = test::readBytes(archive);
    EXPECT_EQ(now.size(), c.records * kSize) << "a replay never makes the archive longer";
    if (c.records > 1) {
        const std::string middle = now.substr(kSize, kSize);
        EXPECT_EQ(middle == after                     ? "new"
                  : middle == before                  ? "old"
                  : middle == pattern(kSize, 'x', 13) ? "third"
                                                      : "?",
                  std::string(c.middle));
    }
    EXPECT_FALSE(ArchiveFile::unsettledRewriteOf(archive, kSize));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, LeftoverSideFile,
    testing::Values(
        LeftoverCase{"NothingDoneMeanwhile", [](const fs::path&, std::size_t) {}, "new", 3},
        LeftoverCase{"RecordRewrittenByACopyWithoutSideFiles",
                     [](const fs::path& archive, std::size_t size) {
                         std::string bytes = test::readBytes(archive);
                         bytes.replace(size, size, pattern(size, 'x', 13));
                         test::writeBytes(archive, bytes);
                     }, "third", 3},
        LeftoverCase{"ArchiveShortenedBeforeTheRecord",
                     [](const fs::path& archive, std::size_t size) { fs::resize_file(archive, size); }, "", 1}),
    [](const testing::TestParamInfo<LeftoverCase>& c) { return c.param.name; });
// clang-format on

TEST(LeftoverSideFile, IsSettledBeforeARewriteOfAnotherRecordTakesItsPlace) {
    constexpr std::size_t kSize = ProductRecord::kSize;
    test::TempFolder folder;
    const fs::path archive = folder.file("Magazzino.pro");
    const std::string after = pattern(kSize, 'A', 11);
    const std::string last = pattern(kSize, 'B', 11);
    test::writeBytes(archive, pattern(kSize, 'n', 3) + pattern(kSize, 'a', 7) + pattern(kSize, 'r', 5));
    // Opened before the writer dies, as by a copy that was already at work on the archive.
    auto file = ArchiveFile::openOrCreate(archive, kSize);
    ASSERT_TRUE(file.ok());
    test::Child writer([&] {
        aimAt({Step::SideFileFlushed, 0}, 0, killSelf);
        const auto card = std::span(reinterpret_cast<const std::uint8_t*>(after.data()), kSize);
        return CardProtocol(archive, kSize).save(2, card).saved ? 0 : 1;
    });
    ASSERT_EQ(writer.wait(), 100 + SIGKILL);

    ASSERT_TRUE(file->writeAt(2, std::span(reinterpret_cast<const std::uint8_t*>(last.data()), kSize)).ok());
    EXPECT_TRUE(test::readBytes(archive) == pattern(kSize, 'n', 3) + after + last);
    EXPECT_FALSE(ArchiveFile::unsettledRewriteOf(archive, kSize));
}

// Two copies saving two cards of one archive at once, one of them stopped in the middle of its rewrite.
class TwoWriters : public testing::TestWithParam<Point> {};

TEST_P(TwoWriters, BothRewritesAreKept) {
    constexpr std::size_t kSize = ProductRecord::kSize;
    test::TempFolder folder;
    const fs::path archive = folder.file("Magazzino.pro");
    const std::string middle = pattern(kSize, 'm', 3);
    test::writeBytes(archive, pattern(kSize, 'a', 7) + middle + pattern(kSize, 'b', 7));
    const std::string first = pattern(kSize, 'A', 11);
    const std::string last = pattern(kSize, 'B', 11);
    const auto save = [&](CardPosition position, const std::string& card) {
        return CardProtocol(archive, kSize)
                       .save(position, std::span(reinterpret_cast<const std::uint8_t*>(card.data()), kSize))
                       .saved
                   ? 0
                   : 1;
    };

    test::StopPoint stopped;
    test::Child one([&] {
        stopPoint = &stopped;
        aimAt(GetParam(), 512, stopThere);
        return save(1, first);
    });
    ASSERT_TRUE(stopped.reached());
    test::Child other([&] { return save(3, last); });
    // The other copy waits its turn at the side file, and then saves its own card.
    EXPECT_TRUE(test::eventually([&] { return test::lockAwaitedOn(ArchiveFile::sideFileOf(archive)); }));
    stopped.letGo();
    EXPECT_EQ(one.wait(), 0);
    EXPECT_EQ(other.wait(), 0);
    EXPECT_TRUE(test::readBytes(archive) == first + middle + last);
    EXPECT_FALSE(ArchiveFile::unsettledRewriteOf(archive, kSize));
}

// Stopped as it takes the side file (made by it a moment before), and in the middle of its record.
INSTANTIATE_TEST_SUITE_P(StoppedAt, TwoWriters,
                         testing::Values(Point{Step::SideFileLocked, 0}, Point{Step::RecordPiece, 2}),
                         [](const testing::TestParamInfo<Point>& p) {
                             return p.param.step == Step::SideFileLocked ? "AsItTakesTheSideFile" : "InItsRecord";
                         });

TEST(ArchiveSideFile, IsTheArchivesOwnAndFitsAFolderEntryEvenForALongName) {
    test::TempFolder folder;
    EXPECT_EQ(ArchiveFile::sideFileOf(folder.file("Estate.lis")), folder.file(".Estate.lis.rewrite"));
    EXPECT_NE(ArchiveFile::sideFileOf(folder.file("Estate.lis")), ArchiveFile::sideFileOf(folder.file("Estate.LIS")));

    const std::string longName(240, 'L');
    const fs::path one = folder.file(longName + "1.lis");
    const fs::path two = folder.file(longName + "2.lis");
    EXPECT_LE(ArchiveFile::sideFileOf(one).filename().string().size(), 255u);
    EXPECT_NE(ArchiveFile::sideFileOf(one), ArchiveFile::sideFileOf(two));

    const std::string page(PriceListPage::kSize, 'p');
    test::writeBytes(one, page);
    const std::string changed(PriceListPage::kSize, 'q');
    EXPECT_TRUE(CardProtocol(one, PriceListPage::kSize)
                    .save(1, std::span(reinterpret_cast<const std::uint8_t*>(changed.data()), changed.size()))
                    .saved);
    EXPECT_EQ(test::readBytes(one), changed);
}

}  // namespace
}  // namespace scortavia
