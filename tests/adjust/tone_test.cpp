// SPDX-License-Identifier: GPL-3.0-or-later
// Brightness/contrast, colour balance and gamma against their formulas.
#include "adjust/tone.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "testing/test_images.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat24bppRGB, PixelFormat32bppARGB};

// The per-pixel formula, written out independently of the routine's table.
int brightnessContrast(int v, int brightness, int contrast) {
    const double k = std::pow((contrast + 100.0) / 100.0, 2);
    const int lit = std::clamp(v + brightness, 0, 255);
    return std::clamp(int(((lit / 255.0 - 0.5) * k + 0.5) * 255.0), 0, 255);
}

// Checks every colour byte of result against f(source byte, channel) and that
// alpha kept the source's value.
template <class F> void expectPerByte(Bitmap& source, Bitmap& result, F f) {
    ScopedLock s(source), r(result);
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            for (int c = 0; c < s.bpp(); ++c) {
                const int expected = c < 3 ? f(s.pixel(x, y)[c], c) : s.pixel(x, y)[c];
                ASSERT_EQ(r.pixel(x, y)[c], expected) << "pixel " << x << "," << y << " byte " << c;
            }
}

TEST(BrightnessContrast, NeutralSettingsLowerTheListedLevels) {
    const std::set<int> lower = {1,  2,  5,  9,  10, 13, 17, 18, 21, 25,
                                 26, 29, 33, 34, 41, 42, 49, 50, 57, 58};
    std::uint8_t table[256];
    BuildBrightnessContrastTable(0, 0, table);
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(table[v], lower.count(v) ? v - 1 : v) << "level " << v;
}

TEST(BrightnessContrast, TableMatchesFormulaAndLimits) {
    struct Case {
        int brightness, contrast, limitedBrightness, limitedContrast;
    };
    const Case cases[] = {
        {0, -100, 0, -100},   {255, 0, 255, 0},     {-255, 0, -255, 0},       {40, 30, 40, 30},
        {-70, 100, -70, 100}, {300, 150, 255, 100}, {-999, -101, -255, -100},
    };
    for (const Case& c : cases) {
        std::uint8_t table[256];
        BuildBrightnessContrastTable(c.brightness, c.contrast, table);
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(table[v], brightnessContrast(v, c.limitedBrightness, c.limitedContrast))
                << c.brightness << "/" << c.contrast << " level " << v;
    }
    std::uint8_t table[256];
    BuildBrightnessContrastTable(0, -100, table);
    EXPECT_EQ(std::count(table, table + 256, 127), 256);
    BuildBrightnessContrastTable(255, 0, table);
    EXPECT_EQ(std::count(table, table + 256, 255), 256);
}

TEST(BrightnessContrast, ImageFollowsFormulaInBothFormats) {
    for (PixelFormat format : kFormats) {
        auto source = MakePatternBitmap(7, 5, format); // odd width: padded 24-bit rows
        auto target = source->Clone();
        AdjustBrightnessContrast(*source, *target, 37, -42, nullptr);
        expectPerByte(*source, *target, [](int v, int) { return brightnessContrast(v, 37, -42); });
    }
}

TEST(ColorBalance, ShiftsEachChannelAndClamps) {
    for (PixelFormat format : kFormats) {
        auto source = MakePatternBitmap(6, 4, format);
        auto target = source->Clone();
        Bitmap& returned = AdjustColorBalance(*source, *target, 255, -40, 999, nullptr);
        EXPECT_EQ(&returned, target.get());
        // Bytes are blue, green, red; blue's 999 is limited to 255.
        const int shift[3] = {255, -40, 255};
        expectPerByte(*source, *target,
                      [&](int v, int c) { return std::clamp(v + shift[c], 0, 255); });
    }
}

TEST(Gamma, SliderMapping) {
    struct Case {
        int position;
        double gamma;
    };
    const Case cases[] = {{0, 0.0},  {1, 0.02}, {25, 0.5}, {50, 1.0}, {51, 51 * 0.08 - 3.0},
                          {75, 3.0}, {100, 5.0}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(GammaFromSliderPosition(c.position), c.gamma) << c.position;
    EXPECT_EQ(kGammaSliderStart, 1);
}

TEST(Gamma, Tables) {
    std::uint8_t table[256];
    BuildGammaTable(GammaFromSliderPosition(50), table);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(table[i], i);
    BuildGammaTable(GammaFromSliderPosition(100), table);
    EXPECT_EQ(table[64], 193);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[255], 255);
    // Below 0.1 and above 5.0 the gamma is limited first.
    std::uint8_t limited[256];
    BuildGammaTable(0.1, limited);
    BuildGammaTable(GammaFromSliderPosition(1), table);
    EXPECT_TRUE(std::equal(table, table + 256, limited));
    BuildGammaTable(5.0, limited);
    BuildGammaTable(80.0, table);
    EXPECT_TRUE(std::equal(table, table + 256, limited));
    BuildGammaTable(2.2, table);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(table[i], std::min(255, int(std::pow(i / 255.0, 1.0 / 2.2) * 255.0 + 0.5)));
}

