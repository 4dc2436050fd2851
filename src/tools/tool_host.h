// SPDX-License-Identifier: GPL-3.0-or-later
// What a canvas tool may ask of the view that drives it: the mapping from
// window to image pixels, the two outlines, the outline timer, repainting, the
// document, and the few things that need a window (text dialog, rendered
// colour, clone-stamp marker).
#pragma once

#include "core/bitmap.h"
#include "tools/view_mapping.h"

#include <QPoint>
#include <QRect>

class CLumasetDoc;
class SelectionPath;

// Mouse flags passed with every event, as the button messages carry them.
inline constexpr unsigned MK_SHIFT = 0x4;
inline constexpr unsigned MK_CONTROL = 0x8;
inline constexpr unsigned MK_XBUTTON1 = 0x20;

class ToolHost {
  public:
    virtual ~ToolHost() = default;

    // The document whose image and drawing settings the tools use.
    virtual CLumasetDoc& document() = 0;
    // The view's zoom, offsets and scroll positions (the image size in it is
    // not used: tools clamp to the document's current image).
    virtual ViewMapping mapping() const = 0;

    // The selection outline and the preview (rubber-band) outline, image pixels.
    virtual SelectionPath& selection() = 0;
    virtual SelectionPath& tempPath() = 0;
    // The 50 ms marching-ants timer of the selection outline.
    virtual void startOutlineTimer() = 0;
    virtual void killOutlineTimer() = 0;

    // Repaints the part of the view showing imageRect (image pixels; a null
    // rectangle means the whole view), erasing the background first if asked.
    // Outline changes are repainted through this too.
    virtual void invalidate(const QRect& imageRect = QRect(), bool erase = false) = 0;

    // Records the document image as a new history entry (the document marks
    // itself modified).
    virtual void pushBackup();

    // The zoom factor; setZoom stores it, lays the canvas out again and
    // repaints the whole view with erasing.
    virtual void setZoom(double zoom) = 0;

    // Runs the text dialog for the image point; true when it ended with OK,
    // after it drew its text into the document image. Without a dialog the
    // answer is false and nothing happens.
    virtual bool openTextDialog(QPoint imagePoint) {
        (void)imagePoint;
        return false;
    }

    // The colour the view shows at the client point (checkerboard under
    // transparent pixels and outline dashes included), opaque.
    virtual ARGB renderedColorAt(QPoint client) = 0;
    // The colour picker picked a new foreground colour (0xAARRGGBB, alpha
    // already the document's m_nAlpha); the option bar shows it.
    virtual void foregroundPicked(ARGB color) { (void)color; }

    // The clone stamp's source marker: an outline of clientRect drawn on the
    // window until the next repaint.
    virtual void drawCloneMarker(const QRect& clientRect) { (void)clientRect; }
};
