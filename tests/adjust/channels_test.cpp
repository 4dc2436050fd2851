// SPDX-License-Identifier: GPL-3.0-or-later
// Gray, invert, channel rotation, channel filters and the resize arithmetic.
#include "adjust/channels.h"
#include "adjust/resize.h"
#include "testing/test_images.h"

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat24bppRGB, PixelFormat32bppARGB};

// Bytes B, G, R (and A) of a one-pixel result.
std::string bgra(int b, int g, int r, int a = 255) {
    return std::string{char(b), char(g), char(r), char(a)};
}

TEST(Gray, PrimariesAndWhite) {
    struct Case {
        ARGB color;
        int gray;
    };
    const Case cases[] = {{0xFFFF0000, 76}, {0xFF00FF00, 150}, {0xFF0000FF, 28}, {0xFFFFFFFF, 255}, {0x80102030, 28}};
    for (const Case& c : cases) {
        auto source = MakeSolidBitmap(3, 2, PixelFormat32bppARGB, c.color);
        auto target = source->Clone();
        ConvertToGray(*source, *target);
        EXPECT_EQ(PixelBytes(*target, 2, 1), bgra(c.gray, c.gray, c.gray, int(c.color >> 24))) << std::hex << c.color;
    }
}

TEST(Gray, MatchesLuminanceOnPattern) {
    for (PixelFormat format : kFormats) {
        auto source = MakePatternBitmap(5, 3, format);
        auto target = source->Clone();
        ConvertToGray(*source, *target);
        ScopedLock s(*source), t(*target);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const std::uint8_t* p = s.pixel(x, y);
                const int g = Luminance(p[2], p[1], p[0]);
                for (int c = 0; c < 3; ++c) ASSERT_EQ(t.pixel(x, y)[c], g);
                if (t.bpp() == 4) {
                    ASSERT_EQ(t.pixel(x, y)[3], p[3]);
                }
            }
    }
}

TEST(Reverse, TwiceRestoresAndKeepsAlpha) {
    for (PixelFormat format : kFormats) {
        auto source = MakePatternBitmap(7, 4, format);
        auto once = source->Clone();
        InvertColors(*source, *once, nullptr);
        ScopedLock s(*source), o(*once);
        for (int c = 0; c < s.bpp(); ++c)
            EXPECT_EQ(o.pixel(6, 3)[c], c < 3 ? 255 - s.pixel(6, 3)[c] : s.pixel(6, 3)[c]);
        auto twice = once->Clone();
        InvertColors(*once, *twice, nullptr);
        EXPECT_TRUE(SameBitmaps(*source, *twice));
    }
}

TEST(ChannelFilters, KeepOnlyTheMaskedBytes) {
    struct Case {
        int mask;
        std::string expected;
    };
    // Pixel (blue 10, green 20, red 30), alpha 99.
    const Case cases[] = {
        {MaskRed, bgra(0, 0, 30, 99)},   {MaskGreen, bgra(0, 20, 0, 99)}, {MaskBlue, bgra(10, 0, 0, 99)},
        {7, bgra(10, 20, 30, 99)},       {0, bgra(0, 0, 0, 99)},
    };
    for (const Case& c : cases) {
        auto image = MakeSolidBitmap(2, 2, PixelFormat32bppARGB, 0x631E140A);
        EXPECT_EQ(&KeepChannels(*image, c.mask), image.get());
        EXPECT_EQ(PixelBytes(*image, 1, 1), c.expected) << c.mask;
    }
    auto image24 = MakeSolidBitmap(3, 1, PixelFormat24bppRGB, 0xFF1E140A);
    KeepChannels(*image24, MaskRed);
    EXPECT_EQ(PixelBytes(*image24, 2, 0), bgra(0, 0, 30).substr(0, 3));
}

TEST(RotateChannels, OneStepAndThreeRestore) {
    auto image = RotateChannels(MakeSolidBitmap(2, 2, PixelFormat32bppARGB, 0x631E140A));
    EXPECT_EQ(PixelBytes(*image, 0, 1), bgra(30, 10, 20, 99));
    for (PixelFormat format : kFormats) {
        auto original = MakePatternBitmap(5, 3, format);
        auto rotated = RotateChannels(original->Clone());
        EXPECT_FALSE(SameBitmaps(*original, *rotated));
        rotated = RotateChannels(RotateChannels(std::move(rotated)));
        EXPECT_TRUE(SameBitmaps(*original, *rotated));
    }
}

TEST(Resize, AspectArithmetic) {
    struct Case {
        int width, height, typedWidth, expectedHeight;
    };
    const Case cases[] = {{600, 400, 300, 200}, {600, 400, 301, 201}, {640, 480, 17, 13}, {3, 2, 1, 1}, {400, 300, 0, 0}};
    for (const Case& c : cases) {
        ResizeModel model(c.width, c.height);
        model.typeWidth(c.typedWidth);
        EXPECT_EQ(model.height(), c.expectedHeight) << c.width << "x" << c.height << " -> " << c.typedWidth;
    }
    ResizeModel model(600, 400);
    EXPECT_TRUE(model.restrict());
    model.typeHeight(101);
    EXPECT_EQ(model.width(), 152); // trunc(101 * 1.5 + 0.5)
    model.stepWidth(-2);
    EXPECT_EQ(model.width(), 150);
    EXPECT_EQ(model.height(), 100);
    model.setRestrict(false);
    model.typeWidth(999);
    EXPECT_EQ(model.height(), 100);
    // The ratio was fixed when the dialog opened.
    model.setRestrict(true);
    model.stepHeight(10);
    EXPECT_EQ(model.width(), 165);
}

TEST(Resize, AcceptedSizes) {
    EXPECT_TRUE(IsAcceptedImageSize(1, 1));
    EXPECT_TRUE(IsAcceptedImageSize(15, 30000));
    EXPECT_FALSE(IsAcceptedImageSize(0, 10));
    EXPECT_FALSE(IsAcceptedImageSize(10, -1));
    EXPECT_FALSE(IsAcceptedImageSize(30001, 10));
}

} // namespace
