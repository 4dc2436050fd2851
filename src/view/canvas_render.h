// SPDX-License-Identifier: GPL-3.0-or-later
// Turning the document image into screen pixels: the checkerboard under a
// transparent image, the zoom, and the marching-ants outline.
#pragma once

#include "core/bitmap.h"
#include "core/selection/selection_path.h"
#include "tools/view_mapping.h"

#include <QColor>
#include <QPainterPath>
#include <QPolygonF>
#include <QRect>
#include <QTransform>
#include <cstdint>

class QImage;
class QPainter;

// The colour around the canvas and under the clear strips of the checkerboard.
inline constexpr QRgb kEraseColor = 0xFFB4B4B4; // RGB(180, 180, 180)

// Composes the client rectangle target of the canvas into out (Format_RGB32,
// client coordinates, at least as large as target's far corner): client pixel
// (x, y) shows image pixel floor((x - originX) / zoom), so the pointer over it
// maps to that pixel. Zoomed out, each client pixel averages a grid of up to
// 4 x 4 samples across its footprint. Transparent pixels are composed over
// 10-pixel grey (155) and white squares, grey at the top left; the right and
// bottom strips narrower than a square, and everything outside the image,
// show the erase colour. Only target is read and written, and only the image
// pixels it shows are read.
void ComposeCanvas(const Bitmap* image, const ViewMapping& mapping, QImage& out,
                   const QRect& target);

// The whole image over the checkerboard at its own size, for printing.
QImage ComposeWholeImage(const Bitmap& image);

// Draws an outline given in image pixels with the marching ants: a dark line
// with white dashes (4 on, 5 off) shifted along it by phase, one device pixel
// wide at any zoom. The painter's transform must map image to device pixels.
void DrawMarchingAnts(QPainter& painter, const QPainterPath& outline, int phase);

// Image-to-client transform for drawing outlines: pixel (u, v)'s corner goes
// to (u * zoom + originX, v * zoom + originY); lines sit on pixel centres.
QTransform OutlineTransform(const ViewMapping& mapping);

// Number of steps after which the ants' dashes repeat.
inline constexpr int kAntsPhases = 18;

// An outline kept in client pixels for the marching ants, rebuilt only when
// the outline or the image-to-client transform changes, so an animation step
// only strokes. Contours entirely outside the visible client rectangle are
// left out. Zoomed out, points are snapped to client pixels and the
// repeats and straight runs that leaves are dropped: a traced outline of
// thousands of contours then costs what its visible shape costs. A contour
// that shrinks to one client pixel is drawn as a dark dot.
class AntsOutline {
  public:
    void update(const SelectionPath& outline, const QTransform& toClient, const QRect& visible,
                bool snapToPixels);
    void draw(QPainter& painter, int phase) const;
    // Client pixels the outline covers, a pixel of margin included; empty
    // without an outline.
    QRect bounds() const { return m_bounds; }

  private:
    std::uint64_t m_source = 0; // revision of the outline it was built from
    QTransform m_transform;
    QRect m_visible;
    bool m_snap = false;
    bool m_built = false;
    QPainterPath m_client;
    QPolygonF m_dots;
    QRect m_bounds;
};
