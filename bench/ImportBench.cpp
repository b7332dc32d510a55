// Products imported from a spreadsheet: a 100,000-row CSV (about 20 MB) read, checked and shown in the
// import screen's preview, with the codes of a 100,000-product archive to compare against; the same
// preview without the screen; and the import of every row into an empty archive. Each is set against a
// raw read of the CSV in the same iteration; the preview's memory is measured on its own, first. Then
// the files that once froze the screen: 10,000 columns, 50 products saved out to column 16,384, and a
// cell of two million "&".
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "products/ImportWrite.h"
#include "products/TfrmImportaProdotti.h"
#include "sheets/SheetRead.h"
#include "ui/ScreenRegistry.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 100000;

// Written once per run: rows as a shop's sheet holds them, a few with quoted delimiters and faults.
fs::path csvOf(int rows) {
    const fs::path path = benchFolder() / ("prodotti_" + std::to_string(rows) + ".csv");
    if (fs::exists(path)) return path;
    static const char* const kCategories[] = {"Ferramenta", "Utensili", "Elettricità", "Colori", "Giardino"};
    static const char* const kNames[] = {"Vite autofilettante 4x30", "Martello carpentiere 500 g",
                                         "Lampadina LED E27 9 W", "Smalto rosso fuoco 750 ml", "Tubo irrigazione 25 m"};
    std::string text =
        "Codice articolo;Nome prodotto;Categoria merceologica;Aspetto esteriore del bene;Caratteristiche;"
        "Costo unitario;Prezzo di vendita;Giacenza;Ditta fornitrice;Collocazione in magazzino;Data scadenza;"
        "Pagato;Note\r\n";
    char line[512];
    for (int i = 0; i < rows; ++i) {
        const int k = i % 5;
        std::snprintf(line, sizeof line,
                      "%s-%06d;%s;%s;Scatola da 100;%s;%d,%02d;%d,%02d;%d;Bulloneria Rossi S.r.l.;"
                      "Scaffale %d, ripiano %d;%s;%s;%s\r\n",
                      kCategories[k], i, kNames[k], kCategories[k],
                      i % 7 == 0 ? "\"Qualità professionale; acciaio zincato\"" : "Uso domestico e professionale",
                      1 + i % 90, i % 100, 2 + i % 150, (i * 7) % 100, i % 400, 1 + i % 20, 1 + i % 5,
                      i % 5 == 0 ? "15/06/2027" : "", i % 2 == 0 ? "Sì" : "No",
                      i % 1000 == 0 ? "riordinare; \"urgente\"" : "");
        text += line;
    }
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The import screen shown with the file chosen and its preview painted.
std::unique_ptr<TfrmImportaProdotti> openPreview(ScreenRegistry& registry, const fs::path& csv) {
    auto screen = std::make_unique<TfrmImportaProdotti>(registry, nullptr);
    screen->show();
    screen->openFile(csv);
    QApplication::processEvents();
    return screen;
}

// What the preview of 100,000 rows keeps resident, and the high-water mark while building it. Runs
// first, once, so that no earlier benchmark has left freed memory to be reused.
void BM_PreviewMemory(benchmark::State& state) {
    const fs::path csv = csvOf(kRows);
    ScreenRegistry registry(programFolderOf(kRows));
    for (auto _ : state) {
        const double before = residentBytes();
        const double peakBefore = peakResidentBytes();
        std::unique_ptr<TfrmImportaProdotti> screen;
        const double s = seconds([&] { screen = openPreview(registry, csv); });
        state.SetIterationTime(s);
        state.counters["rss_growth_MB"] = (residentBytes() - before) / 1e6;
        state.counters["peak_growth_MB"] = (peakResidentBytes() - peakBefore) / 1e6;
    }
}

// "Sfoglia..." to the painted preview of `csv`, timed against a raw read of the file in the same run.
void timePreview(benchmark::State& state, const fs::path& csv, std::size_t rows) {
    ScreenRegistry registry(programFolderOf(kRows));
    double raw = 0;
    double shown = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(csv);
        std::unique_ptr<TfrmImportaProdotti> screen;
        const double s = seconds([&] { screen = openPreview(registry, csv); });
        if (!screen->preview() || screen->preview()->rowCount() != rows) state.SkipWithError("rows missing");
        shown += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, shown);
}

