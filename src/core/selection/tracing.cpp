// SPDX-License-Identifier: GPL-3.0-or-later
// Contour tracing of selection masks, polygon scan conversion, and the region
// operations built on them.
#include "core/selection/tracing.h"

#include <algorithm>

namespace {

// Regions whose bounds hold more pixels than this are not traced through a mask.
constexpr double kMaxMaskPixels = double(1 << 30);

// Scan conversion with buffers that live across many polygons of one trace.
class PolygonScanner {
public:
    void run(const QPoint* p, int n, std::vector<Span>& out);

private:
    struct Edge {
        int ymin, ymax, x, slope; // x and slope in 24.8 fixed point
    };
    std::vector<Edge> m_edges;
    std::vector<Edge> m_active;
};

void PolygonScanner::run(const QPoint* p, int n, std::vector<Span>& out) {
    out.clear();
    m_edges.clear();
    m_active.clear();
    int ymaxAll = 0;
    for (int i = 0; i < n; ++i) {
        QPoint upper = p[i], lower = p[(i + 1) % n];
        if (upper.y() == lower.y()) continue;
        if (upper.y() > lower.y()) std::swap(upper, lower);
        const int dy = lower.y() - upper.y();
        m_edges.push_back({upper.y(), lower.y(), upper.x() * 256, ((lower.x() - upper.x()) * 256) / dy});
        ymaxAll = std::max(ymaxAll, lower.y());
    }
    if (m_edges.empty()) return;
    // Any sort by ymin, and any sort of the active list by x, give the same
    // spans: only the x values take part in the pairing.
    std::sort(m_edges.begin(), m_edges.end(), [](const Edge& a, const Edge& b) { return a.ymin < b.ymin; });
    std::size_t next = 0;
    for (int y = m_edges.front().ymin; y <= ymaxAll;) {
        if (m_active.empty()) {
            if (next == m_edges.size()) break;
            y = std::max(y, m_edges[next].ymin); // rows without edges give no spans
        }
        while (next < m_edges.size() && m_edges[next].ymin == y) m_active.push_back(m_edges[next++]);
        for (std::size_t i = 1; i < m_active.size(); ++i) {
            const Edge key = m_active[i];
            std::size_t j = i;
            for (; j > 0 && m_active[j - 1].x > key.x; --j) m_active[j] = m_active[j - 1];
            m_active[j] = key;
        }
        for (std::size_t i = 0; i + 1 < m_active.size(); i += 2) {
            const int start = (m_active[i].x + 255) >> 8;
            const int end = m_active[i + 1].x >> 8;
            out.push_back(Span{start, y, end - start});
        }
        ++y;
        std::erase_if(m_active, [y](const Edge& e) { return e.ymax == y; });
        for (Edge& e : m_active) e.x += e.slope;
    }
}

// Direction indices: up, right, down, left (each a right turn from the last).
constexpr int kDirX[4] = {0, 1, 0, -1};
constexpr int kDirY[4] = {-1, 0, 1, 0};
// The pixels ahead of the current corner on the left and on the right of travel.
constexpr int kLeftX[4] = {-1, 0, 0, -1};
constexpr int kLeftY[4] = {-1, -1, 0, 0};
constexpr int kRightX[4] = {0, 0, -1, -1};
constexpr int kRightY[4] = {-1, 0, 0, -1};

// Traces the set pixels of mask inside rect, calling onContour(contour) for each
// contour in the order found. Each traced contour is scan-converted and its
// spans toggled, which clears the shape and sets its holes for later tracing.
template <class Emit> void traceContours(SelectionMask& mask, const Rect& rect, Emit&& onContour) {
    if (mask.IsZeroSize()) return;
    const int width = mask.GetWidth();
    const int x0 = std::max(rect.X, 0), y0 = std::max(rect.Y, 0);
    const int x1 = int(std::min<long long>((long long)rect.X + rect.Width, width));
    const int y1 = int(std::min<long long>((long long)rect.Y + rect.Height, mask.GetHeight()));
    if (x0 >= x1 || y0 >= y1) return;
    const std::uint8_t* bits = mask.Row(0);
    auto isSet = [&](int x, int y) {
        return x >= x0 && x < x1 && y >= y0 && y < y1 && bits[std::size_t(y) * std::size_t(width) + x] != 0;
    };

    PolygonScanner scanner;
    std::vector<Span> spans;
    QPolygon contour;
    int cx = x0, cy = y0;
    for (;;) {
        while (cy < y1) {
            const std::uint8_t* row = mask.Row(cy);
            while (cx < x1 && row[cx] == 0) ++cx;
            if (cx < x1) break;
            ++cy;
            cx = x0;
        }
        if (cy >= y1) return;

        // Start on the left edge of the first set pixel, moving up, with the
        // set pixels on the right-hand side of travel.
        const int sx = cx, sy = cy;
        contour.clear();
        int qx = sx, qy = sy, d = 0;
        do {
            int turned;
            if (isSet(qx + kLeftX[d], qy + kLeftY[d]))
                turned = (d + 3) & 3;
            else if (isSet(qx + kRightX[d], qy + kRightY[d]))
                turned = d;
            else
                turned = (d + 1) & 3;
            if (turned != d) contour.append(QPoint(qx, qy));
            d = turned;
            qx += kDirX[d];
            qy += kDirY[d];
        } while (qx != sx || qy != sy);

        scanner.run(contour.constData(), int(contour.size()), spans);
        for (const Span& s : spans) mask.ToggleSpan(s);
        onContour(contour);
    }
}

} // namespace

