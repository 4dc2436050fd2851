// SPDX-License-Identifier: GPL-3.0-or-later
// Stylize effects: Emboss, Solarize, Pencil, Whim and Wooden.
#include "effects/stylize.h"

#include "effects/colour_formulas.h"

#include <array>
#include <cmath>
#include <cstdlib>

void Emboss(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    runByteEffect(
        source, destination, selection, Coverage::RectLessLast, Threads::Two,
        [](const std::uint8_t* s, const std::uint8_t*, std::uint8_t* out, int n, auto bpp) {
            for (int i = 0; i < n; ++i)
                out[i] = std::uint8_t(clampInt(std::abs(s[i] - s[i + bpp] + 128), 67, 255));
        });
}

void Solarize(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    applyChannelFormula(source, destination, selection,
                        [](int v) { return v < 128 ? 255 - v : v; });
}

void Pencil(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
            const PencilParams& params) {
    (void)selection; // the whole interior changes whatever is selected
    const int threshold = clampInt(params.threshold, 0, 100);
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const EffectFrame frame(nullptr, src.width(), src.height());
    const int stride = src.stride(), bpp = src.bpp();
    constexpr int kChunk = 1024;
    forEachSpan(
        frame, Coverage::InteriorUnselective,
        [&](int y, int xBegin, int xEnd) {
            // First, byte by byte (a loop that vectorises): whether the byte
            // differs from the truncated mean of its eight neighbours by less
            // than the threshold. Then per pixel: white when all three colour
            // bytes do, otherwise black.
            std::uint8_t calm[kChunk * 4];
            for (int x0 = xBegin; x0 < xEnd; x0 += kChunk) {
                const int count = std::min(kChunk, xEnd - x0), n = count * bpp;
                const std::uint8_t* s = src.pixel(x0, y);
                const std::uint8_t* up = s - stride;
                const std::uint8_t* down = s + stride;
                for (int i = 0; i < n; ++i) {
                    const int sum = up[i - bpp] + up[i] + up[i + bpp] + s[i - bpp] + s[i + bpp] +
                                    down[i - bpp] + down[i] + down[i + bpp];
                    calm[i] = std::abs(s[i] - sum / 8) < threshold;
                }
                std::uint8_t* d = dst.pixel(x0, y);
                for (int j = 0; j < count; ++j, d += bpp, s += bpp) {
                    const std::uint8_t* c = calm + j * bpp;
                    const std::uint8_t v = (c[0] & c[1] & c[2]) ? 255 : 0;
                    d[0] = d[1] = d[2] = v;
                    if (bpp == 4) d[3] = s[3];
                }
            }
        },
        Threads::Two);
}

namespace {

// trunc(sin(atan2(y, x)) * 255) for every pair of byte values, built once.
const std::uint8_t* whimTable() {
    static const std::array<std::uint8_t, 65536> table = [] {
        std::array<std::uint8_t, 65536> t{};
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                t[y * 256 + x] =
                    std::uint8_t(int(std::sin(std::atan2(double(y), double(x))) * 255));
        return t;
    }();
    return table.data();
}

} // namespace

void Whim(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    const std::uint8_t* t = whimTable();
    runPixelEffect(source, destination, selection, Coverage::Whole, Threads::Two,
                   [t](const std::uint8_t* s, std::uint8_t* d, int, int) {
                       const int b = s[0], g = s[1], r = s[2];
                       d[2] = t[g * 256 + b];
                       d[1] = t[b * 256 + r];
                       d[0] = t[r * 256 + g];
                   });
}

void Wooden(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    runPixelEffect(source, destination, selection, Coverage::RectLessLast, Threads::Two,
                   [](const std::uint8_t* s, std::uint8_t* d, int, int) {
                       const std::uint8_t v = (s[0] + s[1] + s[2]) / 3 >= 128 ? 255 : 0;
                       d[0] = d[1] = d[2] = v;
                   });
}
