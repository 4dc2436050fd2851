// SPDX-License-Identifier: GPL-3.0-or-later
// Shared helper of the effects whose result byte depends on one source byte.
#pragma once

#include "core/pixel_loop.h"

// For every selected pixel of the whole image, each colour byte of destination
// becomes formula(the same byte of source), a value 0..255. Alpha is not
// written. The formula is inlined into a byte loop the compiler can vectorise.
template <class Formula>
void applyChannelFormula(const Bitmap& source, Bitmap& destination,
                         const SelectionRegion* selection, Formula formula) {
    runByteEffect(source, destination, selection, Coverage::Whole, Threads::Two,
                  [&formula](const std::uint8_t* s, const std::uint8_t*, std::uint8_t* out, int n) {
                      for (int i = 0; i < n; ++i)
                          out[i] = std::uint8_t(formula(s[i]));
                  });
}
