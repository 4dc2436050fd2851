// SPDX-License-Identifier: GPL-3.0-or-later
// Triangle caps, the path-gradient fill and the pixel blend of the tools.
#include "tools/draw_helpers.h"

#include "core/graphics.h"

#include <algorithm>
#include <cmath>
#include <vector>

QPolygonF TriangleCapLine(QPointF a, QPointF b, double width) {
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0) return {};
    const double half = width / 2;
    const QPointF along = d / length * half;
    const QPointF across(-along.y(), along.x());
    return QPolygonF{{a + across, b + across, b + along, b - across, a - across, a - along}};
}

void FillServicePolygon(QPainter& painter, const QPolygonF& polygon, const QColor& color) {
    if (polygon.isEmpty()) return;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.translate(0.5, 0.5);
    painter.drawPolygon(polygon, Qt::OddEvenFill);
    painter.restore();
}

QRect TouchedRect(const QPolygonF& polygon) {
    const QRectF r = polygon.boundingRect();
    return QRect(QPoint(int(std::floor(r.left())) - 1, int(std::floor(r.top())) - 1),
                 QPoint(int(std::ceil(r.right())) + 1, int(std::ceil(r.bottom())) + 1));
}

QPointF PathCentre(const QPolygonF& path) {
    const int n = int(path.size());
    if (n == 0) return {};
    double area = 0, cx = 0, cy = 0, mx = 0, my = 0;
    for (int i = 0; i < n; ++i) {
        const QPointF p = path[i], q = path[(i + 1) % n];
        const double cross = p.x() * q.y() - q.x() * p.y();
        area += cross;
        cx += (p.x() + q.x()) * cross;
        cy += (p.y() + q.y()) * cross;
        mx += p.x();
        my += p.y();
    }
    if (std::abs(area) < 1e-9) return {mx / n, my / n};
    return {cx / (3 * area), cy / (3 * area)};
}

namespace {

std::uint8_t lerpByte(int from, int to, double t) {
    return std::uint8_t(std::clamp(int(std::lround(from + (to - from) * t)), 0, 255));
}

// Rows of pixel centres (x + 0.5, y + 0.5 in image pixels, i.e. x, y in the
// path's convention) inside the triangle (c, p, q); calls fn(x, y, t) with t
// the share of the way from the centre c to the edge p-q.
template <class Fn>
void forEachInTriangle(QPointF c, QPointF p, QPointF q, const QRect& clip, Fn fn) {
    const double det = (p.x() - c.x()) * (q.y() - c.y()) - (q.x() - c.x()) * (p.y() - c.y());
    if (std::abs(det) < 1e-12) return;
    const int y0 = std::max(clip.top(), int(std::ceil(std::min({c.y(), p.y(), q.y()}))));
    const int y1 = std::min(clip.bottom(), int(std::floor(std::max({c.y(), p.y(), q.y()}))));
    const QPointF v[3] = {c, p, q};
    for (int y = y0; y <= y1; ++y) {
        // The triangle's extent on this row.
        double lo = 1e300, hi = -1e300;
        for (int e = 0; e < 3; ++e) {
            const QPointF a = v[e], b = v[(e + 1) % 3];
            if ((a.y() <= y && b.y() >= y) || (b.y() <= y && a.y() >= y)) {
                if (a.y() == b.y()) {
                    lo = std::min({lo, a.x(), b.x()});
                    hi = std::max({hi, a.x(), b.x()});
                } else {
                    const double x = a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
            }
        }
        const int x0 = std::max(clip.left(), int(std::ceil(lo)));
        const int x1 = std::min(clip.right(), int(std::floor(hi)));
        for (int x = x0; x <= x1; ++x) {
            // Barycentric weights of p and q; the centre's is 1 - both.
            const double wp = ((x - c.x()) * (q.y() - c.y()) - (q.x() - c.x()) * (y - c.y())) / det;
            const double wq = ((p.x() - c.x()) * (y - c.y()) - (x - c.x()) * (p.y() - c.y())) / det;
            fn(x, y, std::clamp(wp + wq, 0.0, 1.0));
        }
    }
}

} // namespace

void FillPathGradient(Bitmap& image, const QPolygonF& path, ARGB centre, ARGB surround) {
    if (path.size() < 2 || !image.isValid()) return;
    const QRect clip =
        TouchedRect(path).intersected(QRect(0, 0, int(image.GetWidth()), int(image.GetHeight())));
    if (clip.isEmpty()) return;
    // Pixels inside the path by the even-odd rule, with pixel centres at whole
    // numbers as the path's coordinates have them.
    QImage inside(clip.size(), QImage::Format_Alpha8);
    inside.fill(0);
    {
        QPainter p(&inside);
        p.translate(-clip.left() + 0.5, -clip.top() + 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPolygon(path, Qt::OddEvenFill);
    }
    std::vector<float> share(std::size_t(clip.width()) * clip.height(), -1.0f);
    const QPointF c = PathCentre(path);
    const int n = int(path.size());
    for (int i = 0; i < n; ++i)
        forEachInTriangle(c, path[i], path[(i + 1) % n], clip, [&](int x, int y, double t) {
            share[std::size_t(y - clip.top()) * clip.width() + (x - clip.left())] = float(t);
        });

    const int ca = int(centre >> 24), cr = (centre >> 16) & 255, cg = (centre >> 8) & 255,
              cb = centre & 255;
    const int sa = int(surround >> 24), sr = (surround >> 16) & 255, sg = (surround >> 8) & 255,
              sb = surround & 255;
    ScopedLock lock(image);
    for (int y = 0; y < clip.height(); ++y) {
        const uchar* in = inside.constScanLine(y);
        for (int x = 0; x < clip.width(); ++x) {
            if (!in[x]) continue;
            // A pixel the edge triangles missed by rounding lies on the edge.
            float t = share[std::size_t(y) * clip.width() + x];
            if (t < 0) t = 1;
            const std::uint8_t src[4] = {lerpByte(cb, sb, t), lerpByte(cg, sg, t),
                                         lerpByte(cr, sr, t), lerpByte(ca, sa, t)};
            BlendPixelOver(lock.pixel(clip.left() + x, clip.top() + y), lock.bpp(), src);
        }
    }
}

void BlendPixelOver(std::uint8_t* dst, int dstBytes, const std::uint8_t* source) {
    const int sa = source[3];
    if (sa == 0) return;
    if (dstBytes == 3 || sa == 255) {
        for (int i = 0; i < 3; ++i)
            dst[i] = std::uint8_t((source[i] * sa + dst[i] * (255 - sa) + 127) / 255);
        if (dstBytes == 4) dst[3] = std::uint8_t(sa == 255 ? 255 : dst[3]);
        return;
    }
    const int da = dst[3];
    // Out alpha and colours in units of 1/255 squared, rounded once.
    const int outA255 = sa * 255 + da * (255 - sa);
    for (int i = 0; i < 3; ++i)
        dst[i] = std::uint8_t((2 * (source[i] * sa * 255 + dst[i] * da * (255 - sa)) + outA255) /
                              (2 * outA255));
    dst[3] = std::uint8_t((outA255 + 127) / 255);
}
