// SPDX-License-Identifier: GPL-3.0-or-later
// The selection tools through the test host.
#include "tool_test_host.h"

#include "core/selection/selection_region.h"
#include "tools/select_tools.h"

namespace {

enum Tools { RectSelect = 1, EllipseSelect = 2, Lasso = 3, Poly = 4, Wand = 5 };

Rect bounds(const SelectionPath& path) {
    return path.GetRegion().GetBounds();
}
int area(const SelectionPath& path) {
    return path.GetRegion().GetArea();
}

} // namespace

TEST(SelectionTools, RectangleModes) {
    TestToolHost host(60, 40);
    host.gesture(RectSelect, {{10, 10}, {15, 12}, {20, 15}});
    EXPECT_EQ(bounds(host.sel), (Rect{10, 10, 10, 5}));
    EXPECT_EQ(area(host.sel), 50);
    EXPECT_TRUE(host.temp.IsEmpty());
    EXPECT_EQ(host.timerKills, 1);
    EXPECT_EQ(host.timerStarts, 1);
    EXPECT_EQ(host.steps(), 1); // selection tools record nothing

    host.gesture(RectSelect, {{30, 10}, {40, 15}}, MK_CONTROL);
    EXPECT_EQ(area(host.sel), 100);
    host.gesture(RectSelect, {{10, 10}, {15, 15}}, MK_SHIFT);
    EXPECT_EQ(area(host.sel), 75);
    EXPECT_EQ(host.timerKills, 1); // Ctrl and Shift presses keep the timer

    // Ctrl at the press but nothing at the release: the shape is dropped.
    host.doc.m_nToolType = RectSelect;
    host.router.press(MK_CONTROL, {0, 30});
    host.router.move(MK_CONTROL, {50, 39});
    host.router.release(0, {50, 39});
    EXPECT_EQ(area(host.sel), 75);

    // A click leaves an empty selection: it has points but no pixels.
    host.gesture(RectSelect, {{5, 5}});
    EXPECT_TRUE(host.sel.HasSelection());
    EXPECT_EQ(area(host.sel), 0);

    // Ellipse select combines through pixels as well.
    host.gesture(EllipseSelect, {{0, 0}, {20, 10}});
    EXPECT_NEAR(area(host.sel), 157, 12);
    host.gesture(EllipseSelect, {{0, 0}, {10, 10}}, MK_SHIFT);
    EXPECT_LT(area(host.sel), 157 - 30);
}

TEST(SelectionTools, LassoAndPolygon) {
    TestToolHost host(60, 60);
    host.gesture(Lasso, {{10, 10}, {40, 10}, {40, 40}, {10, 40}, {11, 11}});
    EXPECT_EQ(bounds(host.sel), (Rect{10, 10, 30, 30}));
    const int first = area(host.sel);
    host.gesture(Lasso, {{45, 45}, {55, 45}, {55, 55}, {45, 55}}, MK_CONTROL);
    EXPECT_EQ(area(host.sel), first + 100);

    struct Row {
        QPoint closing;
        bool closes;
    };
    // The closing click must be strictly less than 5 pixels from the first.
    for (const Row r : {Row{{13, 13}, true}, Row{{13, 14}, false}, Row{{15, 10}, false}}) {
        TestToolHost poly(60, 60);
        for (QPoint p : {QPoint(10, 10), QPoint(40, 10), QPoint(40, 40), r.closing})
            poly.gesture(Poly, {p});
        auto* tool = static_cast<CFSelectTool*>(poly.router.current());
        EXPECT_EQ(tool->isOpen(), !r.closes) << r.closing.x() << "," << r.closing.y();
        EXPECT_EQ(poly.sel.HasSelection(), r.closes);
        if (r.closes) {
            EXPECT_EQ(bounds(poly.sel), (Rect{10, 10, 30, 30}));
        }
    }
}

TEST(SelectionTools, MagicWand) {
    TestToolHost host(20, 10);
    for (int y = 2; y < 5; ++y)
        for (int x : {2, 3, 12, 13})
            SetPixel(host.image(), x, y, 0xFFFF0000);
    host.gesture(Wand, {{2, 2}});
    EXPECT_EQ(area(host.sel), 6);
    host.gesture(Wand, {{2, 2}}, MK_SHIFT); // every similar pixel, connected or not
    EXPECT_EQ(area(host.sel), 12);
    host.gesture(Wand, {{2, 2}}, MK_CONTROL); // Ctrl is ignored: replaces
    EXPECT_EQ(area(host.sel), 6);
    EXPECT_EQ(host.steps(), 1);

    TestToolHost clear(20, 10, PixelFormat32bppARGB, 0);
    SetPixel(clear.image(), 5, 5, 0xFF00FF00);
    clear.gesture(Wand, {{1, 1}});
    EXPECT_EQ(area(clear.sel), 200);
}
