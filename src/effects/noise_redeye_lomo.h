// SPDX-License-Identifier: GPL-3.0-or-later
// Add Noise and Red Eye Remove, which change an image in place, and the LOMO
// pipeline with its three stages (colour shift, level map, vignette), which a
// preview reuses on a thumbnail.
#pragma once

#include "core/bitmap.h"
#include "core/params.h"

class SelectionRegion;

// Parameters of the three commands as lumaset-cli and the dialogs name them;
// defaults are the menu command's values (the LOMO dialog's starting values).
struct AddNoiseParams {
    int amplitude = 35; // largest brightening step, clamped to 0..255
    static constexpr ParamField<AddNoiseParams> kFields[] = {
        {.name = "amplitude",
         .integer = &AddNoiseParams::amplitude,
         .minimum = 0,
         .maximum = 255,
         .help = "largest brightening step"},
    };
};
struct RedEyeRemoveParams {
    int threshold = 50; // how much red must exceed green and blue, clamped to 0..100
    int red = 155;      // the tones, clamped to 0..255
    int green = 155;
    int blue = 155;
    // Table rows stay one a line.
    // clang-format off
    static constexpr ParamField<RedEyeRemoveParams> kFields[] = {
        {.name = "threshold", .integer = &RedEyeRemoveParams::threshold, .minimum = 0, .maximum = 100,
         .help = "how much red must exceed green and blue"},
        {.name = "red", .integer = &RedEyeRemoveParams::red, .minimum = 0, .maximum = 255, .help = "red tone"},
        {.name = "green", .integer = &RedEyeRemoveParams::green, .minimum = 0, .maximum = 255, .help = "green tone"},
        {.name = "blue", .integer = &RedEyeRemoveParams::blue, .minimum = 0, .maximum = 255, .help = "blue tone"},
    };
    // clang-format on
};

// Adds n = RuntimeRand() % amplitude, one draw per selected pixel in rows, to
// red, green and blue alike, clamping at 255: the noise only brightens.
// amplitude 0 changes nothing and draws nothing. Changes image in place
// (the draws follow its own pixels), through a read-mode lock whose changes
// are written back.
void AddNoise(Bitmap& image, const SelectionRegion* selection, const AddNoiseParams& params = {});

// For every selected pixel whose red exceeds both min(green, blue) + threshold
// and 100, sets each channel to Luminance(R, G, B) * tone / 255 with that
// channel's tone. Changes image in place, locked in the 32-bit format, so a
// 24-bit image is converted and written back; alpha is never changed.
void RedEyeRemove(Bitmap& image, const SelectionRegion* selection,
                  const RedEyeRemoveParams& params = {});

struct LomoParams {
    int cyan = -80;     // red shift, -100..100
    int magenta = 0;    // green shift
    int yellow = -60;   // blue shift
    int black = 30;     // black level, 0..255
    int white = 251;    // white level
    double gamma = 1.2; // level gamma; 0 lifts the whole ramp to 255
    double ratio = 0.4; // vignette ellipse size as a share of the half sides
    int alpha = 210;    // vignette strength, 0..255
    // Table rows stay one a line.
    // clang-format off
    static constexpr ParamField<LomoParams> kFields[] = {
        {.name = "cyan", .integer = &LomoParams::cyan, .minimum = -100, .maximum = 100, .help = "red shift"},
        {.name = "magenta", .integer = &LomoParams::magenta, .minimum = -100, .maximum = 100, .help = "green shift"},
        {.name = "yellow", .integer = &LomoParams::yellow, .minimum = -100, .maximum = 100, .help = "blue shift"},
        {.name = "black", .integer = &LomoParams::black, .minimum = 0, .maximum = 255, .help = "black level"},
        {.name = "white", .integer = &LomoParams::white, .minimum = 0, .maximum = 255, .help = "white level"},
        {.name = "gamma", .real = &LomoParams::gamma, .minimum = 0, .maximum = 10, .help = "level gamma"},
        {.name = "ratio", .real = &LomoParams::ratio, .minimum = 0, .maximum = 1, .help = "vignette ellipse size"},
        {.name = "alpha", .integer = &LomoParams::alpha, .minimum = 0, .maximum = 255, .help = "vignette strength"},
    };
    // clang-format on
};

// destination's colour bytes <- per-channel tables over source: value +
// trunc(shift * 0.667 * (1 - ((value - 127) / 127)^2)), clamped to 0..255.
// Alpha is not written. Same size and format; may be the same bitmap.
void ColourShift(Bitmap& source, Bitmap& destination, int red, int green, int blue);

// destination's colour bytes <- one table over source: 0 below black, 255 from
// white up, and trunc(255 * ((v - black) / (white - black))^(1 / gamma)) in
// between (exponent 0 when gamma is 0). Alpha is not written.
void LevelMap(Bitmap& source, Bitmap& destination, int black, int white, double gamma);

// Darkens, in place, the image outside an ellipse of semi-axes ratio * width / 2
// and ratio * height / 2 towards the corners, by up to strength (0..255). In an
// image of odd width or height the last column or row is not touched. Alpha is
// not changed.
void Vignette(Bitmap& image, double ratio, int strength);

// ColourShift, LevelMap and Vignette over the whole image (the selection is
// not used), reading source and writing destination (same size and format).
void Lomo(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
          const LomoParams& params = {});
