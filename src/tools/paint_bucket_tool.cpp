// SPDX-License-Identifier: GPL-3.0-or-later
// Paint bucket fill.
#include "tools/paint_bucket_tool.h"

#include "core/graphics.h"
#include "core/selection/flood_fill.h"
#include "core/selection/selection_mask.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "core/selection/tracing.h"
#include "document/lumaset_doc.h"

void CPaintBucketTool::OnLButtonDown(Bitmap* image, unsigned, int x, int y) {
    if (!image) return;
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    SelectionRegion region;
    if (!host().selection().HasSelection()) {
        SelectionMask mask(int(image->GetWidth()), int(image->GetHeight()));
        Rect bounds;
        FloodFillMask(*image, mask, m_ptCurrent.x(), m_ptCurrent.y(), kPaintBucketTolerance,
                      bounds);
        // The traced outline covers exactly the marked pixels.
        region = SelectionRegion(TraceMaskToPath(mask, bounds));
    } else {
        region = SelectionRegion(host().selection());
    }
    if (auto g = MakeGraphics(*image)) {
        const QColor colour = ColorFromARGB(m_crForeground);
        for (const Rect& r : region.GetScans())
            g->fillRect(QRect(r.X, r.Y, r.Width, r.Height), colour);
    }
    host().pushBackup();
    const Rect b = region.GetBounds();
    host().invalidate(QRect(b.X, b.Y, b.Width, b.Height));
}
