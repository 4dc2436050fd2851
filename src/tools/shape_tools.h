// SPDX-License-Identifier: GPL-3.0-or-later
// Shapes committed at the release: the rectangle and ellipse outlines, and
// the line tool's free-hand shape filled with a gradient.
#pragma once

#include "tools/tool.h"

class SelectionPath;

#include <QPolygonF>

// The rectangle spanned by two points (left and top the smaller coordinates,
// width and height the differences); with square set (MK_XBUTTON1) width and
// height both become the smaller of the two.
Rect DragRectangle(QPoint a, QPoint b, bool square);

// Image pixels an outline's dashes may cover; empty without an outline.
QRect OutlineArea(const SelectionPath& outline);
// Makes shape the host's preview outline and repaints where the old and the
// new preview are.
void ShowPreview(ToolHost& host, SelectionPath shape);
// The preview of a drag: the rectangle, or the ellipse inscribed in it.
void ShowDragPreview(ToolHost& host, const Rect& rect, bool ellipse);

// "Draw Rectangle" and "Draw Ellipse": the dragged shape shows in the preview
// outline; the release draws its outline in the foreground colour, the pen
// width wide, and records a step.
class CRectangleTool : public CTool {
  public:
    explicit CRectangleTool(bool ellipse = false) : m_bEllipse(ellipse) {}
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;
    QCursor LoadToolCursor() const override { return LoadCursorResource(m_bEllipse ? 149 : 148); }

  private:
    bool m_bEllipse = false;
    int m_bMoved = 0;
};

class CEllipseTool : public CRectangleTool {
  public:
    CEllipseTool() : CRectangleTool(true) {}
};

// "Draw line": a half-transparent trail in the foreground colour along the
// drag; the release closes the trail back to the start and fills the shape
// with a gradient from the background colour (alpha m_nAlpha) at its centre
// to the foreground colour on its edge.
class CLineTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;

  private:
    QRect drawTrailSegment(QPoint from, QPoint to);

    QPolygonF m_trail; // one figure, even-odd fill
};
