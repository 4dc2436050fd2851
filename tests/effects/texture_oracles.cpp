// SPDX-License-Identifier: GPL-3.0-or-later
// Reference routines, one pixel at a time, straight from the formulas.
#include "texture_oracles.h"

#include "core/runtime_random.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

Raster ReadRaster(Bitmap& bitmap) {
    ScopedLock lock(bitmap);
    Raster r{lock.width(), lock.height(), lock.bpp(), {}};
    r.bytes.resize(std::size_t(r.w) * r.h * r.bpp);
    for (int y = 0; y < r.h; ++y)
        std::memcpy(r.at(0, y), lock.row(y), std::size_t(r.w) * r.bpp);
    return r;
}

::testing::AssertionResult MatchesRaster(const Raster& expected, Bitmap& actual) {
    const Raster got = ReadRaster(actual);
    if (got.w != expected.w || got.h != expected.h || got.bpp != expected.bpp)
        return ::testing::AssertionFailure() << "shape differs";
    std::ostringstream msg;
    int differing = 0;
    for (int y = 0; y < got.h; ++y)
        for (int x = 0; x < got.w; ++x) {
            if (std::memcmp(got.at(x, y), expected.at(x, y), std::size_t(got.bpp)) == 0) continue;
            if (differing++ < 5) {
                msg << "\n  (" << x << "," << y << ") expected";
                for (int c = 0; c < got.bpp; ++c)
                    msg << " " << int(expected.at(x, y)[c]);
                msg << " actual";
                for (int c = 0; c < got.bpp; ++c)
                    msg << " " << int(got.at(x, y)[c]);
            }
        }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ:" << msg.str();
}

namespace {
int clampTo(int v, int lo, int hi) {
    return std::max(lo, std::min(hi, v));
}
void copyBytes(std::uint8_t* d, const std::uint8_t* s, int n) {
    std::memcpy(d, s, std::size_t(n));
}
} // namespace

Raster OracleMosaic(const Raster& s, const Picked& sel, int size) {
    Raster d = s;
    const int c = clampTo(size, 1, 32);
    for (int cy = sel.work.Y; cy < sel.work.Y + sel.work.Height; cy += c)
        for (int cx = sel.work.X; cx < sel.work.X + sel.work.Width; cx += c) {
            if (!sel.selected(cx, cy)) continue;
            for (int ch = 0; ch < 3; ++ch) {
                int sum = 0;
                for (int y = cy; y < cy + c; ++y)
                    for (int x = cx; x < cx + c; ++x)
                        if (s.inside(x, y)) sum += s.at(x, y)[ch];
                for (int y = cy; y < cy + c; ++y)
                    for (int x = cx; x < cx + c; ++x)
                        if (s.inside(x, y)) d.at(x, y)[ch] = std::uint8_t(sum / (c * c));
            }
        }
    return d;
}

Raster OracleOilPaint(const Raster& s, int radius, int levels) {
    Raster d = s;
    const int a = clampTo(radius, 1, 8);
    const int L = (levels & 0xFF) == 0 ? 1 : (levels & 0xFF);
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            std::vector<int> count(L + 1), sum(std::size_t(4 * (L + 1)));
            for (int wy = std::max(0, y - a); wy <= std::min(s.h - 1, y + a); ++wy)
                for (int wx = std::max(0, x - a); wx <= std::min(s.w - 1, x + a); ++wx) {
                    const std::uint8_t* p = s.at(wx, wy);
                    const int bin = ((L * (p[0] + p[1] + p[2])) / 3) / 255;
                    ++count[bin];
                    for (int ch = 0; ch < s.bpp; ++ch)
                        sum[std::size_t(4 * bin + ch)] += p[ch];
                }
            int best = 0;
            for (int b = 1; b <= L; ++b)
                if (count[b] > count[best]) best = b;
            for (int ch = 0; ch < s.bpp; ++ch)
                d.at(x, y)[ch] = std::uint8_t(sum[std::size_t(4 * best + ch)] / count[best]);
        }
    return d;
}

