// SPDX-License-Identifier: GPL-3.0-or-later
// Select All, Cancel, Invert, outline moves and the magic wand's selection.
#include "core/selection/selection_commands.h"

#include "core/selection/flood_fill.h"
#include "core/selection/tracing.h"

bool HasSelection(const SelectionPath& outline) {
    return outline.HasSelection();
}

void SelectAll(SelectionPath& outline, int width, int height) {
    outline.Reset();
    outline.AddRectangle(Rect{0, 0, width, height});
}

void CancelSelection(SelectionPath& outline) {
    outline.Reset();
}

void InvertSelection(SelectionPath& outline, int width, int height) {
    if (!HasSelection(outline)) return;
    SelectionRegion region(outline);
    region.Xor(Rect{0, 0, width, height});
    const SelectionPath inverted = RegionToOutline(region);
    outline.Reset();
    outline.AddPath(inverted);
}

void ApplySelectionShape(SelectionPath& outline, const SelectionPath& shape, int mode) {
    if (HasSelection(outline) && (mode == CombineAdd || mode == CombineSubtract)) {
        const SelectionPath combined =
            CombineSelections(outline.GetRegion(), mode, shape.GetRegion());
        outline.Reset();
        outline.AddPath(combined);
        return;
    }
    outline.Reset();
    outline.AddPath(shape);
}

void TranslateSelection(SelectionPath& outline, int dx, int dy) {
    outline.Translate(dx, dy);
}

SelectionPath MagicWandSelect(Bitmap& image, int x, int y, int tolerance, bool colorMask) {
    const int width = int(image.GetWidth()), height = int(image.GetHeight());
    if (x < 0 || y < 0 || x >= width || y >= height) return SelectionPath();
    SelectionMask mask(width, height);
    Rect bounds;
    if (colorMask) {
        ARGB reference = 0;
        image.GetPixel(x, y, &reference);
        SelectColorMask(image, mask, reference, tolerance, bounds);
    } else {
        FloodFillMask(image, mask, x, y, tolerance, bounds);
    }
    SelectionPath path;
    for (const QPolygon& polygon : TraceMaskToPolygons(mask, bounds))
        path.AddPolygon(polygon);
    return path;
}
