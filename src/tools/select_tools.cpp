// SPDX-License-Identifier: GPL-3.0-or-later
// Rectangle, ellipse, lasso, polygon and magic-wand selection.
#include "tools/select_tools.h"

#include "core/selection/flood_fill.h"
#include "core/selection/selection_commands.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "core/selection/tracing.h"
#include "tools/shape_tools.h"

#include <cmath>

namespace {

bool keepsSelection(unsigned flags) {
    return flags & (MK_CONTROL | MK_SHIFT);
}

// The end of a selection gesture: the shape becomes the selection when there
// is none; otherwise the add and subtract modes combine the preview outline
// with it, and replace mode leaves the selection as it was (its press kept
// the selection because Ctrl or Shift was held then).
void commitSelection(ToolHost& host, unsigned flags, const SelectionPath& shape) {
    SelectionPath& selection = host.selection();
    const int mode = SelectionMode(flags);
    if (!selection.HasSelection()) {
        selection.AddPath(shape);
    } else if (mode == CombineAdd || mode == CombineSubtract) {
        selection =
            CombineSelections(SelectionRegion(selection), mode, SelectionRegion(host.tempPath()));
    }
    host.tempPath().Reset();
    host.invalidate();
}

void clearSelection(ToolHost& host) {
    if (host.selection().HasSelection()) host.invalidate();
    host.selection().Reset();
}

} // namespace

int SelectionMode(unsigned flags) {
    if (flags & MK_CONTROL) return CombineAdd;
    if (flags & MK_SHIFT) return CombineSubtract;
    return 0;
}

void CRectangleSelectTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_aPoints.clear();
    m_pImage = image;
    m_bPressed = 1;
    m_bMoved = 0;
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    if (!keepsSelection(flags)) {
        host().killOutlineTimer();
        clearSelection(host());
    }
    m_aPoints.append(m_ptStart);
}

void CRectangleSelectTool::OnMouseMove(Bitmap*, unsigned flags, int x, int y) {
    // The rectangle follows the pixel nearest the pointer; the ellipse the
    // pixel under it.
    m_ptCurrent = ClientToImage(x, y, !m_bEllipse);
    if (!m_bPressed) return;
    ShowDragPreview(host(), DragRectangle(m_ptStart, m_ptCurrent, flags & MK_XBUTTON1), m_bEllipse);
    m_bMoved = 1;
}

void CRectangleSelectTool::OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) {
    m_bMoved = 0;
    if (!finishDrag(image, x, y)) return;
    const Rect r = DragRectangle(m_ptStart, m_ptCurrent, flags & MK_XBUTTON1);
    SelectionPath shape;
    if (m_bEllipse)
        shape.AddEllipse(r);
    else
        shape.AddRectangle(r);
    commitSelection(host(), flags, shape);
}

void CLassoSelectTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    if (!keepsSelection(flags)) clearSelection(host());
    m_aPoints.clear();
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    m_aPoints.append(m_ptStart);
}

void CLassoSelectTool::OnMouseMove(Bitmap* image, unsigned, int x, int y) {
    if (!m_bPressed) return;
    m_pImage = image;
    m_ptCurrent = ClientToImage(x, y);
    m_aPoints.append(m_ptCurrent);
    SelectionPath shape;
    shape.AddPolygon(m_aPoints.constData(), int(m_aPoints.size()));
    ShowPreview(host(), std::move(shape));
}

void CLassoSelectTool::OnLButtonUp(Bitmap* image, unsigned flags, int, int) {
    if (!m_bPressed) return;
    if (!keepsSelection(flags)) host().selection().Reset();
    // The release position itself is not added to the outline.
    if (m_aPoints.size() > 1) {
        m_pImage = image;
        SelectionPath shape;
        shape.AddPolygon(m_aPoints.constData(), int(m_aPoints.size()));
        commitSelection(host(), flags, shape);
    }
    m_bPressed = 0;
}

void CFSelectTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    if (!keepsSelection(flags)) clearSelection(host());
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    if (!m_bOpen) {
        host().killOutlineTimer();
        m_bOpen = 1;
        m_aPoints.clear();
        m_aPoints.append(m_ptCurrent);
        m_bClosed = 0;
    } else if (!m_aPoints.isEmpty()) {
        const QPoint d = m_ptCurrent - m_aPoints.first();
        if (std::sqrt(double(d.x()) * d.x() + double(d.y()) * d.y()) < 5.0) {
            m_aPoints.append(m_aPoints.first());
            m_bClosed = 1;
            m_bOpen = 0;
        } else {
            m_aPoints.append(m_ptCurrent);
        }
    }
}

void CFSelectTool::OnMouseMove(Bitmap* image, unsigned, int x, int y) {
    m_pImage = image;
    const QPoint p = ClientToImage(x, y);
    if (!m_bOpen || m_bClosed || m_aPoints.size() < 2) return;
    QPolygon polygon(m_aPoints);
    polygon << p;
    SelectionPath shape;
    shape.AddPolygon(polygon);
    ShowPreview(host(), std::move(shape));
}

void CFSelectTool::OnLButtonUp(Bitmap* image, unsigned flags, int, int) {
    const bool commit = (m_bPressed || m_bOpen) && m_aPoints.size() > 1 && m_bClosed;
    m_bPressed = 0;
    if (!commit) return;
    m_pImage = image;
    SelectionPath shape;
    shape.AddPolygon(m_aPoints.constData(), int(m_aPoints.size()));
    commitSelection(host(), flags, shape);
    m_bOpen = m_bClosed = 0;
}

void CMagicWandTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    host().tempPath().Reset();
    host().selection().Reset();
    // The wand always replaces (Ctrl is ignored); Shift selects every similar
    // pixel, connected or not.
    if (image)
        host().selection().AddPath(MagicWandSelect(*image, m_ptCurrent.x(), m_ptCurrent.y(),
                                                   kMagicWandTolerance, flags & MK_SHIFT));
    host().startOutlineTimer();
    host().invalidate();
}

void CMagicWandTool::OnMouseMove(Bitmap*, unsigned, int, int) {}

void CMagicWandTool::OnLButtonUp(Bitmap*, unsigned, int x, int y) {
    m_ptCurrent = ClientToImage(x, y);
}
