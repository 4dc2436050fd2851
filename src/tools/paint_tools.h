// SPDX-License-Identifier: GPL-3.0-or-later
// Free-hand drawing straight into the document image: the pencil and the
// eraser. Each stroke is one history step, recorded at the release.
#pragma once

#include "tools/tool.h"

// "Draw Free Line": segments in the foreground colour, the pen width wide with
// triangle caps, drawn at every motion; the release adds a 1-pixel segment to
// the release point and records the stroke.
class CPencilTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;
};

// "Eraser": squares of side pen width + 1 made fully transparent (black on a
// 24-bit image) at every point of the pointer's path. A square that would
// cross the image border is skipped whole.
class CEraserTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;

    // Clears the square of side width + 1 whose corner is (x - width/2,
    // y - width/2) when it lies entirely inside the image; returns it (empty
    // when skipped).
    static QRect EraseSquare(Bitmap& image, int x, int y, int width);
};
