// SPDX-License-Identifier: GPL-3.0-or-later
// Rain Drops: refracting, shaded drops scattered over the image.
#pragma once

#include "core/bitmap.h"
#include "core/params.h"

#include <optional>

class SelectionRegion;

struct RainDropsParams {
    int size = 40;   // largest drop diameter; diameters are drawn from 5..size
    int count = 250; // drops to place
    int shading = 1; // low byte non-zero: shade the drops and smooth their rims
    static constexpr const char* kShading[] = {"off", "on"};
    // Table rows stay one a line.
    // clang-format off
    static constexpr ParamField<RainDropsParams> kFields[] = {
        {.name = "size", .integer = &RainDropsParams::size, .minimum = 1, .maximum = 200, .help = "largest drop size"},
        {.name = "count", .integer = &RainDropsParams::count, .minimum = 0, .maximum = 10000,
         .help = "number of drops"},
        {.name = "shading", .integer = &RainDropsParams::shading, .minimum = 0, .maximum = 1,
         .help = "shade the drops", .choices = kShading},
    };
    // clang-format on
};

// Places up to params.count drops on the whole image (the selection is
// ignored), reading source and writing destination (a copy of source). Each
// drop draws its size and then random places until it finds one whose square
// is free of earlier drops; all drops of one call share a budget of 9940 place
// attempts, and once it is spent no further drop is drawn. A drop shows the
// source through a magnifying lens, then is shaded and has its rim smoothed in
// place. Alpha is not written.
void RainDrops(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
               const RainDropsParams& params = {});

// A drop pixel as the lens sees it: its single-precision radius and angle
// (radians, y growing downward) and the offset from the drop centre of the
// source pixel it shows.
struct DropSample {
    float r;
    float theta;
    int x;
    int y;
};

// The magnifying lens of a drop of radius r0: radius r maps to
// (e^(r / norm) - 1) / 0.4 with norm = r0 / ln(0.4 r0 + 1), along angle theta,
// truncated toward zero.
class RainDropLens {
  public:
    explicit RainDropLens(int r0);
    // The sample at offset (dx, dy) from the centre; none outside the drop (r > r0).
    std::optional<DropSample> sample(int dx, int dy) const;

  private:
    int m_r0;
    double m_norm;
};

// The shading step, -80..+60, of a drop pixel at single-precision radius r and
// angle theta (radians, y growing downward) in a drop of radius r0.
int RainDropShade(float r, float theta, int r0);
