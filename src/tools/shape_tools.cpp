// SPDX-License-Identifier: GPL-3.0-or-later
// Rectangle, ellipse and line tools.
#include "tools/shape_tools.h"

#include "core/graphics.h"
#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"
#include "tools/draw_helpers.h"

#include <algorithm>
#include <cstdlib>

Rect DragRectangle(QPoint a, QPoint b, bool square) {
    Rect r{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()),
           std::abs(a.y() - b.y())};
    if (square) r.Width = r.Height = std::min(r.Width, r.Height);
    return r;
}

QRect OutlineArea(const SelectionPath& outline) {
    const QRectF b = outline.GetPath().boundingRect();
    return outline.IsEmpty() ? QRect() : b.toAlignedRect().adjusted(-2, -2, 2, 2);
}

void ShowPreview(ToolHost& host, SelectionPath shape) {
    SelectionPath& preview = host.tempPath();
    const QRect before = OutlineArea(preview);
    preview = std::move(shape);
    host.invalidate(before | OutlineArea(preview));
}

void ShowDragPreview(ToolHost& host, const Rect& rect, bool ellipse) {
    SelectionPath shape;
    if (ellipse)
        shape.AddEllipse(rect);
    else
        shape.AddRectangle(rect);
    ShowPreview(host, std::move(shape));
}

namespace {

QRect toQRect(const Rect& r) {
    return QRect(r.X, r.Y, r.Width, r.Height);
}

// The view area an outline of rect with the given pen width may cover.
QRect outlineBounds(const QRect& rect, int penWidth) {
    const int m = penWidth / 2 + 2;
    return rect.normalized().adjusted(-m, -m, m + 1, m + 1);
}

} // namespace

void CRectangleTool::OnLButtonDown(Bitmap* image, unsigned, int x, int y) {
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    m_aPoints.clear();
    m_pImage = image;
    m_bPressed = 1;
    m_bMoved = 0;
    m_aPoints.append(m_ptStart);
}

void CRectangleTool::OnMouseMove(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_ptCurrent = ClientToImage(x, y);
    if (!m_bPressed) return;
    // The rectangle tool squares its rectangle with MK_XBUTTON1; the ellipse
    // tool does not.
    ShowDragPreview(host(),
                    DragRectangle(m_ptStart, m_ptCurrent, !m_bEllipse && (flags & MK_XBUTTON1)),
                    m_bEllipse);
    m_bMoved = 1;
}

void CRectangleTool::OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) {
    m_bMoved = 0;
    if (!finishDrag(image, x, y)) return;
    QRect shape;
    if (m_bEllipse) {
        // The ellipse takes the press and this release point from the list.
        shape = toQRect(DragRectangle(m_aPoints[0], m_aPoints[1], false));
    } else {
        shape = toQRect(DragRectangle(m_ptStart, m_ptCurrent, flags & MK_XBUTTON1));
    }
    if (auto g = image ? MakeGraphics(*image) : nullptr) {
        g->setPen(MakePen(ColorFromARGB(doc().m_crForeground), qreal(m_nPenWidth)));
        g->setBrush(Qt::NoBrush);
        if (m_bEllipse)
            g->drawEllipse(shape);
        else
            g->drawRect(shape);
    }
    const QRect before = OutlineArea(host().tempPath());
    host().pushBackup();
    host().tempPath().Reset();
    host().invalidate(before | outlineBounds(shape, m_nPenWidth));
}

QRect CLineTool::drawTrailSegment(QPoint from, QPoint to) {
    Bitmap* image = doc().GetImage();
    // The trail is half transparent whatever the foreground's own alpha.
    const ARGB colour = (m_crForeground & 0x00FFFFFF) | 0x80000000;
    const QPolygonF segment = TriangleCapLine(from, to, double(m_nPenWidth));
    if (auto g = image ? MakeGraphics(*image) : nullptr)
        FillServicePolygon(*g, segment, ColorFromARGB(colour));
    if (m_trail.isEmpty()) m_trail << QPointF(from);
    m_trail << QPointF(to);
    return segment.isEmpty() ? QRect() : TouchedRect(segment);
}

void CLineTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    if (!(flags & (MK_CONTROL | MK_SHIFT))) {
        const QRect before = OutlineArea(host().tempPath());
        host().tempPath().Reset();
        if (!before.isEmpty()) host().invalidate(before);
    }
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    m_trail.clear();
}

void CLineTool::OnMouseMove(Bitmap* image, unsigned, int x, int y) {
    if (!m_bPressed) return;
    m_pImage = image;
    const QPoint p = ClientToImage(x, y);
    const QRect touched = drawTrailSegment(m_ptCurrent, p);
    m_ptCurrent = p;
    if (!touched.isEmpty()) host().invalidate(touched);
}

void CLineTool::OnLButtonUp(Bitmap*, unsigned, int x, int y) {
    if (!m_bPressed) return;
    m_ptCurrent = ClientToImage(x, y);
    drawTrailSegment(m_ptCurrent, m_ptStart);
    const ARGB centre = ARGB(doc().m_nAlpha & 0xFF) << 24 | (m_crBackground & 0x00FFFFFF);
    if (Bitmap* image = doc().GetImage()) FillPathGradient(*image, m_trail, centre, m_crForeground);
    const QRect touched =
        TouchedRect(m_trail).adjusted(-m_nPenWidth, -m_nPenWidth, m_nPenWidth, m_nPenWidth);
    host().pushBackup();
    m_trail.clear();
    m_bPressed = 0;
    host().invalidate(touched);
}
