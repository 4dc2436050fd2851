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
extern const ParamSpecs kAddNoiseParams;    // amplitude
extern const ParamSpecs kRedEyeRemoveParams; // threshold, red, green, blue
extern const ParamSpecs kLomoParams;        // cyan, magenta, yellow, black, white, gamma, ratio, alpha

// Adds n = RuntimeRand() % amplitude, one draw per selected pixel in rows, to
// red, green and blue alike, clamping at 255: the noise only brightens.
// amplitude is clamped to 0..255; 0 changes nothing and draws nothing. Works
// through a read-mode lock of image, whose changes are written back.
void AddNoise(Bitmap& image, const SelectionRegion* selection, int amplitude = 35);

// For every selected pixel whose red exceeds both min(green, blue) + threshold
// and 100, sets each channel to Luminance(R, G, B) * tone / 255 with that
// channel's tone. threshold is clamped to 0..100, the tones to 0..255. Locks
// the image in the 32-bit format, so a 24-bit image is converted and written
// back; alpha is never changed.
void RedEyeRemove(Bitmap& image, const SelectionRegion* selection, int threshold = 50, int red = 155,
                  int green = 155, int blue = 155);

struct LomoParams {
    int cyan = -80;     // red shift, -100..100
    int magenta = 0;    // green shift
    int yellow = -60;   // blue shift
    int black = 30;     // black level, 0..255
    int white = 251;    // white level
    double gamma = 1.2; // level gamma; 0 lifts the whole ramp to 255
    double ratio = 0.4; // vignette ellipse size as a share of the half sides
    int alpha = 210;    // vignette strength, 0..255
};
LomoParams LomoParamsFrom(const Params& params);

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
void Lomo(Bitmap& source, Bitmap& destination, const SelectionRegion* selection, const LomoParams& params = {});
