// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the blur, sharpen, stylize and colour-formula effects and of the
// blend on a 24-megapixel photo, in megapixels per second.
#include "adjust/blend.h"
#include "effects/blur_sharpen.h"
#include "effects/stylize.h"

#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

// A photo-like picture: smooth gradients with some texture, every alpha 255
// except a few transparent pixels.
std::unique_ptr<Bitmap> makePhoto(PixelFormat format) {
    auto bmp = std::make_unique<Bitmap>(kWidth, kHeight, format);
    ScopedLock l(*bmp);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* p = l.row(y);
        for (int x = 0; x < kWidth; ++x, p += l.bpp()) {
            p[0] = std::uint8_t(x / 24 + (x * y) % 7);
            p[1] = std::uint8_t(y / 16 + (x ^ y) % 5);
            p[2] = std::uint8_t((x + y) / 40);
            if (l.bpp() == 4) p[3] = (x * 7 + y * 13) % 997 == 0 ? 0 : 255;
        }
    }
    return bmp;
}

Bitmap& photo(PixelFormat format) {
    static std::unique_ptr<Bitmap> rgb = makePhoto(PixelFormat24bppRGB);
    static std::unique_ptr<Bitmap> argb = makePhoto(PixelFormat32bppARGB);
    return format == PixelFormat24bppRGB ? *rgb : *argb;
}

using Routine = std::function<void(Bitmap&, Bitmap&)>;

void runBench(benchmark::State& state, Routine routine, PixelFormat format) {
    Bitmap& source = photo(format);
    std::unique_ptr<Bitmap> destination = source.Clone();
    for (auto _ : state) {
        routine(source, *destination);
        benchmark::ClobberMemory();
    }
    state.counters["MPix/s"] =
        benchmark::Counter(double(kWidth) * kHeight / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void registerAll() {
    const std::pair<const char*, Routine> routines[] = {
        {"Blur", [](Bitmap& s, Bitmap& d) { Blur(s, d, nullptr); }},
        {"GaussBlur", [](Bitmap& s, Bitmap& d) { GaussBlur(s, d, nullptr); }},
        {"Sharpen", [](Bitmap& s, Bitmap& d) { Sharpen(s, d, nullptr); }},
        {"SharpenMore", [](Bitmap& s, Bitmap& d) { SharpenMore(s, d, nullptr); }},
        {"MotionBlur", [](Bitmap& s, Bitmap& d) { MotionBlur(s, d, nullptr, 15, 20); }},
        {"SoftGlow", [](Bitmap& s, Bitmap& d) { SoftGlow(s, d, nullptr); }},
        {"USMSharpen", [](Bitmap& s, Bitmap& d) { UsmSharpen(s, d, nullptr, 15); }},
        {"Emboss", [](Bitmap& s, Bitmap& d) { Emboss(s, d, nullptr); }},
        {"Solarize", [](Bitmap& s, Bitmap& d) { Solarize(s, d, nullptr); }},
        {"Pencil", [](Bitmap& s, Bitmap& d) { Pencil(s, d, nullptr, 12); }},
        {"Whim", [](Bitmap& s, Bitmap& d) { Whim(s, d, nullptr); }},
        {"Wooden", [](Bitmap& s, Bitmap& d) { Wooden(s, d, nullptr); }},
        {"Aqua", [](Bitmap& s, Bitmap& d) { Aqua(s, d, nullptr); }},
        {"Darker", [](Bitmap& s, Bitmap& d) { Darker(s, d, nullptr); }},
        {"Ice", [](Bitmap& s, Bitmap& d) { Ice(s, d, nullptr); }},
        {"Molten", [](Bitmap& s, Bitmap& d) { Molten(s, d, nullptr); }},
        {"OldPhoto", [](Bitmap& s, Bitmap& d) { OldPhoto(s, d, nullptr); }},
        {"Subtence", [](Bitmap& s, Bitmap& d) { Subtence(s, d, nullptr); }},
        {"BlendScreen", [](Bitmap& s, Bitmap& d) { BlendImages(d, 0, s, 0, int(BlendMode::Screen), 1.0); }},
    };
    for (const auto& [name, routine] : routines)
        for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB}) {
            const std::string label = std::string(name) + (format == PixelFormat24bppRGB ? "/24bit" : "/32bit");
            benchmark::RegisterBenchmark(label.c_str(), runBench, routine, format)
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
