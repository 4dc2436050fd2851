// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/selection/tracing.h"
#include "selection_testing.h"

namespace {

SelectionMask MaskOf(int width, int height, std::initializer_list<QPoint> pixels) {
    SelectionMask mask(width, height);
    for (const QPoint& p : pixels)
        mask.Set(p.x(), p.y(), 1);
    return mask;
}

bool AllClear(const SelectionMask& mask) {
    for (int y = 0; y < mask.GetHeight(); ++y)
        for (int x = 0; x < mask.GetWidth(); ++x)
            if (mask.Get(x, y)) return false;
    return true;
}

SelectionPath PathOf(const std::vector<QPolygon>& polygons) {
    SelectionPath path;
    for (const QPolygon& p : polygons)
        path.AddPolygon(p);
    return path;
}

} // namespace

TEST(TraceMask, ContourShapes) {
    const struct {
        const char* name;
        SelectionMask mask;
        std::vector<QPolygon> contours;
    } rows[] = {
        {"one pixel", MaskOf(6, 5, {{3, 2}}), {QPolygon({{3, 2}, {4, 2}, {4, 3}, {3, 3}})}},
        {"corner-touching pixels pass the shared corner twice",
         MaskOf(4, 4, {{1, 1}, {2, 2}}),
         {QPolygon({{1, 1}, {2, 1}, {2, 2}, {3, 2}, {3, 3}, {2, 3}, {2, 2}, {1, 2}})}},
        {"ring: outer contour first, then the hole",
         MaskOf(5, 5, {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3}}),
         {QPolygon({{1, 1}, {4, 1}, {4, 4}, {1, 4}}), QPolygon({{2, 2}, {3, 2}, {3, 3}, {2, 3}})}},
        {"pixels at the mask's edges",
         MaskOf(2, 2, {{0, 0}, {1, 1}}),
         {QPolygon({{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}, {0, 1}})}},
        {"nothing set", MaskOf(3, 3, {}), {}},
    };
    for (const auto& row : rows) {
        SelectionMask mask = row.mask;
        const SelectionMask original = row.mask;
        EXPECT_EQ(TraceMaskToPolygons(mask, Rect{0, 0, 6, 6}), row.contours) << row.name;
        EXPECT_TRUE(AllClear(mask)) << row.name;
        SelectionMask again = row.mask;
        const SelectionPath path = TraceMaskToPath(again, Rect{0, 0, 6, 6});
        EXPECT_TRUE(
            SamePixels(MaskPixels(original),
                       RegionPixels(path.GetRegion(), original.GetWidth(), original.GetHeight())))
            << row.name;
    }
}

TEST(TraceMask, RectangleLimitsTheTrace) {
    SelectionMask mask = MaskOf(6, 6, {{0, 0}, {2, 2}, {3, 2}, {5, 5}, {4, 2}});
    const std::vector<QPolygon> polygons = TraceMaskToPolygons(mask, Rect{1, 1, 3, 3});
    EXPECT_EQ(polygons, (std::vector<QPolygon>{QPolygon({{2, 2}, {4, 2}, {4, 3}, {2, 3}})}));
    EXPECT_EQ(mask.Get(0, 0), 1) << "pixels outside the rectangle stay";
    EXPECT_EQ(mask.Get(4, 2), 1);
    EXPECT_EQ(mask.Get(5, 5), 1);
    EXPECT_EQ(mask.Get(2, 2), 0);

    // Zero-size masks, rectangles beyond the mask and an empty flood fill's
    // rectangle trace to nothing.
    SelectionMask none(0, 5);
    EXPECT_FALSE(TraceMaskToPath(none, Rect{0, 0, 5, 5}).HasSelection());
    SelectionMask some = MaskOf(3, 3, {{1, 1}});
    EXPECT_TRUE(TraceMaskToPolygons(some, Rect{65536, 65536, -131070, -131070}).empty());
    EXPECT_TRUE(TraceMaskToPolygons(some, Rect{2, 2, 40, 40}).empty());
    EXPECT_EQ(TraceMaskToPolygons(some, Rect{0, 0, 40, 40}).size(), 1u);

    // A rectangle starting above and left of the mask and reaching past it
    // covers the whole mask: no row or column at the far side is lost.
    SelectionMask far = MaskOf(6, 4, {{0, 0}, {5, 3}, {2, 2}});
    EXPECT_EQ(TraceMaskToPolygons(far, Rect{-2, -3, 9, 8}).size(), 3u);
    EXPECT_TRUE(AllClear(far));
}

