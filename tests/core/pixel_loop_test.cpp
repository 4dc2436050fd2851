// SPDX-License-Identifier: GPL-3.0-or-later
// The effect frame's areas and walkers.
#include "core/pixel_loop.h"
#include "core/selection/selection_region.h"
#include "testing/test_images.h"

namespace {

struct AreaCase {
    Coverage coverage;
    EffectFrame::Area expected;
};

TEST(EffectFrame, AreasWithoutSelection) {
    const EffectFrame frame(nullptr, 7, 5);
    EXPECT_TRUE(frame.wholeImage());
    EXPECT_EQ(frame.workRect(), (Rect{0, 0, 7, 5}));
    const AreaCase cases[] = {
        {Coverage::Whole, {0, 0, 7, 5, false}},
        {Coverage::WholeLessLast, {0, 0, 6, 4, false}},
        {Coverage::RectLessLast, {0, 0, 6, 4, false}},
        {Coverage::Interior, {1, 1, 6, 4, false}},
        {Coverage::Unselective, {0, 0, 7, 5, false}},
        {Coverage::InteriorUnselective, {1, 1, 6, 4, false}},
    };
    for (const AreaCase& c : cases) {
        const EffectFrame::Area a = frame.area(c.coverage);
        EXPECT_EQ(a.x0, c.expected.x0);
        EXPECT_EQ(a.y0, c.expected.y0);
        EXPECT_EQ(a.x1, c.expected.x1);
        EXPECT_EQ(a.y1, c.expected.y1);
        EXPECT_EQ(a.test, c.expected.test);
    }
}

// Both thread counts visit each pixel of the pattern exactly once.
TEST(EffectFrame, TwoThreadsVisitEveryPixelOnce) {
    const int w = 301, h = 257;
    const EffectFrame frame(nullptr, w, h);
    for (Threads t : {Threads::One, Threads::Two}) {
        std::vector<int> hits(std::size_t(w) * h, 0);
        forEachSpan(
            frame, Coverage::Interior,
            [&](int y, int x0, int x1) {
                for (int x = x0; x < x1; ++x)
                    ++hits[std::size_t(y) * w + x];
            },
            t);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool inside = x >= 1 && x < w - 1 && y >= 1 && y < h - 1;
                ASSERT_EQ(hits[std::size_t(y) * w + x], inside ? 1 : 0) << x << "," << y;
            }
    }
}

// A selection reaching past the image: the rectangle pattern is cut so its
// reads of the right and lower neighbours stay inside.
TEST(EffectFrame, RectanglePatternStaysInsideTheImage) {
    SelectionRegion region(Rect{5, 4, 100, 100});
    const EffectFrame frame(&region, 20, 10);
    EXPECT_FALSE(frame.wholeImage());
    EXPECT_EQ(frame.workRect(), (Rect{5, 4, 100, 100}));
    const EffectFrame::Area a = frame.area(Coverage::RectLessLast);
    EXPECT_EQ(a.x0, 5);
    EXPECT_EQ(a.y0, 4);
    EXPECT_EQ(a.x1, 19);
    EXPECT_EQ(a.y1, 9);
    EXPECT_TRUE(a.test);
    EffectFrame::RowRuns runs;
    frame.selectedSpans(6, 0, 19, runs);
    ASSERT_EQ(runs.runs.size(), 1u);
    EXPECT_EQ(runs.runs[0].begin, 5);
    EXPECT_EQ(runs.runs[0].end, 19);
    frame.selectedSpans(2, 0, 19, runs);
    EXPECT_TRUE(runs.runs.empty());
}

TEST(EffectFrame, TinyImagesGiveEmptyAreas) {
    for (int size : {1, 2}) {
        const EffectFrame frame(nullptr, size, size);
        int visits = 0;
        forEachSpan(frame, Coverage::Interior, [&](int, int x0, int x1) { visits += x1 - x0; });
        EXPECT_EQ(visits, 0);
    }
}

} // namespace
