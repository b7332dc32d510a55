// Backups of a big shop: 100,000 products (259 MB), 100,000 movements (294 MB) and 1,000 photos (40 KB
// each): a backup (written, flushed, read back from the disk and checked), a check alone, and a restore
// into an empty folder and over the same data, each against a plain copy of the same files (what
// `cp -r` does) in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "BenchArchive.h"
#include "backups/BackupArchive.h"
#include "backups/BackupFiles.h"
#include "backups/BackupRestore.h"

using namespace scortavia;
using namespace scortavia::bench;
namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 100'000;
constexpr int kPhotos = 1'000;

const fs::path& shopFolder() {
    static const fs::path folder = [] {
        const fs::path f = benchFolder() / "negozio";
        fs::create_directories(f);
        fs::create_hard_link(archiveOf(kRecords), f / "Magazzino.pro");
        fs::create_hard_link(movementArchiveOf(kRecords), f / "2026.odc");
        // Photos are JPEG files: as good as incompressible, like these bytes.
        std::mt19937 random(7);
        std::string photo(40 * 1024, '\0');
        for (int i = 1; i <= kPhotos; ++i) {
            for (char& c : photo) c = static_cast<char>(random());
            FILE* out = std::fopen((f / (std::to_string(i) + ".jpg")).c_str(), "wb");
            std::fwrite(photo.data(), 1, photo.size(), out);
            std::fclose(out);
        }
        return f;
    }();
    return folder;
}

// cp -r of the data files into an empty folder; with `flushed`, followed by `sync`, as a restore must
// be on disk before it swaps the data.
double plainCopySeconds(bool flushed = false) {
    const fs::path target = benchFolder() / "copia-semplice";
    fs::remove_all(target);
    fs::create_directories(target);
    const auto files = listDataFiles(shopFolder());
    const double s = seconds([&] {
        for (const DataFile& file : *files) fs::copy_file(shopFolder() / file.path, target / file.path);
        if (flushed) ::sync();
    });
    fs::remove_all(target);
    return s;
}

const fs::path& backupFile() {
    static const fs::path file = [] {
        const fs::path f = benchFolder() / "copia.zip";
        (void)createBackup(shopFolder(), f, BackupKind::Manual, "2026-12-10 15:30:00");
        return f;
    }();
    return file;
}

void BM_Backup(benchmark::State& state) {
    double plain = 0;
    double measured = 0;
    for (auto _ : state) {
        plain += plainCopySeconds();
        const fs::path target = benchFolder() / "nuova.zip";
        const double s = seconds([&] {
            if (!createBackup(shopFolder(), target, BackupKind::Manual, "2026-12-10 15:30:00")) {
                state.SkipWithError("backup failed");
            }
        });
        state.counters["zip_MB"] = static_cast<double>(fs::file_size(target)) / 1e6;
        fs::remove(target);
        measured += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, plain, measured);
}

void BM_Verify(benchmark::State& state) {
    double plain = 0;
    double measured = 0;
    for (auto _ : state) {
        plain += plainCopySeconds();
        const double s = seconds([&] {
            if (!verifyBackup(backupFile())) state.SkipWithError("check failed");
        });
        measured += s;
        state.SetIterationTime(s);
    }
    reportAgainstRaw(state, plain, measured);
}

// state.range(0): 0 into an empty folder, 1 over a folder holding the same data (which is first copied
// as the backup "prima del ripristino").
void BM_Restore(benchmark::State& state) {
    double plain = 0;
    double measured = 0;
    const fs::path folder = benchFolder() / "ripristino";
    double flushed = 0;
    for (auto _ : state) {
        plain += plainCopySeconds();
        flushed += plainCopySeconds(true);
        fs::remove_all(folder);
        fs::create_directories(folder);
        if (state.range(0) == 1) {
            const auto files = listDataFiles(shopFolder());
            for (const DataFile& file : *files) {
                fs::create_hard_link(shopFolder() / file.path, folder / file.path);
            }
        }
        const fs::path before = benchFolder() / "prima.zip";
        const double s = seconds([&] {
            if (!restoreBackup(folder, backupFile(), before, "2026-12-10 15:31:00"))
                state.SkipWithError("restore failed");
        });
        fs::remove(before);
        measured += s;
        state.SetIterationTime(s);
    }
    fs::remove_all(folder);
    reportAgainstRaw(state, plain, measured);
    state.counters["ratio_to_flushed_copy"] = measured / flushed;
}

}  // namespace

BENCHMARK(BM_Backup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Verify)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Restore)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
