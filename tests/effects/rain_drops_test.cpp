// SPDX-License-Identifier: GPL-3.0-or-later
// Rain Drops against its reference: placement budget, refraction, shading and
// the in-place rim smoothing.
#include "effects/rain_drops.h"

#include "core/runtime_random.h"
#include "testing/test_images.h"
#include "texture_oracles.h"

namespace {

TEST(RainDrops, MatchesReference) {
    struct Case {
        int w, h, size, count, shading;
    };
    const Case cases[] = {
        {1, 1, 40, 250, 1},  {7, 5, 40, 250, 1},  {61, 47, 40, 250, 1},  {61, 47, 40, 250, 0},
        {90, 70, 12, 30, 1}, {45, 80, 5, 400, 1}, {50, 50, 80, 20, 256}, {33, 21, 3, 50, 1},
    };
    for (PixelFormat f : {PixelFormat24bppRGB, PixelFormat32bppARGB})
        for (const Case& c : cases) {
            auto src = MakePatternBitmap(c.w, c.h, f, 21);
            auto dst = src->Clone();
            RuntimeSeed(1);
            RainDrops(*src, *dst, nullptr,
                      {.size = c.size, .count = c.count, .shading = c.shading});
            const int next = RuntimeRand();
            RuntimeSeed(1);
            EXPECT_TRUE(
                MatchesRaster(OracleRainDrops(ReadRaster(*src), c.size, c.count, c.shading), *dst))
                << c.w << "x" << c.h << " size " << c.size << " count " << c.count << " shading "
                << c.shading;
            EXPECT_EQ(next, RuntimeRand()) << "random numbers drawn differ";
        }
}

// On a tiny image the first drop covers everything, so the second spends the
// whole budget of the call: 10000 - 61 attempts of two draws each, after one
// size draw and one attempt for the first drop.
TEST(RainDrops, SharesOneBudgetAndStopsEarly) {
    auto src = MakePatternBitmap(4, 4, PixelFormat24bppRGB, 22);
    auto dst = src->Clone();
    RuntimeSeed(1);
    RainDrops(*src, *dst, nullptr, {.size = 40, .count = 250, .shading = 1});
    const int next = RuntimeRand();
    RuntimeSeed(1);
    for (int i = 0; i < 1 + 2 + 1 + 2 * 9939; ++i)
        RuntimeRand();
    EXPECT_EQ(next, RuntimeRand());
}

// Without shading every drop pixel is a plain copy of some source pixel.
TEST(RainDrops, ShadingZeroOnlyRefracts) {
    auto src = MakeSolidBitmap(40, 40, PixelFormat32bppARGB, 0x7F808080);
    auto plain = src->Clone(), shaded = src->Clone();
    RuntimeSeed(1);
    RainDrops(*src, *plain, nullptr, {.size = 40, .count = 5, .shading = 0});
    RuntimeSeed(1);
    RainDrops(*src, *shaded, nullptr, {.size = 40, .count = 5, .shading = 1});
    EXPECT_TRUE(SameBitmaps(*src, *plain));
    EXPECT_FALSE(SameBitmaps(*src, *shaded));
}

TEST(RainDrops, ShadingTable) {
    struct Case {
        float r, theta;
        int r0, expected;
    };
    // Table rows stay one a line.
    // clang-format off
    const Case cases[] = {
        {10, -1.0f, 10, -80}, {9, -2.3f, 10, -40},   {9.5f, 0.2f, 10, -40}, {9, 1.0f, 10, 0},
        {8.5f, -1, 10, -40},  {8, 0.05f, 10, -30}, {8, 0.1f, 10, 0},    {8, -2, 10, -30},      {7, -1, 10, -20},
        {7.5f, 2, 10, 60},    {6, -0.1f, 10, 20},    {6, -2.1f, 10, 20},    {5, -0.3f, 10, 30},
        {5, -1.8f, 10, 30},   {4, -1, 10, 40},       {3, -2, 10, 30},       {2, -1, 10, 20},
        {1.9f, -1, 10, 0},    {0, 0, 0, -80},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(RainDropShade(c.r, c.theta, c.r0), c.expected) << c.r << " " << c.theta;
}

// On the rim of a 3-4-5 triangle the lens maps radius 5 to 5, and
// cos(theta) * 5 lies just above -4 when theta is the correctly rounded
// atan2(-3, -4) = -2.4980915f; one unit lower in its last bit (as some
// single-precision library calls give) would read one pixel further left.
TEST(RainDrops, RimReadIsCorrectlyRounded) {
    const std::optional<DropSample> s = RainDropLens(5).sample(-4, -3);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->theta, -2.4980915f);
    EXPECT_EQ(s->x, -3);
    EXPECT_EQ(s->y, -3);
    EXPECT_FALSE(RainDropLens(5).sample(-4, -4).has_value()) << "outside the drop";
}

} // namespace
