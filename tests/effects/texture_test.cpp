// SPDX-License-Identifier: GPL-3.0-or-later
// Mosaic, Oil Paint, Diffuse, Glass and Video against their references and
// their documented edge cases.
#include "effects/texture.h"

#include "core/runtime_random.h"
#include "effects/effect_table.h"
#include "testing/test_images.h"
#include "texture_oracles.h"

namespace {

std::string bgr(int b, int g, int r) {
    return std::string{char(b), char(g), char(r)};
}

constexpr PixelFormat kFormats[] = {PixelFormat24bppRGB, PixelFormat32bppARGB};

// Odd widths exercise the 24-bit row padding.
struct Size {
    int w, h;
};
constexpr Size kSizes[] = {{1, 1}, {2, 3}, {7, 5}, {13, 11}, {25, 9}, {301, 230}};

TEST(Mosaic, MatchesReference) {
    for (PixelFormat f : kFormats)
        for (Size s : kSizes)
            for (int cell : {0, 1, 3, 4, 10, 40}) {
                auto src = MakePatternBitmap(s.w, s.h, f);
                auto dst = src->Clone();
                Mosaic(*src, *dst, nullptr, {.size = cell});
                EXPECT_TRUE(MatchesRaster(
                    OracleMosaic(ReadRaster(*src), Picked::all(s.w, s.h), cell), *dst))
                    << s.w << "x" << s.h << " cell " << cell;
            }
}

TEST(Mosaic, OnePixelCellsAreIdentity) {
    auto src = MakePatternBitmap(9, 7, PixelFormat32bppARGB);
    auto dst = src->Clone();
    Mosaic(*src, *dst, nullptr, {.size = 1});
    EXPECT_TRUE(SameBitmaps(*src, *dst));
}

TEST(Mosaic, CutCellsDivideByTheFullArea) {
    auto src = MakeSolidBitmap(25, 10, PixelFormat24bppRGB, 0xFF646464); // gray 100
    auto dst = src->Clone();
    Mosaic(*src, *dst, nullptr, {});
    EXPECT_EQ(PixelBytes(*dst, 0, 0), std::string(3, char(100)));
    EXPECT_EQ(PixelBytes(*dst, 19, 9), std::string(3, char(100)));
    EXPECT_EQ(PixelBytes(*dst, 20, 0), std::string(3, char(50)));
    EXPECT_EQ(PixelBytes(*dst, 24, 9), std::string(3, char(50)));
}

// The command's range is the one the routine accepts, so lumaset-cli refuses 33.
TEST(Mosaic, CommandRangeIsTheRoutines) {
    Params p(FindEffect(32836)->params);
    EXPECT_TRUE(p.set("size", "32").isEmpty());
    EXPECT_FALSE(p.set("size", "33").isEmpty());
}

TEST(OilPaint, MatchesReference) {
    for (PixelFormat f : kFormats)
        for (Size s : {Size{1, 1}, Size{6, 5}, Size{19, 13}})
            for (auto [radius, levels] :
                 {std::pair{1, 12}, {2, 5}, {4, 12}, {9, 255}, {0, 256}, {3, 1}}) {
                auto src = MakePatternBitmap(s.w, s.h, f, 7);
                auto dst = src->Clone();
                OilPaint(*src, *dst, nullptr, {.radius = radius, .levels = levels});
                EXPECT_TRUE(MatchesRaster(OracleOilPaint(ReadRaster(*src), radius, levels), *dst))
                    << s.w << "x" << s.h << " radius " << radius << " levels " << levels;
            }
}

// Large enough for the two halves to be painted by two threads.
TEST(OilPaint, MatchesReferenceOnALargerImage) {
    for (PixelFormat f : kFormats) {
        auto src = MakePatternBitmap(301, 230, f, 8);
        auto dst = src->Clone();
        OilPaint(*src, *dst, nullptr, {});
        EXPECT_TRUE(MatchesRaster(OracleOilPaint(ReadRaster(*src), 4, 12), *dst));
    }
}

TEST(OilPaint, UniformImageIsUnchangedAndLevelsZeroActsAsOne) {
    auto src = MakeSolidBitmap(11, 9, PixelFormat32bppARGB, 0x80336699);
    auto dst = src->Clone();
    OilPaint(*src, *dst, nullptr, {});
    EXPECT_TRUE(SameBitmaps(*src, *dst));

    auto pattern = MakePatternBitmap(12, 10, PixelFormat24bppRGB, 3);
    auto zero = pattern->Clone(), one = pattern->Clone();
    OilPaint(*pattern, *zero, nullptr, {.radius = 2, .levels = 0});
    OilPaint(*pattern, *one, nullptr, {.radius = 2, .levels = 1});
    EXPECT_TRUE(SameBitmaps(*one, *zero));
}

TEST(Diffuse, MatchesReferenceAndRepeatsEdges) {
    for (PixelFormat f : kFormats)
        for (int radius : {0, 1, 12, 40}) {
            auto src = MakePatternBitmap(13, 11, f, 5);
            auto dst = src->Clone();
            RuntimeSeed(1);
            Diffuse(*src, *dst, nullptr, {.radius = radius});
            RuntimeSeed(1);
            EXPECT_TRUE(MatchesRaster(OracleDiffuse(ReadRaster(*src), radius), *dst))
                << "radius " << radius;
        }
}

// Every pixel of a Diffuse result comes from within the radius: on an image
// whose pixels encode their own position, each result decodes to a nearby one.
TEST(Diffuse, StaysWithinTheRadius) {
    const int w = 40, h = 30, radius = 3;
    auto src = std::make_unique<Bitmap>(w, h, PixelFormat32bppARGB);
    {
        ScopedLock lock(*src);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = lock.pixel(x, y);
                p[0] = std::uint8_t(x), p[1] = std::uint8_t(y), p[2] = 7,
                p[3] = std::uint8_t(x + y);
            }
    }
    auto dst = src->Clone();
    Diffuse(*src, *dst, nullptr, {.radius = radius});
    ScopedLock lock(*dst);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = lock.pixel(x, y);
            EXPECT_LE(std::abs(p[0] - x), radius);
            EXPECT_LE(std::abs(p[1] - y), radius);
            EXPECT_EQ(p[3], std::uint8_t(p[0] + p[1])); // alpha travels with the colour
        }
}

