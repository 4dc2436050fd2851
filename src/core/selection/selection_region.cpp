// SPDX-License-Identifier: GPL-3.0-or-later
// SelectionRegion: scanline rasterising of outlines into banded scans, the
// exclusive-or of scan sets, and the lazily built coverage mask.
#include "core/selection/selection_region.h"

#include "core/selection/edge_sort.h"
#include "core/selection/selection_path.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Coordinates are kept inside +-kLimit, the extent of the infinite region.
constexpr int kLimit = 4194304;

// Appends scan rectangles band by band, merging a band into the one above it
// when both have the same runs.
class ScanBuilder {
  public:
    // xs holds run edges a0, b0, a1, b1, ... (runs [a, b)), sorted, not touching.
    void addBand(int y0, int y1, const std::vector<int>& xs) {
        if (xs.empty()) {
            m_open = false;
            return;
        }
        if (m_open && m_lastY1 == y0 && xs == m_lastXs) {
            for (std::size_t i = m_lastBegin; i < m_scans.size(); ++i)
                m_scans[i].Height += y1 - y0;
            m_lastY1 = y1;
            return;
        }
        m_lastBegin = m_scans.size();
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
            m_scans.push_back(Rect{xs[i], y0, xs[i + 1] - xs[i], y1 - y0});
        m_lastXs = xs;
        m_lastY1 = y1;
        m_open = true;
    }
    std::vector<Rect> take() { return std::move(m_scans); }

  private:
    std::vector<Rect> m_scans;
    std::vector<int> m_lastXs;
    std::size_t m_lastBegin = 0;
    int m_lastY1 = 0;
    bool m_open = false;
};

// One edge of a flattened outline, crossing the pixel centres of rows
// rowBegin .. rowEnd - 1.
struct PathEdge {
    double x0, y0, dxdy;
    int rowBegin, rowEnd;
    double xFirst; // x on row rowBegin
};

double edgeXAt(const PathEdge& e, int row) {
    return e.x0 + (row + 0.5 - e.y0) * e.dxdy;
}

// The first pixel row (or column) whose centre lies at or after v.
int firstCentreFrom(double v) {
    const double r = std::ceil(v - 0.5);
    return int(std::clamp(r, double(-kLimit), double(kLimit)));
}

void addEdge(std::vector<PathEdge>& edges, QPointF a, QPointF b) {
    if (a.y() == b.y()) return; // horizontal
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
        !std::isfinite(b.y()))
        return;
    if (a.y() > b.y()) std::swap(a, b);
    const int r0 = firstCentreFrom(a.y()), r1 = firstCentreFrom(b.y());
    if (r0 >= r1) return;
    PathEdge e{a.x(), a.y(), (b.x() - a.x()) / (b.y() - a.y()), r0, r1, 0.0};
    e.xFirst = edgeXAt(e, r0);
    edges.push_back(e);
}

// Edges of every subpath of the outline, each subpath closed.
std::vector<PathEdge> collectEdges(const QPainterPath& path) {
    std::vector<PathEdge> edges;
    bool curves = false;
    for (int i = 0; i < path.elementCount() && !curves; ++i)
        curves = path.elementAt(i).isCurveTo();
    if (curves) {
        // Curves are flattened at four times the size, so that the chords stay
        // well within a quarter pixel of the curve; scaling by 1/4 is exact.
        for (const QPolygonF& poly : path.toSubpathPolygons(QTransform::fromScale(4, 4))) {
            for (qsizetype i = 0; i < poly.size(); ++i)
                addEdge(edges, poly[i] / 4, poly[(i + 1) % poly.size()] / 4);
        }
        return edges;
    }
    QPointF start, prev;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        const QPointF p(e.x, e.y);
        if (e.isMoveTo()) {
            if (i > 0) addEdge(edges, prev, start);
            start = p;
        } else {
            addEdge(edges, prev, p);
        }
        prev = p;
    }
    if (path.elementCount() > 0) addEdge(edges, prev, start);
    return edges;
}

