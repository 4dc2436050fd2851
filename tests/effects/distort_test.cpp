// SPDX-License-Identifier: GPL-3.0-or-later
// Wave, Pinch and Fish Eye against per-pixel references.
#include "effects/distort.h"

#include "testing/test_images.h"
#include "texture_oracles.h"

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat24bppRGB, PixelFormat32bppARGB};

struct Size {
    int w, h;
};

TEST(Wave, MatchesReference) {
    for (PixelFormat f : kFormats)
        for (Size s : {Size{1, 1}, Size{9, 7}, Size{140, 131}})
            for (int a : {-3, 1, 10, 32, 50}) {
                auto src = MakePatternBitmap(s.w, s.h, f, 11);
                auto dst = src->Clone();
                Wave(*src, *dst, nullptr, {.amplitude = a});
                EXPECT_TRUE(
                    MatchesRaster(OracleWave(ReadRaster(*src), Picked::all(s.w, s.h), a), *dst))
                    << s.w << "x" << s.h << " amplitude " << a;
            }
}

// Large enough for the two-thread path and for the rows above and below the
// centre to share their angles.
TEST(Pinch, MatchesReference) {
    for (PixelFormat f : kFormats)
        for (Size s : {Size{1, 1}, Size{2, 2}, Size{8, 5}, Size{31, 40}, Size{300, 257}})
            for (int k : {0, 3, 12, 32, 99}) {
                auto src = MakePatternBitmap(s.w, s.h, f, 12);
                auto dst = src->Clone();
                Pinch(*src, *dst, nullptr, {.strength = k});
                EXPECT_TRUE(MatchesRaster(OraclePinch(ReadRaster(*src), k), *dst))
                    << s.w << "x" << s.h << " strength " << k;
            }
}

TEST(FishEye, MatchesReference) {
    struct Case {
        int mode, outside, strength;
    };
    const Case cases[] = {{0, 2, 29}, {1, 2, 29}, {0, 0, 100}, {1, 1, 5},
                          {0, 7, 1},  {5, 2, 60}, {0, 0, 0},   {1, 1, 0}};
    for (PixelFormat f : kFormats)
        for (Size s : {Size{1, 1}, Size{2, 3}, Size{9, 6}, Size{30, 45}, Size{301, 260}})
            for (const Case& c : cases) {
                auto src = MakePatternBitmap(s.w, s.h, f, 13);
                auto dst = src->Clone();
                FishEye(*src, *dst, nullptr,
                        {.mode = c.mode, .outside = c.outside, .strength = c.strength});
                EXPECT_TRUE(MatchesRaster(OracleFishEye(ReadRaster(*src), Picked::all(s.w, s.h),
                                                        c.mode, c.outside, c.strength),
                                          *dst))
                    << s.w << "x" << s.h << " mode " << c.mode << " outside " << c.outside
                    << " strength " << c.strength;
            }
}

// A 1-pixel image has only its centre in the lens, which keeps its value.
TEST(FishEye, SinglePixelKeepsItsValue) {
    for (PixelFormat f : kFormats) {
        auto dot = MakePatternBitmap(1, 1, f, 15);
        auto dotOut = dot->Clone();
        FishEye(*dot, *dotOut, nullptr, {.mode = 0, .outside = 0, .strength = 29});
        EXPECT_TRUE(SameBitmaps(*dot, *dotOut));
    }
}

// The Wave, Pinch and Fish Eye results keep or carry alpha as documented:
// Wave and Pinch move it with the colour, Fish Eye never writes it.
TEST(Distort, AlphaHandling) {
    auto src = MakePatternBitmap(40, 33, PixelFormat32bppARGB, 16);
    const Raster before = ReadRaster(*src);
    auto wave = src->Clone(), pinch = src->Clone(), fish = src->Clone();
    Wave(*src, *wave, nullptr);
    Pinch(*src, *pinch, nullptr);
    FishEye(*src, *fish, nullptr, {.mode = 0, .outside = 0, .strength = 29});
    const Raster w = ReadRaster(*wave), p = ReadRaster(*pinch), e = ReadRaster(*fish);
    int movedWave = 0, movedPinch = 0;
    for (int y = 0; y < before.h; ++y)
        for (int x = 0; x < before.w; ++x) {
            movedWave += w.at(x, y)[3] != before.at(x, y)[3];
            movedPinch += p.at(x, y)[3] != before.at(x, y)[3];
            EXPECT_EQ(e.at(x, y)[3], before.at(x, y)[3]);
        }
    EXPECT_GT(movedWave, 0);
    EXPECT_GT(movedPinch, 0);
}

} // namespace
