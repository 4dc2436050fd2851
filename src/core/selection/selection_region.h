// SPDX-License-Identifier: GPL-3.0-or-later
// SelectionRegion: the pixel set of a selection, with bounds, area, scans and
// an O(1) point test.
#pragma once

#include "core/bitmap.h"
#include "core/selection/selection_mask.h"

#include <QPainterPath>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class SelectionPath;

// The most pixels a per-pixel mask over a region's bounds may hold; larger
// regions (the infinite one) are handled through their scans alone.
inline constexpr double kMaxSelectionMaskPixels = double(1 << 30);

// A set of whole pixels kept as scan rectangles: disjoint, sorted by rows, and
// banded (the rectangles of one band share Y and Height and are sorted by X,
// touching rectangles within a band are merged, and equal neighbouring bands
// are merged). A pixel (x, y) of an outline belongs to the region when its
// centre (x + 0.5, y + 0.5) lies inside the outline by the even-odd rule, so a
// rectangle figure (x, y, w, h) covers pixels x..x+w-1 and y..y+h-1.
//
// Every const member may be called from several threads at once; the coverage
// mask behind the point test is built once, on first use.
class SelectionRegion {
  public:
    // The infinite region (-4194304, -4194304, 8388608, 8388608).
    SelectionRegion();
    // The pixels inside the outline (image pixel coordinates); the even-odd rule
    // is used whatever fill rule the path carries, every subpath counts as closed.
    explicit SelectionRegion(const QPainterPath& outline);
    // The pixels of the rectangle; empty when its width or height is not positive.
    explicit SelectionRegion(const Rect& rect);
    // A copy of the outline's region.
    explicit SelectionRegion(const SelectionPath& path);

    SelectionRegion(const SelectionRegion& other);
    SelectionRegion& operator=(const SelectionRegion& other);
    SelectionRegion(SelectionRegion&& other) noexcept;
    SelectionRegion& operator=(SelectionRegion&& other) noexcept;
    ~SelectionRegion();

    // True when the area is 0.
    bool IsEmpty() const { return m_area == 0; }
    // Number of pixels, saturated at INT_MAX (the infinite region's area).
    int GetArea() const { return m_area; }
    // Smallest rectangle holding every scan; (0, 0, 0, 0) without scans.
    Rect GetBounds() const { return m_bounds; }
    const std::vector<Rect>& GetScans() const { return m_scans; }

    // Whether the pixel holding the point, (floor(x), floor(y)), is in the region:
    // O(1), a lookup in the coverage mask once it is built.
    bool IsVisible(float x, float y) const {
        if (!(x >= m_left && x < m_right && y >= m_top && y < m_bottom)) return false;
        int ix = int(x), iy = int(y);
        if (float(ix) > x) --ix;
        if (float(iy) > y) --iy;
        const std::uint8_t* row = CoverageRow(iy);
        return row ? row[ix - m_bounds.X] != 0 : containsSlow(ix, iy);
    }

    // One byte per pixel of row y over GetBounds() (index x - GetBounds().X),
    // non-zero for selected pixels; null when y is outside the bounds, or when
    // the bounds are too large for a mask (the infinite region).
    const std::uint8_t* CoverageRow(int y) const {
        if (y < m_bounds.Y || y >= m_bounds.Y + m_bounds.Height || m_huge) return nullptr;
        const std::uint8_t* bits = m_coverage.load(std::memory_order_acquire);
        if (!bits) bits = buildCoverage();
        return bits + std::size_t(y - m_bounds.Y) * std::size_t(m_bounds.Width);
    }
    // The selected runs of row y, left to right, replacing the contents of out.
    void GetRowSpans(int y, std::vector<Span>& out) const;

    // Set operations; the scans stay banded.
    void Xor(const SelectionRegion& other);
    void Xor(const Rect& rect);
    void Union(const SelectionRegion& other);
    void Exclude(const SelectionRegion& other);
    void Intersect(const SelectionRegion& other);
    void Translate(int dx, int dy);

  private:
    void setScans(std::vector<Rect> scans);
    const std::uint8_t* buildCoverage() const;
    bool containsSlow(int x, int y) const;

    std::vector<Rect> m_scans;
    Rect m_bounds;
    int m_area = 0;
    float m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
    bool m_huge = false;
    // The coverage mask over m_bounds, published through m_coverage once built.
    // Each region has its own lock, so threads building the masks of different
    // regions never wait on each other; readers of a built mask take no lock.
    mutable std::vector<std::uint8_t> m_coverageBits;
    mutable std::atomic<const std::uint8_t*> m_coverage{nullptr};
    mutable std::mutex m_coverageLock;
};
