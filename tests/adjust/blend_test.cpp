// SPDX-License-Identifier: GPL-3.0-or-later
// Blend modes as base/blend/expected rows, and the blend of whole images.
#include "adjust/blend.h"
#include "testing/test_images.h"

#include <vector>

namespace {

struct Row {
    BlendMode mode;
    int base, blend;
    double opacity;
    int expected;
};

// Worked by hand from each mode's definition.
const Row kRows[] = {
    {BlendMode::Darken, 100, 200, 1.0, 100},
    {BlendMode::Light, 100, 200, 1.0, 200},
    {BlendMode::Multiply, 128, 128, 1.0, 64},
    {BlendMode::Screen, 100, 50, 1.0, 131},      // 255 - 155*205/255
    {BlendMode::Screen, 200, 50, 0.3, 203},      // f = 211; trunc(140 + 63.3)
    {BlendMode::ColorDodge, 100, 100, 1.0, 164}, // 25500/155
    {BlendMode::ColorDodge, 100, 200, 1.0, 255},
    {BlendMode::ColorDodge, 100, 255, 0.5, 177}, // trunc(50 + 127.5)
    {BlendMode::ColorBurn, 100, 200, 1.0, 57},   // 255 - 39525/200.0
    {BlendMode::ColorBurn, 100, 0, 1.0, 0},
    {BlendMode::ColorBurn, 255, 0, 1.0, 255},
    {BlendMode::ColorBurn, 10, 5, 1.0, 0},
    {BlendMode::LinearDodge, 100, 200, 1.0, 255},
    {BlendMode::Add, 100, 100, 1.0, 200},
    {BlendMode::LinearBurn, 100, 200, 1.0, 45},
    {BlendMode::LinearBurn, 10, 20, 1.0, 0},
    {BlendMode::Overlay, 128, 255, 1.0, 255}, // 256.0 limited
    {BlendMode::Overlay, 100, 200, 1.0, 156}, // 40000/255.0
    {BlendMode::Overlay, 200, 100, 1.0, 189}, // 255 - 17050/255
    {BlendMode::SoftLight, 100, 200, 1.0, 133},
    {BlendMode::SoftLight, 100, 64, 1.0, 69},
    {BlendMode::SoftLight, 0, 0, 1.0, 0},
    {BlendMode::HardLight, 100, 100, 1.0, 78},   // 20000/255.0
    {BlendMode::HardLight, 100, 200, 1.0, 189},  // 255 - 17050/255
    {BlendMode::VividLight, 200, 100, 1.0, 184}, // 255 - 70.125
    {BlendMode::VividLight, 100, 64, 1.0, 0},    // quotient above 255
    {BlendMode::VividLight, 100, 0, 1.0, 0},
    {BlendMode::VividLight, 255, 0, 1.0, 255},
    {BlendMode::VividLight, 50, 200, 1.0, 115}, // 12750/110
    {BlendMode::VividLight, 50, 255, 1.0, 255},
    {BlendMode::LinearLight, 100, 200, 1.0, 245},
    {BlendMode::LinearLight, 100, 10, 1.0, 0},
    {BlendMode::PinLight, 255, 255, 1.0, 255},
    {BlendMode::PinLight, 255, 255, 0.5, 255},
    {BlendMode::PinLight, 255, 255, 0.29, 254}, // 181.05 + 73.95 falls just short
    {BlendMode::PinLight, 10, 200, 1.0, 145},   // below 2s - 255
    {BlendMode::PinLight, 200, 50, 1.0, 100},   // at or above 2s
    {BlendMode::PinLight, 100, 100, 1.0, 100},
    {BlendMode::HardMix, 100, 155, 1.0, 255},
    {BlendMode::HardMix, 100, 154, 1.0, 0},
    {BlendMode::Sub, 100, 200, 1.0, 100}, // blend minus base
    {BlendMode::Sub, 200, 100, 1.0, 0},
    {BlendMode::Sub, 200, 200, 0.5, 100}, // trunc(b * (1 - a))
    {BlendMode::Difference, 100, 200, 1.0, 100},
    {BlendMode::Difference, 201, 201, 0.5, 100},
    {BlendMode::Exclusion, 100, 200, 1.0, 144}, // 300 - 40000/255
    // Opacity is limited to 0..1.
    {BlendMode::Multiply, 128, 128, 1.5, 64},
    {BlendMode::Multiply, 128, 128, -0.5, 128},
    {BlendMode::Darken, 100, 20, 0.0, 100},
};

TEST(BlendTable, ModeRows) {
    std::vector<std::uint8_t> table(kBlendTableSize);
    for (const Row& r : kRows) {
        BuildBlendTable(table.data(), int(r.mode), r.opacity);
        EXPECT_EQ(table[r.base * 256 + r.blend], r.expected)
            << kBlendModeLabels[int(r.mode)] << " base " << r.base << " blend " << r.blend
            << " opacity " << r.opacity;
    }
}

TEST(BlendTable, OpacityZeroAndUnknownModesAreIdentity) {
    std::vector<std::uint8_t> table(kBlendTableSize);
    for (int mode = -1; mode <= kBlendModeCount; ++mode) {
        const double opacity = mode >= 0 && mode < kBlendModeCount ? 0.0 : 1.0;
        BuildBlendTable(table.data(), mode, opacity);
        for (int b = 0; b < 256; ++b)
            for (int s = 0; s < 256; s += 15)
                ASSERT_EQ(table[b * 256 + s], b) << "mode " << mode;
    }
}

TEST(BlendTable, LinearDodgeEqualsAdd) {
    std::vector<std::uint8_t> a(kBlendTableSize), b(kBlendTableSize);
    BuildBlendTable(a.data(), int(BlendMode::LinearDodge), 0.7);
    BuildBlendTable(b.data(), int(BlendMode::Add), 0.7);
    EXPECT_EQ(a, b);
}

std::unique_ptr<Bitmap> blended(Bitmap& target, int tc, Bitmap& source, int sc, BlendMode mode,
                                double opacity) {
    auto out = target.Clone();
    BlendImages(*out, tc, source, sc, int(mode), opacity);
    return out;
}

TEST(BlendImages, ChannelSelectors) {
    // Target pixel b,g,r,a = 10,20,30,40; source 100,110,120,130; Add at full
    // opacity adds the chosen channels.
    auto target = MakeSolidBitmap(3, 1, PixelFormat32bppARGB, 0x281E140A);
    auto source = MakeSolidBitmap(3, 1, PixelFormat32bppARGB, 0x82786E64);
    struct Case {
        int tc, sc;
        const char* bytes;
    };
    const Case cases[] = {
        {ChannelAll, ChannelAll, "\x6E\x82\x96\x28"},     // 110, 130, 150, alpha kept
        {ChannelGreen, ChannelGreen, "\x0A\x82\x1E\x28"}, // only green
        {ChannelRed, ChannelBlue, "\x0A\x14\x82\x28"},    // red + source blue
        {7, 7, "\x6E\x14\x1E\x28"},                       // unknown selectors mean blue
        {ChannelAll, ChannelRed, "\x82\x8C\x96\x28"},     // every channel + source red
        {ChannelGreen, ChannelAll, "\x0A\x82\x1E\x28"},   // one channel from its twin
    };
    for (const Case& c : cases) {
        auto out = blended(*target, c.tc, *source, c.sc, BlendMode::Add, 1.0);
        EXPECT_EQ(PixelBytes(*out, 2, 0), std::string(c.bytes, 4)) << c.tc << "/" << c.sc;
    }
}

// Small images and one large enough to be split between two threads.
TEST(BlendImages, WholeImagesMatchTheTable) {
    std::vector<std::uint8_t> table(kBlendTableSize);
    for (auto [w, h] : {std::pair{7, 3}, std::pair{301, 250}})
        for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB})
            for (int mode = 0; mode < kBlendModeCount; mode += (w > 100 ? 6 : 1)) {
                auto target = MakePatternBitmap(w, h, format, 1);
                auto source = MakePatternBitmap(w, h, format, 2);
                auto out = blended(*target, 0, *source, 0, BlendMode(mode), 0.6);
                BuildBlendTable(table.data(), mode, 0.6);
                ScopedLock t(*target), s(*source), o(*out);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        for (int c = 0; c < 3; ++c)
                            ASSERT_EQ(o.pixel(x, y)[c],
                                      table[t.pixel(x, y)[c] * 256 + s.pixel(x, y)[c]]);
                        if (o.bpp() == 4) {
                            ASSERT_EQ(o.pixel(x, y)[3], t.pixel(x, y)[3]);
                        }
                    }
            }
}

