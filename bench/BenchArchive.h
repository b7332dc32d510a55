#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

namespace scortavia::bench {

// A folder of its own for this benchmark run, removed at exit.
const std::filesystem::path& benchFolder();

// Writes (once per run) a product archive of `count` realistic cards and returns its path.
std::filesystem::path archiveOf(int count);

// A program folder of its own holding archiveOf(count) as "Magazzino.pro" (a hard link, so no second copy).
const std::filesystem::path& programFolderOf(int count);

// Writes (once per run) a year archive of `count` realistic goods-in movements and returns its path.
std::filesystem::path movementArchiveOf(int count);

// Wall time of `step`, in seconds.
template <class Step>
double seconds(Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The mean raw read and the ratio of the measured time to it, as counters of the benchmark.
inline void reportAgainstRaw(benchmark::State& state, double rawSeconds, double measuredSeconds) {
    state.counters["raw_ms"] = rawSeconds / static_cast<double>(state.iterations()) * 1e3;
    state.counters["ratio"] = measuredSeconds / rawSeconds;
}

// Resident bytes of this process now, and the most it has had resident so far.
double residentBytes();
double peakResidentBytes();

// The floor every scan is compared with: reading the same file in 1 MiB blocks, nothing more.
double rawReadSeconds(const std::filesystem::path& path);

}  // namespace scortavia::bench
