// SPDX-License-Identifier: GPL-3.0-or-later
// Mosaic, Oil Paint, Diffuse, Glass and Video.
#include "effects/texture.h"

#include "core/runtime_random.h"
#include "effects/effect_frame.h"
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

void Mosaic(Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
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
    auto cells = [&](auto bppConstant) {
        constexpr int bpp = decltype(bppConstant)::value;
        for (int cy = firstOverlappingOrigin(work.Y, s); cy < yEnd; cy += s) {
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
    if (src.bpp() == 4) cells(std::integral_constant<int, 4>{});
    else cells(std::integral_constant<int, 3>{});
}

namespace {

// One intensity bin of Oil Paint's window histogram. The colour sums share one
// 64-bit word in 21-bit lanes (blue low, red high), and the count shares one
// with the alpha sum (count low): a window holds at most 17 x 17 pixels, so no
// lane exceeds 289 * 255 < 2^21.
struct OilBin {
    std::uint64_t colours;
    std::uint64_t countAlpha;
};
constexpr int kLane = 21;
constexpr std::uint64_t kLaneMask = (std::uint64_t(1) << kLane) - 1;

// Exact division by every window size a call can meet (1..289 pixels).
struct WindowDivisors {
    std::vector<SmallDivisor> byCount;
    explicit WindowDivisors(int maxCount) {
        byCount.reserve(std::size_t(maxCount) + 1);
        for (int c = 0; c <= maxCount; ++c) byCount.emplace_back(c == 0 ? 1 : c);
    }
    int divide(std::uint64_t x, int count) const { return byCount[std::size_t(count)].divide(x); }
};

} // namespace

void OilPaint(Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
              const OilPaintParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height(), bpp = src.bpp();
    const int a = clampInt(params.radius, 1, 8);
    const int levels = (params.levels & 0xFF) == 0 ? 1 : (params.levels & 0xFF);
    // Bin of a pixel by its channel sum: ((L * (B + G + R)) / 3) / 255.
    std::uint8_t binOf[766];
    for (int sum = 0; sum <= 765; ++sum) binOf[sum] = std::uint8_t(((levels * sum) / 3) / 255);
    const WindowDivisors divisor((2 * a + 1) * (2 * a + 1));
    const EffectFrame frame(selection, w, h);

    // Each row slides its window from left to right: a column enters on the
    // right and one leaves on the left, which gives the same histogram as
    // rebuilding the window for every pixel.
    auto row = [&](int y, int, int) {
        const int y0 = std::max(0, y - a), y1 = std::min(h - 1, y + a);
        const std::uint8_t* rows[17];
        for (int yy = y0; yy <= y1; ++yy) rows[yy - y0] = src.row(yy);
        const int n = y1 - y0 + 1;
        std::vector<OilBin> bins(std::size_t(levels) + 1, OilBin{0, 0});
        // Adds column x of the window's rows to the histogram, or takes it out.
        auto column = [&](int x, bool entering) {
            for (int i = 0; i < n; ++i) {
                const std::uint8_t* p = rows[i] + std::ptrdiff_t(x) * bpp;
                OilBin& b = bins[binOf[p[0] + p[1] + p[2]]];
                const std::uint64_t colours =
                    (std::uint64_t(p[2]) << (2 * kLane)) | (std::uint64_t(p[1]) << kLane) | p[0];
                const std::uint64_t countAlpha = (bpp == 4 ? std::uint64_t(p[3]) << kLane : 0) | 1;
                if (entering) {
                    b.colours += colours;
                    b.countAlpha += countAlpha;
                } else {
                    b.colours -= colours;
                    b.countAlpha -= countAlpha;
                }
            }
        };
        for (int x = 0; x <= std::min(w - 1, a); ++x) column(x, true);
        std::uint8_t* d = dst.row(y);
        for (int x = 0; x < w; ++x, d += bpp) {
            if (x > 0) {
                if (x + a < w) column(x + a, true);
                if (x - a - 1 >= 0) column(x - a - 1, false);
            }
            // Lowest bin with the highest count: replace only on a greater count.
            int best = 0;
            std::uint64_t bestCount = bins[0].countAlpha & kLaneMask;
            for (int b = 1; b <= levels; ++b) {
                const std::uint64_t c = bins[std::size_t(b)].countAlpha & kLaneMask;
                if (c > bestCount) {
                    bestCount = c;
                    best = b;
                }
            }
            const OilBin& win = bins[std::size_t(best)];
            const int count = int(bestCount);
            d[0] = std::uint8_t(divisor.divide(win.colours & kLaneMask, count));
            d[1] = std::uint8_t(divisor.divide((win.colours >> kLane) & kLaneMask, count));
            d[2] = std::uint8_t(divisor.divide(win.colours >> (2 * kLane), count));
            if (bpp == 4) d[3] = std::uint8_t(divisor.divide(win.countAlpha >> kLane, count));
        }
    };
    forEachSpan(frame, Coverage::Unselective, row, Threads::Two);
}

void Diffuse(Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
             const DiffuseParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height(), bpp = src.bpp();
    const int a = clampInt(params.radius, 1, 32);
    const SmallDivisor span(2 * a);
    const EffectFrame frame(selection, w, h);
    // Random draws follow the pixel order, so this stays on one thread.
    forEachPixel(frame, Coverage::Unselective, src, dst, [&](const std::uint8_t*, std::uint8_t* d, int x, int y) {
        const int ox = span.remainder(RuntimeRand()) - a;
        const int oy = span.remainder(RuntimeRand()) - a;
        copyPixel(d, src.pixel(clampCoord(x + ox, w), clampCoord(y + oy, h)), bpp);
    });
}

void Glass(Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height(), bpp = src.bpp();
    const long long lastPixel = (long long)w * h - 1;
    const EffectFrame frame(selection, w, h);
    forEachPixel(frame, Coverage::RectLessLast, src, dst, [&](const std::uint8_t* s, std::uint8_t* d, int x, int y) {
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

void Video(Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    runPixelEffect(source, destination, selection, Coverage::RectLessLast, Threads::Two,
                   [](const std::uint8_t* s, std::uint8_t* d, int, int y) {
                       const int c = y % 3;
                       d[0] = s[0];
                       d[1] = s[1];
                       d[2] = s[2];
                       d[c] = std::uint8_t(std::min(255, 2 * s[c]));
                   });
}

void runMosaic(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params& params) {
    Mosaic(source, destination, selection, {.size = params.integer("size")});
}

void runOilPaint(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params& params) {
    OilPaint(source, destination, selection, {.radius = params.integer("radius"), .levels = params.integer("levels")});
}

void runDiffuse(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params& params) {
    Diffuse(source, destination, selection, {.radius = params.integer("radius")});
}

void runGlass(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params&) {
    Glass(source, destination, selection);
}

void runVideo(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params&) {
    Video(source, destination, selection);
}
