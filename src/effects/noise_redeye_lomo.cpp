// SPDX-License-Identifier: GPL-3.0-or-later
// Add Noise, Red Eye Remove and the LOMO pipeline.
#include "effects/noise_redeye_lomo.h"

#include "core/pixel_loop.h"
#include "core/runtime_random.h"
#include "effects/small_divisor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

using ByteTable = std::array<std::uint8_t, 256>;

ByteTable colourShiftTable(int shift) {
    ByteTable table;
    for (int i = 0; i < 256; ++i) {
        // Weight 0.667 at the midtone 127, 0 at 0 and slightly negative at 255.
        const double q = (i - 127) / 127.0;
        const double weight = 0.667 * (1 - q * q);
        table[std::size_t(i)] = clampByte(i + int(shift * weight));
    }
    return table;
}

ByteTable levelTable(int black, int white, double gamma) {
    const double exponent = gamma == 0 ? 0 : 1 / gamma;
    ByteTable table;
    for (int i = 0; i < 256; ++i) {
        if (i < black) {
            table[std::size_t(i)] = 0;
        } else if (i < white) {
            const double v = std::pow(double(i - black) / (white - black), exponent) * 255;
            table[std::size_t(i)] = std::uint8_t(std::clamp(v, 0.0, 255.0));
        } else {
            table[std::size_t(i)] = 255;
        }
    }
    return table;
}

inline int mul255(int x, int y) {
    const int t = x * y + 128;
    return (t + (t >> 8)) >> 8;
}

// The vignette of one image size: an opacity for every position of a quadrant
// (mirrored onto the four quarters of the image) and, per opacity, the table
// that darkens a colour value.
class VignetteMask {
  public:
    VignetteMask(int width, int height, double ratio, int strength)
        : m_wh(width / 2), m_hh(height / 2), m_opacity(std::size_t(m_wh) * std::size_t(m_hh), 0),
          m_column(std::size_t(width), -1) {
        for (int x = 0; x < 2 * m_wh; ++x)
            m_column[std::size_t(x)] = x >= m_wh ? x - m_wh : m_wh - 1 - x;
        buildOpacity(ratio);
        const int s = clampInt(strength, 0, 255);
        const int w1 = 255 - s;
        for (int alpha = 0; alpha < 256; ++alpha) {
            const int w2 = mul255(s, alpha);
            for (int c = 0; c < 256; ++c)
                m_darken[std::size_t(alpha)][std::size_t(c)] =
                    std::uint8_t(w1 + w2 > 0 ? c * w1 / (w1 + w2) : 0);
        }
    }

    // The opacities of image row y by quadrant column, or null for the last
    // row of an odd height, which the vignette does not touch.
    const std::uint8_t* opacityRow(int y) const {
        if (y >= 2 * m_hh) return nullptr;
        const int i = y >= m_hh ? y - m_hh : m_hh - 1 - y;
        return m_opacity.data() + std::size_t(i) * std::size_t(m_wh);
    }
    const std::uint8_t* darken(int opacity) const { return m_darken[std::size_t(opacity)].data(); }

    // Darkens the colour bytes of pixels [xBegin, xEnd) of image row y, whose
    // bytes start at pixels.
    void applyRow(int y, int xBegin, int xEnd, std::uint8_t* pixels, int bpp) const {
        const std::uint8_t* opacities = opacityRow(y);
        if (!opacities) return;
        xEnd = std::min(xEnd, 2 * m_wh);
        std::uint8_t* p = pixels + std::ptrdiff_t(xBegin) * bpp;
        for (int x = xBegin; x < xEnd; ++x, p += bpp) {
            const std::uint8_t* table = darken(opacities[m_column[std::size_t(x)]]);
            p[0] = table[p[0]];
            p[1] = table[p[1]];
            p[2] = table[p[2]];
        }
    }

  private:
    // The ellipse's foci (fx, fy) and (-fx, -fy), squared semi-axes, major axis
    // and the focal distance sum K at the corner.
    struct Geometry {
        double fx, fy, aa, bb, major, k;
    };

    void buildOpacity(double ratio) {
        const double a = ratio * m_wh, b = ratio * m_hh; // horizontal and vertical semi-axes
        const double f = m_wh != m_hh ? std::sqrt(std::fabs(a * a - b * b)) : 0;
        Geometry g{m_wh > m_hh ? f : 0, m_wh > m_hh ? 0 : f, a * a, b * b, 2 * std::max(a, b), 0};
        // K's horizontal term is the product (Wh - fx)(Wh - 1 - fx), not a square.
        auto cornerDistance = [&](double px, double py) {
            return std::sqrt((m_wh - px) * (m_wh - 1 - px) + (m_hh - 1 - py) * (m_hh - 1 - py));
        };
        g.k = cornerDistance(g.fx, g.fy) + cornerDistance(-g.fx, -g.fy);
        // Where K is no real number (a negative term under its root) or equals
        // the major axis, no pixel has a real opacity: none is darkened.
        if (!std::isfinite(g.k) || g.k == g.major) return;
        // Rows through the ellipse skip its inside, so their costs differ.
        splitAlternateRows(0, m_hh, (long long)m_wh * m_hh, Threads::Two,
                           [&](int i) { fillOpacityRow(i, g); });
    }

