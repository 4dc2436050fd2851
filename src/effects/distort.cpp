// SPDX-License-Identifier: GPL-3.0-or-later
// Wave, Pinch and Fish Eye.
#include "effects/distort.h"

#include "core/pixel_loop.h"
#include "core/single_math.h"
#include "effects/pixel_copy.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Calls rows(d) for every distance d in 0..maxD from a centre row. Pinch and
// Fish Eye compute one row of angles and radii for the distance d and use it
// for the rows above and below the centre: atan2 of a negated y is the negated
// angle, its sine the negated sine and its cosine the same, so both rows get
// the same bytes as computing each. The row pairs are independent; rows far
// from the centre cost less, so large images alternate them between two
// threads.
template <class RowPair> void forEachCentreDistance(int maxD, long long pixels, RowPair&& rows) {
    splitAlternateRows(0, maxD + 1, pixels, Threads::Two, rows);
}

// Cosine and sine of a single-precision angle, in double precision.
struct Direction {
    double cos;
    double sin;
};
inline Direction directionOf(float theta) {
    Direction dir;
    ::sincos(double(theta), &dir.sin, &dir.cos);
    return dir;
}

// Whole-number source offsets from a lens centre.
struct Offset {
    int x;
    int y;
};

// int(cos t * length) and int(sin t * length) for t = singleAtan2(y, x), the
// angle of the offset (x, y) rounded to float, and hypot = sqrt(x^2 + y^2) in
// double. The quotients x / hypot and y / hypot are the cosine and sine of the
// exact angle; those of the rounded angle differ from them by at most its
// rounding (half a float step, under 1.2e-7 for angles up to pi), so the
// products differ from the routine's by less than 2.5e-7 * |length|. When
// neither product lies that close to a whole number, truncating it gives the
// routine's integer; otherwise (a fraction of a percent of pixels) the offset
// is computed the long way. This skips atan2 and sincos for almost every pixel.
inline Offset polarOffset(int x, int y, double hypot, double length) {
    if (hypot > 0) {
        const double margin = std::fabs(length) * 2.5e-7;
        const double vx = x / hypot * length, vy = y / hypot * length;
        const int ix = int(vx), iy = int(vy);
        const double fx = std::fabs(vx - ix), fy = std::fabs(vy - iy);
        if (fx > margin && fx < 1 - margin && fy > margin && fy < 1 - margin) return {ix, iy};
    }
    const Direction dir = directionOf(singleAtan2(y, x));
    return {int(dir.cos * length), int(dir.sin * length)};
}

} // namespace

void Wave(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
          const WaveParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height();
    const int a = clampInt(params.amplitude, 1, 32);
    // The horizontal shift depends on the row alone and the vertical one on the
    // column alone.
    std::vector<int> shiftX(static_cast<std::size_t>(h)), shiftY(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y)
        shiftX[std::size_t(y)] = int(std::sin(y * kTwoPi / 128) * a);
    for (int x = 0; x < w; ++x)
        shiftY[std::size_t(x)] = int(std::cos(x * kTwoPi / 128) * a);
    const EffectFrame frame(selection, w, h);
    forEachPixel(
        frame, Coverage::Whole, src, dst,
        [&](const std::uint8_t*, std::uint8_t* d, int x, int y, auto bppConstant) {
            const int sx = clampCoord(shiftX[std::size_t(y)] + x, w);
            const int sy = clampCoord(shiftY[std::size_t(x)] + y, h);
            copyPixel(d, src.pixel(sx, sy), bppConstant);
        },
        Threads::Two);
}

