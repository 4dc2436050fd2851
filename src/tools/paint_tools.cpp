// SPDX-License-Identifier: GPL-3.0-or-later
// Pencil and eraser.
#include "tools/paint_tools.h"

#include "core/graphics.h"
#include "document/lumaset_doc.h"
#include "effects/blur_sharpen.h"
#include "tools/draw_helpers.h"

#include <cstring>

void CPencilTool::OnLButtonDown(Bitmap* image, unsigned, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    m_aPoints.clear();
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    m_aPoints.append(m_ptStart);
}

void CPencilTool::OnMouseMove(Bitmap* image, unsigned, int x, int y) {
    if (!m_bPressed) return;
    m_pImage = image;
    const QPoint p = ClientToImage(x, y);
    Bitmap* target = image ? image : doc().GetImage();
    if (!target) return;
    // No antialiasing and source-over: a translucent colour blends twice
    // where consecutive segments overlap at their caps.
    const QPolygonF segment = TriangleCapLine(m_ptCurrent, p, double(doc().m_nPenWidth));
    if (auto g = MakeGraphics(*target))
        FillServicePolygon(*g, segment, ColorFromARGB(doc().m_crForeground));
    m_ptCurrent = p;
    if (!segment.isEmpty()) host().invalidate(TouchedRect(segment));
}

void CPencilTool::OnLButtonUp(Bitmap* image, unsigned, int x, int y) {
    const QPoint p = ClientToImage(x, y);
    m_aPoints.append(p);
    if (m_bPressed && m_aPoints.size() > 1) {
        m_bPressed = 0;
        m_pImage = image;
        if (auto g = image ? MakeGraphics(*image) : nullptr) {
            g->setPen(MakePen(ColorFromARGB(doc().m_crForeground), 1.0));
            g->drawLine(m_ptCurrent, p);
        }
        host().pushBackup();
        host().invalidate(QRect(m_ptCurrent, p).normalized().adjusted(-1, -1, 1, 1));
    }
    m_bPressed = 0;
}

QRect CEraserTool::EraseSquare(Bitmap& image, int x, int y, int width) {
    const int side = width + 1;
    const QRect square(x - width / 2, y - width / 2, side, side);
    if (square.left() < 0 || square.top() < 0 || square.left() + side > int(image.GetWidth()) ||
        square.top() + side > int(image.GetHeight()))
        return {};
    // Every byte 0: transparent black, or black where there is no alpha.
    ScopedLock lock(image);
    for (int row = square.top(); row <= square.bottom(); ++row)
        std::memset(lock.pixel(square.left(), row), 0, std::size_t(side) * lock.bpp());
    return square;
}

void CEraserTool::OnLButtonDown(Bitmap*, unsigned, int x, int y) {
    m_bPressed = 1;
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
    Bitmap* image = doc().GetImage();
    const QRect square =
        image ? EraseSquare(*image, m_ptCurrent.x(), m_ptCurrent.y(), doc().m_nPenWidth) : QRect();
    if (!square.isEmpty()) host().invalidate(square);
}

void CEraserTool::OnMouseMove(Bitmap*, unsigned, int x, int y) {
    if (!m_bPressed) return;
    const QPoint p = ClientToImage(x, y);
    const int width = doc().m_nPenWidth;
    Bitmap* image = doc().GetImage();
    if (!image) return;
    QRect touched;
    for (const Offset& o : LineOffsets(m_ptCurrent.x(), m_ptCurrent.y(), p.x(), p.y()))
        touched |= EraseSquare(*image, o.x, o.y, width);
    m_ptCurrent = p;
    if (!touched.isEmpty()) host().invalidate(touched);
}

void CEraserTool::OnLButtonUp(Bitmap*, unsigned, int, int) {
    // A release without a press (pressed outside the view) records nothing:
    // an empty step would mark the picture modified and cut off the redo
    // branch.
    if (!m_bPressed) return;
    m_bPressed = 0;
    host().pushBackup();
}