Raster OracleDiffuse(const Raster& s, int radius) {
    Raster d = s;
    const int a = clampTo(radius, 1, 32);
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const int ox = RuntimeRand() % (2 * a) - a;
            const int oy = RuntimeRand() % (2 * a) - a;
            copyBytes(d.at(x, y), s.at(clampTo(x + ox, 0, s.w - 1), clampTo(y + oy, 0, s.h - 1)),
                      s.bpp);
        }
    return d;
}

Raster OracleGlass(const Raster& s, const Picked& sel) {
    Raster d = s;
    const int x0 = std::max(sel.work.X, 0), x1 = std::min(sel.work.X + sel.work.Width - 1, s.w - 1);
    const int y0 = std::max(sel.work.Y, 0),
              y1 = std::min(sel.work.Y + sel.work.Height - 1, s.h - 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (!sel.selected(x, y)) continue;
            const int k = RuntimeRand() % 5;
            const long long i = std::min((long long)y * s.w + x + k, (long long)s.w * s.h - 1);
            copyBytes(d.at(x, y), s.at(int(i % s.w), int(i / s.w)), 3);
        }
    return d;
}

Raster OracleVideo(const Raster& s, const Picked& sel) {
    Raster d = s;
    for (int y = std::max(sel.work.Y, 0); y < std::min(sel.work.Y + sel.work.Height - 1, s.h - 1);
         ++y)
        for (int x = std::max(sel.work.X, 0);
             x < std::min(sel.work.X + sel.work.Width - 1, s.w - 1); ++x)
            if (sel.selected(x, y))
                d.at(x, y)[y % 3] = std::uint8_t(std::min(255, 2 * s.at(x, y)[y % 3]));
    return d;
}

Raster OracleWave(const Raster& s, const Picked& sel, int amplitude) {
    Raster d = s;
    const int a = clampTo(amplitude, 1, 32);
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            if (!sel.selected(x, y)) continue;
            const int sx = int(std::sin(y * 6.283185307179586 / 128) * a) + x;
            const int sy = int(std::cos(x * 6.283185307179586 / 128) * a) + y;
            copyBytes(d.at(x, y), s.at(clampTo(sx, 0, s.w - 1), clampTo(sy, 0, s.h - 1)), s.bpp);
        }
    return d;
}

Raster OraclePinch(const Raster& s, int strength) {
    Raster d = s;
    const int k = clampTo(strength, 1, 32);
    const int cx = s.w / 2, cy = s.h / 2;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const int dx = x - cx, dy = y - cy;
            const float theta = float(std::atan2(double(dy), double(dx)));
            const float r = float(std::sqrt(double(dx * dx + dy * dy)));
            const double rp = std::sqrt(double(r)) * k;
            const int sx = int(std::cos(double(theta)) * rp) + cx,
                      sy = int(std::sin(double(theta)) * rp) + cy;
            copyBytes(d.at(x, y), s.at(clampTo(sx, 0, s.w - 1), clampTo(sy, 0, s.h - 1)), s.bpp);
        }
    return d;
}

Raster OracleFishEye(const Raster& s, const Picked& sel, int mode, int outside, int strength) {
    Raster d = s;
    const int left = sel.work.X, top = sel.work.Y, bw = sel.work.Width, bh = sel.work.Height;
    const int R = std::min(bw, bh) / 2;
    const double kappa = strength * 0.001;
    const double norm = R / std::log(kappa * R + 1);
    const int cx = bw / 2, cy = bh / 2;
    for (int y = -(bh / 2); y <= bh - bh / 2 - 1; ++y)
        for (int x = -(bw / 2); x <= bw - bw / 2 - 1; ++x) {
            const int Dx = left + cx + x, Dy = top + cy + y;
            if (!s.inside(Dx, Dy)) continue;
            const float r = float(std::sqrt(double(x * x + y * y)));
            const float theta = float(std::atan2(double(y), double(x)));
            if (r <= R) {
                double rp =
                    mode == 0 ? (std::exp(r / norm) - 1) / kappa : std::log(kappa * r + 1) * norm;
                if (!std::isfinite(rp)) rp = r; // strength 0 or R = 0: the identity
                const int Sx = left + cx + int(std::cos(double(theta)) * rp),
                          Sy = top + cy + int(std::sin(double(theta)) * rp);
                if (!sel.selected(Sx, Sy)) continue;
                copyBytes(d.at(Dx, Dy), s.at(Sx, Sy), 3);
            } else {
                if (!sel.selected(Dx, Dy)) continue;
                if (outside == 2) continue;
                const std::uint8_t fill = outside == 1 ? 255 : 0;
                std::memset(d.at(Dx, Dy), fill, 3);
            }
        }
    return d;
}