TEST(BlendImages, ImageWithItselfAndMismatchedSizes) {
    // Sub of an image with itself at full opacity is black.
    auto image = MakePatternBitmap(5, 4, PixelFormat24bppRGB, 4);
    BlendImages(*image, 0, *image, 0, int(BlendMode::Sub), 1.0);
    EXPECT_EQ(PixelBytes(*image, 3, 2), std::string(3, '\0'));
    // A source of another size is refused rather than read past its end.
    auto target = MakePatternBitmap(5, 4, PixelFormat24bppRGB, 4);
    auto small = MakePatternBitmap(2, 2, PixelFormat24bppRGB, 5);
    auto before = target->Clone();
    BlendImages(*target, 0, *small, 0, int(BlendMode::Add), 1.0);
    EXPECT_TRUE(SameBitmaps(*before, *target));
}

TEST(ScaledCopy, StretchesIntoA32BitImage) {
    auto source = MakeSolidBitmap(10, 4, PixelFormat24bppRGB, 0xFF204060);
    auto copy = ScaledCopy(*source, 3, 7);
    ASSERT_TRUE(copy->isValid());
    EXPECT_EQ(copy->GetWidth(), 3u);
    EXPECT_EQ(copy->GetHeight(), 7u);
    EXPECT_EQ(copy->GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_EQ(PixelBytes(*copy, 1, 3), std::string("\x60\x40\x20\xFF", 4));
    EXPECT_FALSE(ScaledCopy(*source, 0, 5)->isValid());
}

} // namespace
