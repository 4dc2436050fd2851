// SPDX-License-Identifier: GPL-3.0-or-later
// Blur and sharpen effects.
#include "effects/blur_sharpen.h"

#include <cmath>
#include <cstdlib>

namespace {

// Kernels whose weights are compile-time constants, so the per-byte sum folds
// into shifts and adds and the division by a constant into a multiply.
template <const ConvolutionKernel3x3& K> struct FixedKernel {
    static constexpr const int* weights = K.weights;
    static constexpr int divisor = K.divisor;
};

struct RuntimeKernel {
    const int* weights;
    int divisor;
};

template <class Kernel>
void convolve(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
              const Kernel& k) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const EffectFrame frame(selection, src.width(), src.height());
    const int stride = src.stride();
    // Sums run over every byte of a run, alpha included, which keeps the loop
    // simple enough to vectorise; the walker stores only colour bytes, and only
    // of pixels whose alpha is not 0.
    forEachRunBytes(
        frame, Coverage::Interior, src, dst,
        [&](const std::uint8_t* s, const std::uint8_t*, std::uint8_t* out, int n, auto bpp) {
            const std::uint8_t* up = s - stride;
            const std::uint8_t* down = s + stride;
            for (int i = 0; i < n; ++i) {
                const int sum = k.weights[0] * up[i - bpp] + k.weights[1] * up[i] +
                                k.weights[2] * up[i + bpp] + k.weights[3] * s[i - bpp] +
                                k.weights[4] * s[i] + k.weights[5] * s[i + bpp] +
                                k.weights[6] * down[i - bpp] + k.weights[7] * down[i] +
                                k.weights[8] * down[i + bpp];
                out[i] = clampByte(sum / k.divisor);
            }
        },
        Threads::Two, Transparent::Skip);
}

} // namespace

void Convolve3x3(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                 const ConvolutionKernel3x3& kernel) {
    if (kernel == kBlurKernel)
        convolve(source, destination, selection, FixedKernel<kBlurKernel>{});
    else if (kernel == kGaussBlurKernel)
        convolve(source, destination, selection, FixedKernel<kGaussBlurKernel>{});
    else if (kernel == kSharpenKernel)
        convolve(source, destination, selection, FixedKernel<kSharpenKernel>{});
    else if (kernel == kSharpenMoreKernel)
        convolve(source, destination, selection, FixedKernel<kSharpenMoreKernel>{});
    else if (kernel.divisor != 0)
        convolve(source, destination, selection, RuntimeKernel{kernel.weights, kernel.divisor});
}

void Blur(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    Convolve3x3(source, destination, selection, kBlurKernel);
}
void GaussBlur(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    Convolve3x3(source, destination, selection, kGaussBlurKernel);
}
void Sharpen(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    Convolve3x3(source, destination, selection, kSharpenKernel);
}
void SharpenMore(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    Convolve3x3(source, destination, selection, kSharpenMoreKernel);
}

std::vector<Offset> LineOffsets(int x0, int y0, int x1, int y1) {
    const int dx = x1 - x0, dy = y1 - y0;
    const int adx = std::abs(dx), ady = std::abs(dy);
    const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
    std::vector<Offset> points;
    if (adx == ady) {
        for (int i = 0; i <= adx; ++i)
            points.push_back({x0 + i * sx, y0 + i * sy});
        return points;
    }
    // Walk the major axis; the minor one steps before the point is emitted.
    const bool xMajor = ady < adx;
    const int major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    int x = x0, y = y0, error = 0;
    for (int i = 0; i <= major; ++i) {
        error += minor;
        if (error >= major) {
            error -= major;
            if (xMajor)
                y += sy;
            else
                x += sx;
        }
        points.push_back({x, y});
        if (xMajor)
            x += sx;
        else
            y += sy;
    }
    return points;
}