namespace {

struct ShadeRange {
    double low, high;
    int change;
};
struct ShadeRing {
    double from; // ring starts at from * r0
    std::vector<ShadeRange> ranges;
};
const ShadeRing kRings[] = {
    {0.9, {{-2.25, 0, -80}, {-2.5, -2.25, -40}, {0, 0.25, -40}}},
    {0.8, {{-1.5, -0.75, -40}, {-0.75, 0.1, -30}, {-2.35, -1.5, -30}}},
    {0.7, {{-2, -0.1, -20}, {1.9, 2.5, 60}}},
    {0.6, {{-1.75, -0.5, -20}, {-0.25, 0, 20}, {-2.25, -2, 20}}},
    {0.5, {{-0.5, -0.25, 30}, {-2, -1.75, 30}}},
    {0.4, {{-1.75, -0.5, 40}}},
    {0.3, {{-2.25, 0, 30}}},
    {0.2, {{-1.75, -0.5, 20}}},
};

int shadeOf(float r, float theta, int r0) {
    for (const ShadeRing& ring : kRings) {
        if (!(r >= ring.from * r0)) continue;
        for (const ShadeRange& range : ring.ranges)
            if (range.low < theta && theta <= range.high) return range.change;
        return 0;
    }
    return 0;
}

} // namespace

Raster OracleRainDrops(const Raster& s, int M, int N, int S) {
    Raster d = s;
    std::vector<int> mask(std::size_t(s.w) * s.h, 0);
    int counter = 60;
    for (int n = 0; n < N; ++n) {
        const int D = int(RuntimeRand() * ((M - 5) / 32767.0) + 5);
        const int r0 = D / 2;
        const double norm = r0 / std::log(r0 * 0.4 + 1);
        int cx = 0, cy = 0;
        bool taken = false;
        do {
            cy = int(RuntimeRand() * ((s.h - 1) / 32767.0));
            cx = int(RuntimeRand() * ((s.w - 1) / 32767.0));
            taken = mask[std::size_t(cy) * s.w + cx] != 0;
            for (int y = cy - r0; y <= cy + r0; ++y)
                for (int x = cx - r0; x <= cx + r0; ++x)
                    if (s.inside(x, y) && mask[std::size_t(y) * s.w + x]) taken = true;
            ++counter;
        } while (taken && counter < 10000);
        if (counter >= 10000) break;
        for (int dy = -r0; dy < D - r0; ++dy)
            for (int dx = -r0; dx < D - r0; ++dx) {
                const float r = float(std::sqrt(double(dy * dy + dx * dx)));
                const float theta = float(std::atan2(double(dy), double(dx)));
                if (!(r <= r0)) continue;
                const double rp = (std::exp(r / norm) - 1) / 0.4;
                const int sy = int(std::sin(double(theta)) * rp) + cy,
                          sx = int(std::cos(double(theta)) * rp) + cx;
                const int tx = cx + dx, ty = cy + dy;
                if (!s.inside(sx, sy) || !s.inside(tx, ty)) continue;
                mask[std::size_t(ty) * s.w + tx] = 1;
                copyBytes(d.at(tx, ty), s.at(sx, sy), 3);
                if ((S & 0xFF) == 0) continue;
                const int k = shadeOf(r, theta, r0);
                for (int ch = 0; ch < 3; ++ch) {
                    std::uint8_t& v = d.at(tx, ty)[ch];
                    if (k < 0)
                        v = v <= -k ? 0 : std::uint8_t(v + k);
                    else
                        v = v + k > 255 ? 255 : std::uint8_t(v + k);
                }
            }
        if ((S & 0xFF) == 0) continue;
        const int u = D / 25 + 1;
        for (int dy = -r0 - u; dy < D - r0 + u; ++dy)
            for (int dx = -r0 - u; dx < D - r0 + u; ++dx) {
                const float r = float(std::sqrt(double(dy * dy + dx * dx)));
                if (!(r <= 1.1 * r0)) continue;
                const int px = cx + dx, py = cy + dy;
                float sum[3] = {0, 0, 0};
                int count = 0;
                for (int y = py - u; y <= py + u; ++y)
                    for (int x = px - u; x <= px + u; ++x) {
                        if (!s.inside(x, y)) continue;
                        for (int ch = 0; ch < 3; ++ch)
                            sum[ch] += d.at(x, y)[ch];
                        ++count;
                    }
                if (!s.inside(px, py)) continue;
                for (int ch = 0; ch < 3; ++ch)
                    d.at(px, py)[ch] = std::uint8_t(int(sum[ch] / count));
            }
    }
    return d;
}

