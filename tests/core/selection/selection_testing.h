// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the selection tests: random masks and pixel-set comparisons.
#pragma once

#include "core/selection/selection_mask.h"
#include "core/selection/selection_region.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

// A pixel set over a w x h window, one byte per pixel.
struct PixelSet {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bits;
    bool at(int x, int y) const { return bits[std::size_t(y) * width + x] != 0; }
};

inline PixelSet MaskPixels(const SelectionMask& mask) {
    PixelSet s{mask.GetWidth(), mask.GetHeight(), {}};
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            s.bits.push_back(mask.Get(x, y) != 0);
    return s;
}

// The region's pixels inside (0, 0, w, h) by the point test.
inline PixelSet RegionPixels(const SelectionRegion& region, int width, int height) {
    PixelSet s{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.bits.push_back(region.IsVisible(float(x), float(y)));
    return s;
}

// Equal pixel sets; on failure names the first differing pixels.
inline ::testing::AssertionResult SamePixels(const PixelSet& expected, const PixelSet& actual) {
    if (expected.width != actual.width || expected.height != actual.height)
        return ::testing::AssertionFailure() << "sizes differ";
    std::string diffs;
    int count = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (expected.at(x, y) != actual.at(x, y) && count++ < 5)
                diffs += " (" + std::to_string(x) + "," + std::to_string(y) + ") expected " +
                         std::to_string(expected.at(x, y));
    if (count == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << count << " pixels differ:" << diffs;
}

// A random mask: scattered pixels at the given density plus a few filled
// rectangles with holes punched in them, so that nesting and diagonal touches occur.
inline SelectionMask RandomMask(std::mt19937& rng, int width, int height, double density) {
    SelectionMask mask(width, height);
    std::bernoulli_distribution on(density);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask.Set(x, y, on(rng));
    std::uniform_int_distribution<int> px(0, width - 1), py(0, height - 1);
    for (int i = 0; i < 3; ++i) {
        const int x = px(rng), y = py(rng);
        const Rect r{x, y, px(rng) / 2 + 1, py(rng) / 2 + 1};
        mask.FillRect(r, 1);
        mask.FillRect(Rect{r.X + 1, r.Y + 1, r.Width - 2, r.Height - 2}, 0);
        mask.FillRect(Rect{r.X + 2, r.Y + 2, r.Width - 4, r.Height - 4}, on(rng));
    }
    return mask;
}

// Scans are sorted by rows, disjoint, and banded.
inline ::testing::AssertionResult WellFormedScans(const SelectionRegion& region) {
    const auto& s = region.GetScans();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i].Width <= 0 || s[i].Height <= 0)
            return ::testing::AssertionFailure() << "empty scan " << i;
        if (i == 0) continue;
        const Rect &a = s[i - 1], &b = s[i];
        const bool sameBand = a.Y == b.Y && a.Height == b.Height && a.GetRight() < b.X;
        const bool nextBand = b.Y >= a.GetBottom();
        if (!sameBand && !nextBand)
            return ::testing::AssertionFailure() << "scan " << i << " out of band order";
    }
    return ::testing::AssertionSuccess();
}