// Sweeps the rows with an active edge list kept sorted by x; each row's pixels
// are those whose centres fall between crossing pairs (even-odd).
std::vector<Rect> rasterise(std::vector<PathEdge> edges) {
    // By first row, then x on it, so that each row's new edges arrive in x
    // order and are merged into the active list in one pass.
    {
        std::vector<PathEdge> scratch;
        sortByRowThenX(
            edges, scratch, [](const PathEdge& e) { return e.rowBegin; },
            [](const PathEdge& a, const PathEdge& b) { return a.xFirst < b.xFirst; });
    }
    struct Active {
        double x;
        const PathEdge* edge;
    };
    auto byX = [](const Active& a, const Active& b) { return a.x < b.x; };
    std::vector<Active> active, merged;
    std::vector<int> xs;
    ScanBuilder builder;
    std::size_t next = 0;
    int row = edges.empty() ? 0 : edges.front().rowBegin;
    while (next < edges.size() || !active.empty()) {
        if (active.empty()) row = std::max(row, edges[next].rowBegin);
        for (Active& a : active)
            a.x = edgeXAt(*a.edge, row);
        insertionSort(active, byX); // the order changes little from one row to the next
        const std::size_t old = active.size();
        while (next < edges.size() && edges[next].rowBegin <= row) {
            active.push_back({edges[next].xFirst, &edges[next]});
            ++next;
        }
        if (old > 0 && active.size() > old) {
            merged.resize(active.size());
            std::merge(active.begin(), active.begin() + old, active.begin() + old, active.end(),
                       merged.begin(), byX);
            active.swap(merged);
        }
        xs.clear();
        for (std::size_t i = 0; i + 1 < active.size(); i += 2) {
            const int s = firstCentreFrom(active[i].x), t = firstCentreFrom(active[i + 1].x);
            if (s >= t) continue;
            if (!xs.empty() && xs.back() >= s)
                xs.back() = std::max(xs.back(), t);
            else
                xs.insert(xs.end(), {s, t});
        }
        builder.addBand(row, row + 1, xs);
        ++row;
        std::erase_if(active, [row](const Active& a) { return a.edge->rowEnd <= row; });
    }
    return builder.take();
}

// A band of a scan list: rectangles [begin, end) covering rows y0 .. y1 - 1.
struct BandRef {
    int y0, y1;
    std::size_t begin, end;
};

std::vector<BandRef> bandsOf(const std::vector<Rect>& scans) {
    std::vector<BandRef> bands;
    for (std::size_t i = 0; i < scans.size();) {
        std::size_t j = i + 1;
        while (j < scans.size() && scans[j].Y == scans[i].Y)
            ++j;
        bands.push_back({scans[i].Y, scans[i].GetBottom(), i, j});
        i = j;
    }
    return bands;
}

void bandEdges(const std::vector<Rect>& scans, const BandRef* band, std::vector<int>& xs) {
    xs.clear();
    if (!band) return;
    for (std::size_t i = band->begin; i < band->end; ++i)
        xs.insert(xs.end(), {scans[i].X, scans[i].GetRight()});
}

// Run edges of the pixels for which keep(in a, in b) holds, from two sorted
// run-edge lists.
template <class Keep>
void combineEdges(const std::vector<int>& a, const std::vector<int>& b, Keep keep,
                  std::vector<int>& out) {
    out.clear();
    std::size_t i = 0, j = 0;
    bool inA = false, inB = false, inside = false;
    while (i < a.size() || j < b.size()) {
        const int x = j == b.size() || (i < a.size() && a[i] < b[j]) ? a[i] : b[j];
        if (i < a.size() && a[i] == x) inA = !inA, ++i;
        if (j < b.size() && b[j] == x) inB = !inB, ++j;
        if (keep(inA, inB) != inside) {
            inside = !inside;
            out.push_back(x);
        }
    }
}

template <class Keep>
std::vector<Rect> combineScans(const std::vector<Rect>& a, const std::vector<Rect>& b, Keep keep) {
    const std::vector<BandRef> bandsA = bandsOf(a), bandsB = bandsOf(b);
    std::vector<int> ys;
    for (const auto* bands : {&bandsA, &bandsB})
        for (const BandRef& band : *bands)
            ys.insert(ys.end(), {band.y0, band.y1});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    ScanBuilder builder;
    std::vector<int> xa, xb, out;
    std::size_t ia = 0, ib = 0;
    auto bandAt = [](const std::vector<BandRef>& bands, std::size_t& i, int y) -> const BandRef* {
        while (i < bands.size() && bands[i].y1 <= y)
            ++i;
        return i < bands.size() && bands[i].y0 <= y ? &bands[i] : nullptr;
    };
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        bandEdges(a, bandAt(bandsA, ia, ys[k]), xa);
        bandEdges(b, bandAt(bandsB, ib, ys[k]), xb);
        combineEdges(xa, xb, keep, out);
        builder.addBand(ys[k], ys[k + 1], out);
    }
    return builder.take();
}

} // namespace

SelectionRegion::SelectionRegion() {
    setScans({Rect{-kLimit, -kLimit, 2 * kLimit, 2 * kLimit}});
}

SelectionRegion::SelectionRegion(const QPainterPath& outline) {
    setScans(rasterise(collectEdges(outline)));
}

SelectionRegion::SelectionRegion(const Rect& rect) {
    QPainterPath path;
    if (rect.Width > 0 && rect.Height > 0) path.addRect(rect.X, rect.Y, rect.Width, rect.Height);
    setScans(rasterise(collectEdges(path)));
}

