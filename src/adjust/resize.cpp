// SPDX-License-Identifier: GPL-3.0-or-later
// Resize arithmetic and the resized copy.
#include "adjust/resize.h"

#include "adjust/blend.h"
#include "core/codecs.h"
#include "core/pixel_loop.h"

#include <algorithm>

int HeightForWidth(int width, double ratio) {
    return int(width / ratio + 0.5);
}
int WidthForHeight(int height, double ratio) {
    return int(height * ratio + 0.5);
}

bool IsAcceptedImageSize(int width, int height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           qint64(width) * height * 4 <= kMaxPixelBytes;
}

const char* ImageSizeRefusal() {
    return "The width and height must lie between 1 and 30000 pixels, and the picture within 1 "
           "GiB.";
}

ResizeModel::ResizeModel(int width, int height)
    : m_ratio(double(width) / height), m_width(width), m_height(height) {}

void ResizeModel::typeWidth(int width) {
    m_width = width;
    if (m_restrict) m_height = HeightForWidth(width, m_ratio);
}

void ResizeModel::typeHeight(int height) {
    m_height = height;
    if (m_restrict) m_width = WidthForHeight(height, m_ratio);
}

ResampleAxis MakeResampleAxis(int from, int to) {
    ResampleAxis axis;
    axis.first.reserve(std::size_t(to));
    axis.offset.reserve(std::size_t(to) + 1);
    axis.offset.push_back(0);
    if (to <= from) {
        // Output i covers [i * from, (i + 1) * from) and source j covers
        // [j * to, (j + 1) * to), both in units of 1 / to source samples. The
        // weights are differences of the rounded running overlap, so they sum
        // to exactly kResampleOne.
        for (long long i = 0; i < to; ++i) {
            const long long begin = i * from, end = begin + from;
            const long long j0 = begin / to, j1 = (end - 1) / to;
            axis.first.push_back(int(j0));
            long long covered = 0, given = 0;
            for (long long j = j0; j <= j1; ++j) {
                covered += std::min(end, (j + 1) * to) - std::max(begin, j * to);
                const long long upTo = (covered * kResampleOne + from / 2) / from;
                axis.weights.push_back(std::uint16_t(upTo - given));
                given = upTo;
            }
            axis.offset.push_back(int(axis.weights.size()));
        }
    } else {
        // Output centre i + 1/2 lies at source position (2i + 1) * from / (2 to)
        // - 1/2; outside the outer source centres the edge sample is repeated.
        for (long long i = 0; i < to; ++i) {
            const long long n = (2 * i + 1) * from - to; // position * 2 to
            const long long j = n < 0 ? 0 : n / (2 * to);
            const long long fraction = n < 0 ? 0 : n % (2 * to);
            const int w1 = int((fraction * kResampleOne + to) / (2 * to));
            axis.first.push_back(int(j));
            if (j + 1 >= from || w1 == 0) {
                axis.weights.push_back(kResampleOne);
            } else {
                axis.weights.push_back(std::uint16_t(kResampleOne - w1));
                axis.weights.push_back(std::uint16_t(w1));
            }
            axis.offset.push_back(int(axis.weights.size()));
        }
    }
    return axis;
}

