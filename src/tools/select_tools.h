// SPDX-License-Identifier: GPL-3.0-or-later
// The five selection tools. They change only the view's selection outline and
// preview outline, never pixels, and record no history step.
#pragma once

#include "tools/tool.h"

// The combination a selection gesture's release flags ask for: Ctrl adds
// (CombineAdd, 2), otherwise Shift subtracts (CombineSubtract, 4), otherwise 0
// (replace).
int SelectionMode(unsigned flags);

// "Rectangle Select" and "Ellipse Select": drag a rectangle, or the ellipse
// inscribed in it. A press without Ctrl or Shift clears the selection; the
// release puts the shape into it (or combines the preview with it).
class CRectangleSelectTool : public CTool {
  public:
    explicit CRectangleSelectTool(bool ellipse = false) : m_bEllipse(ellipse) {}
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;
    QCursor LoadToolCursor() const override { return LoadCursorResource(m_bEllipse ? 143 : 142); }

  private:
    bool m_bEllipse;
    int m_bMoved = 0;
};

class CEllipseSelectTool : public CRectangleSelectTool {
  public:
    CEllipseSelectTool() : CRectangleSelectTool(true) {}
};

// "Free Select": a free-hand polygon of every pointer position of the drag.
class CLassoSelectTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;
    QCursor LoadToolCursor() const override { return LoadCursorResource(144); }
};

// "Poly Select": each press adds a vertex; a press less than 5 pixels from the
// first vertex closes the polygon, and that press's release commits it.
class CFSelectTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;
    QCursor LoadToolCursor() const override { return LoadCursorResource(145); }
    bool isOpen() const { return m_bOpen != 0; }

  private:
    int m_bOpen = 0;
    int m_bClosed = 0;
};

// "Magic Wand": at the press, the 4-connected area of similar colour
// (tolerance 14), or with Shift every similar pixel, replaces the selection.
class CMagicWandTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;
    QCursor LoadToolCursor() const override { return LoadCursorResource(146); }
};
