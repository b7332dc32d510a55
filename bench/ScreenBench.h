#pragma once

#include <functional>

namespace scortavia::bench {

// Runs the registered benchmarks of a program that opens screens: offscreen, without the offscreen
// platform's warnings about window hints, every message answered at once with OK. `prepare` runs
// once the application exists and before the first benchmark.
int runScreenBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {});

}  // namespace scortavia::bench
