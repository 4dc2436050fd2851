// SPDX-License-Identifier: GPL-3.0-or-later
// Add Noise, Red Eye Remove and the LOMO stages.
#include "effects/noise_redeye_lomo.h"

#include "core/runtime_random.h"
#include "testing/test_images.h"
#include "texture_oracles.h"

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat24bppRGB, PixelFormat32bppARGB};

std::string bgr(int b, int g, int r) {
    return std::string{char(b), char(g), char(r)};
}

TEST(AddNoise, MatchesReferenceAndNeverDarkens) {
    for (PixelFormat f : kFormats)
        for (int amplitude : {1, 35, 255, 400}) {
            auto image = MakePatternBitmap(11, 7, f, 31);
            const Raster before = ReadRaster(*image);
            RuntimeSeed(1);
            AddNoise(*image, nullptr, {.amplitude = amplitude});
            RuntimeSeed(1);
            EXPECT_TRUE(
                MatchesRaster(OracleAddNoise(before, Picked::all(11, 7), amplitude), *image));
            const Raster after = ReadRaster(*image);
            for (std::size_t i = 0; i < before.bytes.size(); ++i) {
                EXPECT_GE(after.bytes[i], before.bytes[i]);
                if (before.bytes[i] == 255) {
                    EXPECT_EQ(after.bytes[i], 255);
                }
            }
        }
}

TEST(AddNoise, AmplitudeZeroAddsAndDrawsNothing) {
    auto image = MakePatternBitmap(6, 5, PixelFormat24bppRGB, 32);
    auto before = image->Clone();
    RuntimeSeed(1);
    AddNoise(*image, nullptr, {.amplitude = 0});
    AddNoise(*image, nullptr, {.amplitude = -5});
    EXPECT_TRUE(SameBitmaps(*before, *image));
    const int next = RuntimeRand();
    RuntimeSeed(1);
    EXPECT_EQ(next, RuntimeRand());
}

TEST(RedEyeRemove, Pixels) {
    struct Case {
        std::string in, out; // B, G, R
        int threshold;
    };
    const Case cases[] = {
        {bgr(0, 0, 255), bgr(46, 46, 46), 50},        // pure red: gray 76 * 155 / 255
        {bgr(0, 0, 100), bgr(0, 0, 100), 0},          // red 100 is never changed
        {bgr(0, 0, 101), bgr(18, 18, 18), 0},         // luminance 30
        {bgr(150, 160, 200), bgr(150, 160, 200), 50}, // red exceeds min(green, blue) by only 50
        {bgr(149, 150, 200), bgr(99, 99, 99), 50},    // ... and by 51: luminance 164
    };
    for (PixelFormat f : kFormats)
        for (const Case& c : cases) {
            auto image =
                MakeSolidBitmap(3, 2, f,
                                0x80000000u | ARGB(std::uint8_t(c.in[2])) << 16 |
                                    ARGB(std::uint8_t(c.in[1])) << 8 | std::uint8_t(c.in[0]));
            RedEyeRemove(*image, nullptr, {.threshold = c.threshold});
            const std::string alpha = f == PixelFormat32bppARGB ? std::string(1, char(0x80)) : "";
            EXPECT_EQ(PixelBytes(*image, 2, 1), c.out + alpha) << int(std::uint8_t(c.in[2]));
        }
}

TEST(RedEyeRemove, TonesPerChannel) {
    auto image = MakeSolidBitmap(2, 2, PixelFormat24bppRGB, 0xFFFF0000);
    RedEyeRemove(*image, nullptr, {.threshold = 50, .red = 255, .green = 100, .blue = 0});
    EXPECT_EQ(PixelBytes(*image, 0, 0), bgr(0, 76 * 100 / 255, 76));
}

TEST(LevelMap, Values) {
    struct Case {
        int black, white;
        double gamma;
        int in, out;
    };
    // Table rows stay one a line.
    // clang-format off
    const Case cases[] = {
        {30, 251, 1.0, 30, 0},   {30, 251, 1.0, 29, 0},   {30, 251, 1.0, 140, 126}, {30, 251, 1.0, 251, 255},
        {30, 251, 1.0, 250, 253}, {30, 251, 0.0, 30, 255}, {30, 251, 0.0, 250, 255}, {30, 251, 0.0, 29, 0},
        {30, 251, 2.0, 140, 179}, {100, 100, 1.2, 99, 0},  {100, 100, 1.2, 100, 255}, {0, 255, 1.0, 254, 254},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto image =
            MakeSolidBitmap(1, 1, PixelFormat32bppARGB, 0x40000000u | ARGB(c.in) * 0x010101u);
        auto out = image->Clone();
        LevelMap(*image, *out, c.black, c.white, c.gamma);
        EXPECT_EQ(PixelBytes(*out, 0, 0), std::string(3, char(c.out)) + char(0x40))
            << c.black << " " << c.white << " " << c.gamma << " " << c.in;
    }
}

