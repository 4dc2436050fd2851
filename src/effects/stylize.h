// SPDX-License-Identifier: GPL-3.0-or-later
// Stylize effects (Emboss, Solarize, Pencil, Whim, Wooden) and the colour
// formulas (Aqua, Darker, Ice, Molten, Old Photo, Subtence). Each computes a
// pixel from the source pixel, or from it and fixed neighbours, writes only the
// colour bytes (Pencil also copies alpha) and honours the selection as noted.
// Integer arithmetic truncates toward zero.
#pragma once

#include "core/params.h"
#include "core/pixel_loop.h"

// Per colour byte: |c - right neighbour's c + 128| limited to 67..255. Walks the
// working rectangle less its last column and row, with the selection test.
void Emboss(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
// Per colour byte: values below 128 become 255 - value, others stay. Whole image.
void Solarize(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
struct PencilParams {
    int threshold = 12; // edge threshold, clamped to 0..100
    static constexpr ParamField<PencilParams> kFields[] = {
        {.name = "threshold",
         .integer = &PencilParams::threshold,
         .minimum = 0,
         .maximum = 100,
         .help = "edge threshold"},
    };
};

// Interior pixels, selection ignored: white when every colour byte differs from
// the truncated mean of its eight neighbours by less than threshold (limited to
// 0..100), otherwise black; 32-bit pixels copy the source alpha.
void Pencil(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
            const PencilParams& params = {});
// R' = trunc(sin(atan2(G, B)) * 255), G' from (B, R), B' from (R, G) in double
// precision. Whole image.
void Whim(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
// White when (B + G + R) / 3 >= 128, otherwise black. Working rectangle less
// its last column and row.
void Wooden(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);

// The colour formulas, each over the whole image with the selection test.
// R' = min(255, (G - B)^2 / 128), G' from (R - B), B' from (R - G).
void Aqua(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
// c' = c * c / 255.
void Darker(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
// R' = min(255, |(R - G - B) * 3 / 2|), and likewise for G and B.
void Ice(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
// R' = clamp(R * 128 / (G + B + 1)), and likewise for G and B.
void Molten(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
// Sepia matrix in 16-bit fixed point, clamped to 0..255.
void OldPhoto(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
// R' = G * B / 255, G' = B * R / 255, B' = R * G / 255.
void Subtence(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
