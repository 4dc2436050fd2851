// SPDX-License-Identifier: GPL-3.0-or-later
// Tone and colour adjustments: brightness/contrast, colour balance and gamma.
#pragma once

#include "core/bitmap.h"

#include <cstdint>

class SelectionRegion;

// Brightness then contrast on the blue, green and red bytes of every selected
// pixel: v = clamp(source + brightness), then
// trunc(((v / 255.0 - 0.5) * k + 0.5) * 255.0) clamped to 0..255, with
// k = ((contrast + 100.0) / 100.0)^2. Brightness is limited to -255..255 and
// contrast to -100..100 first. Without a selection, or with an empty one, the
// whole image is processed; otherwise only the pixels of the selection's
// bounding rectangle (cut to the image) that its point test accepts. Other
// pixels and alpha keep what target holds. source and target have the same
// size and format.
void AdjustBrightnessContrast(Bitmap& source, Bitmap& target, int brightness, int contrast,
                              const SelectionRegion* selection);

// Adds the shifts (each limited to -255..255) to the red, green and blue bytes
// of every selected pixel, clamping to 0..255; selection rules as above.
// Returns target.
Bitmap& AdjustColorBalance(Bitmap& source, Bitmap& target, int red, int green, int blue,
                           const SelectionRegion* selection);

// Gamma correction of the whole image (no selection): gamma is limited to
// 0.1..5.0 and applied through the table of BuildGammaTable on all three colour
// bytes.
void AdjustGamma(Bitmap& source, Bitmap& target, double gamma);

// For every pixel of the whole image, target byte = table[source byte] for the
// channels in mask (bit 0 blue, bit 1 green, bit 2 red). Other bytes and alpha
// keep what target holds. source and target may be the same bitmap.
void ApplyChannelTable(Bitmap& source, Bitmap& target, const std::uint8_t table[256], int mask);

// The lookup tables behind the routines above, one entry per input level.
void BuildBrightnessContrastTable(int brightness, int contrast, std::uint8_t table[256]);
// entry i = min(255, trunc(pow(i / 255.0, 1.0 / gamma) * 255.0 + 0.5)), gamma limited to 0.1..5.0.
void BuildGammaTable(double gamma, std::uint8_t table[256]);

// The gamma dialog's slider (0..100) as a gamma value: p / 50.0 up to 50,
// p * 0.08 - 3.0 above, so 50 is 1.0 and 100 is 5.0. The slider starts at 1.
double GammaFromSliderPosition(int position);
inline constexpr int kGammaSliderStart = 1;
