// The three product list screens on archives of 100,000 and 300,000 products: from creating the
// screen to the filled, laid-out and painted list (offscreen), and the search with one filled field.
// Each figure comes with a raw read of the same file in the same iteration, and the ratio to it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "products/ProductListScreens.h"
#include "products/ProductLists.h"
#include "ui/RowListModel.h"
#include "ui/ScreenRegistry.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Times `open` (create, show, fill, lay out and paint) and reports it with the raw read before it.
template <class Open>
void measure(benchmark::State& state, Open open) {
    const auto& folder = programFolderOf(static_cast<int>(state.range(0)));
    ScreenRegistry registry(folder);
    std::vector<double> raw;
    std::vector<double> screens;
    for (auto _ : state) {
        raw.push_back(rawReadSeconds(folder / "Magazzino.pro"));
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<QDialog> screen = open(registry);
        QApplication::processEvents();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        screens.push_back(seconds);
        state.SetIterationTime(seconds);
        screen->close();
    }
    state.counters["raw_ms"] = median(raw) * 1e3;
    state.counters["screen_ms"] = median(screens) * 1e3;
    state.counters["ratio"] = median(screens) / median(raw);
}

void BM_UnderStockScreen(benchmark::State& state) {
    measure(state, [](ScreenRegistry& registry) {
        auto screen = std::make_unique<TfrmSottoscorta>(registry, nullptr);
        screen->show();
        return screen;
    });
}

void BM_UnpaidScreen(benchmark::State& state) {
    measure(state, [](ScreenRegistry& registry) {
        auto screen = std::make_unique<TfrmDaSaldare>(registry, nullptr);
        screen->show();
        return screen;
    });
}

void BM_SearchEverything(benchmark::State& state) {
    measure(state, [](ScreenRegistry& registry) {
        auto screen = std::make_unique<TfrmTrovaMagazzino>(registry, nullptr);
        screen->show();
        screen->btnCercaClick();
        return screen;
    });
}

void BM_SearchOneField(benchmark::State& state) {
    measure(state, [](ScreenRegistry& registry) {
        auto screen = std::make_unique<TfrmTrovaMagazzino>(registry, nullptr);
        screen->show();
        screen->txtNome->setText(QStringLiteral("martello"));
        screen->btnCercaClick();
        return screen;
    });
}

// The model and view part alone: every product's rows, already filled and sorted, handed to an open list screen
// until the list is laid out and painted again.
void BM_RowsIntoOpenList(benchmark::State& state) {
    const auto& folder = programFolderOf(static_cast<int>(state.range(0)));
    RowList filled;
    if (!fillSearchList(folder / "Magazzino.pro", SearchTexts{}, filled).ok()) state.SkipWithError("archive not read");
    ScreenRegistry registry(folder);
    TfrmSottoscorta screen(registry, nullptr);
    screen.show();
    QApplication::processEvents();
    std::vector<double> raw;
    std::vector<double> times;
    for (auto _ : state) {
        raw.push_back(rawReadSeconds(folder / "Magazzino.pro"));
        RowList rows = filled;
        const auto start = std::chrono::steady_clock::now();
        screen.model()->setRows(std::move(rows));
        QApplication::processEvents();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        times.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["raw_ms"] = median(raw) * 1e3;
    state.counters["model_ms"] = median(times) * 1e3;
    state.counters["ratio"] = median(times) / median(raw);
}

void listSizes(benchmark::internal::Benchmark* b) {
    b->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
}

}  // namespace

BENCHMARK(BM_UnderStockScreen)->Apply(listSizes);
BENCHMARK(BM_UnpaidScreen)->Apply(listSizes);
BENCHMARK(BM_SearchEverything)->Apply(listSizes);
BENCHMARK(BM_SearchOneField)->Apply(listSizes);
BENCHMARK(BM_RowsIntoOpenList)->Apply(listSizes);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
