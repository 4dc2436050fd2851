// SPDX-License-Identifier: GPL-3.0-or-later
// Blur and sharpen effects.
#include "effects/blur_sharpen.h"

#include "adjust/blend.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Kernels whose weights are compile-time constants, so the per-byte sum folds
// into shifts and adds and the division by a constant into a multiply.
template <const ConvolutionKernel3x3& K>
struct FixedKernel {
    static constexpr const int* weights = K.weights;
    static constexpr int divisor = K.divisor;
};

struct RuntimeKernel {
    const int* weights;
    int divisor;
};

// Pixels per chunk of the scratch row; the scratch lives on the stack.
constexpr int kChunk = 512;

// Convolves pixels [x0, x1) of row y. Sums are computed byte by byte over the
// whole run (alpha bytes included, which keeps the loop simple enough to
// vectorise); only the colour bytes of pixels with non-zero alpha are stored.
template <int Bpp, class Kernel>
void convolveRun(const ScopedLock& src, const ScopedLock& dst, int y, int x0, int x1, const Kernel& k) {
    const int stride = src.stride();
    std::uint8_t scratch[kChunk * Bpp];
    for (int start = x0; start < x1; start += kChunk) {
        const int count = std::min(kChunk, x1 - start);
        const std::uint8_t* s = src.pixel(start, y);
        const std::uint8_t* up = s - stride;
        const std::uint8_t* down = s + stride;
        std::uint8_t* out = Bpp == 3 ? dst.pixel(start, y) : scratch;
        const int n = count * Bpp;
        for (int i = 0; i < n; ++i) {
            const int sum = k.weights[0] * up[i - Bpp] + k.weights[1] * up[i] + k.weights[2] * up[i + Bpp] +
                            k.weights[3] * s[i - Bpp] + k.weights[4] * s[i] + k.weights[5] * s[i + Bpp] +
                            k.weights[6] * down[i - Bpp] + k.weights[7] * down[i] +
                            k.weights[8] * down[i + Bpp];
            out[i] = clampByte(sum / k.divisor);
        }
        if constexpr (Bpp == 4) {
            std::uint8_t* d = dst.pixel(start, y);
            for (int j = 0; j < count; ++j, d += 4, s += 4) {
                if (s[3] == 0) continue; // transparent pixels keep their colour
                d[0] = scratch[j * 4];
                d[1] = scratch[j * 4 + 1];
                d[2] = scratch[j * 4 + 2];
            }
        }
    }
}

template <class Kernel>
void convolve(Bitmap& source, Bitmap& destination, const SelectionRegion* selection, const Kernel& k) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst) || (src.bpp() != 3 && src.bpp() != 4)) return;
    const EffectFrame frame(selection, src.width(), src.height());
    forEachSpan(
        frame, Coverage::Interior,
        [&](int y, int x0, int x1) {
            if (src.bpp() == 4)
                convolveRun<4>(src, dst, y, x0, x1, k);
            else
                convolveRun<3>(src, dst, y, x0, x1, k);
        },
        Threads::Two);
}

} // namespace

void Convolve3x3(Bitmap& source, Bitmap& destination, SelectionRegion* selection,
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

void Blur(Bitmap& source, Bitmap& destination, SelectionRegion* selection) {
    Convolve3x3(source, destination, selection, kBlurKernel);
}
void GaussBlur(Bitmap& source, Bitmap& destination, SelectionRegion* selection) {
    Convolve3x3(source, destination, selection, kGaussBlurKernel);
}
void Sharpen(Bitmap& source, Bitmap& destination, SelectionRegion* selection) {
    Convolve3x3(source, destination, selection, kSharpenKernel);
}
void SharpenMore(Bitmap& source, Bitmap& destination, SelectionRegion* selection) {
    Convolve3x3(source, destination, selection, kSharpenMoreKernel);
}

std::vector<Offset> LineOffsets(int x0, int y0, int x1, int y1) {
    const int dx = x1 - x0, dy = y1 - y0;
    const int adx = std::abs(dx), ady = std::abs(dy);
    const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
    std::vector<Offset> points;
    if (adx == ady) {
        for (int i = 0; i <= adx; ++i) points.push_back({x0 + i * sx, y0 + i * sy});
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
void motionPixel(const ScopedLock& src, std::uint8_t* d, int x, int y, const std::vector<Offset>& line,
                 const std::vector<std::ptrdiff_t>& byteOffsets) {
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
    const int w = src.width(), h = src.height();
    forEachSpan(
        frame, Coverage::WholeLessLast,
        [&](int y, int x0, int x1) {
            // Pixels whose whole line lies inside the image skip the bounds tests.
            const bool rowInside = y + minY >= 0 && y + maxY < h;
            const int safe0 = rowInside ? std::clamp(-minX, x0, x1) : x1;
            const int safe1 = rowInside ? std::clamp(w - maxX, safe0, x1) : x1;
            std::uint8_t* d = dst.pixel(x0, y);
            for (int x = x0; x < x1; ++x, d += Bpp) {
                if (x >= safe0 && x < safe1)
                    motionPixel<Bpp, false>(src, d, x, y, line, byteOffsets);
                else
                    motionPixel<Bpp, true>(src, d, x, y, line, byteOffsets);
            }
        },
        Threads::Two);
}

} // namespace

void MotionBlur(Bitmap& source, Bitmap& destination, SelectionRegion* selection, int angle,
                int distance) {
    angle %= 360;
    distance = clampInt(distance, 1, 200);
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

void SoftGlow(Bitmap& source, Bitmap& destination, SelectionRegion* selection) {
    std::unique_ptr<Bitmap> blurred = source.Clone();
    if (!blurred) return;
    GaussBlur(source, *blurred, selection);
    // Brighten by 1 + 0.05; products of 255 or more give 255.
    std::uint8_t brighten[256];
    for (int i = 0; i < 256; ++i) brighten[i] = std::uint8_t(std::min(255, int(i * 1.05)));
    ApplyLookupTable(source, destination, brighten, ChannelAll);
    BlendImages(destination, ChannelAll, *blurred, ChannelAll, int(BlendMode::Screen), 1.0);
}

void UsmSharpen(Bitmap& source, Bitmap& destination, SelectionRegion* selection, int strength) {
    // strength (1..100) counted blur passes, each reading the unchanged source
    // into the same destination, so one pass gives the same bytes.
    (void)strength;
    GaussBlur(source, destination, selection);
    ScopedLock src(source, ImageLockModeRead);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const EffectFrame frame(nullptr, src.width(), src.height());
    forEachPixel(
        frame, Coverage::Unselective, src, dst,
        [](const std::uint8_t* s, std::uint8_t* d, int, int) {
            d[0] = clampByte(2 * s[0] - d[0]);
            d[1] = clampByte(2 * s[1] - d[1]);
            d[2] = clampByte(2 * s[2] - d[2]);
        },
        Threads::Two);
}