namespace {

// One Motion Blur pixel from its samples; check says whether each sample must
// be tested against the image.
template <int Bpp, bool Check>
void motionPixel(const ScopedLock& src, std::uint8_t* d, int x, int y,
                 const std::vector<Offset>& line, const std::vector<std::ptrdiff_t>& byteOffsets) {
    int sumB = 0, sumG = 0, sumR = 0, sumA = 0, weight = 1, n = 0;
    const std::uint8_t* centre = src.pixel(x, y);
    const int count = int(line.size());
    for (int i = 0; i < count; ++i) {
        if constexpr (Check) {
            const int sx = x + line[i].x, sy = y + line[i].y;
            if (sx < 0 || sy < 0 || sx >= src.width() || sy >= src.height()) continue;
        }
        const std::uint8_t* p = centre + byteOffsets[i];
        ++n;
        const int a = Bpp == 4 ? p[3] : 255;
        if (a == 0) continue;
        sumB += p[0] * a;
        sumG += p[1] * a;
        sumR += p[2] * a;
        sumA += a;
        weight += a;
    }
    if (n == 0) return; // no sample inside the image: keep the destination value
    if constexpr (Bpp == 4) d[3] = std::uint8_t(sumA / n);
    d[2] = std::uint8_t(sumR / weight);
    d[1] = std::uint8_t(sumG / weight);
    d[0] = std::uint8_t(sumB / weight);
}

// A horizontal piece of the line: offsets (lo..hi, dy), both ends included.
struct LineSegment {
    int dy, lo, hi;
};

// The line as horizontal segments. Sums over a segment come from prefix sums
// of its row, so a long, shallow line costs a few subtractions per channel
// instead of one multiply-add per sample; integer sums are exact in any order.
std::vector<LineSegment> lineSegments(const std::vector<Offset>& line) {
    std::vector<LineSegment> segments;
    for (const Offset& o : line) {
        if (!segments.empty()) {
            LineSegment& last = segments.back();
            if (last.dy == o.y && (o.x == last.lo - 1 || o.x == last.hi + 1)) {
                last.lo = std::min(last.lo, o.x);
                last.hi = std::max(last.hi, o.x);
                continue;
            }
        }
        segments.push_back({o.y, o.x, o.x});
    }
    return segments;
}

// Per thread: prefix sums of colour * alpha and of alpha for the last few
// source rows, in a ring indexed by row number. Entry k of a row holds the sums
// over its pixels 0..k-1, four values (blue, green, red, alpha) per entry. On
// 24-bit images alpha is 255 throughout, so the colour sums are kept unweighted
// and multiplied by 255 when used. Sums stay below 2^32 for rows up to 30000
// pixels (30000 * 255 * 255), and differences of unsigned values are exact.
template <int Bpp> class PrefixRows {
  public:
    PrefixRows(const ScopedLock& src, int rows)
        : m_src(src), m_rows(rows), m_entries(src.width() + 1) {
        m_sums.resize(std::size_t(rows) * m_entries * 4);
        m_rowAt.assign(rows, -1);
    }

    const std::uint32_t* row(int y) {
        const int slot = y % m_rows;
        std::uint32_t* p = m_sums.data() + std::size_t(slot) * m_entries * 4;
        if (m_rowAt[slot] != y) {
            m_rowAt[slot] = y;
            fill(p, m_src.row(y));
        }
        return p;
    }

  private:
    void fill(std::uint32_t* p, const std::uint8_t* s) const {
        std::uint32_t b = 0, g = 0, r = 0, a = 0;
        p[0] = p[1] = p[2] = p[3] = 0;
        for (int x = 0; x < m_entries - 1; ++x, s += Bpp) {
            const std::uint32_t alpha = Bpp == 4 ? s[3] : 1;
            b += s[0] * alpha, g += s[1] * alpha, r += s[2] * alpha, a += alpha;
            std::uint32_t* e = p + std::size_t(x + 1) * 4;
            e[0] = b, e[1] = g, e[2] = r, e[3] = a;
        }
    }

    const ScopedLock& m_src;
    int m_rows;
    int m_entries;
    std::vector<std::uint32_t> m_sums;
    std::vector<int> m_rowAt;
};

template <int Bpp>
void motionBlur(const ScopedLock& src, const ScopedLock& dst, const EffectFrame& frame,
                const std::vector<Offset>& line) {
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    std::vector<std::ptrdiff_t> byteOffsets;
    for (const Offset& o : line) {
        minX = std::min(minX, o.x), maxX = std::max(maxX, o.x);
        minY = std::min(minY, o.y), maxY = std::max(maxY, o.y);
        byteOffsets.push_back(std::ptrdiff_t(o.y) * src.stride() + std::ptrdiff_t(o.x) * Bpp);
    }
    const std::vector<LineSegment> segments = lineSegments(line);
    if (segments.size() > 256) return;
    const int samples = int(line.size());
    const double weight24 = 1.0 + 255.0 * samples; // every 24-bit sample has alpha 255
    const int w = src.width(), h = src.height();
    forEachSpanWithState(
        frame, Coverage::WholeLessLast, [&] { return PrefixRows<Bpp>(src, maxY - minY + 1); },
        [&](PrefixRows<Bpp>& prefix, int y, int x0, int x1) {
            // Pixels whose whole line lies inside the image use the prefix sums;
            // the others test every sample against the image.
            const bool rowInside = y + minY >= 0 && y + maxY < h;
            const int safe0 = rowInside ? std::clamp(-minX, x0, x1) : x1;
            const int safe1 = rowInside ? std::clamp(w - maxX, safe0, x1) : x1;
            for (int x = x0; x < safe0; ++x)
                motionPixel<Bpp, true>(src, dst.pixel(x, y), x, y, line, byteOffsets);
            if (safe0 < safe1) {
                // The distance is limited to 200, so a line has at most 201 points.
                const std::uint32_t* rows[256];
                const int segmentCount = int(segments.size());
                for (int k = 0; k < segmentCount; ++k)
                    rows[k] = prefix.row(y + segments[k].dy);
                std::uint8_t* d = dst.pixel(safe0, y);
                for (int x = safe0; x < safe1; ++x, d += Bpp) {
                    std::uint32_t sum[4] = {0, 0, 0, 0};
                    for (int k = 0; k < segmentCount; ++k) {
                        const std::uint32_t* hi = rows[k] + std::size_t(x + segments[k].hi + 1) * 4;
                        const std::uint32_t* lo = rows[k] + std::size_t(x + segments[k].lo) * 4;
                        for (int c = 0; c < 4; ++c)
                            sum[c] += hi[c] - lo[c];
                    }
                    // Quotients of integers below 2^53 through double division
                    // truncate exactly like integer division, and pipeline better.
                    if constexpr (Bpp == 4) {
                        const double weight = 1.0 + sum[3];
                        d[3] = std::uint8_t(int(double(sum[3]) / samples));
                        d[2] = std::uint8_t(int(double(sum[2]) / weight));
                        d[1] = std::uint8_t(int(double(sum[1]) / weight));
                        d[0] = std::uint8_t(int(double(sum[0]) / weight));
                    } else {
                        d[2] = std::uint8_t(int(double(sum[2]) * 255 / weight24));
                        d[1] = std::uint8_t(int(double(sum[1]) * 255 / weight24));
                        d[0] = std::uint8_t(int(double(sum[0]) * 255 / weight24));
                    }
                }
            }
            for (int x = safe1; x < x1; ++x)
                motionPixel<Bpp, true>(src, dst.pixel(x, y), x, y, line, byteOffsets);
        },
        Threads::Two);
}

} // namespace