namespace {

// Rounds sum / 2^24, the product of two axes' kResampleOne.
constexpr int kShift = 24;

// sums[i] += weight * bytes[i] for i in [0, count). Blocks of a fixed 16
// let the compiler use vector instructions.
void addWeightedRow(std::uint32_t* __restrict sums, const std::uint8_t* __restrict bytes,
                    std::uint32_t weight, int count) {
    int i = 0;
    for (; i + 16 <= count; i += 16)
        for (int j = 0; j < 16; ++j)
            sums[i + j] += weight * bytes[i + j];
    for (; i < count; ++i)
        sums[i] += weight * bytes[i];
}

// Opaque pixels (24-bit source). Per output row, the vertical pass sums the
// source rows with their weights into one row of unrounded channel sums
// (under 2^20, a plain loop over bytes that vectorises); the horizontal pass
// sums those with its weights (under 2^32) and rounds once.
void resampleOpaque(const ScopedLock& src, const ScopedLock& dst, const ResampleAxis& ax,
                    const ResampleAxis& ay) {
    const int w = dst.width(), h = dst.height(), n = src.width() * 3;
    splitRows(0, h, (long long)src.width() * src.height(), Threads::Two, [&](int yBegin, int yEnd) {
        std::vector<std::uint32_t> down(std::size_t(n), 0u);
        for (int y = yBegin; y < yEnd; ++y) {
            std::fill(down.begin(), down.end(), 0u);
            for (int k = ay.offset[y]; k < ay.offset[y + 1]; ++k) {
                const std::uint8_t* s = src.row(ay.first[y] + k - ay.offset[y]);
                addWeightedRow(down.data(), s, ay.weights[k], n);
            }
            std::uint8_t* d = dst.row(y);
            for (int x = 0; x < w; ++x, d += 4) {
                const std::uint32_t* p = &down[3 * std::size_t(ax.first[x])];
                std::uint32_t b = 1u << (kShift - 1), g = b, r = b;
                for (int t = ax.offset[x]; t < ax.offset[x + 1]; ++t, p += 3) {
                    const std::uint32_t wt = ax.weights[t];
                    b += wt * p[0];
                    g += wt * p[1];
                    r += wt * p[2];
                }
                d[0] = std::uint8_t(b >> kShift);
                d[1] = std::uint8_t(g >> kShift);
                d[2] = std::uint8_t(r >> kShift);
                d[3] = 255;
            }
        }
    });
}

// Pixels with alpha (32-bit ARGB source): alpha as above; each colour is the
// sum of weight * alpha * colour over the sum of weight * alpha, rounded, so
// transparent pixels lend no colour.
void resampleAlpha(const ScopedLock& src, const ScopedLock& dst, const ResampleAxis& ax,
                   const ResampleAxis& ay) {
    const int w = dst.width(), h = dst.height(), n = src.width() * 4;
    splitRows(0, h, (long long)src.width() * src.height(), Threads::Two, [&](int yBegin, int yEnd) {
        std::vector<std::uint32_t> down(std::size_t(n), 0u); // under 2^28 each
        for (int y = yBegin; y < yEnd; ++y) {
            std::fill(down.begin(), down.end(), 0u);
            for (int k = ay.offset[y]; k < ay.offset[y + 1]; ++k) {
                const std::uint8_t* s = src.row(ay.first[y] + k - ay.offset[y]);
                const std::uint32_t wy = ay.weights[k];
                std::uint32_t* v = down.data();
                for (int i = 0; i < n; i += 4) {
                    const std::uint32_t wa = wy * s[i + 3];
                    v[i] += wa * s[i];
                    v[i + 1] += wa * s[i + 1];
                    v[i + 2] += wa * s[i + 2];
                    v[i + 3] += wa;
                }
            }
            std::uint8_t* d = dst.row(y);
            for (int x = 0; x < w; ++x, d += 4) {
                const std::uint32_t* p = &down[4 * std::size_t(ax.first[x])];
                std::uint64_t sum[4] = {0, 0, 0, 0};
                for (int t = ax.offset[x]; t < ax.offset[x + 1]; ++t, p += 4)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += std::uint64_t(ax.weights[t]) * p[c];
                const std::uint64_t a = sum[3];
                for (int c = 0; c < 3; ++c)
                    d[c] = a == 0 ? 0 : std::uint8_t((sum[c] + a / 2) / a);
                d[3] = std::uint8_t((a + (1u << (kShift - 1))) >> kShift);
            }
        }
    });
}

} // namespace

std::unique_ptr<Bitmap> ResizeImage(Bitmap& image, int width, int height) {
    if (!image.isValid() || width <= 0 || height <= 0) return ScaledCopy(image, width, height);
    // Premultiplied or other formats are read as straight 32-bit ARGB.
    std::unique_ptr<Bitmap> converted;
    const PixelFormat format = image.GetPixelFormat();
    if (format != PixelFormat24bppRGB && format != PixelFormat32bppARGB)
        converted = std::make_unique<Bitmap>(image.image().convertToFormat(QImage::Format_ARGB32));
    Bitmap& source = converted ? *converted : image;
    auto result = std::make_unique<Bitmap>(width, height, PixelFormat32bppARGB);
    ScopedLock src(static_cast<const Bitmap&>(source));
    ScopedLock dst(*result);
    if (!src.ok() || !dst.ok()) return nullptr;
    const ResampleAxis ax = MakeResampleAxis(src.width(), width),
                       ay = MakeResampleAxis(src.height(), height);
    if (src.bpp() == 3)
        resampleOpaque(src, dst, ax, ay);
    else
        resampleAlpha(src, dst, ax, ay);
    return result;
}
