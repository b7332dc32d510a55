// The spreadsheet export on big archives: the export screen opened on 100,000 products (259 MB) and on a
// 100,000-movement year (294 MB), button to painted grid; the grid's cells read alone; and the file
// written from them, each against a raw read of the same archive in the same iteration; and what the
// grid of 100,000 products costs in resident memory.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "export/ExportScreen.h"
#include "export/SpreadsheetExport.h"
#include "ui/MessageService.h"
#include "ui/ScreenRegistry.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

std::filesystem::path archiveFor(ExportKind kind, int records) {
    return kind == ExportKind::Products ? archiveOf(records) : movementArchiveOf(records);
}

// Opening an export screen: every cell of the archive read into the grid's store.
void BM_ExportCells(benchmark::State& state, ExportKind kind) {
    const auto archive = archiveFor(kind, static_cast<int>(state.range(0)));
    double raw = 0;
    double loaded = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archive);
        ExportCells cells;
        const double s = seconds([&] {
            if (!cells.load(archive, exportDesign(kind)).ok()) state.SkipWithError("archive not read");
        });
        if (cells.rowCount() != static_cast<std::size_t>(state.range(0))) state.SkipWithError("rows missing");
        loaded += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, loaded);
}

// The export screen of `kind`, made and shown: the product export as the product card opens it, a
// movement export on the year archive its card names.
std::unique_ptr<ExportScreen> openExport(ScreenRegistry& registry, ExportKind kind, int records) {
    std::unique_ptr<ExportScreen> screen;
    if (kind == ExportKind::Products) {
        screen = std::make_unique<TfrmExpMagazzino>(registry, nullptr);
    } else {
        screen = std::make_unique<TfrmExpCarichi>(registry, nullptr, [records] { return movementArchiveOf(records); });
    }
    screen->show();
    QApplication::processEvents();
    return screen;
}

// "Esporta" on a card to the painted grid of every record.
void BM_ExportScreenShown(benchmark::State& state, ExportKind kind) {
    const int records = static_cast<int>(state.range(0));
    ScreenRegistry registry(programFolderOf(records));
    double raw = 0;
    double shown = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archiveFor(kind, records));
        std::unique_ptr<ExportScreen> screen;
        const double s = seconds([&] { screen = openExport(registry, kind, records); });
        if (screen->model()->rowCount() != records) state.SkipWithError("rows missing");
        shown += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, shown);
}

// What the grid of 100,000 products keeps resident while the screen is open, and the high-water mark
// while opening it. Runs first, once, so that no earlier benchmark has left freed memory to be reused.
void BM_ExportGridMemory(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    ScreenRegistry registry(programFolderOf(records));
    archiveOf(records);  // written before measuring
    for (auto _ : state) {
        const double before = residentBytes();
        const double peakBefore = peakResidentBytes();
        std::unique_ptr<ExportScreen> screen;
        const double s = seconds([&] { screen = openExport(registry, ExportKind::Products, records); });
        state.SetIterationTime(s);
        state.counters["rss_growth_MB"] = (residentBytes() - before) / 1e6;
        state.counters["peak_growth_MB"] = (peakResidentBytes() - peakBefore) / 1e6;
    }
}

// "Esporta": the whole file written from the grid, synced and renamed into place.
void BM_WriteSpreadsheet(benchmark::State& state, ExportKind kind) {
    const auto archive = archiveFor(kind, static_cast<int>(state.range(0)));
    ExportCells cells;
    if (!cells.load(archive, exportDesign(kind)).ok()) state.SkipWithError("archive not read");
    const CellSource source = [&](std::size_t row, std::size_t column) { return cells.cell(row, column); };
    const std::filesystem::path target = benchFolder() / exportDesign(kind).fileName;
    double raw = 0;
    double written = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archive);
        const double s = seconds([&] {
            if (writeSpreadsheetFile(target, exportDesign(kind), cells.rowCount(), source,
                                     [](std::size_t) { return true; }) != ExportOutcome::Written) {
                state.SkipWithError("file not written");
            }
        });
        written += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, written);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(target)) / 1e6;
}

}  // namespace

BENCHMARK(BM_ExportGridMemory)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK_CAPTURE(BM_ExportScreenShown, products, ExportKind::Products)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_ExportScreenShown, movements, ExportKind::GoodsIn)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_ExportCells, products, ExportKind::Products)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_ExportCells, movements, ExportKind::GoodsIn)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_WriteSpreadsheet, products, ExportKind::Products)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_WriteSpreadsheet, movements, ExportKind::GoodsIn)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
