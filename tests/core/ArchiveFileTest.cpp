#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "storage/ArchiveFile.h"
#include "storage/ArchiveScan.h"
#include "storage/MovementRecord.h"
#include "storage/ProductRecord.h"
#include "support/Processes.h"
#include "support/ProductArchiveFixture.h"
#include "support/Records.h"
#include "support/TempFolder.h"

namespace scortavia {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

class ArchiveFileTest : public test::ProductArchiveFixture {
protected:
    ArchiveFile open(std::size_t size = ProductRecord::kSize) {
        auto file = ArchiveFile::openOrCreate(archive, size);
        EXPECT_TRUE(file.ok()) << file.error();
        return std::move(file).value();
    }
};

TEST_F(ArchiveFileTest, OpenCreatesAnEmptyFileAndNeverTruncates) {
    {
        auto file = open();
        EXPECT_EQ(*file.recordCount(), 0);
        EXPECT_TRUE(file.atEnd());
    }
    EXPECT_TRUE(fs::exists(archive));
    EXPECT_EQ(fs::file_size(archive), 0u);

    test::writeBytes(archive, std::string(2592 * 2, 'x'));
    open();
    EXPECT_EQ(fs::file_size(archive), 2592u * 2);
}

TEST_F(ArchiveFileTest, CountIgnoresAPartialRecordAtTheEnd) {
    for (auto [size, count] : std::vector<std::pair<std::size_t, int>>{
             {0, 0}, {2591, 0}, {2592, 1}, {2600, 1}, {2592 * 3, 3}, {2592 * 3 + 2591, 3}}) {
        test::writeBytes(archive, std::string(size, 'x'));
        EXPECT_EQ(*open().recordCount(), count) << size << " bytes";
    }
}

TEST_F(ArchiveFileTest, ReadAtReadsTheWholeRecordAndSetsThePosition) {
    std::vector<ProductRecord> records = {test::product("A"), test::product("B"), test::product("C")};
    test::writeBytes(archive, test::archiveBytes(records) + "tail");
    auto file = open();
    ProductRecord r;
    ASSERT_TRUE(file.readAt(1, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Codice), "B");
    EXPECT_EQ(file.position(), 2);
    EXPECT_FALSE(file.atEnd());
    ASSERT_TRUE(file.readAt(2, r.bytes()));
    EXPECT_TRUE(file.atEnd());
    // The partial record at the end is never read as a record.
    EXPECT_FALSE(file.readAt(3, r.bytes()));
}

TEST_F(ArchiveFileTest, WriteAtRewritesOnlyThatRecord) {
    const std::string before = withProducts({test::product("A"), test::product("B"), test::product("C")});
    auto changed = test::product("B2");
    ASSERT_TRUE(open().writeAt(1, changed.bytes()));
    const std::string after = test::readBytes(archive);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, 2592), before.substr(0, 2592));
    EXPECT_EQ(after.substr(2592, 2592), test::archiveBytes(std::vector{changed}));
    EXPECT_EQ(after.substr(5184), before.substr(5184));
}

TEST_F(ArchiveFileTest, WriteAtPastTheEndIsRefusedRatherThanLeavingAHole) {
    auto file = open();
    auto r = test::product("A");
    EXPECT_FALSE(file.writeAt(1, r.bytes()));
    EXPECT_FALSE(file.writeAt(-1, r.bytes()));
    EXPECT_TRUE(file.writeAt(0, r.bytes()));  // index = count appends
    EXPECT_EQ(fs::file_size(archive), 2592u);
}

TEST_F(ArchiveFileTest, AppendOverwritesAPartialRecordLeftByAFailedWrite) {
    std::vector<ProductRecord> records = {test::product("A")};
    test::writeBytes(archive, test::archiveBytes(records) + std::string(100, '\x7F'));
    auto file = open();
    auto index = file.append(test::product("B").bytes());
    ASSERT_TRUE(index.ok());
    EXPECT_EQ(*index, 1);
    EXPECT_EQ(fs::file_size(archive), 2592u * 2);
    ProductRecord r;
    ASSERT_TRUE(file.readAt(1, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Codice), "B");
}

