// SPDX-License-Identifier: GPL-3.0-or-later
// How the blur, sharpen, stylize and colour-formula effects honour a selection:
// each selection-limited result follows from the whole-image result by its
// coverage pattern, and an empty selection counts as none.
#include "core/selection/selection_region.h"
#include "effects/blur_sharpen.h"
#include "effects/effect_oracle.h"
#include "effects/stylize.h"

#include <QPainterPath>

namespace {

using Routine = std::function<void(Bitmap&, Bitmap&, SelectionRegion*)>;

// How a selection limits an effect, compared with its whole-image result.
enum class Rule {
    Pointwise,    // selected pixels take the whole-image result, others keep the source
    RectLessLast, // as Pointwise, but not on the last column and row of the bounds
    Ignored,      // the selection changes nothing
    BlurThenAll,  // Soft Glow: only its blurred layer is limited
};

struct EffectCase {
    const char* name;
    Routine run;
    Rule rule;
};

const std::vector<EffectCase>& effectCases() {
    static const std::vector<EffectCase> cases = {
        {"Blur", Blur, Rule::Pointwise},
        {"GaussBlur", GaussBlur, Rule::Pointwise},
        {"Sharpen", Sharpen, Rule::Pointwise},
        {"SharpenMore", SharpenMore, Rule::Pointwise},
        {"MotionBlur",
         [](Bitmap& s, Bitmap& d, SelectionRegion* r) {
             MotionBlur(s, d, r, {.angle = 15, .distance = 20});
         },
         Rule::Pointwise},
        // Outside the blurred area 2 * source - source gives the source back.
        {"USM Sharpen",
         [](Bitmap& s, Bitmap& d, SelectionRegion* r) { UsmSharpen(s, d, r, {.strength = 15}); },
         Rule::Pointwise},
        {"SoftGlow", SoftGlow, Rule::BlurThenAll},
        {"Emboss", Emboss, Rule::RectLessLast},
        {"Wooden", Wooden, Rule::RectLessLast},
        {"Pencil",
         [](Bitmap& s, Bitmap& d, SelectionRegion* r) { Pencil(s, d, r, {.threshold = 12}); },
         Rule::Ignored},
        {"Solarize", Solarize, Rule::Pointwise},
        {"Whim", Whim, Rule::Pointwise},
        {"Aqua", Aqua, Rule::Pointwise},
        {"Darker", Darker, Rule::Pointwise},
        {"Ice", Ice, Rule::Pointwise},
        {"Molten", Molten, Rule::Pointwise},
        {"Old Photo", OldPhoto, Rule::Pointwise},
        {"Subtence", Subtence, Rule::Pointwise},
    };
    return cases;
}

std::unique_ptr<Bitmap> run(const EffectCase& c, Bitmap& source, SelectionRegion* selection) {
    return applied(source, [&](Bitmap& s, Bitmap& d) { c.run(s, d, selection); });
}

SelectionRegion ellipse(double x, double y, double w, double h) {
    QPainterPath path;
    path.addEllipse(x, y, w, h);
    return SelectionRegion(path);
}

TEST(EffectSelection, EmptySelectionEqualsNone) {
    SelectionRegion empty(Rect{3, 3, 0, 0});
    ASSERT_TRUE(empty.IsEmpty());
    for (const EffectCase& c : effectCases())
        for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB}) {
            SCOPED_TRACE(testing::Message() << c.name << " " << PixelFormatName(format));
            auto source = MakePatternBitmap(41, 29, format, 11);
            auto none = run(c, *source, nullptr);
            auto withEmpty = run(c, *source, &empty);
            EXPECT_TRUE(SameBitmaps(*none, *withEmpty));
        }
}

// The expected selection-limited image, built from the whole-image result.
std::unique_ptr<Bitmap> limited(const EffectCase& c, Bitmap& source, Bitmap& whole,
                                const SelectionRegion& region) {
    const Rect b = region.GetBounds();
    return expected(source, [&](const ScopedLock& s, const ScopedLock& e) {
        ScopedLock all(whole);
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) {
                bool take = region.IsVisible(float(x), float(y));
                if (c.rule == Rule::RectLessLast)
                    take = take && x < b.GetRight() - 1 && y < b.GetBottom() - 1;
                if (c.rule == Rule::Ignored) take = true;
                if (take) std::memcpy(e.pixel(x, y), all.pixel(x, y), s.bpp());
            }
    });
}

TEST(EffectSelection, SelectionLimitsByCoveragePattern) {
    // An ellipse cut by the image's right edge, and a rectangle.
    const SelectionRegion regions[] = {ellipse(14.3, 5.2, 40, 19.5),
                                       SelectionRegion(Rect{4, 6, 17, 9})};
    for (const EffectCase& c : effectCases()) {
        if (c.rule == Rule::BlurThenAll) continue;
        for (const SelectionRegion& region : regions)
            for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB}) {
                SCOPED_TRACE(testing::Message()
                             << c.name << " " << PixelFormatName(format) << " bounds "
                             << region.GetBounds().X << "," << region.GetBounds().Y);
                auto source = MakePatternBitmap(43, 27, format, 12);
                auto whole = run(c, *source, nullptr);
                SelectionRegion copy(region);
                auto actual = run(c, *source, &copy);
                auto want = limited(c, *source, *whole, region);
                EXPECT_TRUE(SameBitmaps(*want, *actual));
            }
    }
}

// Soft Glow brightens and screens every pixel; only the blurred layer stops at
// the selection.
TEST(EffectSelection, SoftGlowChangesPixelsOutsideTheSelection) {
    auto source = MakePatternBitmap(30, 20, PixelFormat24bppRGB, 13);
    SelectionRegion region = ellipse(3, 3, 10, 8);
    auto glow = run({"SoftGlow", SoftGlow, Rule::BlurThenAll}, *source, &region);
    auto blurred = applied(*source, [&](Bitmap& s, Bitmap& d) { GaussBlur(s, d, &region); });
    auto glowOfBlurred = expected(*source, [&](const ScopedLock& s, const ScopedLock& e) {
        ScopedLock layer(*blurred);
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                for (int c = 0; c < 3; ++c) {
                    const int bright = std::min(255, int(s.pixel(x, y)[c] * 1.05));
                    e.pixel(x, y)[c] =
                        std::uint8_t(255 - (255 - bright) * (255 - layer.pixel(x, y)[c]) / 255);
                }
    });
    EXPECT_TRUE(SameBitmaps(*glowOfBlurred, *glow));
    EXPECT_NE(PixelBytes(*glow, 25, 15), PixelBytes(*source, 25, 15));
}

// Two threads split the rows only on larger images: a selection there gives
// the same bytes as the per-pixel rule.
TEST(EffectSelection, LargeImageWithEllipse) {
    auto source = MakePatternBitmap(420, 330, PixelFormat32bppARGB, 14);
    SelectionRegion region = ellipse(20.5, 10, 380, 300);
    for (const EffectCase& c : effectCases()) {
        if (c.rule == Rule::BlurThenAll) continue;
        SCOPED_TRACE(c.name);
        auto whole = run(c, *source, nullptr);
        auto actual = run(c, *source, &region);
        auto want = limited(c, *source, *whole, region);
        EXPECT_TRUE(SameBitmaps(*want, *actual));
    }
}

} // namespace
