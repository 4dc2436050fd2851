// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the adjustments, channel operations and transforms on a 24-megapixel
// photo-sized image, in megapixels per second.
#include "adjust/blend.h"
#include "adjust/channels.h"
#include "adjust/curves.h"
#include "adjust/resize.h"
#include "adjust/tone.h"
#include "adjust/transforms.h"
#include "bench_photo.h"
#include "core/selection/selection_path.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

// Runs op(source, copy) with a fresh target copy outside the timing.
template <class Op> void runOnCopy(benchmark::State& state, Op op) {
    Bitmap& source = BenchPhoto();
    auto target = source.Clone();
    for (auto _ : state)
        op(source, *target);
    SetMegapixelRate(state);
}

void BM_Gamma(benchmark::State& s) {
    runOnCopy(s, [](Bitmap& a, Bitmap& b) { AdjustGamma(a, b, 2.2); });
}
void BM_BrightnessContrast(benchmark::State& s) {
    runOnCopy(s, [](Bitmap& a, Bitmap& b) { AdjustBrightnessContrast(a, b, 20, 30, nullptr); });
}
void BM_ColorBalance(benchmark::State& s) {
    runOnCopy(s, [](Bitmap& a, Bitmap& b) { AdjustColorBalance(a, b, 20, -10, 5, nullptr); });
}
void BM_Curve(benchmark::State& s) {
    std::uint8_t table[256];
    BuildToneTable({{0, 0}, {128, 200}, {255, 255}}, table);
    runOnCopy(s, [&](Bitmap& a, Bitmap& b) { ApplyChannelTable(a, b, table, 7); });
}
void BM_Gray(benchmark::State& s) {
    runOnCopy(s, [](Bitmap& a, Bitmap& b) { ConvertToGray(a, b); });
}
void BM_Reverse(benchmark::State& s) {
    runOnCopy(s, [](Bitmap& a, Bitmap& b) { InvertColors(a, b, nullptr); });
}
void BM_KeepRed(benchmark::State& s) {
    runOnCopy(s, [](Bitmap&, Bitmap& b) { KeepChannels(b, MaskRed); });
}
void BM_RotateChannels(benchmark::State& s) {
    // The command hands over the document image itself; the copy made here for
    // each run is not timed.
    for (auto _ : s) {
        s.PauseTiming();
        auto image = BenchPhoto().Clone();
        s.ResumeTiming();
        benchmark::DoNotOptimize(RotateChannels(std::move(image)));
    }
    SetMegapixelRate(s);
}
void BM_Blend(benchmark::State& s) {
    runOnCopy(s,
              [](Bitmap& a, Bitmap& b) { BlendImages(b, 0, a, 0, int(BlendMode::Overlay), 0.7); });
}
void BM_ResizeHalf(benchmark::State& s) {
    Bitmap& source = BenchPhoto();
    for (auto _ : s)
        benchmark::DoNotOptimize(ResizeImage(source, kBenchWidth / 2, kBenchHeight / 2));
    SetMegapixelRate(s);
}
void BM_CropEllipse(benchmark::State& s) {
    // A fresh outline each run, so the region is built as the command builds it.
    Bitmap& source = BenchPhoto();
    for (auto _ : s) {
        SelectionPath outline;
        outline.AddEllipse(QRectF(100.5, 80.25, 5700.5, 3800.75));
        benchmark::DoNotOptimize(CropToRegion(source, outline));
    }
    SetMegapixelRate(s);
}
void BM_Rotate90(benchmark::State& s) {
    Bitmap& source = BenchPhoto();
    for (auto _ : s)
        benchmark::DoNotOptimize(Rotate(source, -90));
    SetMegapixelRate(s);
}
void BM_Rotate180(benchmark::State& s) {
    Bitmap& source = BenchPhoto();
    for (auto _ : s)
        benchmark::DoNotOptimize(Rotate(source, -180));
    SetMegapixelRate(s);
}
void BM_FlipHorizontal(benchmark::State& s) {
    Bitmap& source = BenchPhoto();
    for (auto _ : s)
        benchmark::DoNotOptimize(Flip(source, FlipAxis::LeftRight));
    SetMegapixelRate(s);
}
void BM_FlipVertical(benchmark::State& s) {
    Bitmap& source = BenchPhoto();
    for (auto _ : s)
        benchmark::DoNotOptimize(Flip(source, FlipAxis::UpsideDown));
    SetMegapixelRate(s);
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
BENCHMARK(BM_Blend)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResizeHalf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CropEllipse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotate180)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlipHorizontal)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlipVertical)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
