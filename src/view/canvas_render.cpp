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
#include <thread>
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

// The shade under an image pixel by the classes of its column and row.
constexpr int kShade[3][3] = {
    {kGrey, kWhite, kClear}, {kWhite, kGrey, kClear}, {kClear, kClear, kClear}};

inline int checkerShade(std::uint8_t col, std::uint8_t row) {
    return kShade[col][row];
}

// Adds one image pixel to the colour sums: 24-bit bytes as they are, 32-bit
// composed over the checkerboard shade and scaled by 255 (divided once per
// client pixel instead of once per sample).
template <int Bpp> inline void addSample(const std::uint8_t* p, int shade, int& r, int& g, int& b) {
    if constexpr (Bpp == 3) {
        b += p[0], g += p[1], r += p[2];
    } else {
        const int a = p[3];
        if (a == 255) { // opaque, as most photographs are everywhere
            b += p[0] * 255, g += p[1] * 255, r += p[2] * 255;
            return;
        }
        const int base = shade * (255 - a);
        b += p[0] * a + base, g += p[1] * a + base, r += p[2] * a + base;
    }
}

template <int N, int Bpp> inline QRgb average(int r, int g, int b) {
    constexpr int d = N * N * (Bpp == 3 ? 1 : 255);
    return qRgb((r + d / 2) / d, (g + d / 2) / d, (b + d / 2) / d);
}

// Writes the client rows of target from the sample tables; N samples per
// axis, Bpp 3 (B,G,R) or 4 (B,G,R,A straight alpha).
template <int N, int Bpp>
void composeRows(const QImage& src, const AxisSamples& cols, const AxisSamples& rows, QImage& out,
                 const QRect& target) {
    constexpr int kOutside = Bpp == 3 ? kClear : kClear * 255;
    const int w = target.width();
    const std::uint8_t* bits = src.constBits();
    const qsizetype stride = src.bytesPerLine();
    // The columns whose samples all fall inside the image take the fast path.
    auto inside = [&](int i) {
        for (int s = 0; s < N; ++s)
            if (cols.coord[std::size_t(i) * N + s] < 0) return false;
        return true;
    };
    int first = 0, last = w;
    while (first < w && !inside(first))
        ++first;
    while (last > first && !inside(last - 1))
        --last;
    std::vector<int> offset(cols.coord.size());
    for (std::size_t k = 0; k < offset.size(); ++k)
        offset[k] = std::max(cols.coord[k], 0) * Bpp;

    for (int j = 0; j < target.height(); ++j) {
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(target.top() + j)) + target.left();
        const std::uint8_t* line[N];
        std::uint8_t rowSquare[N];
        int rowsInside = 0;
        for (int s = 0; s < N; ++s) {
            const int v = rows.coord[std::size_t(j) * N + s];
            line[s] = v < 0 ? nullptr : bits + v * stride;
            rowSquare[s] = rows.square[std::size_t(j) * N + s];
            rowsInside += v >= 0;
        }
        if (rowsInside == 0) {
            std::fill(o, o + w, kEraseColor);
            continue;
        }
        auto general = [&](int i) {
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < N; ++sy) {
                for (int sx = 0; sx < N; ++sx) {
                    const std::size_t k = std::size_t(i) * N + sx;
                    if (cols.coord[k] < 0 || !line[sy]) {
                        r += kOutside, g += kOutside, b += kOutside;
                        continue;
                    }
                    addSample<Bpp>(line[sy] + offset[k],
                                   checkerShade(cols.square[k], rowSquare[sy]), r, g, b);
                }
            }
            o[i] = average<N, Bpp>(r, g, b);
        };
        if (rowsInside < N) {
            for (int i = 0; i < w; ++i)
                general(i);
            continue;
        }
        for (int i = 0; i < first; ++i)
            general(i);
        for (int i = first; i < last; ++i) {
            int r = 0, g = 0, b = 0;
            const int* off = offset.data() + std::size_t(i) * N;
            const std::uint8_t* sq = cols.square.data() + std::size_t(i) * N;
            for (int sy = 0; sy < N; ++sy)
                for (int sx = 0; sx < N; ++sx)
                    addSample<Bpp>(line[sy] + off[sx],
                                   Bpp == 3 ? 0 : checkerShade(sq[sx], rowSquare[sy]), r, g, b);
            o[i] = average<N, Bpp>(r, g, b);
        }
        for (int i = last; i < w; ++i)
            general(i);
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
    // shimmer; a grid of samples smooths that. The grid grows only once the
    // picture is small on screen, so the samples per repaint stay bounded.
    const int n = m.zoom >= 1 ? 1 : (m.zoom >= 0.125 ? 2 : 4);
    const AxisSamples cols = sampleAxis(t.left(), t.width(), m.originX(), m.zoom, src.width(), n);
    auto composeBand = [&](const QRect& band) {
        const AxisSamples rows =
            sampleAxis(band.top(), band.height(), m.originY(), m.zoom, src.height(), n);
        if (n == 1)
            composeWith<1>(src, cols, rows, out, band);
        else if (n == 2)
            composeWith<2>(src, cols, rows, out, band);
        else
            composeWith<4>(src, cols, rows, out, band);
    };
    // A large area is split between two threads, each writing its own rows.
    constexpr int kSplitArea = 150000;
    if (qint64(t.width()) * t.height() < kSplitArea || t.height() < 2) {
        composeBand(t);
        return;
    }
    const int half = t.height() / 2;
    std::thread lower(composeBand, t.adjusted(0, half, 0, 0));
    composeBand(t.adjusted(0, 0, 0, half - t.height()));
    lower.join();
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

