// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the blur, sharpen, stylize and colour-formula effects and of the
// blend on a 24-megapixel photo, in megapixels per second, with and without
// an elliptical selection.
#include "adjust/blend.h"
#include "bench_photo.h"
#include "core/selection/selection_region.h"
#include "effects/blur_sharpen.h"
#include "effects/stylize.h"

#include <QPainterPath>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace {

// An ellipse inscribed in the image, the common shape of a selection.
SelectionRegion* ellipse() {
    static SelectionRegion region = [] {
        QPainterPath path;
        path.addEllipse(0, 0, kBenchWidth, kBenchHeight);
        return SelectionRegion(path);
    }();
    return &region;
}

using Routine = std::function<void(Bitmap&, Bitmap&, SelectionRegion*)>;

// The yardstick for Old Photo: a plain 3 x 3 colour matrix in single
// precision, rounded and saturated as a general library transform does, on
// one thread and ignoring the selection. Old Photo should be no slower.
void colourMatrix(Bitmap& source, Bitmap& destination, SelectionRegion*) {
    static constexpr float m[3][3] = {
        {0.131f, 0.534f, 0.272f}, {0.168f, 0.686f, 0.349f}, {0.189f, 0.769f, 0.393f}};
    ScopedLock src(source);
    ScopedLock dst(destination);
    const int bpp = src.bpp();
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* s = src.row(y);
        std::uint8_t* d = dst.row(y);
        for (int x = 0; x < src.width(); ++x, s += bpp, d += bpp)
            for (int c = 0; c < 3; ++c) {
                const float v = m[c][0] * s[0] + m[c][1] * s[1] + m[c][2] * s[2];
                d[c] = std::uint8_t(std::min(255, int(v + 0.5f)));
            }
    }
}

void runBench(benchmark::State& state, Routine routine, PixelFormat format, bool selected) {
    Bitmap& source = BenchPhoto(format);
    std::unique_ptr<Bitmap> destination = source.Clone();
    SelectionRegion* selection = selected ? ellipse() : nullptr;
    if (selection) selection->IsVisible(1.0f, 1.0f); // build the coverage mask outside the timing
    for (auto _ : state) {
        routine(source, *destination, selection);
        benchmark::ClobberMemory();
    }
    SetMegapixelRate(state);
}

void registerAll() {
    // Table rows stay one a line.
    // clang-format off
    const std::pair<const char*, Routine> routines[] = {
        {"Blur", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Blur(s, d, r); }},
        {"GaussBlur", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { GaussBlur(s, d, r); }},
        {"Sharpen", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Sharpen(s, d, r); }},
        {"SharpenMore", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { SharpenMore(s, d, r); }},
        {"MotionBlur", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { MotionBlur(s, d, r, {.angle = 15, .distance = 20}); }},
        {"SoftGlow", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { SoftGlow(s, d, r); }},
        {"USMSharpen", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { UsmSharpen(s, d, r, {.strength = 15}); }},
        {"Emboss", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Emboss(s, d, r); }},
        {"Solarize", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Solarize(s, d, r); }},
        {"Pencil", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Pencil(s, d, r, {.threshold = 12}); }},
        {"Whim", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Whim(s, d, r); }},
        {"Wooden", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Wooden(s, d, r); }},
        {"Aqua", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Aqua(s, d, r); }},
        {"Darker", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Darker(s, d, r); }},
        {"Ice", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Ice(s, d, r); }},
        {"Molten", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Molten(s, d, r); }},
        {"OldPhoto", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { OldPhoto(s, d, r); }},
        {"ColourMatrix3x3", colourMatrix},
        {"Subtence", [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Subtence(s, d, r); }},
        {"BlendScreen", [](Bitmap& s, Bitmap& d, SelectionRegion*) { BlendImages(d, 0, s, 0, int(BlendMode::Screen), 1.0); }},
    };
    // clang-format on
    for (const auto& [name, routine] : routines)
        for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB})
            for (bool selected : {false, true}) {
                const std::string label = std::string(name) +
                                          (format == PixelFormat24bppRGB ? "/24bit" : "/32bit") +
                                          (selected ? "/ellipse" : "");
                benchmark::RegisterBenchmark(label.c_str(), runBench, routine, format, selected)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
            }
}

} // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
