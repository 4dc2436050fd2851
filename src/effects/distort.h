// SPDX-License-Identifier: GPL-3.0-or-later
// Geometric displacement effects: Wave, Pinch and Fish Eye.
//
// Each routine reads source and writes destination, two bitmaps of one size and
// format; destination starts as a copy of source. selection may be null; an
// absent or empty selection means the whole image. Angles and radii marked
// single precision are computed in float, everything else in double, and every
// real-to-integer conversion truncates toward zero.
#pragma once

#include "core/bitmap.h"
#include "core/params.h"

class SelectionRegion;

struct WaveParams {
    int amplitude = 10; // largest displacement in pixels, clamped to 1..32
    static constexpr ParamField<WaveParams> kFields[] = {
        {.name = "amplitude",
         .integer = &WaveParams::amplitude,
         .minimum = 1,
         .maximum = 32,
         .help = "wave amplitude"},
    };
};
struct PinchParams {
    int strength = 12; // clamped to 1..32; the radius strength^2 maps to itself
    static constexpr ParamField<PinchParams> kFields[] = {
        {.name = "strength",
         .integer = &PinchParams::strength,
         .minimum = 1,
         .maximum = 32,
         .help = "pinch strength"},
    };
};
struct FishEyeParams {
    int mode = 0;      // 0 magnifies the centre, any other value the rim
    int outside = 2;   // outside the lens: 1 white, 2 unchanged, anything else black
    int strength = 29; // lens strength in thousandths; 0 leaves the image unchanged
    static constexpr const char* kModes[] = {"centre", "rim"};
    static constexpr const char* kOutside[] = {"black", "white", "unchanged"};
    // Table rows stay one a line.
    // clang-format off
    static constexpr ParamField<FishEyeParams> kFields[] = {
        {.name = "mode", .integer = &FishEyeParams::mode, .minimum = 0, .maximum = 1, .help = "lens mode", .choices = kModes},
        {.name = "outside", .integer = &FishEyeParams::outside, .minimum = 0, .maximum = 2,
         .help = "what happens outside the lens", .choices = kOutside},
        {.name = "strength", .integer = &FishEyeParams::strength, .minimum = 0, .maximum = 100,
         .help = "lens strength"},
    };
    // clang-format on
};

// Each selected pixel (x, y) copies, alpha included, the source pixel at
// (x + trunc(sin(y * 2pi / 128) * a), y + trunc(cos(x * 2pi / 128) * a)),
// clamped to the image.
void Wave(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
          const WaveParams& params = {});

// Every pixel (the selection is ignored) copies, alpha included, the source
// pixel at the same angle around the image centre (width / 2, height / 2) and
// radius sqrt(r) * strength, clamped to the image. Angle and radius r are
// single precision.
void Pinch(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
           const PinchParams& params = {});

// A round lens of radius min(w, h) / 2 centred on the working rectangle (w x h).
// Pixels inside copy blue, green and red from the radially remapped source
// pixel, which must pass the selection test; pixels outside that pass the test
// are filled as params.outside says. Alpha is never written. With strength 0,
// or a rectangle under 2 pixels on a side, the lens maps every radius to itself.
void FishEye(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
             const FishEyeParams& params = {});
