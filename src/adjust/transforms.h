// SPDX-License-Identifier: GPL-3.0-or-later
// The edit and transform routines behind the Select and Image menus: clearing
// rectangles, filling and stroking the selection outline, cropping, rotating
// and flipping. Rotate, Flip and CropToRegion return a new bitmap and leave
// their source alone.
#pragma once

#include "core/bitmap.h"

#include <QPainterPath>
#include <memory>

class SelectionPath;

// Sets blue, green, red and alpha of every pixel of (x, y, w, h) to 0 (a 24-bit
// image has no alpha and turns black). A rectangle that reaches outside the
// image, or is empty, is skipped whole and false returned.
bool ClearRect(Bitmap& image, int x, int y, int w, int h);

// Fills outline (alternate fill rule) with color, its own alpha, source-over,
// without antialiasing.
void FillOutline(Bitmap& image, const QPainterPath& outline, ARGB color);
// Draws outline with a pen of color and width (flat caps, miter joins).
void StrokeOutline(Bitmap& image, const QPainterPath& outline, ARGB color, float width);

// A 32-bit ARGB copy of the outline's bounding box: the outline's bounds, as
// reals, truncated toward zero give the box; pixels of the box outside the
// outline's region (or outside the image) are transparent. Null when the box
// is empty.
std::unique_ptr<Bitmap> CropToRegion(Bitmap& image, const SelectionPath& outline);

// The image turned by degrees (negative turns clockwise, keeping the sign of
// degrees modulo 360) into a new 32-bit ARGB bitmap whose size is the truncated
// bounding box of the turned image. Multiples of 90 degrees move every pixel
// exactly; other angles are drawn with bilinear interpolation about the centre.
std::unique_ptr<Bitmap> Rotate(Bitmap& image, double degrees);

enum class FlipAxis { LeftRight, UpsideDown };

// A 32-bit ARGB mirror image: left-right, or upside-down. A 24-bit source gives
// opaque pixels.
std::unique_ptr<Bitmap> Flip(Bitmap& image, FlipAxis axis);