    void fillOpacityRow(int i, const Geometry& g) {
        std::uint8_t* row = m_opacity.data() + std::size_t(i) * std::size_t(m_wh);
        const double ii = double(i) * i;
        for (int j = 0; j < m_wh; ++j) {
            const double jj = double(j) * j;
            if (jj * g.bb + ii * g.aa < g.aa * g.bb) continue; // inside the ellipse
            const double d1 = std::sqrt((j - g.fx) * (j - g.fx) + (i - g.fy) * (i - g.fy));
            const double d2 = std::sqrt((j + g.fx) * (j + g.fx) + (i + g.fy) * (i + g.fy));
            const double s = std::min(std::max(d1 + d2, g.major), g.k);
            const double q = (s - g.major) / (g.k - g.major);
            row[j] = std::uint8_t(std::clamp(int(255 * (q * q)), 0, 255));
        }
    }

    int m_wh, m_hh;
    std::vector<std::uint8_t> m_opacity;
    std::vector<int>
        m_column; // quadrant column of each image column; -1 for the last of an odd width
    std::array<ByteTable, 256> m_darken;
};

} // namespace

void AddNoise(Bitmap& image, const SelectionRegion* selection, const AddNoiseParams& params) {
    const int amp = clampInt(params.amplitude, 0, 255);
    if (amp == 0) return; // nothing to add, and no random numbers drawn
    // Changes the pixels in place, so the lock is a write lock: an undo
    // snapshot sharing them keeps its own.
    ScopedLock lock(image);
    if (!lock.ok()) return;
    const EffectFrame frame(selection, lock.width(), lock.height());
    const SmallDivisor modulus(amp);
    // One draw per selected pixel in pixel order, so this stays on one thread.
    forEachPixel(frame, Coverage::Whole, lock, lock,
                 [&modulus](const std::uint8_t*, std::uint8_t* p, int, int) {
                     const int n = modulus.remainder(RuntimeRand());
                     p[0] = std::uint8_t(std::min(255, p[0] + n));
                     p[1] = std::uint8_t(std::min(255, p[1] + n));
                     p[2] = std::uint8_t(std::min(255, p[2] + n));
                 });
}

void RedEyeRemove(Bitmap& image, const SelectionRegion* selection,
                  const RedEyeRemoveParams& params) {
    const int limit = clampInt(params.threshold, 0, 100);
    const int toneR = clampInt(params.red, 0, 255), toneG = clampInt(params.green, 0, 255),
              toneB = clampInt(params.blue, 0, 255);
    BitmapData data;
    if (image.LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &data) != Ok) return;
    const EffectFrame frame(selection, int(data.Width), int(data.Height));
    forEachSpan(
        frame, Coverage::Whole,
        [&](int y, int xBegin, int xEnd) {
            std::uint8_t* p =
                data.Scan0 + std::ptrdiff_t(y) * data.Stride + std::ptrdiff_t(xBegin) * 4;
            for (int x = xBegin; x < xEnd; ++x, p += 4) {
                const int b = p[0], g = p[1], r = p[2];
                if (r - std::min(g, b) > limit && r > 100) {
                    const int lum = Luminance(r, g, b);
                    p[0] = std::uint8_t(lum * toneB / 255);
                    p[1] = std::uint8_t(lum * toneG / 255);
                    p[2] = std::uint8_t(lum * toneR / 255);
                }
            }
        },
        Threads::Two);
    image.UnlockBits(&data);
}

void ColourShift(Bitmap& source, Bitmap& destination, int red, int green, int blue) {
    ApplyLookupTable(source, destination, colourShiftTable(red).data(), ChannelRed);
    ApplyLookupTable(source, destination, colourShiftTable(green).data(), ChannelGreen);
    ApplyLookupTable(source, destination, colourShiftTable(blue).data(), ChannelBlue);
}

void LevelMap(Bitmap& source, Bitmap& destination, int black, int white, double gamma) {
    ApplyLookupTable(source, destination, levelTable(black, white, gamma).data(), ChannelAll);
}

void Vignette(Bitmap& image, double ratio, int strength) {
    ScopedLock lock(image);
    if (!lock.ok()) return;
    const VignetteMask mask(lock.width(), lock.height(), ratio, strength);
    const EffectFrame frame(nullptr, lock.width(), lock.height());
    forEachSpan(
        frame, Coverage::Unselective,
        [&](int y, int xBegin, int xEnd) {
            mask.applyRow(y, xBegin, xEnd, lock.row(y), lock.bpp());
        },
        Threads::Two);
}

void Lomo(const Bitmap& source, Bitmap& destination, const SelectionRegion*,
          const LomoParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    // The three stages in one pass: the level table applied to the shifted
    // value gives what the separate passes give through their copy.
    const ByteTable level = levelTable(params.black, params.white, params.gamma);
    ByteTable tables[3] = {colourShiftTable(params.yellow), colourShiftTable(params.magenta),
                           colourShiftTable(params.cyan)};
    for (ByteTable& t : tables)
        for (std::uint8_t& v : t)
            v = level[v];
    const VignetteMask mask(src.width(), src.height(), params.ratio, params.alpha);
    const EffectFrame frame(nullptr, src.width(), src.height());
    const int bpp = src.bpp();
    forEachSpan(
        frame, Coverage::Unselective,
        [&](int y, int xBegin, int xEnd) {
            const std::uint8_t* s = src.row(y) + std::ptrdiff_t(xBegin) * bpp;
            std::uint8_t* d = dst.row(y) + std::ptrdiff_t(xBegin) * bpp;
            for (int x = xBegin; x < xEnd; ++x, s += bpp, d += bpp) {
                d[0] = tables[0][s[0]];
                d[1] = tables[1][s[1]];
                d[2] = tables[2][s[2]];
            }
            mask.applyRow(y, xBegin, xEnd, dst.row(y), bpp);
        },
        Threads::Two);
}
