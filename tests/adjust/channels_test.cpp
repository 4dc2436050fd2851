// SPDX-License-Identifier: GPL-3.0-or-later
// Gray, invert, channel rotation, channel filters and the resize arithmetic.
#include "adjust/channels.h"
#include "adjust/resize.h"
#include "testing/test_images.h"

#include <algorithm>
#include <cstring>
#include <vector>

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
    const Case cases[] = {
        {0xFFFF0000, 76}, {0xFF00FF00, 150}, {0xFF0000FF, 28}, {0xFFFFFFFF, 255}, {0x80102030, 28}};
    for (const Case& c : cases) {
        auto source = MakeSolidBitmap(3, 2, PixelFormat32bppARGB, c.color);
        auto target = source->Clone();
        ConvertToGray(*source, *target);
        EXPECT_EQ(PixelBytes(*target, 2, 1), bgra(c.gray, c.gray, c.gray, int(c.color >> 24)))
            << std::hex << c.color;
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
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(t.pixel(x, y)[c], g);
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
    // Table rows stay one a line.
    // clang-format off
    const Case cases[] = {
        {MaskRed, bgra(0, 0, 30, 99)},   {MaskGreen, bgra(0, 20, 0, 99)}, {MaskBlue, bgra(10, 0, 0, 99)},
        {7, bgra(10, 20, 30, 99)},       {0, bgra(0, 0, 0, 99)},
    };
    // clang-format on
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
    const Case cases[] = {{600, 400, 300, 200},
                          {600, 400, 301, 201},
                          {640, 480, 17, 13},
                          {3, 2, 1, 1},
                          {400, 300, 0, 0}};
    for (const Case& c : cases) {
        ResizeModel model(c.width, c.height);
        model.typeWidth(c.typedWidth);
        EXPECT_EQ(model.height(), c.expectedHeight)
            << c.width << "x" << c.height << " -> " << c.typedWidth;
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

// Each output's weights sum to one and follow the covered area (shrinking)
// or the distance to the two nearest source centres (enlarging), within the
// rounding of one weight step.
TEST(Resize, AxisWeights) {
    const std::pair<int, int> cases[] = {{6, 3}, {5, 2}, {7, 7}, {3, 1}, {1, 1},
                                         {2, 5}, {1, 4}, {4, 9}, {9, 4}};
    for (const auto& [from, to] : cases) {
        const ResampleAxis axis = MakeResampleAxis(from, to);
        ASSERT_EQ(axis.first.size(), std::size_t(to));
        for (int i = 0; i < to; ++i) {
            std::vector<double> expected(std::size_t(from), 0.0);
            if (to <= from) {
                const double begin = double(i) * from / to, end = double(i + 1) * from / to;
                for (int j = 0; j < from; ++j)
                    expected[std::size_t(j)] =
                        std::max(0.0, std::min(end, j + 1.0) - std::max(begin, double(j))) /
                        (end - begin);
            } else {
                const double position = std::clamp((i + 0.5) * from / to - 0.5, 0.0, from - 1.0);
                const int j = int(position);
                expected[std::size_t(j)] = 1 - (position - j);
                if (j + 1 < from) expected[std::size_t(j) + 1] = position - j;
            }
            std::vector<int> actual(std::size_t(from), 0);
            int total = 0;
            for (int k = axis.offset[i]; k < axis.offset[i + 1]; ++k) {
                const int j = axis.first[i] + k - axis.offset[i];
                ASSERT_TRUE(j >= 0 && j < from) << from << "->" << to << " output " << i;
                actual[std::size_t(j)] = axis.weights[k];
                total += axis.weights[k];
            }
            EXPECT_EQ(total, kResampleOne) << from << "->" << to << " output " << i;
            for (int j = 0; j < from; ++j)
                EXPECT_NEAR(actual[std::size_t(j)], expected[std::size_t(j)] * kResampleOne, 1.0)
                    << from << "->" << to << " output " << i << " source " << j;
        }
    }
}

// The resized bytes against a direct 2-D weighted sum over the source, for
// shrinking, enlarging and mixed sizes at 24 and 32 bits (one large enough to
// be split between two threads).
TEST(Resize, MatchesDirectWeightedSum) {
    struct Case {
        int width, height, toWidth, toHeight;
    };
    const Case cases[] = {{6, 4, 3, 2}, {7, 5, 3, 2}, {3, 2, 8, 5},      {5, 5, 2, 9},
                          {1, 1, 3, 2}, {4, 3, 1, 1}, {300, 250, 97, 61}};
    for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB})
        for (const Case& c : cases) {
            auto source = MakePatternBitmap(c.width, c.height, format);
            auto resized = ResizeImage(*source, c.toWidth, c.toHeight);
            ASSERT_TRUE(resized && resized->isValid());
            ASSERT_EQ(resized->GetPixelFormat(), PixelFormat32bppARGB);
            const ResampleAxis ax = MakeResampleAxis(c.width, c.toWidth),
                               ay = MakeResampleAxis(c.height, c.toHeight);
            ScopedLock src(static_cast<const Bitmap&>(*source));
            ScopedLock dst(*resized);
            const int bpp = src.bpp();
            for (int y = 0; y < c.toHeight; ++y)
                for (int x = 0; x < c.toWidth; ++x) {
                    std::uint64_t sum[4] = {0, 0, 0, 0};
                    for (int ky = ay.offset[y]; ky < ay.offset[y + 1]; ++ky)
                        for (int kx = ax.offset[x]; kx < ax.offset[x + 1]; ++kx) {
                            const std::uint8_t* p = src.pixel(ax.first[x] + kx - ax.offset[x],
                                                              ay.first[y] + ky - ay.offset[y]);
                            const std::uint64_t weight =
                                std::uint64_t(ax.weights[kx]) * ay.weights[ky];
                            const std::uint64_t alpha = bpp == 4 ? p[3] : 1;
                            for (int ch = 0; ch < 3; ++ch)
                                sum[ch] += weight * alpha * p[ch];
                            sum[3] += weight * (bpp == 4 ? p[3] : 255);
                        }
                    std::uint8_t expected[4];
                    for (int ch = 0; ch < 3; ++ch) {
                        if (bpp == 3)
                            expected[ch] = std::uint8_t((sum[ch] + (1u << 23)) >> 24);
                        else
                            expected[ch] =
                                sum[3] == 0 ? 0 : std::uint8_t((sum[ch] + sum[3] / 2) / sum[3]);
                    }
                    expected[3] = std::uint8_t((sum[3] + (1u << 23)) >> 24);
                    const std::uint8_t* d = dst.pixel(x, y);
                    for (int ch = 0; ch < 4; ++ch)
                        ASSERT_EQ(int(d[ch]), int(expected[ch]))
                            << c.width << "x" << c.height << "->" << c.toWidth << "x" << c.toHeight
                            << " bpp " << bpp << " at " << x << "," << y << " channel " << ch;
                }
        }
    // A transparent pixel lends no colour: half of opaque blue over transparent red.
    auto pair = MakeSolidBitmap(2, 1, PixelFormat32bppARGB, 0x00FF0000);
    {
        ScopedLock lock(*pair);
        const std::uint8_t blue[4] = {255, 0, 0, 255};
        std::memcpy(lock.pixel(1, 0), blue, 4);
    }
    auto half = ResizeImage(*pair, 1, 1);
    EXPECT_EQ(PixelBytes(*half, 0, 0), std::string("\xFF\x00\x00\x80", 4));
}

TEST(Resize, AcceptedSizes) {
    EXPECT_TRUE(IsAcceptedImageSize(1, 1));
    EXPECT_TRUE(IsAcceptedImageSize(15, 30000));
    EXPECT_FALSE(IsAcceptedImageSize(0, 10));
    EXPECT_FALSE(IsAcceptedImageSize(10, -1));
    EXPECT_FALSE(IsAcceptedImageSize(30001, 10));
}

} // namespace
