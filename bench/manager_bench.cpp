// The manager's install and remove speed over the in-memory registry: 100
// distinct definitions installed one by one through the manager's core, then
// Remove All. The definitions are written once, before timing; each iteration
// starts from a fresh registry and a fresh manager.
//
// Each install also answers one box and rewrites the whole stored list (N
// values for the N-th install), so later installs cost more than early ones:
// first_install_ms and last_install_ms show how much.
//
// Run: cmake --preset native && cmake --build build/native -j2 --target manager_bench
//      build/native/bench/manager_bench
// The same over the system registry under Wine: bench/win32/manager_registry_bench.cpp,
// or scripts/bench-manager.sh for both.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/manager_workload.h"
#include "platform/memory_registry.h"

namespace {

constexpr size_t kDefinitions = 100;

double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Iteration time: the 100 installs and the Remove All, nothing else.
void InstallHundredThenRemoveAll(benchmark::State& state) {
    const DefinitionFolder definitions(static_cast<size_t>(state.range(0)), CountingGuids());
    if (!definitions.Ready()) {
        state.SkipWithError(definitions.Problem().c_str());
        return;
    }
    const double count = static_cast<double>(definitions.Count());
    double installMs = 0;
    double removeMs = 0;
    double firstMs = 0;
    double lastMs = 0;
    for (auto _ : state) {
        MemoryRegistry registry;
        RoundTimes times;
        std::string problem;
        if (!RunInstallRemoveRound(registry, definitions, NowMs, times, problem)) {
            state.SkipWithError(problem.c_str());
            return;
        }
        state.SetIterationTime((times.TotalInstallMs() + times.removeAllMs) / 1000.0);
        installMs += times.TotalInstallMs();
        removeMs += times.removeAllMs;
        firstMs += times.installMs.front();
        lastMs += times.installMs.back();
    }
    const auto perIteration = benchmark::Counter::kAvgIterations;
    state.counters["ms_per_install"] = benchmark::Counter(installMs / count, perIteration);
    state.counters["ms_per_removal"] = benchmark::Counter(removeMs / count, perIteration);
    state.counters["first_install_ms"] = benchmark::Counter(firstMs, perIteration);
    state.counters["last_install_ms"] = benchmark::Counter(lastMs, perIteration);
}
BENCHMARK(InstallHundredThenRemoveAll)->Arg(kDefinitions)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
