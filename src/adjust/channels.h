// SPDX-License-Identifier: GPL-3.0-or-later
// One-step colour commands on the whole image: gray, invert, channel rotation
// and channel filters. None of them changes alpha.
#pragma once

#include "core/bitmap.h"

#include <memory>

class SelectionRegion;

// Channel mask bits: bit 0 blue (byte 0), bit 1 green (byte 1), bit 2 red (byte 2).
enum ChannelMask { MaskBlue = 1, MaskGreen = 2, MaskRed = 4 };

// target blue, green and red = Luminance(red, green, blue) of source, for every
// pixel. target is a clone of source.
void ConvertToGray(Bitmap& source, Bitmap& target);

// target blue, green and red = 255 - source's, for every pixel. The selection
// is accepted but not used: the whole image is inverted.
void InvertColors(Bitmap& source, Bitmap& target, const SelectionRegion* selection);

// A new image with red = green, green = blue and blue = red of the given one,
// which is destroyed. Three rotations restore an image.
std::unique_ptr<Bitmap> RotateChannels(std::unique_ptr<Bitmap> image);

// Sets to 0, in place, every colour byte whose bit is not in mask. Returns image.
Bitmap& KeepChannels(Bitmap& image, int mask);
