// The summaries on big archives: a whole year's movement summary over a 100,000-movement archive
// (294 MB, every movement listed) and the inventory of 100,000 products (every product listed and
// sorted), each with its exact total written, against a raw read of the same file in the same
// iteration; first the filling alone, then through the screens, button to painted list.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "summaries/InventoryScreens.h"
#include "summaries/MovementSummaryScreens.h"
#include "summaries/Summaries.h"
#include "ui/MessageService.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

void BM_MovementSummaryYear(benchmark::State& state) {
    const std::filesystem::path archive = movementArchiveOf(static_cast<int>(state.range(0)));
    const MovementSummaryFilter year{"", {2024, 1, 1}, {2024, 12, 31}};
    double raw = 0;
    double filled = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archive);
        MovementSummary summary;
        const double s = seconds([&] {
            if (!fillMovementSummary(archive, year, summary).ok()) state.SkipWithError("archive not read");
        });
        benchmark::DoNotOptimize(summary.total.data());
        filled += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, filled);
}

void BM_InventoryAll(benchmark::State& state) {
    const std::filesystem::path archive = archiveOf(static_cast<int>(state.range(0)));
    double raw = 0;
    double filled = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archive);
        Inventory inventory;
        const double s = seconds([&] {
            if (!fillInventory(archive, "", inventory).ok()) state.SkipWithError("archive not read");
        });
        benchmark::DoNotOptimize(inventory.total.data());
        filled += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, filled);
}

// "Visualizza riepilogo" over the whole year to the painted list with its total.
void BM_SummaryShown(benchmark::State& state) {
    const int movements = static_cast<int>(state.range(0));
    ScreenRegistry registry(benchFolder());
    auto* period = registry.add(std::make_unique<TfrmMenuRiepilogoCarico>(registry));
    period->lblFile->setText(QString::fromStdString(movementArchiveOf(movements).string()));
    period->lblDataInizio->setText(QStringLiteral("01/01/2024"));
    period->lblDataFine->setText(QStringLiteral("31/12/2024"));
    double raw = 0;
    double shown = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(movementArchiveOf(movements));
        std::unique_ptr<TfrmRiepilogoCarico> summary;
        const double s = seconds([&] {
            summary = std::make_unique<TfrmRiepilogoCarico>(*period);
            summary->show();
            QApplication::processEvents();
        });
        if (summary->txtTotMov->text() != QString::number(movements)) state.SkipWithError("not every movement listed");
        shown += s;
        state.SetIterationTime(s);
        summary->close();
    }
    reportAgainstRaw(state, raw, shown);
}

// "Visualizza" on the inventory prompt with no category to the painted, sorted list with its total.
void BM_InventoryShown(benchmark::State& state) {
    const int products = static_cast<int>(state.range(0));
    ScreenRegistry registry(programFolderOf(products));
    auto* prompt = registry.add(std::make_unique<TfrmMenuRiepilogo>(registry));
    double raw = 0;
    double shown = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archiveOf(products));
        std::unique_ptr<TfrmRiepilogo> list;
        const double s = seconds([&] {
            list = std::make_unique<TfrmRiepilogo>(registry, *prompt);
            list->show();
            QApplication::processEvents();
        });
        if (!list->lblTotale->text().startsWith(QStringLiteral("€ "))) state.SkipWithError("no total");
        shown += s;
        state.SetIterationTime(s);
        list->close();
    }
    reportAgainstRaw(state, raw, shown);
}

}  // namespace

BENCHMARK(BM_SummaryShown)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_InventoryShown)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_MovementSummaryYear)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_InventoryAll)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
