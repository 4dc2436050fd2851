// SPDX-License-Identifier: GPL-3.0-or-later
// The selection commands as operations on a selection outline: select all,
// cancel, invert, move, and the magic wand's click.
#pragma once

#include "core/bitmap.h"
#include "core/selection/selection_path.h"

// The outline has at least one point.
bool HasSelection(const SelectionPath& outline);
// The rectangle (0, 0, width, height) replaces any outline.
void SelectAll(SelectionPath& outline, int width, int height);
// Empties the outline.
void CancelSelection(SelectionPath& outline);
// Exclusive-or of the selected pixels with the image rectangle, traced back
// into the outline. Without a selection nothing happens; a selection of the
// whole image becomes an empty outline.
void InvertSelection(SelectionPath& outline, int width, int height);
// Moves the outline by whole pixels.
void TranslateSelection(SelectionPath& outline, int dx, int dy);

// Puts a finished selection gesture's shape into the outline: without a
// selection the shape becomes it; otherwise mode 2 (CombineAdd) adds it and
// mode 4 (CombineSubtract) removes it, traced from pixels; any other mode
// replaces the outline with the shape.
void ApplySelectionShape(SelectionPath& outline, const SelectionPath& shape, int mode);

// The outline a magic-wand click at pixel (x, y) selects: the 4-connected area
// of similar colour, or with colorMask (Shift held) every pixel of similar
// colour, traced to polygons. The caller replaces its selection with it. A
// click outside the image selects nothing.
SelectionPath MagicWandSelect(Bitmap& image, int x, int y, int tolerance = 14,
                              bool colorMask = false);
