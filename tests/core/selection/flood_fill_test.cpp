// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/selection/flood_fill.h"
#include "core/selection/selection_commands.h"
#include "selection_testing.h"
#include "testing/test_images.h"

#include <deque>

namespace {

void SetPixel(Bitmap& image, int x, int y, ARGB c) {
    ScopedLock lock(image);
    std::uint8_t* p = lock.pixel(x, y);
    p[0] = std::uint8_t(c), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c >> 16);
    if (lock.bpp() == 4) p[3] = std::uint8_t(c >> 24);
}

bool Matches(Bitmap& image, ARGB reference, int x, int y, int tolerance) {
    ARGB c = 0;
    image.GetPixel(x, y, &c);
    return ColorMatches(reference, (c >> 16) & 255, (c >> 8) & 255, c & 255, 4, tolerance);
}

// Plain breadth-first search over 4-neighbours, the oracle for the run-based fill.
PixelSet BreadthFirstFill(Bitmap& image, int sx, int sy, int tolerance) {
    const int w = int(image.GetWidth()), h = int(image.GetHeight());
    ARGB reference = 0;
    image.GetPixel(sx, sy, &reference);
    PixelSet set{w, h, std::vector<std::uint8_t>(std::size_t(w) * h, 0)};
    std::deque<QPoint> queue;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || set.bits[std::size_t(y) * w + x]) return;
        if (!Matches(image, reference, x, y, tolerance)) return;
        set.bits[std::size_t(y) * w + x] = 1;
        queue.push_back(QPoint(x, y));
    };
    visit(sx, sy);
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop_front();
        visit(p.x() - 1, p.y()), visit(p.x() + 1, p.y()), visit(p.x(), p.y() - 1),
            visit(p.x(), p.y() + 1);
    }
    return set;
}

Rect BoundsOf(const PixelSet& s) {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.at(x, y))
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x),
                y1 = std::max(y1, y);
    return x1 < 0 ? Rect{65536, 65536, -131070, -131070} : Rect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

// A picture of a few colours with small per-pixel wobble, so areas of
// similar colour form irregular shapes with holes and diagonal contacts.
std::unique_ptr<Bitmap> RandomPicture(std::mt19937& rng, int w, int h, PixelFormat format) {
    auto image = std::make_unique<Bitmap>(w, h, format);
    const ARGB palette[3] = {0xFF204060, 0xFF2A4A6A, 0x80C0C0C0};
    std::uniform_int_distribution<int> pick(0, 2), wobble(-6, 6);
    ScopedLock lock(*image);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const ARGB c = palette[pick(rng)];
            std::uint8_t* p = lock.pixel(x, y);
            for (int i = 0; i < 3; ++i)
                p[i] = std::uint8_t(std::clamp(int((c >> (8 * i)) & 255) + wobble(rng), 0, 255));
            if (lock.bpp() == 4) p[3] = std::uint8_t(c >> 24);
        }
    return image;
}

} // namespace

TEST(ColorMatchesTest, ToleranceAndAlpha) {
    const struct {
        ARGB reference;
        int difference; // in each of the three channels
        int tolerance;
        bool match;
    } rows[] = {
        {0xFF808080, 11, 10, true},  {0xFF808080, 12, 10, false}, {0xFF808080, 16, 14, true},
        {0xFF808080, 17, 14, false}, {0xFF808080, -11, 10, true}, {0x00808080, 127, 0, true},
        {0xFF808080, 0, 0, false},   {0x01808080, 0, 0, false},   {0x80808080, 16, 10, true},
        {0x80808080, 17, 10, false}, {0xFF808080, 0, 1, true},
    };
    for (const auto& r : rows) {
        const int v = 0x80 + r.difference;
        EXPECT_EQ(ColorMatches(r.reference, v, v, v, 3, r.tolerance), r.match)
            << std::hex << r.reference << std::dec << " diff " << r.difference << " tol "
            << r.tolerance;
    }
    // Squared differences of 398, plus 1 per channel, scaled by 255 / 256, stay within 400.
    EXPECT_TRUE(ColorMatches(0xFF000000, 19, 6, 1, 4, 10));
    EXPECT_FALSE(ColorMatches(0xFF000000, 19, 6, 2, 4, 10));
}

TEST(FloodFill, EqualsBreadthFirstSearch) {
    std::mt19937 rng(21);
    std::uniform_int_distribution<int> size(1, 40);
    for (int trial = 0; trial < 400; ++trial) {
        const int w = size(rng), h = size(rng);
        auto image =
            RandomPicture(rng, w, h, trial % 2 ? PixelFormat24bppRGB : PixelFormat32bppARGB);
        const int sx = std::uniform_int_distribution<int>(0, w - 1)(rng);
        const int sy = std::uniform_int_distribution<int>(0, h - 1)(rng);
        const int tolerance = trial % 3 ? 10 : 14;
        SelectionMask mask(w + trial % 3, h);
        mask.FillRect(Rect{0, 0, w, h}, 1); // the fill clears the mask first
        Rect bounds;
        FloodFillMask(*image, mask, sx, sy, tolerance, bounds);
        const PixelSet expected = BreadthFirstFill(*image, sx, sy, tolerance);
        // The mask is wider than the image in some trials: only the image's part is filled.
        const PixelSet actual = MaskPixels(mask);
        PixelSet cropped{w, h, {}};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < actual.width; ++x) {
                if (x < w) {
                    cropped.bits.push_back(actual.at(x, y));
                } else {
                    ASSERT_FALSE(actual.at(x, y));
                }
            }
        ASSERT_TRUE(SamePixels(expected, cropped)) << "trial " << trial;
        ASSERT_EQ(bounds, BoundsOf(expected)) << "trial " << trial;
    }
}

