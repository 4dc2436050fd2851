// SPDX-License-Identifier: GPL-3.0-or-later
// Tools that move pixels around: the smudge and the clone stamp.
#pragma once

#include "tools/tool.h"

#include <cstdint>
#include <vector>

// "Smudge": along each motion, a brush-sized patch (side m_nPenWidth) is
// carried one pixel step at a time: at each step the patch becomes
// trunc(0.4 patch + 0.6 under) per byte, its alpha is capped at m_nAlpha, and
// it is drawn source-over inside the inscribed ellipse of the step's square.
// A motion shorter than one pixel changes nothing and keeps the current point.
// The stroke is one history step, recorded at the release.
class CSmudgeTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnMouseMove(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y) override;

  private:
    // Pixels of the side x side square inside its inscribed ellipse.
    const std::vector<std::uint8_t>& ellipseMask(int side);

    int m_nMaskSide = -1;
    std::vector<std::uint8_t> m_ellipse;
    std::vector<std::uint8_t> m_patch, m_under;
};

// "Clone Stamp": Ctrl-click picks the source; the first plain click after it
// fixes the offset from there to the source, and every plain click copies the
// brush-sized square at that offset onto the clicked point (one history step
// per click). Works per click; dragging does nothing.
class CStampTool : public CTool {
  public:
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap*, unsigned, int, int) override {}
    void OnMouseMove(Bitmap*, unsigned, int, int) override {}

  private:
    int m_bSourceSet = 0;
    int m_nOffsetX = 0; // source minus destination
    int m_nOffsetY = 0;
};
