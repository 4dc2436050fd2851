// SPDX-License-Identifier: GPL-3.0-or-later
// Mosaic, Diffuse, Glass and Video; Oil Paint lives in oil_paint.cpp.
#include "effects/texture.h"

#include "core/pixel_loop.h"
#include "core/runtime_random.h"
#include "effects/pixel_copy.h"
#include "effects/small_divisor.h"

#include <algorithm>
#include <type_traits>
#include <vector>

namespace {

// The first origin of a walk that starts at start in steps of step whose cell
// reaches into the image (selection bounds may start far left of or above it).
int firstOverlappingOrigin(int start, int step) {
    if (start + step > 0) return start;
    return start + ((-start - step) / step + 1) * step;
}

} // namespace

void Mosaic(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
            const MosaicParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height();
    const int s = clampInt(params.size, 1, 32);
    const int area = s * s; // full-cell divisor, also for cells cut by the image edge
    const EffectFrame frame(selection, w, h);
    const Rect& work = frame.workRect();
    const int yEnd = std::min(work.GetBottom(), h), xEnd = std::min(work.GetRight(), w);
    const int xFirst = firstOverlappingOrigin(work.X, s);
    const int yFirst = firstOverlappingOrigin(work.Y, s);
    // Cell rows [first, end) of the walk, counted from yFirst.
    auto cells = [&](auto bppConstant, int first, int end) {
        constexpr int bpp = decltype(bppConstant)::value;
        for (int cy = yFirst + first * s; cy < yEnd && cy < yFirst + end * s; cy += s) {
            const int y0 = std::max(cy, 0), y1 = std::min(cy + s, h);
            for (int cx = xFirst; cx < xEnd; cx += s) {
                if (!frame.isSelected(cx, cy)) continue;
                const int x0 = std::max(cx, 0), x1 = std::min(cx + s, w);
                int sum0 = 0, sum1 = 0, sum2 = 0;
                for (int y = y0; y < y1; ++y) {
                    const std::uint8_t* p = src.pixel(x0, y);
                    for (int x = x0; x < x1; ++x, p += bpp) {
                        sum0 += p[0];
                        sum1 += p[1];
                        sum2 += p[2];
                    }
                }
                const std::uint8_t a0 = std::uint8_t(sum0 / area), a1 = std::uint8_t(sum1 / area),
                                   a2 = std::uint8_t(sum2 / area);
                for (int y = y0; y < y1; ++y) {
                    std::uint8_t* p = dst.pixel(x0, y);
                    for (int x = x0; x < x1; ++x, p += bpp) {
                        p[0] = a0;
                        p[1] = a1;
                        p[2] = a2;
                    }
                }
            }
        }
    };
    auto cellRows = [&](int first, int end) {
        if (src.bpp() == 4)
            cells(std::integral_constant<int, 4>{}, first, end);
        else
            cells(std::integral_constant<int, 3>{}, first, end);
    };
    // Cells are independent: two threads take the upper and lower cell rows.
    const int rows = yEnd > yFirst ? (yEnd - yFirst + s - 1) / s : 0;
    splitRows(0, rows, (long long)w * h, Threads::Two, cellRows);
}

void Diffuse(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
             const DiffuseParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height();
    const int a = clampInt(params.radius, 1, 32);
    const SmallDivisor span(2 * a);
    const EffectFrame frame(selection, w, h);
    // Random draws follow the pixel order, so this stays on one thread.
    forEachPixel(frame, Coverage::Unselective, src, dst,
                 [&](const std::uint8_t*, std::uint8_t* d, int x, int y, auto bppConstant) {
                     const int ox = span.remainder(RuntimeRand()) - a;
                     const int oy = span.remainder(RuntimeRand()) - a;
                     copyPixel(d, src.pixel(clampCoord(x + ox, w), clampCoord(y + oy, h)),
                               bppConstant);
                 });
}

void Glass(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height(), bpp = src.bpp();
    const long long lastPixel = (long long)w * h - 1;
    const EffectFrame frame(selection, w, h);
    forEachPixel(frame, Coverage::RectLessLast, src, dst,
                 [&](const std::uint8_t* s, std::uint8_t* d, int x, int y) {
                     const int k = RuntimeRand() % 5;
                     const std::uint8_t* p = s + k * bpp;
                     if (x + k >= w) {
                         // Past the row's end the read goes on with the next row's first
                         // pixels, counting pixels rather than bytes so that row padding
                         // never shows; it stops at the image's last pixel.
                         const long long index = std::min((long long)y * w + x + k, lastPixel);
                         p = src.pixel(int(index % w), int(index / w));
                     }
                     copyColour(d, p);
                 });
}

void Video(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    runPixelEffect(source, destination, selection, Coverage::RectLessLast, Threads::Two,
                   [](const std::uint8_t* s, std::uint8_t* d, int, int y) {
                       const int c = y % 3;
                       d[0] = s[0];
                       d[1] = s[1];
                       d[2] = s[2];
                       d[c] = std::uint8_t(std::min(255, 2 * s[c]));
                   });
}
