// Printing a 100,000-row list: laying its pages out, writing them to a PDF, and the resident size of
// the program around opening, closing and printing such a list. Every figure comes with the raw
// read of the 100,000-product archive measured in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "products/ProductListScreens.h"
#include "reports/ListReport.h"
#include "reports/PrintService.h"
#include "shell/Application.h"
#include "ui/RowListModel.h"
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

std::filesystem::path archive() { return programFolder() / "Magazzino.pro"; }

// The rows of the product search with nothing typed: every product, as the list screen prints them.
QStringList everyProductRow() {
    RowList rows;
    // Timing an empty list would report nonsense: a bench archive that cannot be read stops the run.
    if (const Status read = fillSearchList(archive(), SearchTexts{}, rows); !read) {
        std::fprintf(stderr, "%s\n", read.error().c_str());
        std::exit(1);
    }
    QStringList out;
    out.reserve(static_cast<qsizetype>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string_view row = rows[i];
        out << QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size()));
    }
    return out;
}

std::unique_ptr<ReportTemplate> filledList() {
    auto report = makeListTemplate();
    fillList(*report, QStringLiteral("Riepilogo prodotti in magazzino"), everyProductRow());
    return report;
}

// CPU time of this process: on a machine shared with other builds, steadier than the clock.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs `job` once per iteration, timed by the clock and by the CPU, with the raw read of the archive
// beside it; reports the cost per page of `pages` pages.
template <class Job>
void measurePages(benchmark::State& state, std::size_t pages, Job job) {
    double raw = 0;
    double wall = 0;
    double cpu = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archive());
        const double cpuStart = cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        job();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += cpuSeconds() - cpuStart;
        state.SetIterationTime(seconds);
        wall += seconds;
    }
    const double perPage = static_cast<double>(state.iterations()) * static_cast<double>(pages);
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["us_per_page"] = wall / perPage * 1e6;
    state.counters["cpu_us_per_page"] = cpu / perPage * 1e6;
    state.counters["raw_ms"] = raw / static_cast<double>(state.iterations()) * 1e3;
    state.counters["x_raw"] = wall / raw;
}

void BM_ListLayout(benchmark::State& state) {
    auto report = filledList();
    report->prepare();
    measurePages(state, report->pages().size(), [&] { report->prepare(); });
}

void BM_ListPdf(benchmark::State& state) {
    auto report = filledList();
    report->prepare();
    const QString path = QString::fromStdString((benchFolder() / "lista.pdf").string());
    measurePages(state, report->pages().size(), [&] {
        if (!PrintService::writePdf(*report, path)) state.SkipWithError("PDF non scritto");
    });
    state.counters["pdf_MB"] = static_cast<double>(std::filesystem::file_size(benchFolder() / "lista.pdf")) / 1e6;
}

// The preview's work: the first 200 pages painted one by one on a screen-resolution picture.
void BM_ListPagesOnScreen(benchmark::State& state) {
    auto report = filledList();
    report->prepare();
    constexpr std::size_t kPages = 200;
    const double pxPerMm = 96 / 25.4;
    QImage image((report->paperMm() * pxPerMm).toSize(), QImage::Format_RGB32);
    measurePages(state, kPages, [&] {
        for (std::size_t i = 0; i < kPages; ++i) {
            image.fill(Qt::white);
            QPainter painter(&image);
            PrintService::paintPage(painter, *report, report->pages()[i], pxPerMm);
        }
    });
}

// VmRSS of this process, in MB.
double residentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// Lets posted work (deferred deletes, timers due now) run, as the idle program would.
void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The search list with nothing typed (all 100,000 products), opened as the product card opens it.
std::unique_ptr<TfrmTrovaMagazzino> openSearchList(ScreenRegistry& registry, QWidget* owner = nullptr) {
    auto screen = std::make_unique<TfrmTrovaMagazzino>(registry, owner);
    screen->show();
    screen->btnCercaClick();
    settle();
    return screen;
}

// Resident size before anything, with the 100,000-row list open, after closing it, after printing
// it to a PDF (the print request answered by writing the PDF) and after closing that one too.
// The whole program runs, every screen created, the product card on screen: the lists open over it.
void BM_ResidentSize(benchmark::State& state) {
    Application::applyLook();
    Application program(programFolder());
    program.start();
    ScreenRegistry& registry = program.registry();
    registry.switchTo(QStringLiteral("frmMagazzino"), registry.screen(QStringLiteral("frmPassword")));
    QWidget* card = registry.screen(QStringLiteral("frmMagazzino"));
    const QString pdf = QString::fromStdString((benchFolder() / "stampa.pdf").string());
    PrintService::setHookForTesting(
        [&pdf](PrintService::Request, const ReportTemplate& report) { PrintService::writePdf(report, pdf); });
    double raw = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archive());
        settle();
        state.counters["rss_start_MB"] = residentMb();
        {
            auto screen = openSearchList(registry, card);
            state.counters["rss_open_MB"] = residentMb();
            screen->close();
        }
        settle();
        state.counters["rss_closed_MB"] = residentMb();
        {
            auto screen = openSearchList(registry, card);
            state.counters["rows"] = screen->model()->rowCount();
            screen->btnStampaClick();
            settle();
            state.counters["rss_printed_MB"] = residentMb();
            screen->close();
        }
        settle();
        state.counters["rss_printed_closed_MB"] = residentMb();
    }
    PrintService::setHookForTesting({});
    state.counters["raw_ms"] = raw * 1e3;
    state.counters["pdf_MB"] = static_cast<double>(std::filesystem::file_size(benchFolder() / "stampa.pdf")) / 1e6;
}

}  // namespace

// First, in a fresh process: the resident sizes mean nothing after the other benchmarks' work.
BENCHMARK(BM_ResidentSize)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ListLayout)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_ListPdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
BENCHMARK(BM_ListPagesOnScreen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
