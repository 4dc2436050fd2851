// SPDX-License-Identifier: GPL-3.0-or-later
// Naive reference versions of the texture, distortion, noise and LOMO routines,
// written pixel by pixel from their formulas on plain byte rasters, for exact
// comparison with the optimised routines.
#pragma once

#include "core/bitmap.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

// Packed pixels (no row padding) of a 24- or 32-bit image.
struct Raster {
    int w = 0, h = 0, bpp = 0;
    std::vector<std::uint8_t> bytes;
    std::uint8_t* at(int x, int y) { return &bytes[(std::size_t(y) * w + x) * bpp]; }
    const std::uint8_t* at(int x, int y) const { return &bytes[(std::size_t(y) * w + x) * bpp]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};
Raster ReadRaster(Bitmap& bitmap);
// Exact comparison naming the first differing pixels.
::testing::AssertionResult MatchesRaster(const Raster& expected, Bitmap& actual);

// The oracle's view of a selection: the whole-image flag, the working
// rectangle and the point test.
struct Picked {
    bool whole = true;
    Rect work;
    std::function<bool(int, int)> test;
    bool selected(int x, int y) const { return whole || test(x, y); }
    static Picked all(int w, int h) { return {true, Rect{0, 0, w, h}, {}}; }
};

Raster OracleMosaic(const Raster& s, const Picked& sel, int size);
Raster OracleOilPaint(const Raster& s, int radius, int levels);
Raster OracleDiffuse(const Raster& s, int radius);
Raster OracleGlass(const Raster& s, const Picked& sel);
Raster OracleVideo(const Raster& s, const Picked& sel);
Raster OracleWave(const Raster& s, const Picked& sel, int amplitude);
Raster OraclePinch(const Raster& s, int strength);
Raster OracleFishEye(const Raster& s, const Picked& sel, int mode, int outside, int strength);
Raster OracleRainDrops(const Raster& s, int size, int count, int shading);
Raster OracleAddNoise(const Raster& s, const Picked& sel, int amplitude);
Raster OracleVignette(const Raster& s, double ratio, int strength);