void MotionBlur(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                const MotionBlurParams& params) {
    const int angle = params.angle % 360;
    const int distance = clampInt(params.distance, 1, 200);
    // The line runs opposite to the given angle.
    const double theta = (angle + 180) * 3.141592653589793 / 180;
    const int dx = int(std::cos(theta) * distance);
    const int dy = int(std::sin(theta) * distance);
    const std::vector<Offset> line = LineOffsets((-dx) / 2, dy / 2, dx / 2, (-dy) / 2);

    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const EffectFrame frame(selection, src.width(), src.height());
    if (src.bpp() == 4)
        motionBlur<4>(src, dst, frame, line);
    else if (src.bpp() == 3)
        motionBlur<3>(src, dst, frame, line);
}

void SoftGlow(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    // The blurred layer is a copy of the source blurred inside the selection.
    // The destination is that copy before the blur, so it serves as the layer.
    GaussBlur(source, destination, selection);
    // Then every colour byte becomes Screen(base = source brightened by
    // 1 + 0.05, blend = layer) at full opacity, over the whole image: the same
    // bytes as brightening through a lookup table and blending with the Screen
    // table, in one vectorisable pass. trunc(v * 1.05) equals v + v / 20 for
    // every byte value (1.05 is stored a little above itself, so no product
    // falls just short of an integer), and Screen at full opacity is its
    // formula 255 - (255 - base) * (255 - blend) / 255.
    runByteEffect(source, destination, nullptr, Coverage::Unselective, Threads::Two,
                  [](const std::uint8_t* s, const std::uint8_t* d, std::uint8_t* out, int n) {
                      // Every intermediate fits 16 unsigned bits, which lets the
                      // compiler work on eight bytes per vector lane group.
                      for (int i = 0; i < n; ++i) {
                          const std::uint16_t v = s[i];
                          const std::uint16_t bright = std::min<std::uint16_t>(255, v + v / 20);
                          const std::uint16_t product =
                              std::uint16_t((255 - bright) * (255 - d[i]));
                          out[i] = std::uint8_t(255 - product / 255);
                      }
                  });
}

void UsmSharpen(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                const UsmSharpenParams&) {
    // strength (1..100) counted blur passes, each reading the unchanged source
    // into the same destination, so one pass gives the same bytes.
    GaussBlur(source, destination, selection);
    runByteEffect(source, destination, nullptr, Coverage::Unselective, Threads::Two,
                  [](const std::uint8_t* s, const std::uint8_t* d, std::uint8_t* out, int n) {
                      for (int i = 0; i < n; ++i)
                          out[i] = clampByte(2 * s[i] - d[i]);
                  });
}
