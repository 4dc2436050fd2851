// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-pixel and colour-only copies shared by the displacement effects.
#pragma once

#include <cstdint>

// Blue, green, red and, with 4 bytes per pixel, alpha.
inline void copyPixel(std::uint8_t* d, const std::uint8_t* s, int bpp) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
    if (bpp == 4) d[3] = s[3];
}

// Blue, green and red only; alpha stays.
inline void copyColour(std::uint8_t* d, const std::uint8_t* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}
