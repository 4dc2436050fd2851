// SPDX-License-Identifier: GPL-3.0-or-later
// Colour picker, zoom tool and text tool.
#include "tools/view_tools.h"

#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"

void CSuckTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    if (!(flags & (MK_CONTROL | MK_SHIFT))) {
        m_aPoints.clear();
        host().tempPath().Reset();
    }
    // The mapped point is kept, but the colour is the one shown at the
    // pointer, which at a zoom below 1 can be a blend of several pixels.
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    const ARGB shown = host().renderedColorAt(QPoint(x, y));
    doc().m_crForeground = ARGB(doc().m_nAlpha & 0xFF) << 24 | (shown & 0x00FFFFFF);
    host().foregroundPicked(doc().m_crForeground);
}

void CZoomTool::OnLButtonDown(Bitmap*, unsigned flags, int, int) {
    const double zoom = host().mapping().zoom;
    const double next = (flags & MK_CONTROL) ? NextZoomOut(zoom) : NextZoomIn(zoom);
    if (next != zoom) host().setZoom(next);
}

void CTextTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    if (!(flags & (MK_CONTROL | MK_SHIFT))) host().tempPath().Reset();
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    if (host().openTextDialog(m_ptCurrent)) {
        host().invalidate(QRect(), true);
        host().pushBackup();
    }
}
