// SPDX-License-Identifier: GPL-3.0-or-later
// Clearing, outline drawing, cropping, rotation and flips.
#include "adjust/transforms.h"

#include "core/graphics.h"
#include "core/large_image.h"
#include "core/pixel_loop.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

static_assert(std::endian::native == std::endian::little, "pixel words are read as little-endian");

// One pixel of a 24- or 32-bit source as 32-bit ARGB bytes; 24-bit is opaque.
// WideRead reads a 24-bit pixel as one 4-byte word, whose last byte belongs to
// the next pixel: never use it on the last pixel of a row.
template <int Bpp, bool WideRead = false>
inline void put32(std::uint8_t* d, const std::uint8_t* s) {
    if constexpr (Bpp == 4) {
        std::memcpy(d, s, 4);
    } else if constexpr (WideRead) {
        std::uint32_t word;
        std::memcpy(&word, s, 4);
        word |= 0xFF000000u;
        std::memcpy(d, &word, 4);
    } else {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 255;
    }
}

// count pixels from s, stepping step bytes (negative walks backwards), into d.
// The pixel at the highest address is read exactly, the others as words.
template <int Bpp>
void rowTo32(const std::uint8_t* s, std::ptrdiff_t step, std::uint8_t* d, int count) {
    if (count <= 0) return;
    if (Bpp == 4 && step == 4) {
        std::memcpy(d, s, std::size_t(count) * 4);
        return;
    }
    if (step < 0) {
        put32<Bpp>(d, s);
        s += step, d += 4;
    }
    for (int i = 1; i < count; ++i, s += step, d += 4)
        put32<Bpp, true>(d, s);
    if (step > 0) put32<Bpp>(d, s);
}

// Calls body(row) for rows 0..rows-1 of a job of rows x rowPixels pixels,
// split between two threads (every row is independent).
template <class Body> void forEachRow(int rows, int rowPixels, Body&& body) {
    if (rowPixels <= 0) return;
    splitRows(0, rows, (long long)rows * rowPixels, Threads::Two, [&body](int begin, int end) {
        for (int y = begin; y < end; ++y)
            body(y);
    });
}

// Fills every row of dst from rowSource(y) -> (first source pixel, byte step).
template <int Bpp, class RowSource> void mapRows(const ScopedLock& dst, RowSource rowSource) {
    forEachRow(dst.height(), dst.width(), [&](int y) {
        const auto [s, step] = rowSource(y);
        rowTo32<Bpp>(s, step, dst.row(y), dst.width());
    });
}

// Quarter turns: dst(x, y) = src(y, H - 1 - x) clockwise, src(W - 1 - y, x)
// counter-clockwise. The destination is walked in kTile x kTile tiles, so the
// source rows a tile reads down its columns stay in the cache.
template <int Bpp> void quarterTurn(const ScopedLock& src, const ScopedLock& dst, bool clockwise) {
    constexpr int kTile = 64;
    const int srcW = src.width(), srcH = src.height();
    const int bands = (dst.height() + kTile - 1) / kTile;
    const std::ptrdiff_t step = clockwise ? -std::ptrdiff_t(src.stride()) : src.stride();
    forEachRow(bands, dst.width() * kTile, [&](int band) {
        const int y0 = band * kTile, y1 = std::min(dst.height(), y0 + kTile);
        for (int x0 = 0; x0 < dst.width(); x0 += kTile) {
            const int count = std::min(dst.width() - x0, kTile);
            for (int y = y0; y < y1; ++y) {
                const std::uint8_t* s =
                    clockwise ? src.pixel(y, srcH - 1 - x0) : src.pixel(srcW - 1 - y, x0);
                std::uint8_t* d = dst.pixel(x0, y);
                // This row reads one source column; the last column is read exactly.
                const int column = clockwise ? y : srcW - 1 - y;
                if (column == srcW - 1)
                    for (int i = 0; i < count; ++i, s += step, d += 4)
                        put32<Bpp>(d, s);
                else
                    for (int i = 0; i < count; ++i, s += step, d += 4)
                        put32<Bpp, true>(d, s);
            }
        }
    });
}

// Moves the pixels of a turn by quarter * 90 degrees clockwise into dst.
template <int Bpp> void turnExactly(const ScopedLock& src, const ScopedLock& dst, int quarter) {
    const int w = src.width(), h = src.height();
    using Row = std::pair<const std::uint8_t*, std::ptrdiff_t>;
    switch (quarter) {
    case 0:
        mapRows<Bpp>(dst, [&](int y) { return Row{src.row(y), Bpp}; });
        break;
    case 2:
        mapRows<Bpp>(dst, [&](int y) { return Row{src.pixel(w - 1, h - 1 - y), -Bpp}; });
        break;
    default:
        quarterTurn<Bpp>(src, dst, quarter == 1);
    }
}

// A 32-bit ARGB bitmap whose every pixel the caller is about to write, so its
// memory is not cleared first.
std::unique_ptr<Bitmap> newUncleared32(int w, int h) {
    return std::make_unique<Bitmap>(AllocateLargeImage(w, h, QImage::Format_ARGB32));
}

} // namespace

bool ClearRect(Bitmap& image, int x, int y, int w, int h) {
    const long long right = (long long)x + w, bottom = (long long)y + h;
    if (x < 0 || y < 0 || right > image.GetWidth() || bottom > image.GetHeight()) return false;
    if (w <= 0 || h <= 0) return false;
    ScopedLock lock(image);
    if (!lock.ok()) return false;
    for (int row = y; row < y + h; ++row)
        std::memset(lock.pixel(x, row), 0, std::size_t(w) * lock.bpp());
    return true;
}

