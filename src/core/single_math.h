// SPDX-License-Identifier: GPL-3.0-or-later
// Angles and radii that routines keep in single precision, computed the same on every machine.
//
// A single-precision library call (atan2f, sinf ...) is not correctly rounded
// and its last bit differs between C library versions; where such a value
// lands a source coordinate on a whole number, that bit moves the pixel read.
// So a single-precision value is always the correctly rounded float of the
// double computation.
#pragma once

#include <cmath>

// atan2(y, x) in radians, rounded once to float.
inline float singleAtan2(double y, double x) {
    return float(std::atan2(y, x));
}

// The distance sqrt(x^2 + y^2) of whole-number offsets, rounded once to float.
inline float singleRadius(int x, int y) {
    return float(std::sqrt(double(x) * x + double(y) * y));
}
