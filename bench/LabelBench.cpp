// Labels for 1,000 products on A4 3 x 8 sheets (42 pages), each with its name, price and barcode: the
// pages laid out and written to a PDF, as the label dialog prints them. The goal is under 3 s.
// And the labels of a goods-in day gathered from a year of 100,000 movements and 100,000 products, as the
// goods-in card does before the label dialog opens, against a raw read of the two files.
#include <benchmark/benchmark.h>

#include <QPageLayout>
#include <QString>
#include <filesystem>
#include <string>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "labels/LabelPage.h"
#include "labels/LabelProducts.h"
#include "reports/PrintService.h"
#include "reports/ReportTemplate.h"
#include "storage/ArchivePaths.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

constexpr int kLabels = 1000;

LabelRun thousandLabels() {
    LabelRun run;
    for (const LabelFormat& format : labelFormats()) {
        if (format.columns == 3 && format.rows == 8) run.format = format;
    }
    // The codes of a shop: EAN-13 from suppliers, in-store ones and codes of its own (Code 128).
    const char* codes[] = {"4006381333931", "2001234567893", "ART-", "036000291452"};
    for (int i = 0; i < kLabels; ++i) {
        std::string code = codes[i % 4];
        if (code == "ART-") code += std::to_string(10000 + i);
        run.labels.push_back({code, "Quaderno a righe A5 " + std::to_string(i), "€ 12,50", "Cartoleria"});
    }
    run.parts = {true, true, true, true, true};
    return run;
}

void BM_LabelsPdf(benchmark::State& state) {
    const LabelRun run = thousandLabels();
    const QString pdf = QString::fromStdString((benchFolder() / "etichette.pdf").string());
    for (auto _ : state) {
        const double s = seconds([&] {
            ReportTemplate report(QStringLiteral("Etichette"), QPageLayout::Portrait);
            if (!fillLabelPages(report, run)) state.SkipWithError("labels not laid out");
            report.prepare();
            if (!PrintService::writePdf(report, pdf)) state.SkipWithError("PDF not written");
        });
        state.SetIterationTime(s);
    }
    state.counters["pdf_MB"] = static_cast<double>(std::filesystem::file_size(benchFolder() / "etichette.pdf")) / 1e6;
}

void BM_GoodsInDayLabels(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::filesystem::path movements = movementArchiveOf(count);
    const std::filesystem::path products = paths::productArchive(programFolderOf(count));
    double raw = 0;
    double gathered = 0;
    std::size_t labels = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(movements) + rawReadSeconds(products);
        const double s = seconds([&] {
            const auto made = goodsInDayLabels(movements, products, CalendarDate(2024, 3, 10));
            if (!made) state.SkipWithError("archives not read");
            labels = made ? made->size() : 0;
        });
        gathered += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, gathered);
    state.counters["labels"] = static_cast<double>(labels);
}

}  // namespace

BENCHMARK(BM_GoodsInDayLabels)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_LabelsPdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
