// SPDX-License-Identifier: GPL-3.0-or-later
// Rain Drops: placement with a shared attempt budget, refraction, shading and
// the in-place rim smoothing.
#include "effects/rain_drops.h"

#include "core/pixel_loop.h"
#include "core/runtime_random.h"
#include "core/single_math.h"
#include "effects/pixel_copy.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Place attempts are counted from 60 for the whole call, so at most 9940 are made.
constexpr int kFirstAttempt = 60;
constexpr int kAttemptLimit = 10000;

struct Drop {
    int cx, cy; // centre
    int size;   // diameter D
    int r0;     // D / 2
};

class RainCanvas {
  public:
    RainCanvas(const ScopedLock& src, const ScopedLock& dst)
        : m_src(src), m_dst(dst), m_w(src.width()), m_h(src.height()), m_bpp(src.bpp()),
          m_mask(std::size_t(m_w) * std::size_t(m_h), 0) {}

    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_w && y < m_h; }

    // True when an earlier drop covers (cx, cy) or any image pixel of the
    // square of half-side r0 around it.
    bool taken(int cx, int cy, int r0) const {
        if (covered(cx, cy)) return true;
        const int x0 = std::max(0, cx - r0), x1 = std::min(m_w - 1, cx + r0);
        const int y0 = std::max(0, cy - r0), y1 = std::min(m_h - 1, cy + r0);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (covered(x, y)) return true;
        return false;
    }

    void draw(const Drop& drop, bool shade) {
        const RainDropLens lens(drop.r0);
        for (int dy = -drop.r0; dy < drop.size - drop.r0; ++dy) {
            for (int dx = -drop.r0; dx < drop.size - drop.r0; ++dx) {
                const std::optional<DropSample> sample = lens.sample(dx, dy);
                if (!sample) continue;
                const int sy = sample->y + drop.cy;
                const int sx = sample->x + drop.cx;
                const int tx = drop.cx + dx, ty = drop.cy + dy;
                if (!inside(sx, sy) || !inside(tx, ty)) continue;
                m_mask[index(tx, ty)] = 1;
                std::uint8_t* t = m_dst.pixel(tx, ty);
                copyColour(t, m_src.pixel(sx, sy));
                if (!shade) continue;
                if (const int k = RainDropShade(sample->r, sample->theta, drop.r0)) {
                    t[0] = clampByte(t[0] + k);
                    t[1] = clampByte(t[1] + k);
                    t[2] = clampByte(t[2] + k);
                }
            }
        }
    }

    // Box-averages every image pixel within 1.1 r0 of the centre over a box of
    // half-side u, reading the destination as this pass leaves it.
    void smoothRim(const Drop& drop) {
        const int u = drop.size / 25 + 1;
        for (int dy = -drop.r0 - u; dy < drop.size - drop.r0 + u; ++dy) {
            for (int dx = -drop.r0 - u; dx < drop.size - drop.r0 + u; ++dx) {
                const float r = singleRadius(dx, dy);
                if (!(r <= 1.1 * drop.r0)) continue;
                const int px = drop.cx + dx, py = drop.cy + dy;
                if (!inside(px, py)) continue;
                float sum0 = 0, sum1 = 0, sum2 = 0;
                int count = 0;
                for (int y = std::max(0, py - u); y <= std::min(m_h - 1, py + u); ++y) {
                    const int x0 = std::max(0, px - u), x1 = std::min(m_w - 1, px + u);
                    const std::uint8_t* p = m_dst.pixel(x0, y);
                    for (int x = x0; x <= x1; ++x, p += m_bpp) {
                        sum0 += p[0];
                        sum1 += p[1];
                        sum2 += p[2];
                        ++count;
                    }
                }
                std::uint8_t* c = m_dst.pixel(px, py);
                c[0] = std::uint8_t(int(sum0 / count));
                c[1] = std::uint8_t(int(sum1 / count));
                c[2] = std::uint8_t(int(sum2 / count));
            }
        }
    }

  private:
    std::size_t index(int x, int y) const {
        return std::size_t(y) * std::size_t(m_w) + std::size_t(x);
    }
    bool covered(int x, int y) const { return m_mask[index(x, y)] != 0; }

    const ScopedLock& m_src;
    const ScopedLock& m_dst;
    int m_w, m_h, m_bpp;
    std::vector<std::uint8_t> m_mask; // destination pixels already covered by a drop
};

} // namespace

RainDropLens::RainDropLens(int r0) : m_r0(r0), m_norm(r0 / std::log(r0 * 0.4 + 1)) {}

std::optional<DropSample> RainDropLens::sample(int dx, int dy) const {
    const float r = singleRadius(dx, dy);
    if (!(r <= m_r0)) return std::nullopt;
    const float theta = singleAtan2(dy, dx);
    double mapped = (std::exp(r / m_norm) - 1) / 0.4;
    if (!std::isfinite(mapped)) mapped = r; // a drop of radius 0
    double sinT, cosT;
    ::sincos(double(theta), &sinT, &cosT);
    return DropSample{r, theta, int(cosT * mapped), int(sinT * mapped)};
}

int RainDropShade(float r, float theta, int r0) {
    const double t = theta;
    auto in = [t](double low, double high) { return low < t && t <= high; };
    // Rings from the outside in; within a ring the first matching range wins.
    if (r >= 0.9 * r0) return in(-2.25, 0) ? -80 : in(-2.5, -2.25) ? -40 : in(0, 0.25) ? -40 : 0;
    if (r >= 0.8 * r0)
        return in(-1.5, -0.75) ? -40 : in(-0.75, 0.1) ? -30 : in(-2.35, -1.5) ? -30 : 0;
    if (r >= 0.7 * r0) return in(-2, -0.1) ? -20 : in(1.9, 2.5) ? 60 : 0;
    if (r >= 0.6 * r0) return in(-1.75, -0.5) ? -20 : in(-0.25, 0) ? 20 : in(-2.25, -2) ? 20 : 0;
    if (r >= 0.5 * r0) return in(-0.5, -0.25) ? 30 : in(-2, -1.75) ? 30 : 0;
    if (r >= 0.4 * r0) return in(-1.75, -0.5) ? 40 : 0;
    if (r >= 0.3 * r0) return in(-2.25, 0) ? 30 : 0;
    if (r >= 0.2 * r0) return in(-1.75, -0.5) ? 20 : 0;
    return 0;
}

void RainDrops(const Bitmap& source, Bitmap& destination, const SelectionRegion*,
               const RainDropsParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int w = src.width(), h = src.height();
    const bool shade = (params.shading & 0xFF) != 0;
    RainCanvas canvas(src, dst);
    int attempts = kFirstAttempt;
    for (int n = 0; n < params.count; ++n) {
        Drop drop;
        drop.size = int(RuntimeRand() * ((params.size - 5) / 32767.0) + 5);
        drop.r0 = drop.size / 2;
        bool taken = true;
        do {
            drop.cy = int(RuntimeRand() * ((h - 1) / 32767.0));
            drop.cx = int(RuntimeRand() * ((w - 1) / 32767.0));
            taken = canvas.taken(drop.cx, drop.cy, drop.r0);
            ++attempts;
        } while (taken && attempts < kAttemptLimit);
        // The budget is spent: this drop is not drawn and no other follows.
        if (attempts >= kAttemptLimit) break;
        canvas.draw(drop, shade);
        if (shade) canvas.smoothRim(drop);
    }
}
