// SPDX-License-Identifier: GPL-3.0-or-later
// How the texture, distortion, noise and red-eye routines honour a selection.
#include "core/runtime_random.h"
#include "core/selection/selection_region.h"
#include "effects/distort.h"
#include "effects/noise_redeye_lomo.h"
#include "effects/rain_drops.h"
#include "effects/texture.h"
#include "testing/test_images.h"
#include "texture_oracles.h"

#include <QPainterPath>

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat24bppRGB, PixelFormat32bppARGB};
constexpr int kW = 23, kH = 17;

Picked pickedFrom(const SelectionRegion& region) {
    return {false, region.GetBounds(),
            [&region](int x, int y) { return region.IsVisible(float(x), float(y)); }};
}

SelectionRegion ellipse(double x, double y, double w, double h) {
    QPainterPath path;
    path.addEllipse(x, y, w, h);
    return SelectionRegion(path);
}

using Routine = void (*)(Bitmap& source, Bitmap& destination, const SelectionRegion* selection);
struct Named {
    const char* name;
    Routine run;
};
// Table rows stay one a line.
// clang-format off
const Named kRoutines[] = {
    {"Mosaic", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { Mosaic(s, d, r, {.size = 4}); }},
    {"OilPaint", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { OilPaint(s, d, r, {.radius = 2}); }},
    {"Diffuse", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { Diffuse(s, d, r); }},
    {"Glass", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { Glass(s, d, r); }},
    {"Video", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { Video(s, d, r); }},
    {"Wave", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { Wave(s, d, r); }},
    {"Pinch", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { Pinch(s, d, r, {.strength = 3}); }},
    {"FishEye", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { FishEye(s, d, r, {.outside = 0}); }},
    {"RainDrops", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { RainDrops(s, d, r, {.size = 12}); }},
    {"Lomo", [](Bitmap& s, Bitmap& d, const SelectionRegion* r) { Lomo(s, d, r); }},
    {"AddNoise", [](Bitmap&, Bitmap& d, const SelectionRegion* r) { AddNoise(d, r, {.amplitude = 35}); }},
    {"RedEyeRemove", [](Bitmap&, Bitmap& d, const SelectionRegion* r) { RedEyeRemove(d, r, {.threshold = 10}); }},
};
// clang-format on

TEST(TextureSelection, AbsentAndEmptySelectionsAgree) {
    const SelectionRegion empty(Rect{3, 3, 0, 0});
    ASSERT_TRUE(empty.IsEmpty());
    for (PixelFormat f : kFormats)
        for (const Named& r : kRoutines) {
            auto src = MakePatternBitmap(kW, kH, f, 41);
            auto none = src->Clone(), withEmpty = src->Clone();
            RuntimeSeed(1);
            r.run(*src, *none, nullptr);
            RuntimeSeed(1);
            r.run(*src, *withEmpty, &empty);
            EXPECT_TRUE(SameBitmaps(*none, *withEmpty)) << r.name;
        }
}

// Routines that cover the whole image whatever the selection give the same
// bytes with one.
TEST(TextureSelection, UnselectiveRoutinesIgnoreTheSelection) {
    const SelectionRegion region = ellipse(4, 3, 9, 7);
    for (const char* name : {"OilPaint", "Diffuse", "Pinch", "RainDrops", "Lomo"})
        for (const Named& r : kRoutines) {
            if (std::string(r.name) != name) continue;
            auto src = MakePatternBitmap(kW, kH, PixelFormat32bppARGB, 42);
            auto none = src->Clone(), selected = src->Clone();
            RuntimeSeed(1);
            r.run(*src, *none, nullptr);
            RuntimeSeed(1);
            r.run(*src, *selected, &region);
            EXPECT_TRUE(SameBitmaps(*none, *selected)) << name;
        }
}

// The selective routines against their references on an elliptic selection,
// and on a rectangle reaching past the image's top left corner.
TEST(TextureSelection, SelectiveRoutinesMatchReferences) {
    const SelectionRegion regions[] = {ellipse(2.5, 1.5, 15, 11),
                                       SelectionRegion(Rect{-4, -3, 13, 30}),
                                       SelectionRegion(Rect{5, 2, 30, 9})};
    for (PixelFormat f : kFormats)
        for (const SelectionRegion& region : regions) {
            auto src = MakePatternBitmap(kW, kH, f, 43);
            const Raster s = ReadRaster(*src);
            const Picked picked = pickedFrom(region);
            auto check = [&](const char* name, Routine run, const Raster& expected) {
                auto dst = src->Clone();
                RuntimeSeed(1);
                run(*src, *dst, &region);
                EXPECT_TRUE(MatchesRaster(expected, *dst))
                    << name << " bounds " << picked.work.X << "," << picked.work.Y << ","
                    << picked.work.Width << "," << picked.work.Height;
            };
            check("Mosaic", kRoutines[0].run, OracleMosaic(s, picked, 4));
            check("Video", kRoutines[4].run, OracleVideo(s, picked));
            check("Wave", kRoutines[5].run, OracleWave(s, picked, 10));
            for (int outside : {0, 1, 2}) {
                auto dst = src->Clone();
                FishEye(*src, *dst, &region, {.mode = 0, .outside = outside, .strength = 29});
                EXPECT_TRUE(MatchesRaster(OracleFishEye(s, picked, 0, outside, 29), *dst))
                    << "FishEye " << outside;
            }
            RuntimeSeed(1);
            const Raster glass = OracleGlass(s, picked);
            check("Glass", kRoutines[3].run, glass);
            RuntimeSeed(1);
            const Raster noise = OracleAddNoise(s, picked, 35);
            check("AddNoise", kRoutines[10].run, noise);
        }
}

// Pixels outside the selection keep their bytes, alpha included, for the
// routines whose writes stay inside it.
TEST(TextureSelection, UnselectedPixelsKeepTheirBytes) {
    const SelectionRegion region = ellipse(3, 2, 14, 12);
    for (PixelFormat f : kFormats)
        for (const char* name : {"Glass", "Video", "Wave", "AddNoise", "RedEyeRemove"})
            for (const Named& r : kRoutines) {
                if (std::string(r.name) != name) continue;
                auto src = MakePatternBitmap(kW, kH, f, 44);
                auto dst = src->Clone();
                r.run(*src, *dst, &region);
                const Raster before = ReadRaster(*src), after = ReadRaster(*dst);
                int changed = 0;
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < kW; ++x) {
                        const bool same = std::equal(before.at(x, y), before.at(x, y) + before.bpp,
                                                     after.at(x, y));
                        if (!region.IsVisible(float(x), float(y)))
                            EXPECT_TRUE(same) << name << " " << x << "," << y;
                        else
                            changed += !same;
                    }
                EXPECT_GT(changed, 0) << name;
            }
}

// Red Eye Remove works through a 32-bit lock; a 24-bit image gives the colours
// the 32-bit one does.
TEST(TextureSelection, RedEyeSameColoursInBothFormats) {
    const SelectionRegion region = ellipse(1, 1, 20, 14);
    auto wide = MakePatternBitmap(kW, kH, PixelFormat32bppARGB, 45);
    auto narrow = wide->Clone(Rect{0, 0, kW, kH}, PixelFormat24bppRGB);
    RedEyeRemove(*wide, &region, {.threshold = 10});
    RedEyeRemove(*narrow, &region, {.threshold = 10});
    auto back = wide->Clone(Rect{0, 0, kW, kH}, PixelFormat24bppRGB);
    EXPECT_TRUE(SameBitmaps(*back, *narrow));
}

} // namespace