TEST(Glass, MatchesReferenceAcrossRowEnds) {
    for (PixelFormat f : kFormats)
        for (Size s : {Size{1, 1}, Size{2, 2}, Size{2, 5}, Size{3, 4}, Size{7, 5}, Size{13, 11}}) {
            auto src = MakePatternBitmap(s.w, s.h, f, 9);
            auto dst = src->Clone();
            RuntimeSeed(1);
            Glass(*src, *dst, nullptr);
            RuntimeSeed(1);
            EXPECT_TRUE(MatchesRaster(OracleGlass(ReadRaster(*src), Picked::all(s.w, s.h)), *dst))
                << s.w << "x" << s.h;
        }
}

// The continuation past a row's end counts pixels, so 24- and 32-bit images
// give the same colours and alpha is never written.
TEST(Glass, SameColoursInBothFormatsAndAlphaKept) {
    auto src32 = MakePatternBitmap(5, 6, PixelFormat32bppARGB, 2);
    auto src24 = src32->Clone(Rect{0, 0, 5, 6}, PixelFormat24bppRGB);
    auto dst32 = src32->Clone(), dst24 = src24->Clone();
    RuntimeSeed(1);
    Glass(*src32, *dst32, nullptr);
    RuntimeSeed(1);
    Glass(*src24, *dst24, nullptr);
    auto back = dst32->Clone(Rect{0, 0, 5, 6}, PixelFormat24bppRGB);
    EXPECT_TRUE(SameBitmaps(*back, *dst24));
    const Raster a = ReadRaster(*src32), b = ReadRaster(*dst32);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(a.at(x, y)[3], b.at(x, y)[3]);
}

TEST(Video, GrayAndBlackRows) {
    for (PixelFormat f : kFormats) {
        auto gray = MakeSolidBitmap(5, 7, f, 0x40646464);
        auto dst = gray->Clone();
        Video(*gray, *dst, nullptr);
        EXPECT_TRUE(MatchesRaster(OracleVideo(ReadRaster(*gray), Picked::all(5, 7)), *dst));
        const std::string alpha = f == PixelFormat32bppARGB ? std::string(1, char(0x40)) : "";
        EXPECT_EQ(PixelBytes(*dst, 0, 0), bgr(200, 100, 100) + alpha);
        EXPECT_EQ(PixelBytes(*dst, 1, 1), bgr(100, 200, 100) + alpha);
        EXPECT_EQ(PixelBytes(*dst, 2, 5), bgr(100, 100, 200) + alpha);
        EXPECT_EQ(PixelBytes(*dst, 4, 0), bgr(100, 100, 100) + alpha); // last column untouched
        EXPECT_EQ(PixelBytes(*dst, 0, 6), bgr(100, 100, 100) + alpha); // last row untouched

        auto black = MakeSolidBitmap(5, 7, f, 0xFF000000);
        auto out = black->Clone();
        Video(*black, *out, nullptr);
        EXPECT_TRUE(SameBitmaps(*black, *out));
    }
}

TEST(Video, ClampsAt255) {
    auto src = MakePatternBitmap(9, 8, PixelFormat24bppRGB, 4);
    auto dst = src->Clone();
    Video(*src, *dst, nullptr);
    EXPECT_TRUE(MatchesRaster(OracleVideo(ReadRaster(*src), Picked::all(9, 8)), *dst));
}

// A random effect repeats from the same generator state and differs when the
// sequence runs on.
TEST(RandomEffects, RepeatFromTheSameStateOnly) {
    using Routine = void (*)(Bitmap&, Bitmap&);
    const Routine routines[] = {
        [](Bitmap& s, Bitmap& d) { Diffuse(s, d, nullptr); },
        [](Bitmap& s, Bitmap& d) { Glass(s, d, nullptr); },
    };
    for (Routine run : routines) {
        auto src = MakePatternBitmap(16, 12, PixelFormat24bppRGB, 6);
        auto first = src->Clone(), second = src->Clone(), again = src->Clone();
        RuntimeSeed(1);
        run(*src, *first);
        run(*src, *second);
        RuntimeSeed(1);
        run(*src, *again);
        EXPECT_TRUE(SameBitmaps(*first, *again));
        EXPECT_FALSE(SameBitmaps(*first, *second));
    }
}

} // namespace
