// SPDX-License-Identifier: GPL-3.0-or-later
// Naive per-pixel oracles for the effect tests, written straight from the
// formulas with bounds-checked reads, and a runner comparing a routine with one.
#pragma once

#include "testing/test_images.h"

#include <functional>
#include <memory>
#include <vector>

// Byte c of pixel (x, y); alpha reads 255 on 24-bit images.
inline int byteAt(const ScopedLock& l, int x, int y, int c) {
    if (c == 3 && l.bpp() == 3) return 255;
    return l.pixel(x, y)[c];
}

// Runs routine(source, destination) on a fresh copy of source.
inline std::unique_ptr<Bitmap> applied(Bitmap& source,
                                       const std::function<void(Bitmap&, Bitmap&)>& routine) {
    std::unique_ptr<Bitmap> destination = source.Clone();
    routine(source, *destination);
    return destination;
}

// The expected result: a copy of source that oracle(source lock, expected lock)
// rewrites.
inline std::unique_ptr<Bitmap>
expected(Bitmap& source, const std::function<void(const ScopedLock&, const ScopedLock&)>& oracle) {
    std::unique_ptr<Bitmap> result = source.Clone();
    {
        ScopedLock s(source), e(*result);
        oracle(s, e);
    }
    return result;
}

// A 32-bit opaque copy of a 24-bit bitmap.
inline std::unique_ptr<Bitmap> opaque32(Bitmap& image24) {
    auto out = std::make_unique<Bitmap>(int(image24.GetWidth()), int(image24.GetHeight()),
                                        PixelFormat32bppARGB);
    ScopedLock s(image24), d(*out);
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            for (int c = 0; c < 3; ++c)
                d.pixel(x, y)[c] = s.pixel(x, y)[c];
            d.pixel(x, y)[3] = 255;
        }
    return out;
}

// True when the colour bytes of two equally sized images agree.
inline ::testing::AssertionResult sameColours(Bitmap& a, Bitmap& b) {
    ScopedLock la(a), lb(b);
    for (int y = 0; y < la.height(); ++y)
        for (int x = 0; x < la.width(); ++x)
            for (int c = 0; c < 3; ++c)
                if (la.pixel(x, y)[c] != lb.pixel(x, y)[c])
                    return ::testing::AssertionFailure()
                           << "colour byte " << c << " differs at (" << x << "," << y
                           << "): " << int(la.pixel(x, y)[c]) << " vs " << int(lb.pixel(x, y)[c]);
    return ::testing::AssertionSuccess();
}

// Sizes that exercise tiny images, padded odd widths and both thread halves.
inline const std::vector<std::pair<int, int>>& oracleSizes() {
    static const std::vector<std::pair<int, int>> sizes = {{1, 1},  {2, 5},   {3, 3},    {7, 5},
                                                           {13, 2}, {33, 17}, {301, 260}};
    return sizes;
}
