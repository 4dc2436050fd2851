// SPDX-License-Identifier: GPL-3.0-or-later
// Selection engine speed on a 24-megapixel picture: rasterising an outline,
// point tests, contour tracing and a magic-wand click end to end.
#include "core/bitmap.h"
#include "core/selection/selection_commands.h"
#include "core/selection/tracing.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

SelectionPath BigEllipse() {
    SelectionPath path;
    path.AddEllipse(Rect{100, 50, kWidth - 200, kHeight - 100});
    return path;
}

// A smooth gradient with sensor-like noise: the wand's tolerance takes a large
// area whose edge is ragged and full of single-pixel holes.
Bitmap& NoisyPhoto() {
    static Bitmap image(kWidth, kHeight, PixelFormat24bppRGB);
    static bool made = false;
    if (!made) {
        std::mt19937 rng(1);
        std::normal_distribution<float> noise(0.0f, 6.0f);
        ScopedLock lock(image);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                std::uint8_t* p = lock.pixel(x, y);
                const float base = 100.0f + 40.0f * float(x) / kWidth;
                for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(std::clamp(base + noise(rng), 0.0f, 255.0f));
            }
        made = true;
    }
    return image;
}

} // namespace

static void BM_RegionFromEllipse(benchmark::State& state) {
    const SelectionPath path = BigEllipse();
    for (auto _ : state) {
        SelectionRegion region(path.GetPath());
        benchmark::DoNotOptimize(region.CoverageRow(kHeight / 2)); // includes the coverage mask
    }
}
BENCHMARK(BM_RegionFromEllipse)->Unit(benchmark::kMillisecond);

static void BM_PointTests1e8(benchmark::State& state) {
    const SelectionRegion region(BigEllipse());
    region.IsVisible(0.0f, 0.0f);
    for (auto _ : state) {
        long long hits = 0;
        for (int pass = 0; pass < 4; ++pass)
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < 6250; ++x) hits += region.IsVisible(float(x), float(y));
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_PointTests1e8)->Unit(benchmark::kMillisecond);

static void BM_TraceRandomNoise(benchmark::State& state) {
    std::mt19937 rng(2);
    SelectionMask noise(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) noise.Set(x, y, std::uint8_t(rng() & 1));
    for (auto _ : state) {
        state.PauseTiming();
        SelectionMask mask = noise;
        state.ResumeTiming();
        benchmark::DoNotOptimize(TraceMaskToPolygons(mask, Rect{0, 0, kWidth, kHeight}).size());
    }
}
BENCHMARK(BM_TraceRandomNoise)->Unit(benchmark::kMillisecond)->Iterations(1);

static void BM_MagicWandNoisyArea(benchmark::State& state) {
    Bitmap& image = NoisyPhoto();
    for (auto _ : state) {
        const SelectionPath path = MagicWandSelect(image, kWidth / 4, kHeight / 2);
        const SelectionRegion region(path);
        benchmark::DoNotOptimize(region.IsVisible(10.0f, 10.0f));
        state.counters["selected MPix"] = region.GetArea() / 1e6;
    }
}
BENCHMARK(BM_MagicWandNoisyArea)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
