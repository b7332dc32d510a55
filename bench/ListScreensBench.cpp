// The three product list screens on a 100,000-product archive: from pressing the button to the
// filled list on screen (offscreen), and the search with one filled field.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <memory>

#include "BenchArchive.h"
#include "products/ProductListScreens.h"
#include "ui/ScreenRegistry.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

constexpr int kProducts = 100000;

// A program folder holding the benchmark archive as "Magazzino.pro".
const std::filesystem::path& programFolder() {
    static const std::filesystem::path folder = [] {
        auto f = benchFolder() / "programma";
        std::filesystem::create_directories(f);
        std::filesystem::create_hard_link(archiveOf(kProducts), f / "Magazzino.pro");
        return f;
    }();
    return folder;
}

// Times `open` (create, show, fill, lay out and paint) and reports it with the raw read around it.
template <class Open>
void measure(benchmark::State& state, Open open) {
    ScreenRegistry registry(programFolder());
    const auto archive = programFolder() / "Magazzino.pro";
    double raw = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archive);
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<QDialog> screen = open(registry);
        QApplication::processEvents();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        screen->close();
    }
    state.counters["raw_ms"] = raw / static_cast<double>(state.iterations()) * 1e3;
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

}  // namespace

BENCHMARK(BM_UnderStockScreen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_UnpaidScreen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SearchEverything)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SearchOneField)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

int main(int argc, char** argv) {
    // A benchmark tool, not the program: it runs without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen platform warns about window hints at every opening; the figures are what matters.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!message.contains(QLatin1String("propagateSizeHints"))) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