void Pinch(const Bitmap& source, Bitmap& destination, const SelectionRegion*,
           const PinchParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height(), bpp = src.bpp();
    const int k = clampInt(params.strength, 1, 32);
    const int cx = w / 2, cy = h / 2;
    forEachCentreDistance(std::max(cy, h - 1 - cy), (long long)w * h, [&](int d) {
        std::uint8_t* below = cy + d < h ? dst.row(cy + d) : nullptr;
        std::uint8_t* above = d > 0 && cy - d >= 0 ? dst.row(cy - d) : nullptr;
        for (int x = 0; x < w; ++x) {
            const int dx = x - cx;
            const double hypot = std::sqrt(double(dx) * dx + double(d) * d);
            const float r = float(hypot); // singleRadius(dx, d)
            const double scaled = std::sqrt(double(r)) * k;
            const Offset offset = polarOffset(dx, d, hypot, scaled);
            const int sx = clampCoord(offset.x + cx, w);
            const int oy = offset.y;
            if (below)
                copyPixel(below + std::ptrdiff_t(x) * bpp, src.pixel(sx, clampCoord(cy + oy, h)),
                          bpp);
            if (above)
                copyPixel(above + std::ptrdiff_t(x) * bpp, src.pixel(sx, clampCoord(cy - oy, h)),
                          bpp);
        }
    });
}

void FishEye(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
             const FishEyeParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height(), bpp = src.bpp();
    const EffectFrame frame(selection, w, h);
    const Rect& work = frame.workRect();
    const int bw = work.Width, bh = work.Height;
    const int R = std::min(bw, bh) / 2;
    const double kappa = params.strength * 0.001;
    const double norm = R / std::log(kappa * R + 1);
    const bool magnify = params.mode == 0;
    // The remapped radius. Strength 0 (norm infinite) and R = 0 (norm 0 / 0)
    // leave no real value; there the lens is the identity, its limit.
    auto lens = [&](float r) {
        double mapped = magnify ? (std::exp(r / norm) - 1) / kappa : std::log(kappa * r + 1) * norm;
        if (!std::isfinite(mapped)) mapped = r;
        return std::clamp(mapped, -1e8, 1e8);
    };
    const int ox0 = work.X + bw / 2, oy0 = work.Y + bh / 2; // lens centre in the image
    const int yAbove = bh / 2, yBelow = bh - bh / 2 - 1;    // rows above and below the centre
    // Columns of the lens that lie inside the image.
    const int xBegin = std::max(-(bw / 2), -ox0), xEnd = std::min(bw - bw / 2, w - ox0);
    forEachCentreDistance(std::max(yAbove, yBelow), (long long)bw * bh, [&](int d) {
        struct Row {
            int sign; // +1 below the centre, -1 above
            std::uint8_t* pixels;
            int y;
        };
        Row rows[2];
        int n = 0;
        if (d <= yBelow && oy0 + d >= 0 && oy0 + d < h) rows[n++] = {1, dst.row(oy0 + d), oy0 + d};
        if (d > 0 && d <= yAbove && oy0 - d >= 0 && oy0 - d < h)
            rows[n++] = {-1, dst.row(oy0 - d), oy0 - d};
        if (n == 0) return;
        for (int x = xBegin; x < xEnd; ++x) {
            const int dx = ox0 + x;
            const double hypot = std::sqrt(double(x) * x + double(d) * d);
            const float r = float(hypot); // singleRadius(x, d)
            if (r <= R) {
                const Offset offset = polarOffset(x, d, hypot, lens(r));
                const int sx = ox0 + offset.x;
                const int oy = offset.y;
                for (int i = 0; i < n; ++i) {
                    const int sy = oy0 + rows[i].sign * oy;
                    if (!frame.isSelected(sx, sy)) continue;
                    copyColour(rows[i].pixels + std::ptrdiff_t(dx) * bpp,
                               src.pixel(clampCoord(sx, w), clampCoord(sy, h)));
                }
            } else if (params.outside != 2) {
                const std::uint8_t fill = params.outside == 1 ? 255 : 0;
                for (int i = 0; i < n; ++i) {
                    if (!frame.isSelected(dx, rows[i].y)) continue;
                    std::uint8_t* p = rows[i].pixels + std::ptrdiff_t(dx) * bpp;
                    p[0] = p[1] = p[2] = fill;
                }
            }
        }
    });
}