std::vector<Span> ScanConvertPolygon(const QPoint* points, int count) {
    std::vector<Span> spans;
    PolygonScanner().run(points, std::max(count, 0), spans);
    return spans;
}

SelectionPath TraceMaskToPath(SelectionMask& mask, const Rect& rect) {
    SelectionPath path;
    traceContours(mask, rect, [&path](const QPolygon& contour) { path.AddPolygon(contour); });
    return path;
}

std::vector<QPolygon> TraceMaskToPolygons(SelectionMask& mask, const Rect& rect) {
    Rect limited = rect;
    limited.Width = std::min(limited.Width, mask.GetWidth());
    limited.Height = std::min(limited.Height, mask.GetHeight());
    std::vector<QPolygon> polygons;
    traceContours(mask, limited, [&polygons](const QPolygon& contour) { polygons.push_back(contour); });
    return polygons;
}

SelectionPath RegionToOutline(const SelectionRegion& region) {
    const Rect b = region.GetBounds();
    if (double(b.Width) * double(b.Height) > kMaxMaskPixels) {
        // Too large for a mask (the infinite region): the disjoint scan
        // rectangles themselves cover exactly the same pixels.
        SelectionPath path;
        for (const Rect& r : region.GetScans()) path.AddRectangle(r);
        return path;
    }
    SelectionMask mask(b.Width, b.Height);
    for (const Rect& r : region.GetScans()) mask.FillRect(Rect{r.X - b.X, r.Y - b.Y, r.Width, r.Height}, 1);
    SelectionPath path = TraceMaskToPath(mask, Rect{0, 0, b.Width, b.Height});
    path.Translate(b.X, b.Y);
    return path;
}

SelectionPath CombineSelections(const SelectionRegion& a, int mode, const SelectionRegion& b) {
    const Rect ba = a.GetBounds(), bb = b.GetBounds();
    const int left = std::min(ba.X, bb.X), top = std::min(ba.Y, bb.Y);
    const int right = std::max(ba.GetRight(), bb.GetRight()), bottom = std::max(ba.GetBottom(), bb.GetBottom());
    SelectionMask mask(right - left, bottom - top);
    auto moved = [left, top](const Rect& r) { return Rect{r.X - left, r.Y - top, r.Width, r.Height}; };
    for (const Rect& r : a.GetScans()) mask.FillRect(moved(r), 1);
    for (const Rect& r : b.GetScans()) {
        if (mode == CombineAdd)
            mask.FillRect(moved(r), 1);
        else if (mode == CombineXor)
            mask.ToggleRect(moved(r));
        else if (mode == CombineSubtract)
            mask.FillRect(moved(r), 0);
    }
    SelectionPath path = TraceMaskToPath(mask, Rect{0, 0, mask.GetWidth(), mask.GetHeight()});
    path.Translate(left, top);
    return path;
}
