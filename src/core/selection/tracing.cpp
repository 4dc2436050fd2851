// SPDX-License-Identifier: GPL-3.0-or-later
// Contour tracing of selection masks, polygon scan conversion, and the region
// operations built on them.
#include "core/selection/tracing.h"

#include "core/selection/edge_sort.h"

#include <algorithm>

namespace {

// Scan conversion with buffers that live across many polygons of one trace.
class PolygonScanner {
  public:
    void run(const QPoint* p, int n, std::vector<Span>& out);

  private:
    struct Edge {
        int ymin, ymax;
        // x and slope in 24.8 fixed point, wide enough that an edge across
        // the whole extent of a region (+-4194304) does not overflow.
        long long x, slope;
    };
    std::vector<Edge> m_edges;
    std::vector<Edge> m_active;
    std::vector<Edge> m_merged;
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
        m_edges.push_back({upper.y(), lower.y(), upper.x() * 256LL,
                           ((lower.x() - (long long)upper.x()) * 256) / dy});
        ymaxAll = std::max(ymaxAll, lower.y());
    }
    if (m_edges.empty()) return;
    // Only the x values take part in the pairing, so any order that keeps the
    // active list sorted by x gives the same spans. Sorting the edges by x
    // within each ymin lets every row's new edges be merged in one pass, which
    // keeps contours with many edges linear per row.
    auto byX = [](const Edge& a, const Edge& b) { return a.x < b.x; };
    sortByRowThenX(
        m_edges, m_merged, [](const Edge& e) { return e.ymin; }, byX);
    std::size_t next = 0;
    for (int y = m_edges.front().ymin; y <= ymaxAll;) {
        if (m_active.empty()) {
            if (next == m_edges.size()) break;
            y = std::max(y, m_edges[next].ymin); // rows without edges give no spans
        }
        const std::size_t old = m_active.size();
        while (next < m_edges.size() && m_edges[next].ymin == y)
            m_active.push_back(m_edges[next++]);
        if (old > 0 && m_active.size() > old) {
            m_merged.resize(m_active.size());
            std::merge(m_active.begin(), m_active.begin() + old, m_active.begin() + old,
                       m_active.end(), m_merged.begin(), byX);
            m_active.swap(m_merged);
        }
        for (std::size_t i = 0; i + 1 < m_active.size(); i += 2) {
            const int start = int((m_active[i].x + 255) >> 8);
            const int end = int(m_active[i + 1].x >> 8);
            out.push_back(Span{start, y, end - start});
        }
        ++y;
        std::erase_if(m_active, [y](const Edge& e) { return e.ymax == y; });
        for (Edge& e : m_active)
            e.x += e.slope;
        insertionSort(m_active, byX);
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

// Traces the set pixels of mask inside rect, calling onContour(points, count) for each
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
        return x >= x0 && x < x1 && y >= y0 && y < y1 &&
               bits[std::size_t(y) * std::size_t(width) + x] != 0;
    };

    PolygonScanner scanner;
    std::vector<Span> spans;
    std::vector<QPoint> contour;
    int cx = x0, cy = y0;
    for (;;) {
        while (cy < y1) {
            const std::uint8_t* row = mask.Row(cy);
            while (cx < x1 && row[cx] == 0)
                ++cx;
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
            if (turned != d) contour.push_back(QPoint(qx, qy));
            d = turned;
            qx += kDirX[d];
            qy += kDirY[d];
        } while (qx != sx || qy != sy);

        scanner.run(contour.data(), int(contour.size()), spans);
        for (const Span& s : spans)
            mask.ToggleSpan(s);
        onContour(contour.data(), int(contour.size()));
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
    traceContours(mask, rect,
                  [&path](const QPoint* points, int count) { path.AddPolygon(points, count); });
    return path;
}

std::vector<QPolygon> TraceMaskToPolygons(SelectionMask& mask, const Rect& rect) {
    std::vector<QPolygon> polygons;
    traceContours(mask, rect, [&polygons](const QPoint* points, int count) {
        polygons.emplace_back(points, points + count);
    });
    return polygons;
}

SelectionPath RegionToOutline(const SelectionRegion& region) {
    const Rect b = region.GetBounds();
    if (double(b.Width) * double(b.Height) > kMaxSelectionMaskPixels) {
        // Too large for a mask (the infinite region): the disjoint scan
        // rectangles themselves cover exactly the same pixels.
        SelectionPath path;
        for (const Rect& r : region.GetScans())
            path.AddRectangle(r);
        return path;
    }
    SelectionMask mask(b.Width, b.Height);
    for (const Rect& r : region.GetScans())
        mask.FillRect(Rect{r.X - b.X, r.Y - b.Y, r.Width, r.Height}, 1);
    SelectionPath path = TraceMaskToPath(mask, Rect{0, 0, b.Width, b.Height});
    path.Translate(b.X, b.Y);
    return path;
}

SelectionPath CombineSelections(const SelectionRegion& a, int mode, const SelectionRegion& b) {
    const Rect ba = a.GetBounds(), bb = b.GetBounds();
    const int left = std::min(ba.X, bb.X), top = std::min(ba.Y, bb.Y);
    const int right = std::max(ba.GetRight(), bb.GetRight()),
              bottom = std::max(ba.GetBottom(), bb.GetBottom());
    if (double(right - left) * double(bottom - top) > kMaxSelectionMaskPixels) {
        // Too large for a mask (the infinite region): combine the scans.
        SelectionRegion result(a);
        if (mode == CombineAdd) result.Union(b);
        if (mode == CombineXor) result.Xor(b);
        if (mode == CombineSubtract) result.Exclude(b);
        return RegionToOutline(result);
    }
    SelectionMask mask(right - left, bottom - top);
    auto moved = [left, top](const Rect& r) {
        return Rect{r.X - left, r.Y - top, r.Width, r.Height};
    };
    for (const Rect& r : a.GetScans())
        mask.FillRect(moved(r), 1);
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