namespace {

// Appends p to a snapped polyline unless it repeats the last point; a point
// that continues a horizontal or vertical run replaces the run's end.
void appendSnapped(QPolygonF& line, QPointF p) {
    const qsizetype n = line.size();
    if (n > 0 && line[n - 1] == p) return;
    if (n > 1) {
        const QPointF a = line[n - 2], b = line[n - 1];
        if ((a.x() == b.x() && b.x() == p.x()) || (a.y() == b.y() && b.y() == p.y())) {
            line[n - 1] = p;
            return;
        }
    }
    line.append(p);
}

} // namespace

void AntsOutline::update(const SelectionPath& selection, const QTransform& toClient,
                         const QRect& visible, bool snapToPixels) {
    const std::uint64_t key = selection.GetRevision();
    if (m_built && key == m_source && toClient == m_transform && visible == m_visible &&
        snapToPixels == m_snap)
        return;
    m_source = key;
    m_transform = toClient;
    m_visible = visible;
    m_snap = snapToPixels;
    m_built = true;
    m_client = QPainterPath();
    m_dots.clear();
    const QPainterPath& outline = selection.GetPath();
    const QRectF area = QRectF(visible).adjusted(-2, -2, 2, 2);
    for (const QPolygonF& figure : outline.toSubpathPolygons(toClient)) {
        if (!figure.boundingRect().intersects(area) && !area.contains(figure.value(0))) continue;
        if (!snapToPixels) {
            m_client.addPolygon(figure);
            continue;
        }
        QPolygonF line;
        line.reserve(figure.size());
        for (const QPointF& p : figure)
            appendSnapped(line, QPointF(std::floor(p.x()) + 0.5, std::floor(p.y()) + 0.5));
        if (line.size() == 1)
            m_dots.append(line[0]);
        else
            m_client.addPolygon(line);
    }
    const QRectF r = m_client.boundingRect() | m_dots.boundingRect();
    m_bounds = r.isNull() ? QRect() : r.toAlignedRect().adjusted(-1, -1, 1, 1);
}

void AntsOutline::draw(QPainter& painter, int phase) const {
    if (m_client.isEmpty() && m_dots.isEmpty()) return;
    painter.save();
    painter.resetTransform();
    DrawMarchingAnts(painter, m_client, phase);
    if (!m_dots.isEmpty()) {
        painter.setPen(QPen(QColor(0, 0, 0, kDarkAlpha), 1));
        painter.drawPoints(m_dots);
    }
    painter.restore();
}
