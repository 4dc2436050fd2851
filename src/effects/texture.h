// SPDX-License-Identifier: GPL-3.0-or-later
// Block, neighbourhood and random-displacement effects: Mosaic, Oil Paint,
// Diffuse, Glass and Video.
//
// Every routine reads source and writes destination, two bitmaps of one size
// and format (24-bit B,G,R or 32-bit B,G,R,A); destination starts as a copy of
// source, so pixels a routine does not write keep their source bytes. selection
// may be null; an absent or empty selection means the whole image.
#pragma once

#include "core/bitmap.h"
#include "core/params.h"

class SelectionRegion;

struct MosaicParams {
    int size = 10; // cell side in pixels, clamped to 1..32
    // Table rows stay one a line.
    // clang-format off
    static constexpr ParamField<MosaicParams> kFields[] = {
        {.name = "size", .integer = &MosaicParams::size, .minimum = 1, .maximum = 32, .help = "cell size in pixels"},
    };
    // clang-format on
};
struct OilPaintParams {
    int radius = 4;  // window radius, clamped to 1..8
    int levels = 12; // intensity levels; only the low byte counts, 0 acts as 1
    // Table rows stay one a line.
    // clang-format off
    static constexpr ParamField<OilPaintParams> kFields[] = {
        {.name = "radius", .integer = &OilPaintParams::radius, .minimum = 1, .maximum = 8, .help = "window radius"},
        {.name = "levels", .integer = &OilPaintParams::levels, .minimum = 0, .maximum = 255,
         .help = "intensity levels"},
    };
    // clang-format on
};
struct DiffuseParams {
    int radius = 12; // largest offset, clamped to 1..32
    // Table rows stay one a line.
    // clang-format off
    static constexpr ParamField<DiffuseParams> kFields[] = {
        {.name = "radius", .integer = &DiffuseParams::radius, .minimum = 1, .maximum = 32, .help = "scatter radius"},
    };
    // clang-format on
};

// Replaces each cell of size x size pixels, laid from the working rectangle's
// top left corner, by its average colour. A cell is processed when its origin
// pixel is selected; it may reach past the working rectangle up to the image
// edge. The average divides by the full cell area, so cells cut by the image
// edge come out darker. Alpha is not written.
void Mosaic(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
            const MosaicParams& params = {});

// Every pixel of the image (the selection is ignored) takes the mean colour,
// and with 32-bit images the mean alpha, of the most frequent intensity bin in
// the window of radius pixels around it, clipped to the image. Ties go to the
// lowest bin. Means truncate.
void OilPaint(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
              const OilPaintParams& params = {});

// Every pixel of the image (the selection is ignored) copies, alpha included,
// the source pixel at a random offset in -radius..radius-1 on each axis,
// clamped to the image. Draws two random numbers per pixel, x offset first.
void Diffuse(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
             const DiffuseParams& params = {});

// Each selected pixel of the working rectangle less its last column and row
// copies blue, green and red from the pixel 0..4 places (one random number per
// selected pixel) further along the row; past the end of a row the read goes on
// into the next row's first pixels, and a read past the image's last pixel
// reads that pixel. Alpha is not written.
void Glass(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);

// Each selected pixel of the working rectangle less its last column and row
// doubles one channel, clamped at 255: blue on rows 0, 3, 6..., green on rows
// 1, 4..., red on rows 2, 5.... Alpha is not written.
void Video(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