TEST(ColourShift, ZeroShiftsAreIdentityAndMidtonesMove) {
    auto src = MakePatternBitmap(9, 7, PixelFormat32bppARGB, 33);
    auto dst = src->Clone();
    ColourShift(*src, *dst, 0, 0, 0);
    EXPECT_TRUE(SameBitmaps(*src, *dst));

    auto mid = MakeSolidBitmap(2, 2, PixelFormat24bppRGB, 0xFF7F7F7F);
    auto shifted = mid->Clone();
    ColourShift(*mid, *shifted, -80, 0, 100); // weight 0.667 at 127
    EXPECT_EQ(PixelBytes(*shifted, 1, 1), bgr(127 + 66, 127, 127 - 53));
}

TEST(Vignette, MatchesReference) {
    struct Case {
        int w, h;
        double ratio;
        int strength;
    };
    const Case cases[] = {{9, 7, 0.4, 210},   {20, 12, 0.4, 210}, {12, 20, 0.7, 128},
                          {16, 16, 0.4, 255}, {15, 15, 0.0, 200}, {31, 8, 1.0, 90},
                          {2, 2, 0.4, 210},   {1, 1, 0.4, 255},   {40, 2, 0.95, 200}};
    for (PixelFormat f : kFormats)
        for (const Case& c : cases) {
            auto image = MakePatternBitmap(c.w, c.h, f, 34);
            const Raster before = ReadRaster(*image);
            Vignette(*image, c.ratio, c.strength);
            EXPECT_TRUE(MatchesRaster(OracleVignette(before, c.ratio, c.strength), *image))
                << c.w << "x" << c.h << " ratio " << c.ratio << " strength " << c.strength;
        }
}

TEST(Vignette, StrengthEnds) {
    auto image = MakePatternBitmap(21, 15, PixelFormat32bppARGB, 35);
    auto before = image->Clone();
    Vignette(*image, 0.4, 0);
    EXPECT_TRUE(SameBitmaps(*before, *image));
    // Strength 255 blackens every covered pixel, inside the ellipse too; the
    // last column and row of an odd-sized image are not covered.
    Vignette(*image, 0.4, 255);
    EXPECT_EQ(PixelBytes(*image, 10, 7).substr(0, 3), bgr(0, 0, 0));
    EXPECT_EQ(PixelBytes(*image, 0, 0).substr(0, 3), bgr(0, 0, 0));
    EXPECT_EQ(PixelBytes(*image, 20, 3), PixelBytes(*before, 20, 3));
    EXPECT_EQ(PixelBytes(*image, 4, 14), PixelBytes(*before, 4, 14));
    EXPECT_EQ(PixelBytes(*image, 10, 7)[3], PixelBytes(*before, 10, 7)[3]);
}

// The one-pass LOMO gives the bytes of its three stages run one after another.
TEST(Lomo, EqualsItsStages) {
    const LomoParams cases[] = {{},
                                {.cyan = 100,
                                 .magenta = -100,
                                 .yellow = 40,
                                 .black = 0,
                                 .white = 255,
                                 .gamma = 0.5,
                                 .ratio = 0.9,
                                 .alpha = 255},
                                {.gamma = 0, .ratio = 0, .alpha = 10}};
    for (PixelFormat f : kFormats)
        for (const LomoParams& p : cases) {
            auto src = MakePatternBitmap(17, 12, f, 36);
            auto dst = src->Clone();
            Lomo(*src, *dst, nullptr, p);
            auto t = src->Clone(), staged = src->Clone();
            ColourShift(*src, *t, p.cyan, p.magenta, p.yellow);
            LevelMap(*t, *staged, p.black, p.white, p.gamma);
            Vignette(*staged, p.ratio, p.alpha);
            EXPECT_TRUE(SameBitmaps(*staged, *dst));
        }
}

TEST(LomoParams, DefaultsMatchTheSpecs) {
    const LomoParams p = Params(kParamSpecs<LomoParams>).read<LomoParams>();
    const LomoParams d;
    EXPECT_EQ(p.cyan, d.cyan);
    EXPECT_EQ(p.magenta, d.magenta);
    EXPECT_EQ(p.yellow, d.yellow);
    EXPECT_EQ(p.black, d.black);
    EXPECT_EQ(p.white, d.white);
    EXPECT_EQ(p.gamma, d.gamma);
    EXPECT_EQ(p.ratio, d.ratio);
    EXPECT_EQ(p.alpha, d.alpha);
    EXPECT_EQ(Params(kParamSpecs<AddNoiseParams>).integer("amplitude"), 35);
    EXPECT_EQ(Params(kParamSpecs<RedEyeRemoveParams>).integer("threshold"), 50);
}

} // namespace
