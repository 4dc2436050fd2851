// SPDX-License-Identifier: GPL-3.0-or-later
// The effect frame: whole-image flag, working rectangle and selected runs.
#include "core/pixel_loop.h"

#include "core/selection/selection_region.h"

EffectFrame::EffectFrame(const SelectionRegion* selection, int width, int height)
    : m_selection(selection), m_width(width), m_height(height) {
    m_whole = !selection || selection->IsEmpty();
    m_work = m_whole ? Rect{0, 0, width, height} : selection->GetBounds();
}

bool EffectFrame::pointTest(int x, int y) const {
    return m_selection->IsVisible(float(x), float(y));
}

bool EffectFrame::isSelected(int x, int y) const {
    return m_whole || pointTest(x, y);
}

EffectFrame::Area EffectFrame::area(Coverage coverage) const {
    const int w = m_width, h = m_height;
    switch (coverage) {
    case Coverage::Whole:
        return {0, 0, w, h, !m_whole};
    case Coverage::WholeLessLast:
        return {0, 0, w - 1, h - 1, !m_whole};
    case Coverage::RectLessLast:
        // The last column and row of the rectangle are left out because the
        // routines read the pixel to the right and below; bounds reaching past
        // the image are cut so those reads stay inside it.
        return {std::max(m_work.X, 0), std::max(m_work.Y, 0),
                std::min(m_work.GetRight() - 1, w - 1), std::min(m_work.GetBottom() - 1, h - 1),
                !m_whole};
    case Coverage::Interior:
        return {1, 1, w - 1, h - 1, !m_whole};
    case Coverage::Unselective:
        return {0, 0, w, h, false};
    case Coverage::InteriorUnselective:
        return {1, 1, w - 1, h - 1, false};
    }
    return {0, 0, 0, 0, false};
}

void EffectFrame::selectedSpans(int y, int xBegin, int xEnd, RowRuns& out) const {
    out.runs.clear();
    if (m_whole) {
        if (xBegin < xEnd) out.runs.push_back({xBegin, xEnd});
        return;
    }
    if (y < m_work.Y || y >= m_work.GetBottom()) return;
    // The region's own scans give the row's runs directly; they are the
    // pixels its point test accepts.
    m_selection->GetRowSpans(y, out.scans);
    for (const Span& scan : out.scans) {
        const int begin = std::max(scan.X, xBegin), end = std::min(scan.X + scan.Length, xEnd);
        if (begin < end) out.runs.push_back({begin, end});
    }
}