TEST(TraceMask, RandomMasksRoundTripThroughRegions) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> size(1, 200);
    std::uniform_real_distribution<double> density(0.05, 0.95);
    for (int trial = 0; trial < 1500; ++trial) {
        const int w = trial < 100 ? 1 + trial % 4 : size(rng) / (trial % 3 + 1) + 1;
        const int h = trial < 100 ? 1 + trial / 25 : size(rng) / (trial % 2 + 1) + 1;
        SelectionMask mask = RandomMask(rng, w, h, density(rng));
        const PixelSet original = MaskPixels(mask);
        SelectionMask copy = mask;
        const SelectionPath path = TraceMaskToPath(mask, Rect{0, 0, w, h});
        ASSERT_TRUE(SamePixels(original, RegionPixels(path.GetRegion(), w, h)))
            << "trial " << trial << " " << w << "x" << h;
        ASSERT_TRUE(AllClear(mask));
        const SelectionPath fromPolygons = PathOf(TraceMaskToPolygons(copy, Rect{0, 0, w, h}));
        ASSERT_EQ(fromPolygons.GetPath(), path.GetPath());
    }
}

TEST(TraceMask, RegionToOutlineKeepsOffsetRegions) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 200; ++trial) {
        SelectionMask mask = RandomMask(rng, 30, 20, 0.5);
        SelectionPath traced = TraceMaskToPath(mask, Rect{0, 0, 30, 20});
        traced.Translate(-7, 4);
        const SelectionRegion& region = traced.GetRegion();
        const SelectionPath outline = RegionToOutline(region);
        SelectionRegion back(outline);
        back.Xor(region);
        ASSERT_TRUE(back.IsEmpty()) << "trial " << trial;
    }
    EXPECT_FALSE(RegionToOutline(SelectionRegion(Rect{})).HasSelection());
    EXPECT_EQ(SelectionRegion(RegionToOutline(SelectionRegion())).GetArea(),
              SelectionRegion().GetArea());
}

TEST(CombineSelectionsTest, ModesAreSetOperations) {
    const struct {
        int mode;
        bool (*op)(bool, bool);
    } modes[] = {
        {2, [](bool a, bool b) { return a || b; }},  {3, [](bool a, bool b) { return a != b; }},
        {4, [](bool a, bool b) { return a && !b; }}, {0, [](bool a, bool) { return a; }},
        {1, [](bool a, bool) { return a; }},         {5, [](bool a, bool) { return a; }},
    };
    std::mt19937 rng(9);
    for (int trial = 0; trial < 300; ++trial) {
        SelectionMask ma = RandomMask(rng, 25, 20, 0.4), mb = RandomMask(rng, 20, 25, 0.6);
        SelectionPath pa = TraceMaskToPath(ma, Rect{0, 0, 25, 20});
        SelectionPath pb = TraceMaskToPath(mb, Rect{0, 0, 20, 25});
        pa.Translate(trial % 7 - 3, 2);
        pb.Translate(5, trial % 5 - 2);
        const PixelSet a = RegionPixels(pa.GetRegion(), 40, 40),
                       b = RegionPixels(pb.GetRegion(), 40, 40);
        for (const auto& m : modes) {
            const SelectionPath result = CombineSelections(pa.GetRegion(), m.mode, pb.GetRegion());
            PixelSet expected{40, 40, {}};
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    expected.bits.push_back(m.op(a.at(x, y), b.at(x, y)));
            ASSERT_TRUE(SamePixels(expected, RegionPixels(result.GetRegion(), 40, 40)))
                << "trial " << trial << " mode " << m.mode;
        }
    }
}

