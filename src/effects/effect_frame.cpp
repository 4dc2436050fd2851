// SPDX-License-Identifier: GPL-3.0-or-later
// The effect frame: whole-image flag, working rectangle and selected runs.
#include "effects/effect_frame.h"

// Until the selection region is part of the build nobody can make one, so every
// call runs on the whole image.
#if __has_include("core/selection/selection_region.h")
#include "core/selection/selection_region.h"
#define LUMASET_HAS_SELECTION_REGION 1
#else
#define LUMASET_HAS_SELECTION_REGION 0
#endif

EffectFrame::EffectFrame(const SelectionRegion* selection, int width, int height)
    : m_selection(selection), m_width(width), m_height(height) {
#if LUMASET_HAS_SELECTION_REGION
    m_whole = !selection || selection->IsEmpty();
#else
    m_whole = true;
#endif
    if (m_whole) {
        m_work = Rect{0, 0, width, height};
        return;
    }
#if LUMASET_HAS_SELECTION_REGION
    m_work = selection->GetBounds();
    // One test up front, so a point test that builds its cache on first use
    // has done so before any second thread asks.
    selection->IsVisible(float(m_work.X), float(m_work.Y));
#endif
}

bool EffectFrame::pointTest(int x, int y) const {
#if LUMASET_HAS_SELECTION_REGION
    return m_selection->IsVisible(float(x), float(y));
#else
    (void)x, (void)y;
    return true;
#endif
}

bool EffectFrame::isSelected(int x, int y) const { return m_whole || pointTest(x, y); }

EffectFrame::Area EffectFrame::area(Coverage coverage) const {
    const int w = m_width, h = m_height;
    switch (coverage) {
    case Coverage::Whole: return {0, 0, w, h, !m_whole};
    case Coverage::WholeLessLast: return {0, 0, w - 1, h - 1, !m_whole};
    case Coverage::RectLessLast:
        // The last column and row of the rectangle are left out because the
        // routines read the pixel to the right and below; bounds reaching past
        // the image are cut so those reads stay inside it.
        return {std::max(m_work.X, 0), std::max(m_work.Y, 0), std::min(m_work.GetRight() - 1, w - 1),
                std::min(m_work.GetBottom() - 1, h - 1), !m_whole};
    case Coverage::Interior: return {1, 1, w - 1, h - 1, !m_whole};
    case Coverage::Unselective: return {0, 0, w, h, false};
    case Coverage::InteriorUnselective: return {1, 1, w - 1, h - 1, false};
    }
    return {0, 0, 0, 0, false};
}

void EffectFrame::selectedSpans(int y, int xBegin, int xEnd, std::vector<PixelRun>& out) const {
    out.clear();
    if (m_whole) {
        if (xBegin < xEnd) out.push_back({xBegin, xEnd});
        return;
    }
    if (y < m_work.Y || y >= m_work.GetBottom()) return;
    xBegin = std::max(xBegin, m_work.X);
    xEnd = std::min(xEnd, m_work.GetRight());
    int x = xBegin;
    while (x < xEnd) {
        while (x < xEnd && !pointTest(x, y)) ++x;
        const int start = x;
        while (x < xEnd && pointTest(x, y)) ++x;
        if (start < x) out.push_back({start, x});
    }
}
