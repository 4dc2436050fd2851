// SPDX-License-Identifier: GPL-3.0-or-later
// Composes the visible part of the canvas and draws the marching ants.
#include "view/canvas_render.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kSquare = 10;
constexpr int kGrey = 155;
constexpr int kWhite = 255;
constexpr int kClear = 180;
// The classic outline redraws its translucent dark pen (alpha 160) over itself
// every tick, so the dark dashes build up to nearly opaque; drawn once per
// paint here, it gets that built-up alpha directly.
constexpr int kDarkAlpha = 240;

// The samples one client row or column takes: for each client pixel, n image
// coordinates (-1 outside the image) and their checkerboard class (0 or 1 for
// the square's parity, 2 in a clear strip or outside).
struct AxisSamples {
    std::vector<int> coord;
    std::vector<std::uint8_t> square;
};

AxisSamples sampleAxis(int first, int count, int origin, double z, int size, int n) {
    AxisSamples a;
    a.coord.resize(std::size_t(count) * n);
    a.square.resize(a.coord.size());
    const int squaresEnd = size / kSquare * kSquare;
    for (int i = 0; i < count; ++i) {
        for (int s = 0; s < n; ++s) {
            // One sample: the pixel's left edge, so the pointer over a client
            // pixel maps to the image pixel shown there. Several: spread
            // evenly across the pixel's footprint.
            const double pos = n == 1 ? first + i - origin : first + i - origin + (s + 0.5) / n;
            int u = int(std::floor(pos / z));
            if (u < 0 || u >= size) u = -1;
            const std::size_t k = std::size_t(i) * n + s;
            a.coord[k] = u;
            a.square[k] = (u < 0 || u >= squaresEnd) ? 2 : std::uint8_t((u / kSquare) & 1);
        }
    }
    return a;
}

inline int checkerShade(std::uint8_t col, std::uint8_t row) {
    if (col == 2 || row == 2) return kClear;
    return col == row ? kGrey : kWhite;
}

// Writes client rows of target from the sample tables; N samples per axis,
// Bpp 3 (B,G,R) or 4 (B,G,R,A straight alpha).
template <int N, int Bpp>
void composeRows(const QImage& src, const AxisSamples& cols, const AxisSamples& rows, QImage& out,
                 const QRect& target) {
    const int w = target.width();
    const std::uint8_t* bits = src.constBits();
    const qsizetype stride = src.bytesPerLine();
    for (int j = 0; j < target.height(); ++j) {
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(target.top() + j)) + target.left();
        const std::uint8_t* line[N];
        std::uint8_t rowSquare[N];
        bool anyRow = false;
        for (int s = 0; s < N; ++s) {
            const int v = rows.coord[std::size_t(j) * N + s];
            line[s] = v < 0 ? nullptr : bits + v * stride;
            rowSquare[s] = rows.square[std::size_t(j) * N + s];
            anyRow |= v >= 0;
        }
        if (!anyRow) {
            std::fill(o, o + w, kEraseColor);
            continue;
        }
        for (int i = 0; i < w; ++i) {
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < N; ++sy) {
                for (int sx = 0; sx < N; ++sx) {
                    const std::size_t k = std::size_t(i) * N + sx;
                    const int u = cols.coord[k];
                    if (u < 0 || !line[sy]) {
                        r += kClear, g += kClear, b += kClear;
                        continue;
                    }
                    const std::uint8_t* p = line[sy] + u * Bpp;
                    if constexpr (Bpp == 3) {
                        b += p[0], g += p[1], r += p[2];
                    } else {
                        const int a = p[3],
                                  base = checkerShade(cols.square[k], rowSquare[sy]) * (255 - a);
                        b += (p[0] * a + base + 127) / 255;
                        g += (p[1] * a + base + 127) / 255;
                        r += (p[2] * a + base + 127) / 255;
                    }
                }
            }
            constexpr int n2 = N * N;
            o[i] = qRgb((r + n2 / 2) / n2, (g + n2 / 2) / n2, (b + n2 / 2) / n2);
        }
    }
}

template <int N>
void composeWith(const QImage& src, const AxisSamples& cols, const AxisSamples& rows, QImage& out,
                 const QRect& target) {
    if (src.format() == QImage::Format_BGR888)
        composeRows<N, 3>(src, cols, rows, out, target);
    else
        composeRows<N, 4>(src, cols, rows, out, target);
}

} // namespace

void ComposeCanvas(const Bitmap* image, const ViewMapping& m, QImage& out, const QRect& target) {
    const QRect t = target & out.rect();
    if (t.isEmpty()) return;
    const bool usable = image && image->isValid() &&
                        (image->image().format() == QImage::Format_BGR888 ||
                         image->image().format() == QImage::Format_ARGB32);
    if (!usable) {
        for (int y = t.top(); y <= t.bottom(); ++y) {
            QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y)) + t.left();
            std::fill(o, o + t.width(), kEraseColor);
        }
        return;
    }
    const QImage& src = image->image();
    // Zoomed out, one sample per client pixel would skip most image pixels and
    // shimmer; a small grid of samples smooths that at a bounded cost.
    const int n = m.zoom >= 1 ? 1 : (m.zoom >= 0.5 ? 2 : 3);
    const AxisSamples cols = sampleAxis(t.left(), t.width(), m.originX(), m.zoom, src.width(), n);
    const AxisSamples rows = sampleAxis(t.top(), t.height(), m.originY(), m.zoom, src.height(), n);
    if (n == 1)
        composeWith<1>(src, cols, rows, out, t);
    else if (n == 2)
        composeWith<2>(src, cols, rows, out, t);
    else
        composeWith<3>(src, cols, rows, out, t);
}

QImage ComposeWholeImage(const Bitmap& image) {
    QImage out(int(image.GetWidth()), int(image.GetHeight()), QImage::Format_RGB32);
    if (out.isNull()) return out;
    ViewMapping m;
    m.imageWidth = out.width();
    m.imageHeight = out.height();
    ComposeCanvas(&image, m, out, out.rect());
    return out;
}

QTransform OutlineTransform(const ViewMapping& m) {
    QTransform t;
    t.translate(m.originX() + 0.5, m.originY() + 0.5);
    t.scale(m.zoom, m.zoom);
    return t;
}

void DrawMarchingAnts(QPainter& painter, const QPainterPath& outline, int phase) {
    if (outline.isEmpty()) return;
    auto makePen = [](const QColor& color) {
        QPen pen(color, 1);
        pen.setCosmetic(true); // one device pixel whatever the zoom
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::BevelJoin);
        return pen;
    };
    static const QPen dark = makePen(QColor(0, 0, 0, kDarkAlpha));
    QPen dashes = makePen(Qt::white);
    dashes.setMiterLimit(2.0);
    dashes.setDashPattern({4.0, 5.0});
    dashes.setDashOffset(5.0 + phase);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(dark);
    painter.drawPath(outline);
    painter.setPen(dashes);
    painter.drawPath(outline);
    painter.restore();
}
