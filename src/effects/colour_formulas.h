// SPDX-License-Identifier: GPL-3.0-or-later
// Shared helper of the effects whose result byte depends on one source byte.
#pragma once

#include "effects/effect_frame.h"

// For every selected pixel of the whole image, each colour byte of destination
// becomes table[the same byte of source]. Alpha is not written.
void applyChannelTable(Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                       const std::uint8_t table[256]);
