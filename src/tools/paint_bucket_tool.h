// SPDX-License-Identifier: GPL-3.0-or-later
// The paint bucket: one click fills the selection, or the 4-connected area of
// similar colour around the pixel, with the foreground colour.
#pragma once

#include "tools/tool.h"

// Without a selection the area comes from FloodFillMask at tolerance 10 and
// is filled exactly, pixel for pixel; with one, the whole selection is filled
// and the click position plays no part. Source-over with the foreground's
// alpha, one history step per click. Motion and release do nothing.
class CPaintBucketTool : public CTool {
  public:
    using CTool::CTool;
    void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) override;
    void OnLButtonUp(Bitmap*, unsigned, int, int) override {}
    void OnMouseMove(Bitmap*, unsigned, int, int) override {}
};
