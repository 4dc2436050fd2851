// SPDX-License-Identifier: GPL-3.0-or-later
// Selection engine speed on a 24-megapixel picture: rasterising an outline,
// point tests, contour tracing and a magic-wand click end to end.
#include "bench_photo.h"
#include "core/bitmap.h"
#include "core/selection/selection_commands.h"
#include "core/selection/tracing.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

SelectionPath BigEllipse() {
    SelectionPath path;
    path.AddEllipse(Rect{100, 50, kWidth - 200, kHeight - 100});
    return path;
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
                for (int x = 0; x < 6250; ++x)
                    hits += region.IsVisible(float(x), float(y));
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_PointTests1e8)->Unit(benchmark::kMillisecond);

static void BM_TraceRandomNoise(benchmark::State& state) {
    std::mt19937 rng(2);
    SelectionMask noise(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            noise.Set(x, y, std::uint8_t(rng() & 1));
    for (auto _ : state) {
        state.PauseTiming();
        SelectionMask mask = noise;
        state.ResumeTiming();
        benchmark::DoNotOptimize(TraceMaskToPolygons(mask, Rect{0, 0, kWidth, kHeight}).size());
    }
}
BENCHMARK(BM_TraceRandomNoise)->Unit(benchmark::kMillisecond)->Iterations(1);

// A click in the grainy evening sky of the sample photo: flood fill, tracing
// and the region of the result.
static void BM_MagicWandSky(benchmark::State& state) {
    static const std::unique_ptr<Bitmap> photo = MakeBenchPhoto(PixelFormat24bppRGB);
    for (auto _ : state) {
        const SelectionPath path = MagicWandSelect(*photo, 3560, 560);
        const SelectionRegion region(path);
        benchmark::DoNotOptimize(region.IsVisible(10.0f, 10.0f));
        state.counters["selected MPix"] = region.GetArea() / 1e6;
        state.counters["path points"] = double(path.GetPointCount());
    }
}
BENCHMARK(BM_MagicWandSky)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