TEST(Gamma, WholeImageInBothFormats) {
    for (PixelFormat format : kFormats) {
        auto source = MakePatternBitmap(9, 3, format);
        auto target = source->Clone();
        AdjustGamma(*source, *target, 0.7);
        std::uint8_t table[256];
        BuildGammaTable(0.7, table);
        expectPerByte(*source, *target, [&](int v, int) { return table[v]; });
    }
}

TEST(ApplyChannelTable, MaskChoosesBytes) {
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = std::uint8_t(v ^ 0x5A);
    for (int mask = 0; mask < 8; ++mask) {
        auto source = MakePatternBitmap(5, 4, PixelFormat32bppARGB, 3);
        auto target = MakePatternBitmap(5, 4, PixelFormat32bppARGB, 4);
        auto before = target->Clone();
        ApplyChannelTable(*source, *target, table, mask);
        ScopedLock s(*source), t(*target), b(*before);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                for (int c = 0; c < 4; ++c) {
                    const bool written = c < 3 && (mask & (1 << c));
                    ASSERT_EQ(t.pixel(x, y)[c],
                              written ? table[s.pixel(x, y)[c]] : b.pixel(x, y)[c])
                        << "mask " << mask << " byte " << c;
                }
    }
}

// The curve command relies on mask 7 doing what ApplyLookupTable does for all channels.
TEST(ApplyChannelTable, AllChannelsMatchApplyLookupTable) {
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = std::uint8_t((v * 7 + 3) & 255);
    for (PixelFormat format : kFormats) {
        auto source = MakePatternBitmap(7, 3, format, 5);
        auto viaMask = MakePatternBitmap(7, 3, format, 6);
        auto viaLookup = viaMask->Clone();
        ApplyChannelTable(*source, *viaMask, table, 7);
        ApplyLookupTable(*source, *viaLookup, table, ChannelAll);
        EXPECT_TRUE(SameBitmaps(*viaLookup, *viaMask));
    }
}

TEST(ApplyChannelTable, InPlace) {
    auto image = MakePatternBitmap(4, 4, PixelFormat24bppRGB);
    auto original = image->Clone();
    std::uint8_t table[256];
    BuildGammaTable(2.0, table);
    ApplyChannelTable(*image, *image, table, 7);
    expectPerByte(*original, *image, [&](int v, int) { return table[v]; });
}

} // namespace

namespace {

// With a selection, exactly the selected pixels take the whole-image result;
// the others keep the target's bytes. An empty selection acts as none.
TEST(ToneSelection, OnlySelectedPixelsChange) {
    SelectionPath ellipse;
    ellipse.AddEllipse(QRectF(1.5, 0.5, 9.0, 5.5));
    const SelectionRegion empty(Rect{0, 0, 0, 0});
    const SelectionRegion offImage(Rect{8, 3, 10, 10}); // reaches past the corner
    using Adjust = void (*)(Bitmap&, Bitmap&, const SelectionRegion*);
    // Table rows stay one a line.
    // clang-format off
    const Adjust adjustments[] = {
        [](Bitmap& s, Bitmap& t, const SelectionRegion* r) { AdjustBrightnessContrast(s, t, 60, 35, r); },
        [](Bitmap& s, Bitmap& t, const SelectionRegion* r) { AdjustColorBalance(s, t, -30, 90, 12, r); },
    };
    // clang-format on
    for (PixelFormat format : kFormats) {
        for (Adjust adjust : adjustments) {
            auto source = MakePatternBitmap(11, 7, format);
            auto whole = MakePatternBitmap(11, 7, format, 9);
            adjust(*source, *whole, nullptr);
            auto viaEmpty = MakePatternBitmap(11, 7, format, 9);
            adjust(*source, *viaEmpty, &empty);
            EXPECT_TRUE(SameBitmaps(*whole, *viaEmpty));

            for (const SelectionRegion* region : {&ellipse.GetRegion(), &offImage}) {
                auto target = MakePatternBitmap(11, 7, format, 9);
                auto before = target->Clone();
                adjust(*source, *target, region);
                int changed = 0;
                for (int y = 0; y < 7; ++y)
                    for (int x = 0; x < 11; ++x) {
                        const bool in = region->IsVisible(float(x), float(y));
                        changed += in;
                        ASSERT_EQ(PixelBytes(*target, x, y),
                                  PixelBytes(in ? *whole : *before, x, y))
                            << x << "," << y;
                    }
                EXPECT_GT(changed, 0);
            }
        }
    }
}

} // namespace
