// Labels for 1,000 products on A4 3 x 8 sheets (42 pages), each with its name, price and barcode: the
// pages laid out and written to a PDF, as the label dialog prints them. The goal is under 3 s.
#include <benchmark/benchmark.h>

#include <QPageLayout>
#include <QString>
#include <filesystem>
#include <string>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "labels/LabelPage.h"
#include "reports/PrintService.h"
#include "reports/ReportTemplate.h"

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

}  // namespace

BENCHMARK(BM_LabelsPdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
