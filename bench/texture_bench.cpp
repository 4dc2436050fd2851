// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the texture, distortion, rain drops, noise, red-eye and LOMO
// routines on a 24-megapixel photo, in megapixels per second of wall time
// (several routines split their rows between two threads).
#include "bench_photo.h"
#include "core/progress.h"
#include "effects/distort.h"
#include "effects/noise_redeye_lomo.h"
#include "effects/rain_drops.h"
#include "effects/texture.h"

#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace {

// An effect from the photo into a copy of it.
void runEffect(benchmark::State& state, const std::function<void(Bitmap&, Bitmap&)>& effect) {
    Bitmap& source = BenchPhoto();
    auto destination = source.Clone();
    for (auto _ : state)
        effect(source, *destination);
    SetMegapixelRate(state);
}

// runEffect with the rows counted, as lumaset-cli counts them for its
// progress line: the cost of watching a routine.
void runWatched(benchmark::State& state, const std::function<void(Bitmap&, Bitmap&)>& effect) {
    RowProgress progress;
    const ProgressScope scope(&progress);
    runEffect(state, effect);
}

// An in-place routine on a copy of the photo.
void runInPlace(benchmark::State& state, const std::function<void(Bitmap&)>& routine) {
    auto image = BenchPhoto().Clone();
    for (auto _ : state)
        routine(*image);
    SetMegapixelRate(state);
}

} // namespace

BENCHMARK_CAPTURE(runEffect, Mosaic10, [](Bitmap& s, Bitmap& d) { Mosaic(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runEffect, OilPaint4x12, [](Bitmap& s, Bitmap& d) { OilPaint(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(runEffect, Diffuse12, [](Bitmap& s, Bitmap& d) { Diffuse(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runEffect, Glass, [](Bitmap& s, Bitmap& d) { Glass(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runEffect, Video, [](Bitmap& s, Bitmap& d) { Video(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runWatched, OilPaint4x12, [](Bitmap& s, Bitmap& d) { OilPaint(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runEffect, Wave10, [](Bitmap& s, Bitmap& d) { Wave(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runEffect, Pinch12, [](Bitmap& s, Bitmap& d) { Pinch(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runWatched, Pinch12, [](Bitmap& s, Bitmap& d) { Pinch(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runEffect, FishEye, [](Bitmap& s, Bitmap& d) { FishEye(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runWatched, FishEye, [](Bitmap& s, Bitmap& d) { FishEye(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runEffect, RainDrops, [](Bitmap& s, Bitmap& d) { RainDrops(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runEffect, Lomo, [](Bitmap& s, Bitmap& d) { Lomo(s, d, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runInPlace, AddNoise35,
                  [](Bitmap& i) { AddNoise(i, nullptr, {.amplitude = 35}); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runInPlace, Vignette, [](Bitmap& i) { Vignette(i, 0.4, 210); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runInPlace, RedEyeRemove, [](Bitmap& i) { RedEyeRemove(i, nullptr); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
