// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing pieces the tools need that Qt lacks: lines with triangle caps, the
// path-gradient fill, and the straight-alpha source-over of one pixel.
#pragma once

#include "core/bitmap.h"

#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QPolygonF>
#include <QRect>
#include <cstdint>

// The outline of a line of width w from a to b with triangle caps: the
// rectangle of the line, plus at each end a triangle whose apex lies w/2
// beyond the end point. Coordinates have pixel centres at whole numbers. A
// zero-length line gives an empty polygon.
QPolygonF TriangleCapLine(QPointF a, QPointF b, double width);

// Fills a polygon given with pixel centres at whole numbers (the imaging
// service's convention) on a painter whose pixels have their centres at
// +0.5, without antialiasing, source-over.
void FillServicePolygon(QPainter& painter, const QPolygonF& polygon, const QColor& color);

// The rectangle of pixels a polygon (pixel centres at whole numbers) can
// touch, one pixel of slack around it.
QRect TouchedRect(const QPolygonF& polygon);

// Fills the closed path (even-odd rule, pixel centres at whole numbers) with
// a gradient from centre colour at the path's centre point to surround colour
// on the path: each edge makes a triangle with the centre point, and inside
// it the colour goes linearly from the centre to the edge (later edges win
// where triangles overlap). The straight colours are interpolated per channel
// and drawn source-over onto image.
void FillPathGradient(Bitmap& image, const QPolygonF& path, ARGB centre, ARGB surround);

// The centre point of a path gradient: the centroid of the closed polygon,
// or the mean of its points when its area is 0.
QPointF PathCentre(const QPolygonF& path);

// Straight-alpha source-over of source (B, G, R, A) onto the pixel at dst.
// dst has 4 bytes (B, G, R, A) or 3 (B, G, R: the result is opaque). Results
// are rounded to the nearest byte; an opaque destination stays opaque.
void BlendPixelOver(std::uint8_t* dst, int dstBytes, const std::uint8_t* source);