TEST(CombineSelectionsTest, EdgeCases) {
    const SelectionRegion a(Rect{5, 5, 4, 4}), cover(Rect{0, 0, 20, 20}), empty(Rect{});
    EXPECT_FALSE(CombineSelections(a, 4, cover).HasSelection())
        << "subtracting a cover leaves nothing";
    EXPECT_EQ(CombineSelections(empty, 2, a).GetRegion().GetScans(), a.GetScans());
    EXPECT_EQ(CombineSelections(a, 3, a).GetPointCount(), 0);
    EXPECT_FALSE(CombineSelections(empty, 2, empty).HasSelection());

    // The infinite region is combined without a mask of its size.
    const SelectionRegion infinite;
    const SelectionPath holed = CombineSelections(infinite, 4, a);
    EXPECT_FALSE(holed.GetRegion().IsVisible(6.0f, 6.0f));
    EXPECT_TRUE(holed.GetRegion().IsVisible(4.0f, 6.0f));
    EXPECT_TRUE(holed.GetRegion().IsVisible(-4e6f, 4e6f));
    EXPECT_EQ(CombineSelections(a, 4, infinite).GetPointCount(), 0);
}

TEST(ScanConvert, FixedPointSpans) {
    const struct {
        const char* name;
        QPolygon points;
        std::vector<Span> spans;
        // Table rows stay one a line.
        // clang-format off
    } rows[] = {
        {"no points", QPolygon(), {}},
        {"only horizontal edges", QPolygon({{0, 2}, {5, 2}}), {}},
        {"square", QPolygon({{1, 0}, {4, 0}, {4, 3}, {1, 3}}), {{1, 0, 3}, {1, 1, 3}, {1, 2, 3}}},
        {"triangle", QPolygon({{0, 0}, {8, 4}, {0, 4}}), {{0, 0, 0}, {0, 1, 2}, {0, 2, 4}, {0, 3, 6}}},
        // The slope (-3 * 256) / 9 truncates to -85, so row 3 starts at x 513 / 256.
        {"slope truncates toward zero", QPolygon({{3, 0}, {10, 0}, {10, 9}, {0, 9}}),
         {{3, 0, 7}, {3, 1, 7}, {3, 2, 7}, {3, 3, 7}, {2, 4, 8}, {2, 5, 8}, {2, 6, 8}, {1, 7, 9}, {1, 8, 9}}},
        {"negative coordinates", QPolygon({{-3, -2}, {-1, -2}, {-1, 0}, {-3, 0}}), {{-3, -2, 2}, {-3, -1, 2}}},
        {"two crossings pairs in a row", QPolygon({{0, 0}, {2, 0}, {2, 1}, {4, 1}, {4, 0}, {6, 0}, {6, 2}, {0, 2}}),
         {{0, 0, 2}, {4, 0, 2}, {0, 1, 6}}},
        // An edge across the whole region: 2^23 pixels in 24.8 fixed point do not fit an int.
        {"edge across the region", QPolygon({{-4194304, 0}, {4194304, 2}, {-4194304, 2}}), {{-4194304, 0, 0}, {-4194304, 1, 4194304}}},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(ScanConvertPolygon(row.points), row.spans) << row.name;
}

TEST(SelectionMaskTest, WritersToggleAnyByteAndClip) {
    SelectionMask mask(20, 3);
    const std::uint8_t row[20] = {0, 1, 2, 255, 0, 0, 128, 7, 0, 1, 0, 3, 0, 0, 0, 9, 200, 0, 1, 0};
    for (int x = 0; x < 20; ++x)
        mask.Set(x, 1, row[x]);
    mask.ToggleSpan(Span{-3, 1, 30}); // clipped to the row
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(mask.Get(x, 1), row[x] == 0 ? 1 : 0) << x;
    mask.ToggleRect(Rect{18, -1, 5, 5});
    EXPECT_EQ(mask.Get(19, 0), 1);
    EXPECT_EQ(mask.Get(18, 1), 1);  // 1, toggled twice
    mask.ToggleSpan(Span{2, 5, 3}); // outside: nothing
    mask.ToggleSpan(Span{2, 0, -2});
    mask.FillRect(Rect{-5, 2, 7, 9}, 4);
    EXPECT_EQ(mask.Get(1, 2), 4);
    EXPECT_EQ(mask.Get(2, 2), 0);
    mask.Toggle(2, 2);
    EXPECT_EQ(mask.Get(2, 2), 1);
    mask.Clear();
    EXPECT_TRUE(AllClear(mask));

    const struct {
        int w, h;
        bool zero;
    } sizes[] = {{0, 0, true}, {0, 4, true}, {4, 0, true}, {1, 1, false}, {-3, 2, true}};
    for (const auto& s : sizes)
        EXPECT_EQ(SelectionMask(s.w, s.h).IsZeroSize(), s.zero) << s.w << "x" << s.h;
}
