// SPDX-License-Identifier: GPL-3.0-or-later
// Blur and sharpen effects: the 3 x 3 convolutions, Motion Blur, Soft Glow and
// USM Sharpen. Each reads source and writes destination, a fresh whole-image
// copy of it, honouring selection (may be null) as described per routine.
#pragma once

#include "core/params.h"
#include "core/pixel_loop.h"

#include <vector>

// Nine weights in rows (above: up-left, up, up-right; same row: left, centre,
// right; below: down-left, down, down-right) and a divisor.
struct ConvolutionKernel3x3 {
    int weights[9];
    int divisor;
    bool operator==(const ConvolutionKernel3x3&) const = default;
};

inline constexpr ConvolutionKernel3x3 kBlurKernel{{1, 1, 1, 1, 1, 1, 1, 1, 1}, 9};
inline constexpr ConvolutionKernel3x3 kGaussBlurKernel{{1, 2, 1, 2, 4, 2, 1, 2, 1}, 16};
inline constexpr ConvolutionKernel3x3 kSharpenKernel{{0, -1, 0, -1, 5, -1, 0, -1, 0}, 1};
inline constexpr ConvolutionKernel3x3 kSharpenMoreKernel{{-1, -1, -1, -1, 9, -1, -1, -1, -1}, 1};

// Interior pixels (x in 1..w-2, y in 1..h-2) that are selected and whose source
// alpha is not 0 get, per colour byte, the weighted sum of the source's 3 x 3
// neighbourhood divided by the divisor (truncating toward zero), clamped to
// 0..255. Alpha is not written; images under 3 pixels wide or high are left
// alone. A divisor of 0 leaves the image alone.
void Convolve3x3(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                 const ConvolutionKernel3x3& kernel);
void Blur(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
void GaussBlur(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
void Sharpen(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
void SharpenMore(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);

struct Offset {
    int x;
    int y;
    bool operator==(const Offset&) const = default;
};

// The points of the digital straight line from (x0, y0) to (x1, y1), both
// included, stepping the major axis once per point and the minor axis before
// a point is emitted once the error reaches the major length.
std::vector<Offset> LineOffsets(int x0, int y0, int x1, int y1);

struct MotionBlurParams {
    int angle = 15;    // direction in degrees; only angle % 360 counts
    int distance = 20; // length of the blur in pixels, clamped to 1..200
    static constexpr ParamField<MotionBlurParams> kFields[] = {
        {.name = "angle",
         .integer = &MotionBlurParams::angle,
         .minimum = -3600,
         .maximum = 3600,
         .help = "direction in degrees"},
        {.name = "distance",
         .integer = &MotionBlurParams::distance,
         .minimum = 1,
         .maximum = 200,
         .help = "length of the blur in pixels"},
    };
};

// Alpha-weighted average along a line through each pixel, opposite to the
// angle. Walks x in 0..w-2 and y in 0..h-2
// with the selection test. Per pixel, over the in-image samples: alpha = sum of
// alphas / count, colour = sum of colour * alpha / (1 + sum of alphas); a
// pixel with no in-image sample keeps its destination value. 24-bit pixels
// count as alpha 255.
void MotionBlur(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                const MotionBlurParams& params = {});

// Gauss-blurs a copy of source inside the selection, brightens source by 1.05
// into destination over the whole image, then screens the blurred copy over
// destination at full opacity over the whole image.
void SoftGlow(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);

struct UsmSharpenParams {
    int strength = 15; // number of blur passes, clamped to 1..100
    static constexpr ParamField<UsmSharpenParams> kFields[] = {
        {.name = "strength",
         .integer = &UsmSharpenParams::strength,
         .minimum = 1,
         .maximum = 100,
         .help = "number of passes"},
    };
};

// Unsharp mask: destination = clamp(2 * source - GaussBlur(source)) per colour
// byte over the whole image (outside the selection the blur leaves the source
// values, so those pixels stay unchanged). strength (limited to 1..100) counts
// identical blur passes and does not change the result, so one pass runs.
void UsmSharpen(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                const UsmSharpenParams& params = {});
