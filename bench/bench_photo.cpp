// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the benchmark photo.
#include "bench_photo.h"

#include "core/codecs.h"

#include <algorithm>

std::unique_ptr<Bitmap> MakeBenchPhoto(PixelFormat format, int width, int height) {
    DecodedImage sample = DecodeImageFile(QStringLiteral(LUMASET_SAMPLE_PHOTO));
    QImage scaled = sample.bitmap->image().scaled(width, height, Qt::IgnoreAspectRatio,
                                                  Qt::SmoothTransformation);
    auto photo = std::make_unique<Bitmap>(scaled.convertToFormat(QImageFormatFor(format)));
    ScopedLock lock(*photo);
    std::uint32_t state = 12345;
    for (int y = 0; y < lock.height(); ++y) {
        std::uint8_t* p = lock.row(y);
        for (int x = 0; x < lock.width(); ++x, p += lock.bpp()) {
            for (int c = 0; c < 3; ++c) {
                state = state * 1664525u + 1013904223u;
                p[c] = std::uint8_t(std::clamp(int(p[c]) + int(state >> 29) - 4, 0, 255));
            }
        }
    }
    return photo;
}

Bitmap& BenchPhoto(PixelFormat format) {
    static std::unique_ptr<Bitmap> rgb = MakeBenchPhoto(PixelFormat24bppRGB);
    static std::unique_ptr<Bitmap> argb;
    if (format == PixelFormat24bppRGB) return *rgb;
    if (!argb) argb = MakeBenchPhoto(PixelFormat32bppARGB);
    return *argb;
}

void SetMegapixelRate(benchmark::State& state) {
    state.counters["MPix/s"] =
        benchmark::Counter(double(kBenchWidth) * kBenchHeight / 1e6 * double(state.iterations()),
                           benchmark::Counter::kIsRate);
}