void FillOutline(Bitmap& image, const QPainterPath& outline, ARGB color) {
    auto g = MakeGraphics(image);
    if (!g) return;
    QPainterPath path = outline;
    path.setFillRule(Qt::OddEvenFill);
    g->fillPath(path, QBrush(ColorFromARGB(color)));
}

void StrokeOutline(Bitmap& image, const QPainterPath& outline, ARGB color, float width) {
    auto g = MakeGraphics(image);
    if (!g) return;
    g->strokePath(outline, MakePen(ColorFromARGB(color), width));
}

std::unique_ptr<Bitmap> CropToRegion(Bitmap& image, const SelectionPath& outline) {
    const QRectF bounds = outline.GetPath().boundingRect();
    const int x = int(bounds.x()), y = int(bounds.y()), w = int(bounds.width()),
              h = int(bounds.height());
    if (w <= 0 || h <= 0 || !image.isValid()) return nullptr;
    auto out = newUncleared32(w, h);
    ScopedLock src(image, ImageLockModeRead);
    ScopedLock dst(*out);
    if (!src.ok() || !dst.ok()) return out;
    // Row by row: transparent, then the region's runs inside the image.
    const SelectionRegion& region = outline.GetRegion();
    const int left = std::max(x, 0), right = std::min(x + w, src.width());
    splitRows(0, h, (long long)w * h, Threads::Two, [&](int begin, int end) {
        std::vector<Span> runs; // reused from row to row
        for (int row = begin; row < end; ++row) {
            std::memset(dst.row(row), 0, std::size_t(w) * 4);
            const int y0 = y + row;
            if (y0 < 0 || y0 >= src.height()) continue;
            region.GetRowSpans(y0, runs);
            for (const Span& run : runs) {
                const int x0 = std::max(run.X, left), x1 = std::min(run.X + run.Length, right);
                if (x0 >= x1) continue;
                if (src.bpp() == 4)
                    rowTo32<4>(src.pixel(x0, y0), 4, dst.pixel(x0 - x, row), x1 - x0);
                else if (src.bpp() == 3)
                    rowTo32<3>(src.pixel(x0, y0), 3, dst.pixel(x0 - x, row), x1 - x0);
            }
        }
    });
    return out;
}

std::unique_ptr<Bitmap> Rotate(Bitmap& image, double degrees) {
    const int w = int(image.GetWidth()), h = int(image.GetHeight());
    const double a = std::fmod(degrees, 360.0);
    const double t = a * 3.141592653589793 / 180.0;
    const double cs = std::cos(t), sn = std::sin(t);
    const int w2 = int(std::max(std::abs(w * cs - h * sn), std::abs(w * cs + h * sn)));
    const int h2 = int(std::max(std::abs(w * sn - h * cs), std::abs(w * sn + h * cs)));
    const bool quarterAngle = a == std::trunc(a) && int(a) % 90 == 0;
    const int quarter = quarterAngle ? ((-int(a) / 90) % 4 + 4) % 4 : -1; // clockwise quarters
    const bool sideways = quarter == 1 || quarter == 3;
    const bool exact = quarter >= 0 && w2 == (sideways ? h : w) && h2 == (sideways ? w : h);
    auto out =
        exact ? newUncleared32(w2, h2) : std::make_unique<Bitmap>(w2, h2, PixelFormat32bppARGB);
    if (!out->isValid() || !image.isValid()) return out;
    if (exact) {
        ScopedLock src(image, ImageLockModeRead);
        ScopedLock dst(*out);
        if (!src.ok() || !dst.ok()) return out;
        if (src.bpp() == 4)
            turnExactly<4>(src, dst, quarter);
        else if (src.bpp() == 3)
            turnExactly<3>(src, dst, quarter);
        return out;
    }
    // Any other angle: draw the source turned about the centre of the box.
    auto g = MakeGraphics(*out);
    if (!g) return out;
    g->setRenderHint(QPainter::SmoothPixmapTransform, true);
    g->setRenderHint(QPainter::Antialiasing, true);
    const QRect box((w2 - w) / 2, (h2 - h) / 2, w, h);
    const QPointF centre(box.width() / 2 + box.x(), box.height() / 2 + box.y());
    g->translate(centre);
    g->rotate(360.0 - a);
    g->translate(-centre);
    g->drawImage(box, image.image());
    return out;
}

std::unique_ptr<Bitmap> Flip(Bitmap& image, FlipAxis axis) {
    const int w = int(image.GetWidth()), h = int(image.GetHeight());
    auto out = newUncleared32(w, h);
    if (!out->isValid() || !image.isValid()) return out;
    ScopedLock src(image, ImageLockModeRead);
    ScopedLock dst(*out);
    if (!src.ok() || !dst.ok()) return out;
    using Row = std::pair<const std::uint8_t*, std::ptrdiff_t>;
    const int bpp = src.bpp();
    const auto mirror = [&](int y) { return Row{src.pixel(w - 1, y), -bpp}; };
    const auto upsideDown = [&](int y) { return Row{src.row(h - 1 - y), bpp}; };
    const bool leftRight = axis == FlipAxis::LeftRight;
    if (bpp == 4)
        leftRight ? mapRows<4>(dst, mirror) : mapRows<4>(dst, upsideDown);
    else if (bpp == 3)
        leftRight ? mapRows<3>(dst, mirror) : mapRows<3>(dst, upsideDown);
    return out;
}
