// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing on bitmaps: the one place that makes a QPainter on a document image,
// set up like the imaging service the program was written for.
#pragma once

#include "core/bitmap.h"

#include <QPainter>
#include <QPen>
#include <memory>

// A painter on the bitmap with the service's defaults: no antialiasing,
// source-over compositing, pixel units. Null for an invalid bitmap.
std::unique_ptr<QPainter> MakeGraphics(Bitmap& bitmap);

// A pen of the given colour and width with flat caps and miter joins (Qt's own
// default pen has square caps and bevel joins).
QPen MakePen(const QColor& color, qreal width);

// How a stretched drawing samples its source.
enum class Interpolation { NearestNeighbor, Bilinear, HighQuality };

// Draws source unscaled with its top-left corner at (x, y), source-over.
void DrawBitmap(Bitmap& destination, const Bitmap& source, int x, int y);
// Draws source stretched into target, source-over.
void DrawBitmap(Bitmap& destination, const Bitmap& source, const QRect& target, Interpolation mode);

// A colour value 0xAARRGGBB as a QColor.
inline QColor ColorFromARGB(ARGB c) {
    return QColor::fromRgba(c);
}