TEST_F(ArchiveFileTest, BuffersOfTheWrongSizeAreRefused) {
    auto file = open();
    std::vector<std::uint8_t> small(100);
    EXPECT_FALSE(file.writeAt(0, small));
    EXPECT_FALSE(file.append(small).ok());
    EXPECT_FALSE(file.readAt(0, small));
    EXPECT_EQ(fs::file_size(archive), 0u);
}

TEST(ArchiveFileFailure, PathsThatCannotBeAnArchiveGiveAnError) {
    TempFolder folder;
    fs::create_directory(folder.file("Magazzino.pro"));
    test::writeBytes(folder.file("plain"), "x");
    for (const fs::path& p : {folder.file("Magazzino.pro"),            // a folder where the file should be
                              folder.file("plain") / "Magazzino.pro",  // a file where the folder should be
                              folder.file("missing") / "Magazzino.pro", fs::path("/dev/null")}) {
        auto file = ArchiveFile::openOrCreate(p, 2592);
        EXPECT_FALSE(file.ok()) << p;
        EXPECT_FALSE(file.error().empty());
    }
}

TEST_F(ArchiveFileTest, AShortWriteIsAFailureAndLeavesAtMostOnePartialRecord) {
    {
        auto file = open();
        ASSERT_TRUE(file.append(test::product("A").bytes()).ok());
    }
    // The child may not grow the file past 3000 bytes: the second record is cut short.
    const int rc = test::inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{3000, 3000};
        setrlimit(RLIMIT_FSIZE, &limit);
        auto file = ArchiveFile::openOrCreate(archive, 2592);
        if (!file) return 2;
        return file->append(test::product("B").bytes()).ok() ? 0 : 1;
    });
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(fs::file_size(archive), 3000u);
    auto file = open();
    EXPECT_EQ(*file.recordCount(), 1);
    auto index = file.append(test::product("C").bytes());
    ASSERT_TRUE(index.ok());
    EXPECT_EQ(*index, 1);
    EXPECT_EQ(fs::file_size(archive), 2592u * 2);
}

// Each writer fills every byte of its records with a pattern of its own (writer, sequence),
// so a lost, doubled or torn record shows in the final file.
MovementRecord stressRecord(int writer, int seq) {
    MovementRecord r;
    const std::string tag = "W" + std::to_string(writer) + "-" + std::to_string(seq);
    for (std::size_t i = 0; i < MovementRecord::FieldCount; ++i) {
        const auto f = static_cast<MovementRecord::Field>(i);
        std::string text;
        while (text.size() + tag.size() + 1 <= MovementRecord::Info::capacity(f)) text += tag + ".";
        r.setText(f, text.empty() ? tag.substr(0, MovementRecord::Info::capacity(f)) : text);
    }
    return r;
}

TEST_F(ArchiveFileTest, TwoProcessesAppendingAtOnceLoseAndTearNothing) {
    constexpr int kWriters = 2;
    constexpr int kPerWriter = 300;
    ASSERT_TRUE(test::allInChildren(kWriters, [&](int w) {
        ArchiveFile::setRaceHookForTesting([] { usleep(50); });
        for (int i = 0; i < kPerWriter; ++i) {
            auto file = ArchiveFile::openOrCreate(archive, MovementRecord::kSize);
            if (!file || !file->append(stressRecord(w, i).bytes()).ok()) return 1;
        }
        return 0;
    }));

    ASSERT_EQ(fs::file_size(archive), static_cast<std::uintmax_t>(kWriters * kPerWriter) * MovementRecord::kSize);
    auto file = open(MovementRecord::kSize);
    ArchiveScan scan(file);
    std::map<std::pair<int, int>, int> seen;
    std::vector<int> lastSeq(kWriters, -1);
    while (const std::uint8_t* bytes = scan.next()) {
        MovementRecord r;
        std::memcpy(r.bytes().data(), bytes, MovementRecord::kSize);
        int writer = -1;
        int seq = -1;
        ASSERT_EQ(std::sscanf(r.text(MovementRecord::DaSaldare).c_str(), "W%d", &writer), 1);
        ASSERT_EQ(std::sscanf(r.text(MovementRecord::Fornitore).c_str(), "W%d-%d", &writer, &seq), 2);
        EXPECT_EQ(std::memcmp(r.bytes().data(), stressRecord(writer, seq).bytes().data(), MovementRecord::kSize), 0)
            << "torn record at " << scan.index();
        ++seen[{writer, seq}];
        EXPECT_GT(seq, lastSeq[writer]) << "each writer's records keep their order";
        lastSeq[writer] = seq;
    }
    EXPECT_TRUE(scan.status().ok());
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kWriters * kPerWriter));
    for (const auto& [key, n] : seen) EXPECT_EQ(n, 1);
}

