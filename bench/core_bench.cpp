// SPDX-License-Identifier: GPL-3.0-or-later
// Memory-copy speed of this machine, the yardstick for the pixel routines.
#include "core/bitmap.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

static void BM_MemCopy24MP(benchmark::State& state) {
    const std::size_t bytes = std::size_t(6000) * 4000 * 4;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
    }
    state.counters["MPix/s"] =
        benchmark::Counter(24.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MemCopy24MP)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
