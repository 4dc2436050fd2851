// SPDX-License-Identifier: GPL-3.0-or-later
// Turning pixel masks into outlines and back: contour tracing, polygon scan
// conversion, and the set operations on regions built from them.
#pragma once

#include "core/bitmap.h"
#include "core/selection/selection_mask.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"

#include <QPolygon>
#include <vector>

// Modes of CombineSelections.
enum SelectionCombineMode { CombineAdd = 2, CombineXor = 3, CombineSubtract = 4 };

// An outline covering exactly the region's pixels.
SelectionPath RegionToOutline(const SelectionRegion& region);

// Add (2), exclusive-or (3) or subtract (4) b from a; any other mode gives a
// alone. The result is traced from pixels.
SelectionPath CombineSelections(const SelectionRegion& a, int mode, const SelectionRegion& b);

// Closed contours (vertices at pixel corners) covering the set pixels of the
// mask inside rect, holes included under the even-odd rule. Pixels that touch
// only at a corner join one contour. The mask is left all 0 inside rect; rect
// is clipped to the mask. Outer contours start at their top-left pixel's
// top-left corner and run clockwise (set pixels on the right).
SelectionPath TraceMaskToPath(SelectionMask& mask, const Rect& rect);

// The same contours as separate polygons, in the same order.
std::vector<QPolygon> TraceMaskToPolygons(SelectionMask& mask, const Rect& rect);

// Spans covering the polygon's interior by the even-odd rule, in 24.8 fixed
// point: an edge is active on rows ymin .. ymax - 1 and a pair of crossings
// (x1, x2) gives the pixels from ceil(x1) to floor(x2) - 1. Horizontal edges do
// not count. Spans are ordered by row, then x; zero or negative lengths can
// occur for slanted edges and cover nothing.
std::vector<Span> ScanConvertPolygon(const QPoint* points, int count);
inline std::vector<Span> ScanConvertPolygon(const QPolygon& points) {
    return ScanConvertPolygon(points.constData(), int(points.size()));
}