TEST_F(ArchiveFileTest, ConcurrentReadModifyWritesOfOneRecordAllCount) {
    {
        auto file = open();
        ASSERT_TRUE(file.append(test::product("STOCK", "Prodotto", {{ProductRecord::Giacenza, "0"}}).bytes()).ok());
        ASSERT_TRUE(file.append(test::product("OTHER").bytes()).ok());
    }
    constexpr int kProcesses = 2;
    constexpr int kIncrements = 150;
    ASSERT_TRUE(test::allInChildren(kProcesses, [&](int) {
        ArchiveFile::setRaceHookForTesting([] { usleep(50); });
        for (int i = 0; i < kIncrements; ++i) {
            auto file = ArchiveFile::openOrCreate(archive, ProductRecord::kSize);
            ProductRecord r;
            const bool ok = file && file->updateAt(0, r.bytes(), [](std::span<std::uint8_t> bytes) {
                ProductRecord copy;
                std::memcpy(copy.bytes().data(), bytes.data(), bytes.size());
                copy.setText(ProductRecord::Giacenza,
                             std::to_string(std::stoi(copy.text(ProductRecord::Giacenza)) + 1));
                std::memcpy(bytes.data(), copy.bytes().data(), bytes.size());
                return true;
            });
            if (!ok) return 1;
        }
        return 0;
    }));
    auto file = open();
    ProductRecord r;
    ASSERT_TRUE(file.readAt(0, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Giacenza), std::to_string(kProcesses * kIncrements));
    ASSERT_TRUE(file.readAt(1, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Codice), "OTHER");
}

TEST_F(ArchiveFileTest, ABatchThatCannotBeWrittenWholeIsNotWrittenAtAll) {
    {
        auto file = open();
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(file.append(test::product("OLD" + std::to_string(i)).bytes()).ok());
    }
    // A file-size limit of five records stands for a disk that fills up in the middle of the batch.
    EXPECT_EQ(test::inChild([&] {
                  signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{ProductRecord::kSize * 5, ProductRecord::kSize * 5};
                  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
                  auto file = ArchiveFile::openOrCreate(archive, ProductRecord::kSize);
                  std::string batch;
                  for (int i = 0; i < 4; ++i) {
                      const ProductRecord record = test::product("NEW" + std::to_string(i));
                      batch.append(reinterpret_cast<const char*>(record.bytes().data()), ProductRecord::kSize);
                  }
                  const auto written =
                      file->appendBatch(std::span(reinterpret_cast<const std::uint8_t*>(batch.data()), batch.size()));
                  return written.ok() ? 1 : 0;
              }),
              0);
    EXPECT_EQ(fs::file_size(archive), 3u * ProductRecord::kSize);

    auto file = open();
    std::string two;
    for (int i = 0; i < 2; ++i) {
        const ProductRecord record = test::product("NEXT" + std::to_string(i));
        two.append(reinterpret_cast<const char*>(record.bytes().data()), ProductRecord::kSize);
    }
    const auto first = file.appendBatch(std::span(reinterpret_cast<const std::uint8_t*>(two.data()), two.size()));
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(*first, 3);
    ProductRecord r;
    ASSERT_TRUE(file.readAt(4, r.bytes()));
    EXPECT_EQ(r.text(ProductRecord::Codice), "NEXT1");
    EXPECT_FALSE(file.appendBatch(std::span(reinterpret_cast<const std::uint8_t*>(two.data()), 100)).ok())
        << "a batch must hold whole records";
}

}  // namespace
}  // namespace scortavia
