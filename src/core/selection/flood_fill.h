// SPDX-License-Identifier: GPL-3.0-or-later
// Colour-similarity masks shared by the paint bucket and the magic wand.
#pragma once

#include "core/bitmap.h"
#include "core/selection/selection_mask.h"

// Tolerances the callers use.
inline constexpr int kPaintBucketTolerance = 10;
inline constexpr int kMagicWandTolerance = 14;

// Whether the pixel (red, green, blue) is similar to the reference colour:
// s = sum over red, green, blue of ((reference - pixel)^2 + 1) * alpha / 256,
// kept in single precision after each addition, and s <= 4 * tolerance^2.
// alpha is the reference's; the pixel's own alpha plays no part, so a
// reference with alpha 0 matches everything and tolerance 0 matches nothing
// against a reference with alpha above 0. bytesPerPixel is not used.
bool ColorMatches(ARGB reference, int red, int green, int blue, int bytesPerPixel, int tolerance);

// Clears mask, then marks with 1 the 4-connected area of pixels matching the
// colour of the seed pixel (x, y). bounds receives the marked rectangle. The
// image is a 24- or 32-bit bitmap; the mask should be at least as large (only
// their common area is filled). A seed outside that area marks nothing and
// gives bounds (0, 0, 0, 0).
void FloodFillMask(Bitmap& image, SelectionMask& mask, int x, int y, int tolerance, Rect& bounds);

// Clears mask, then marks every pixel matching the reference colour. bounds
// receives the rectangle of marked pixels; when nothing matches it is
// (65536, 65536, -131070, -131070), which holds no pixel.
void SelectColorMask(Bitmap& image, SelectionMask& mask, ARGB reference, int tolerance,
                     Rect& bounds);