Raster OracleAddNoise(const Raster& s, const Picked& sel, int amplitude) {
    Raster d = s;
    const int amp = clampTo(amplitude, 0, 255);
    if (amp == 0) return d;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            if (!sel.selected(x, y)) continue;
            const int n = RuntimeRand() % amp;
            for (int ch = 0; ch < 3; ++ch)
                d.at(x, y)[ch] = std::uint8_t(std::min(255, d.at(x, y)[ch] + n));
        }
    return d;
}

Raster OracleVignette(const Raster& s, double ratio, int strength) {
    Raster d = s;
    const int Wh = s.w / 2, Hh = s.h / 2;
    const double a = ratio * Wh, b = ratio * Hh;
    const double f = Wh != Hh ? std::sqrt(std::fabs(a * a - b * b)) : 0;
    double fx[2] = {0, 0}, fy[2] = {0, 0};
    if (Wh > Hh)
        fx[0] = f, fx[1] = -f;
    else
        fy[0] = f, fy[1] = -f;
    const double A = 2 * std::max(a, b);
    double K = 0;
    for (int k = 0; k < 2; ++k)
        K += std::sqrt((Wh - fx[k]) * (Wh - 1 - fx[k]) + (Hh - 1 - fy[k]) * (Hh - 1 - fy[k]));
    auto mul255 = [](int x, int y) { return ((x * y + 128) + ((x * y + 128) >> 8)) >> 8; };
    for (int Y = 0; Y < 2 * Hh; ++Y)
        for (int X = 0; X < 2 * Wh; ++X) {
            const int j = X >= Wh ? X - Wh : Wh - 1 - X;
            const int i = Y >= Hh ? Y - Hh : Hh - 1 - Y;
            int alpha = 0;
            const bool real = std::isfinite(K) && K != A;
            if (real && !(double(j) * j * b * b + double(i) * i * a * a < a * a * b * b)) {
                double S = 0;
                for (int k = 0; k < 2; ++k)
                    S += std::sqrt((j - fx[k]) * (j - fx[k]) + (i - fy[k]) * (i - fy[k]));
                S = std::min(std::max(S, A), K);
                alpha = int(255 * ((S - A) / (K - A)) * ((S - A) / (K - A)));
            }
            const int w1 = 255 - strength, w2 = mul255(strength, alpha);
            for (int ch = 0; ch < 3; ++ch) {
                std::uint8_t& c = d.at(X, Y)[ch];
                c = std::uint8_t(w1 + w2 > 0 ? c * w1 / (w1 + w2) : 0);
            }
        }
    return d;
}