TEST(FloodFill, BarriersDiagonalsAndTransparency) {
    const struct {
        const char* name;
        ARGB background, line;
        int tolerance;
        int filledWidth; // columns filled from the left edge
    } barriers[] = {
        {"line 12 away stops the paint bucket", 0xFF646464, 0xFF707070, 10, 4},
        {"line 11 away is crossed", 0xFF646464, 0xFF6F6F6F, 10, 9},
        {"line 17 away stops the wand", 0xFF646464, 0xFF757575, 14, 4},
        {"line 16 away is crossed by the wand", 0xFF646464, 0xFF747474, 14, 9},
        {"transparent seed fills everything", 0x00646464, 0xFFFFFFFF, 10, 9},
    };
    for (const auto& b : barriers) {
        auto image = MakeSolidBitmap(9, 4, PixelFormat32bppARGB, b.background);
        for (int y = 0; y < 4; ++y)
            SetPixel(*image, 4, y, b.line);
        SelectionMask mask(9, 4);
        Rect bounds;
        FloodFillMask(*image, mask, 0, 1, b.tolerance, bounds);
        EXPECT_EQ(bounds, (Rect{0, 0, b.filledWidth, 4})) << b.name;
        EXPECT_EQ(mask.Get(b.filledWidth - 1, 3), 1) << b.name;
    }

    auto checker = MakeSolidBitmap(4, 4, PixelFormat24bppRGB, 0xFF000000);
    for (int y = 0; y < 4; ++y)
        for (int x = (y + 1) % 2; x < 4; x += 2)
            SetPixel(*checker, x, y, 0xFFFFFFFF);
    SelectionMask mask(4, 4);
    Rect bounds;
    FloodFillMask(*checker, mask, 1, 1, 10, bounds);
    EXPECT_EQ(bounds, (Rect{1, 1, 1, 1})) << "diagonal neighbours are not joined";

    FloodFillMask(*checker, mask, 4, 0, 10, bounds);
    EXPECT_EQ(bounds, (Rect{0, 0, 0, 0})) << "a seed outside the image marks nothing";
    EXPECT_TRUE(SamePixels(PixelSet{4, 4, std::vector<std::uint8_t>(16, 0)}, MaskPixels(mask)));

    FloodFillMask(*checker, mask, 2, 2, 0, bounds);
    EXPECT_EQ(bounds, (Rect{2, 2, 0, 1})) << "tolerance 0 matches not even the seed";
}

TEST(SelectColor, MarksEveryMatchingPixel) {
    auto checker = MakeSolidBitmap(5, 4, PixelFormat24bppRGB, 0xFF000000);
    for (int y = 0; y < 4; ++y)
        for (int x = (y + 1) % 2; x < 5; x += 2)
            SetPixel(*checker, x, y, 0xFFFFFFFF);
    SelectionMask mask(5, 4);
    Rect bounds;
    SelectColorMask(*checker, mask, 0xFFF8F8F8, 14, bounds);
    EXPECT_EQ(bounds, (Rect{0, 0, 5, 4}));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(mask.Get(x, y), (x + y) % 2) << x << "," << y;

    SetPixel(*checker, 2, 1, 0xFF808080);
    SelectColorMask(*checker, mask, 0xFF808080, 10, bounds);
    EXPECT_EQ(bounds, (Rect{2, 1, 1, 1}));
    SelectColorMask(*checker, mask, 0xFF808080, 0, bounds);
    EXPECT_EQ(bounds, (Rect{65536, 65536, -131070, -131070})) << "nothing marked";
}

TEST(MagicWand, ClickAndShiftClick) {
    // Two white squares apart on black: a click takes one, a Shift-click both.
    auto image = MakeSolidBitmap(12, 8, PixelFormat24bppRGB, 0xFF000000);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            SetPixel(*image, x, y, 0xFFFFFFFF), SetPixel(*image, x + 6, y + 3, 0xFFFEFEFE);
    const SelectionPath click = MagicWandSelect(*image, 2, 2);
    EXPECT_EQ(click.GetRegion().GetScans(), (std::vector<Rect>{{1, 1, 3, 3}}));
    const SelectionPath shift = MagicWandSelect(*image, 2, 2, 14, true);
    EXPECT_EQ(shift.GetRegion().GetArea(), 18);
    EXPECT_TRUE(shift.GetRegion().IsVisible(8.0f, 5.0f));
    const SelectionPath background = MagicWandSelect(*image, 0, 0);
    EXPECT_EQ(background.GetRegion().GetArea(), 96 - 18);
    EXPECT_FALSE(background.GetRegion().IsVisible(2.0f, 2.0f)) << "the square is a hole";
    EXPECT_FALSE(MagicWandSelect(*image, -1, 0, 14, true).HasSelection());

    auto transparent = MakeSolidBitmap(6, 5, PixelFormat32bppARGB, 0x00000000);
    SetPixel(*transparent, 3, 3, 0xFFFF0000);
    EXPECT_EQ(MagicWandSelect(*transparent, 0, 0).GetRegion().GetScans(),
              (std::vector<Rect>{{0, 0, 6, 5}}));
}