// "Sfoglia..." to the painted preview: the file read and checked, the archive's 100,000 codes read.
void BM_PreviewShown(benchmark::State& state) { timePreview(state, csvOf(kRows), static_cast<std::size_t>(kRows)); }

// The same without the screen and without an archive: reading, mapping and checking alone.
void BM_PreviewCore(benchmark::State& state) {
    const fs::path csv = csvOf(kRows);
    double raw = 0;
    double built = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(csv);
        const double s = seconds([&] {
            const SheetReading reading = readSheetFile(csv);
            if (!reading.table) return state.SkipWithError("file not read");
            bool matched = false;
            const ImportPreview preview =
                ImportPreview::build(*reading.table, {mappingFromHeaders(*reading.table, matched), true}, {});
            if (preview.rowCount() != kRows) state.SkipWithError("rows missing");
            benchmark::DoNotOptimize(preview.ready());
        });
        built += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, built);
    state.counters["file_MB"] = static_cast<double>(fs::file_size(csv)) / 1e6;
}

// "Importa": every row appended to an empty archive, a thousand cards per locked, flushed write.
void BM_Import(benchmark::State& state) {
    const fs::path csv = csvOf(kRows);
    const SheetReading reading = readSheetFile(csv);
    if (!reading.table) return state.SkipWithError("file not read");
    bool matched = false;
    const ImportPreview preview =
        ImportPreview::build(*reading.table, {mappingFromHeaders(*reading.table, matched), true}, {});
    const fs::path archive = benchFolder() / "importato.pro";
    double raw = 0;
    double written = 0;
    for (auto _ : state) {
        fs::remove(archive);
        raw += rawReadSeconds(csv);
        const double s = seconds([&] {
            const ImportOutcome outcome = writeImport(archive, preview, ArchiveDuplicates::AddAsNew,
                                                      [](std::size_t, std::size_t) { return true; });
            if (outcome.added != static_cast<std::size_t>(kRows)) state.SkipWithError("cards missing");
        });
        written += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, raw, written);
    state.counters["archive_MB"] = static_cast<double>(fs::file_size(archive)) / 1e6;
    fs::remove(archive);
}

// A sheet of `columns` columns and `rows` products, each line followed by `emptyAfter` empty
// separators (a sheet a spreadsheet program saved out to its last column).
fs::path wideCsv(int columns, int rows, int emptyAfter) {
    const fs::path path = benchFolder() / ("largo_" + std::to_string(columns) + "x" + std::to_string(rows) + "_" +
                                           std::to_string(emptyAfter) + ".csv");
    if (fs::exists(path)) return path;
    std::string text = "Codice;Nome prodotto;Costo unitario";
    for (int c = 3; c < columns; ++c) text += ";Colonna " + std::to_string(c);
    text += std::string(static_cast<std::size_t>(emptyAfter), ';') + "\r\n";
    for (int r = 0; r < rows; ++r) {
        text += "W-" + std::to_string(r) + ";Vite;1,00";
        for (int c = 3; c < columns; ++c) text += ";" + std::to_string(c);
        text += std::string(static_cast<std::size_t>(emptyAfter), ';') + "\r\n";
    }
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// "Sfoglia..." to the painted preview of a wide sheet: the time the screen stays frozen.
void BM_WideSheet(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(1));
    const fs::path csv = wideCsv(static_cast<int>(state.range(0)), rows, static_cast<int>(state.range(2)));
    timePreview(state, csv, static_cast<std::size_t>(rows));
    state.counters["file_MB"] = static_cast<double>(fs::file_size(csv)) / 1e6;
}

// A table cell of two million "&", read as the export's HTML.
void BM_AmpersandCell(benchmark::State& state) {
    const std::string html = "<table><tr><td>" + std::string(2'000'000, '&') + "</td></tr></table>";
    for (auto _ : state) {
        const double s = seconds([&] {
            const SheetReading reading = readSheetBytes(html);
            if (!reading.table) state.SkipWithError("file not read");
        });
        state.SetIterationTime(s);
    }
}

}  // namespace

BENCHMARK(BM_PreviewMemory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_PreviewShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_PreviewCore)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_WideSheet)
    ->ArgNames({"columns", "rows", "empty"})
    ->Args({10'000, 50, 0})
    ->Args({3, 50, 16'381})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
BENCHMARK(BM_AmpersandCell)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
