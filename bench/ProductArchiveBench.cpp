// Product archive of 100,000 cards (259 MB): a full scan that builds the list rows, compared with a
// plain read of the same file, the list of every product split into building and sorting its rows
// (also at 300,000 cards), and the card actions, which must not grow with the archive.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchArchive.h"
#include "common/ListRows.h"
#include "products/ProductRows.h"
#include "storage/ArchiveFile.h"
#include "storage/ArchiveScan.h"
#include "storage/CardProtocol.h"
#include "storage/ProductRecord.h"

namespace fs = std::filesystem;
using namespace scortavia;
using namespace scortavia::bench;

namespace {

void BM_RawRead(benchmark::State& state) {
    const fs::path path = archiveOf(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(rawReadSeconds(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(path)));
}

// Scan + decode + format-A row for every card, as the product lists do (time until the list is filled);
// reports the ratio to the raw read measured around it in the same process, so the figure holds on a noisy
// machine.
void BM_ScanRowsA(benchmark::State& state) {
    const fs::path path = archiveOf(static_cast<int>(state.range(0)));
    std::vector<double> raw;
    std::vector<double> scan;
    for (auto _ : state) {
        raw.push_back(rawReadSeconds(path));
        const auto start = std::chrono::steady_clock::now();
        auto file = ArchiveFile::openOrCreate(path, ProductRecord::kSize);
        RowList rows;
        rows.reserve(static_cast<std::size_t>(state.range(0)), 150);
        ArchiveScan reader(*file);
        while (const std::uint8_t* r = reader.next()) {
            appendProductRowA(rows.startRow(), ProductView(r));
            rows.endRow();
        }
        file->close();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(rows.row(0).data());
        scan.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    std::sort(raw.begin(), raw.end());
    std::sort(scan.begin(), scan.end());
    state.counters["raw_ms"] = raw[raw.size() / 2] * 1e3;
    state.counters["scan_ms"] = scan[scan.size() / 2] * 1e3;
    state.counters["ratio"] = scan[scan.size() / 2] / raw[raw.size() / 2];
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Where the time of the list of every product goes: building its rows into a fresh list (scan, decode, format A, as
// the list screens do) and sorting them, each against the raw read of the same file in the same iteration.
void BM_ListPhases(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const fs::path path = archiveOf(static_cast<int>(count));
    std::vector<double> raw;
    std::vector<double> build;
    std::vector<double> sort;
    for (auto _ : state) {
        raw.push_back(rawReadSeconds(path));
        const auto start = std::chrono::steady_clock::now();
        RowList rows;
        rows.reserve(count, 160);
        {
            auto file = ArchiveFile::openOrCreate(path, ProductRecord::kSize);
            ArchiveScan reader(*file);
            while (const std::uint8_t* r = reader.next()) {
                appendProductRowA(rows.startRow(), ProductView(r));
                rows.endRow();
            }
        }
        const auto built = std::chrono::steady_clock::now();
        rows.sort();
        const auto sorted = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(rows.row(0).data());
        build.push_back(std::chrono::duration<double>(built - start).count());
        sort.push_back(std::chrono::duration<double>(sorted - built).count());
        state.SetIterationTime(std::chrono::duration<double>(sorted - start).count());
    }
    state.counters["raw_ms"] = median(raw) * 1e3;
    state.counters["rows_ms"] = median(build) * 1e3;
    state.counters["sort_ms"] = median(sort) * 1e3;
    state.counters["rows_ratio"] = median(build) / median(raw);
    state.counters["sort_ratio"] = median(sort) / median(raw);
}

void runCard(benchmark::State& state, CardAction action, CardPosition position) {
    const fs::path path = archiveOf(static_cast<int>(state.range(0)));
    const CardProtocol protocol(path, ProductRecord::kSize);
    ProductRecord card;
    for (auto _ : state) {
        auto outcome = protocol.navigate(action, position, card.bytes());
        if (!outcome.loaded) state.SkipWithError("no card loaded");
        benchmark::DoNotOptimize(outcome);
    }
}

void BM_CardFirst(benchmark::State& state) { runCard(state, CardAction::First, kNewCard); }
void BM_CardLast(benchmark::State& state) { runCard(state, CardAction::Last, kNewCard); }
void BM_CardNext(benchmark::State& state) { runCard(state, CardAction::Next, 500); }

// Saving a card shown at a position: one positioned write and a flush to disk.
void BM_CardSave(benchmark::State& state) {
    const fs::path path = archiveOf(static_cast<int>(state.range(0)));
    const CardProtocol protocol(path, ProductRecord::kSize);
    ProductRecord card;
    protocol.navigate(CardAction::Next, 500, card.bytes());
    for (auto _ : state) {
        auto outcome = protocol.save(501, card.bytes());
        if (!outcome.saved) state.SkipWithError("not saved");
    }
}

// What a card save may cost beyond the rewrite: a card's side file rewritten in place and flushed.
void BM_FlushSmallFile(benchmark::State& state) {
    const fs::path path = archiveOf(1000).parent_path() / "flush-reference";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
    const std::vector<char> bytes(2 * ProductRecord::kSize + 52, 'x');
    if (fd < 0 || ::pwrite(fd, bytes.data(), bytes.size(), 0) < 0 || ::fsync(fd) != 0) state.SkipWithError("no file");
    for (auto _ : state) {
        if (::pwrite(fd, bytes.data(), bytes.size(), 0) < 0 || ::fdatasync(fd) != 0) state.SkipWithError("not written");
    }
    if (fd >= 0) ::close(fd);
    fs::remove(path);
}

}  // namespace

BENCHMARK(BM_FlushSmallFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawRead)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ScanRowsA)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();
BENCHMARK(BM_ListPhases)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();
BENCHMARK(BM_CardFirst)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CardLast)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CardNext)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CardSave)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
