// SPDX-License-Identifier: GPL-3.0-or-later
// Tools that act on the view or the settings rather than the pixels: the
// colour picker, the zoom tool and the text tool.
#pragma once

#include "tools/tool.h"

// "Color Picker": a press takes the colour the view shows under the pointer
// (checkerboard and outline dashes included) as the foreground colour, with
// the document's alpha. Records nothing.
class CSuckTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap*, unsigned, int, int) override {}
    void OnLButtonUp(Bitmap*, unsigned, int, int) override {}
};

// "Zoom Tool": a press steps the zoom in, with Ctrl out. The clicked point
// plays no part.
class CZoomTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap*, unsigned, int, int) override {}
    void OnLButtonUp(Bitmap*, unsigned, int, int) override {}
    QCursor LoadToolCursor() const override { return LoadCursorResource(147); }
};

// "Text Tool": a press opens the text dialog at the pixel; when the dialog
// ends with OK (it has drawn the text) the view repaints and a history step
// is recorded.
class CTextTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap*, unsigned, int, int) override {}
    void OnLButtonUp(Bitmap*, unsigned, int, int) override {}
};