SelectionRegion::SelectionRegion(const SelectionPath& path) : SelectionRegion(path.GetRegion()) {}

SelectionRegion::SelectionRegion(const SelectionRegion& other) {
    setScans(other.m_scans);
}

SelectionRegion& SelectionRegion::operator=(const SelectionRegion& other) {
    if (this != &other) setScans(other.m_scans);
    return *this;
}

SelectionRegion::SelectionRegion(SelectionRegion&& other) noexcept {
    *this = std::move(other);
}

SelectionRegion& SelectionRegion::operator=(SelectionRegion&& other) noexcept {
    if (this == &other) return *this;
    m_scans = std::move(other.m_scans);
    m_bounds = other.m_bounds;
    m_area = other.m_area;
    m_left = other.m_left, m_top = other.m_top, m_right = other.m_right, m_bottom = other.m_bottom;
    m_huge = other.m_huge;
    m_coverageBits = std::move(other.m_coverageBits);
    m_coverage.store(other.m_coverage.load(std::memory_order_acquire) ? m_coverageBits.data()
                                                                      : nullptr,
                     std::memory_order_release);
    other.setScans({});
    return *this;
}

SelectionRegion::~SelectionRegion() = default;

void SelectionRegion::setScans(std::vector<Rect> scans) {
    m_scans = std::move(scans);
    m_coverage.store(nullptr, std::memory_order_release);
    m_coverageBits.clear();
    m_coverageBits.shrink_to_fit();
    double area = 0;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const Rect& r : m_scans) {
        area += double(r.Width) * double(r.Height);
        left = std::min(left, r.X);
        top = std::min(top, r.Y);
        right = std::max(right, r.GetRight());
        bottom = std::max(bottom, r.GetBottom());
    }
    m_area = area >= double(INT_MAX) ? INT_MAX : int(area);
    m_bounds = m_scans.empty() ? Rect{} : Rect{left, top, right - left, bottom - top};
    m_left = float(m_bounds.X);
    m_top = float(m_bounds.Y);
    m_right = float(m_bounds.GetRight());
    m_bottom = float(m_bounds.GetBottom());
    m_huge = double(m_bounds.Width) * double(m_bounds.Height) > kMaxSelectionMaskPixels;
}

const std::uint8_t* SelectionRegion::buildCoverage() const {
    std::lock_guard<std::mutex> guard(m_coverageLock);
    if (const std::uint8_t* bits = m_coverage.load(std::memory_order_acquire)) return bits;
    const std::size_t width = std::size_t(m_bounds.Width);
    m_coverageBits.assign(width * std::size_t(m_bounds.Height), 0);
    for (const Rect& r : m_scans) {
        for (int y = r.Y; y < r.GetBottom(); ++y) {
            std::uint8_t* row = m_coverageBits.data() + std::size_t(y - m_bounds.Y) * width;
            std::fill_n(row + (r.X - m_bounds.X), r.Width, std::uint8_t(1));
        }
    }
    m_coverage.store(m_coverageBits.data(), std::memory_order_release);
    return m_coverageBits.data();
}

void SelectionRegion::GetRowSpans(int y, std::vector<Span>& out) const {
    out.clear();
    auto it = std::partition_point(m_scans.begin(), m_scans.end(),
                                   [y](const Rect& r) { return r.GetBottom() <= y; });
    for (; it != m_scans.end() && it->Y <= y; ++it)
        out.push_back(Span{it->X, y, it->Width});
}

bool SelectionRegion::containsSlow(int x, int y) const {
    auto it = std::partition_point(m_scans.begin(), m_scans.end(),
                                   [y](const Rect& r) { return r.GetBottom() <= y; });
    for (; it != m_scans.end() && it->Y <= y; ++it)
        if (x >= it->X && x < it->GetRight()) return true;
    return false;
}

void SelectionRegion::Xor(const SelectionRegion& other) {
    setScans(combineScans(m_scans, other.m_scans, [](bool a, bool b) { return a != b; }));
}

void SelectionRegion::Union(const SelectionRegion& other) {
    setScans(combineScans(m_scans, other.m_scans, [](bool a, bool b) { return a || b; }));
}

void SelectionRegion::Exclude(const SelectionRegion& other) {
    setScans(combineScans(m_scans, other.m_scans, [](bool a, bool b) { return a && !b; }));
}

void SelectionRegion::Intersect(const SelectionRegion& other) {
    setScans(combineScans(m_scans, other.m_scans, [](bool a, bool b) { return a && b; }));
}

void SelectionRegion::Xor(const Rect& rect) {
    Xor(SelectionRegion(rect));
}

void SelectionRegion::Translate(int dx, int dy) {
    std::vector<Rect> scans = std::move(m_scans);
    for (Rect& r : scans)
        r.X += dx, r.Y += dy;
    setScans(std::move(scans));
}
