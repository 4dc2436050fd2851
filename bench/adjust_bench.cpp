// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the adjustments, channel operations and transforms on a 24-megapixel
// photo-sized image, in megapixels per second.
#include "adjust/channels.h"
#include "adjust/curves.h"
#include "adjust/tone.h"
#include "view/transforms.h"
#include "bench_photo.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

// The 24-bit benchmark photo, made once.
Bitmap& photo() {
    static std::unique_ptr<Bitmap> image = MakeBenchPhoto(PixelFormat24bppRGB, kWidth, kHeight);
    return *image;
}

void report(benchmark::State& state) {
    state.counters["MPix/s"] =
        benchmark::Counter(double(kWidth) * kHeight / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
}

// Runs op(source, copy) with a fresh target copy outside the timing.
template <class Op>
void runOnCopy(benchmark::State& state, Op op) {
    Bitmap& source = photo();
    auto target = source.Clone();
    for (auto _ : state) op(source, *target);
    report(state);
}

void BM_Gamma(benchmark::State& s) { runOnCopy(s, [](Bitmap& a, Bitmap& b) { AdjustGamma(a, b, 2.2); }); }
void BM_BrightnessContrast(benchmark::State& s) {
    runOnCopy(s, [](Bitmap& a, Bitmap& b) { AdjustBrightnessContrast(a, b, 20, 30, nullptr); });
}
void BM_ColorBalance(benchmark::State& s) {
    runOnCopy(s, [](Bitmap& a, Bitmap& b) { AdjustColorBalance(a, b, 20, -10, 5, nullptr); });
}
void BM_Curve(benchmark::State& s) {
    std::uint8_t table[256];
    BuildToneTable({{0, 0}, {128, 200}, {255, 255}}, table);
    runOnCopy(s, [&](Bitmap& a, Bitmap& b) { ApplyLookupTable(a, b, table, 0); });
}
void BM_Gray(benchmark::State& s) { runOnCopy(s, [](Bitmap& a, Bitmap& b) { ConvertToGray(a, b); }); }
void BM_Reverse(benchmark::State& s) { runOnCopy(s, [](Bitmap& a, Bitmap& b) { InvertColors(a, b, nullptr); }); }
void BM_KeepRed(benchmark::State& s) { runOnCopy(s, [](Bitmap&, Bitmap& b) { KeepChannels(b, MaskRed); }); }
void BM_RotateChannels(benchmark::State& s) {
    Bitmap& source = photo();
    for (auto _ : s) benchmark::DoNotOptimize(RotateChannels(source.Clone()));
    report(s);
}
void BM_Rotate90(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(Rotate(photo(), -90));
    report(s);
}
void BM_Rotate180(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(Rotate(photo(), -180));
    report(s);
}
void BM_FlipHorizontal(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(Flip(photo(), true));
    report(s);
}
void BM_FlipVertical(benchmark::State& s) {
    for (auto _ : s) benchmark::DoNotOptimize(Flip(photo(), false));
    report(s);
}

} // namespace

BENCHMARK(BM_Gamma)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BrightnessContrast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ColorBalance)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Curve)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gray)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KeepRed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RotateChannels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotate180)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlipHorizontal)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlipVertical)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
