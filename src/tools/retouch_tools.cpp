// SPDX-License-Identifier: GPL-3.0-or-later
// Smudge and clone stamp.
#include "tools/retouch_tools.h"

#include "core/graphics.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"
#include "tools/draw_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The brush square of side s centred on (x, y): corner (x - s/2, y - s/2).
QRect brushSquare(int x, int y, int side) {
    return QRect(x - side / 2, y - side / 2, side, side);
}

bool inside(const QRect& r, int width, int height) {
    return r.width() > 0 && r.height() > 0 && r.left() >= 0 && r.top() >= 0 &&
           r.left() + r.width() <= width && r.top() + r.height() <= height;
}

// Copies r out of the locked image as B, G, R, A bytes (24-bit pixels opaque).
void readArgb(const ScopedLock& lock, const QRect& r, std::vector<std::uint8_t>& out) {
    out.resize(std::size_t(r.width()) * r.height() * 4);
    std::uint8_t* o = out.data();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const std::uint8_t* p = lock.pixel(r.left(), y);
        if (lock.bpp() == 4) {
            std::memcpy(o, p, std::size_t(r.width()) * 4);
            o += std::size_t(r.width()) * 4;
        } else {
            for (int x = 0; x < r.width(); ++x, p += 3, o += 4) {
                o[0] = p[0];
                o[1] = p[1];
                o[2] = p[2];
                o[3] = 255;
            }
        }
    }
}

} // namespace

const std::vector<std::uint8_t>& CSmudgeTool::ellipseMask(int side) {
    if (side != m_nMaskSide) {
        // The clip is the region of the ellipse path: pixels whose centres
        // lie inside it.
        SelectionPath path;
        path.AddEllipse(Rect{0, 0, side, side});
        const SelectionRegion& region = path.GetRegion();
        m_ellipse.assign(std::size_t(side) * side, 0);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                m_ellipse[std::size_t(y) * side + x] = region.IsVisible(x + 0.5f, y + 0.5f);
        m_nMaskSide = side;
    }
    return m_ellipse;
}

void CSmudgeTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    if (!(flags & (MK_CONTROL | MK_SHIFT))) host().tempPath().Reset();
    m_ptStart = m_ptCurrent = ClientToImage(x, y);
}

void CSmudgeTool::OnMouseMove(Bitmap* image, unsigned, int x, int y) {
    m_pImage = image;
    Bitmap* target = doc().GetImage();
    const QPoint p = ClientToImage(x, y);
    if (!m_bPressed || !target) return;
    const int width = int(target->GetWidth()), height = int(target->GetHeight());
    const int side = doc().m_nPenWidth;
    const int alphaCap = doc().m_nAlpha;
    QRect source = brushSquare(m_ptCurrent.x(), m_ptCurrent.y(), side);

    const int dx = p.x() - m_ptCurrent.x(), dy = p.y() - m_ptCurrent.y();
    const float distance = float(std::sqrt(double(dx) * dx + double(dy) * dy));
    if (distance < 1) return; // slow drags add up until a whole pixel is reached
    const int n = std::max(1, int(distance));
    const float stepX = float(double(dx) / n), stepY = float(double(dy) / n);

    const std::vector<std::uint8_t>& clip = ellipseMask(side);
    ScopedLock lock(*target);
    QRect touched;
    for (int i = 1; i <= n; ++i) {
        const int xi = int(m_ptCurrent.x() + i * double(stepX));
        const int yi = int(m_ptCurrent.y() + i * double(stepY));
        // The patch comes from the previous step's square; a square reaching
        // beyond the image gives no copy and the step is skipped.
        const QRect dest = brushSquare(xi, yi, side);
        if (!inside(source, width, height) || !inside(dest, width, height)) continue;
        readArgb(lock, source, m_patch);
        readArgb(lock, dest, m_under);
        for (std::size_t k = 0; k < m_patch.size(); ++k)
            m_patch[k] = std::uint8_t(0.4 * m_patch[k] + 0.6 * m_under[k]);
        for (std::size_t k = 3; k < m_patch.size(); k += 4)
            m_patch[k] = std::uint8_t(std::min<int>(m_patch[k], alphaCap));
        for (int row = 0; row < side; ++row) {
            std::uint8_t* d = lock.pixel(dest.left(), dest.top() + row);
            const std::uint8_t* s = m_patch.data() + std::size_t(row) * side * 4;
            const std::uint8_t* c = clip.data() + std::size_t(row) * side;
            for (int col = 0; col < side; ++col, d += lock.bpp(), s += 4)
                if (c[col]) BlendPixelOver(d, lock.bpp(), s);
        }
        touched |= dest;
        source = dest;
    }
    m_ptCurrent = p;
    if (!touched.isEmpty()) host().invalidate(touched);
}

void CSmudgeTool::OnLButtonUp(Bitmap*, unsigned, int x, int y) {
    if (!m_bPressed) return;
    m_ptCurrent = ClientToImage(x, y);
    m_bPressed = 0;
    host().pushBackup();
}

void CStampTool::OnLButtonDown(Bitmap* image, unsigned flags, int x, int y) {
    m_pImage = image;
    m_bPressed = 1;
    const QPoint p = ClientToImage(x, y);
    const int side = doc().m_nPenWidth, half = side / 2;
    if (flags & MK_CONTROL) {
        m_ptStart = p;
        m_bSourceSet = 1;
        m_nOffsetX = m_nOffsetY = 0;
        return;
    }
    if (!m_bSourceSet) return;
    // The offset is fixed at the first stamping click after the source was
    // chosen; a click right on the source leaves it to the next click.
    if (m_nOffsetX == 0 && m_nOffsetY == 0) {
        m_nOffsetX = m_ptStart.x() - p.x();
        m_nOffsetY = m_ptStart.y() - p.y();
    }
    const Rect source{p.x() + m_nOffsetX - half, p.y() + m_nOffsetY - half, side, side};
    host().drawCloneMarker(QRect(x + m_nOffsetX - half, y + m_nOffsetY - half, side, side));
    Bitmap* target = doc().GetImage();
    if (target) {
        if (auto copy = target->Clone(source, target->GetPixelFormat()))
            DrawBitmap(*target, *copy, p.x() - half, p.y() - half);
    }
    host().invalidate(QRect(p.x() - half, p.y() - half, side, side));
    host().pushBackup();
}
