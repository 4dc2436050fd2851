// SPDX-License-Identifier: GPL-3.0-or-later
// Rain Drops: refracting, shaded drops scattered over the image.
#pragma once

#include "core/bitmap.h"
#include "core/params.h"

class SelectionRegion;

struct RainDropsParams {
    int size = 40;   // largest drop diameter; diameters are drawn from 5..size
    int count = 250; // drops to place
    int shading = 1; // low byte non-zero: shade the drops and smooth their rims
};

// Places up to params.count drops on the whole image (the selection is
// ignored), reading source and writing destination (a copy of source). Each
// drop draws its size and then random places until it finds one whose square
// is free of earlier drops; all drops of one call share a budget of 9940 place
// attempts, and once it is spent no further drop is drawn. A drop shows the
// source through a magnifying lens, then is shaded and has its rim smoothed in
// place. Alpha is not written.
void RainDrops(Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
               const RainDropsParams& params = {});

// The shading step, -80..+60, of a drop pixel at single-precision radius r and
// angle theta (radians, y growing downward) in a drop of radius r0.
int RainDropShade(float r, float theta, int r0);

// Effect-table adapter.
void runRainDrops(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params& params);
