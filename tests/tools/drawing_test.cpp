// SPDX-License-Identifier: GPL-3.0-or-later
// The pixel tools through the test host: pencil, eraser, shapes, bucket,
// smudge, clone stamp, colour picker and text tool.
#include "tool_test_host.h"

#include "core/selection/selection_region.h"
#include "effects/blur_sharpen.h"

#include <cmath>

namespace {

constexpr ARGB kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
enum Tools {
    Line = 6,
    Pencil = 7,
    DrawRect = 8,
    DrawEllipse = 9,
    Text = 10,
    Stamp = 11,
    Eraser = 12,
    Bucket = 13,
    Smudge = 14,
    Picker = 15
};

int red(ARGB c) {
    return int(c >> 16) & 255;
}

// How many pixels differ from colour.
int countNot(TestToolHost& host, ARGB colour) {
    int n = 0;
    for (unsigned y = 0; y < host.image().GetHeight(); ++y)
        for (unsigned x = 0; x < host.image().GetWidth(); ++x)
            n += host.pixel(int(x), int(y)) != colour;
    return n;
}

} // namespace

TEST(Pencil, ConnectedLineTranslucentJointsAndClicks) {
    TestToolHost host(40, 30);
    host.doc.m_crForeground = kBlack;
    host.gesture(Pencil, {{2, 10}, {6, 11}, {11, 12}, {17, 12}, {24, 15}, {30, 16}});
    EXPECT_EQ(host.steps(), 2); // one stroke, one step
    // Every column from 2 to 30 is drawn and touches the next one.
    int lastLow = -1, lastHigh = -1;
    for (int x = 2; x <= 30; ++x) {
        int low = 99, high = -1;
        for (int y = 0; y < 30; ++y)
            if (host.pixel(x, y) == kBlack) low = std::min(low, y), high = std::max(high, y);
        ASSERT_GE(high, 0) << "column " << x;
        if (lastHigh >= 0) {
            EXPECT_TRUE(low <= lastHigh + 1 && high >= lastLow - 1) << "gap at column " << x;
        }
        lastLow = low, lastHigh = high;
    }

    // A translucent stroke is darker where consecutive segments overlap.
    TestToolHost joints(40, 20);
    joints.doc.m_crForeground = 0x80000000;
    joints.doc.m_nPenWidth = 3;
    joints.gesture(Pencil, {{5, 10}, {15, 10}, {25, 10}, {35, 10}});
    EXPECT_LT(red(joints.pixel(15, 10)), red(joints.pixel(10, 10)));
    EXPECT_LT(red(joints.pixel(10, 10)), 255);

    // A press and release without motion draws only the 1-pixel segment.
    TestToolHost dot(20, 20);
    dot.doc.m_nPenWidth = 7;
    dot.doc.m_nToolType = Pencil;
    dot.router.press(0, {5, 8});
    dot.router.release(0, {9, 8});
    EXPECT_GE(countNot(dot, kWhite), 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (dot.pixel(x, y) != kWhite) {
                EXPECT_TRUE(y == 8 && x >= 5 && x <= 9) << x << "," << y;
            }
    EXPECT_EQ(dot.steps(), 2);
}

TEST(Eraser, BorderSquaresBandsAndSteps) {
    // Width 5: squares of side 6 that would cross the border are skipped, so a
    // pointer within 2 pixels of the left or top and 3 of the right or bottom
    // erases nothing.
    TestToolHost host(30, 20);
    host.doc.m_nPenWidth = 5;
    host.gesture(Eraser, {{0, 10}, {1, 10}, {0, 10}});
    host.gesture(Eraser, {{27, 10}, {29, 10}, {28, 2}});
    host.gesture(Eraser, {{10, 0}, {12, 1}, {20, 0}});
    host.gesture(Eraser, {{10, 17}, {12, 19}});
    EXPECT_EQ(countNot(host, kWhite), 0);
    host.gesture(Eraser, {{2, 10}});
    EXPECT_EQ(host.pixel(0, 8), 0u);
    EXPECT_EQ(host.pixel(5, 13), 0u);
    EXPECT_EQ(countNot(host, kWhite), 36);
    EXPECT_EQ(host.steps(), 6); // one step per stroke, clicks included

    // One fast motion erases every point of the digital line between.
    TestToolHost band(40, 30);
    band.doc.m_nPenWidth = 1;
    band.gesture(Eraser, {{2, 2}, {33, 21}});
    for (const Offset& o : LineOffsets(2, 2, 33, 21))
        EXPECT_EQ(band.pixel(o.x, o.y), 0u) << o.x << "," << o.y;

    // A 24-bit picture turns black where erased.
    TestToolHost rgb(10, 10, PixelFormat24bppRGB, kWhite);
    rgb.gesture(Eraser, {{4, 4}});
    EXPECT_EQ(rgb.pixel(4, 4), kBlack);
    EXPECT_EQ(rgb.pixel(5, 5), kBlack);
    EXPECT_EQ(rgb.pixel(6, 6), kWhite);

    // A release without a press records nothing.
    const int before = rgb.steps();
    rgb.doc.m_nToolType = Eraser;
    rgb.router.move(0, {3, 3});
    rgb.router.release(0, {3, 3});
    EXPECT_EQ(rgb.steps(), before);
    EXPECT_FALSE(rgb.doc.CanRedo());
}

TEST(ShapeTools, OutlinesClicksAndSquares) {
    struct Row {
        const char* name;
        int tool;
        unsigned flags;
        QRect outline; // corners inclusive
    };
    const Row rows[] = {
        {"rectangle", DrawRect, 0, QRect(QPoint(10, 10), QPoint(20, 15))},
        {"squared with the extra button", DrawRect, MK_XBUTTON1,
         QRect(QPoint(10, 10), QPoint(15, 15))},
    };
    for (const Row& r : rows) {
        TestToolHost host(30, 30);
        host.gesture(r.tool, {{20, 15}, {14, 12}, {10, 10}}, r.flags);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool edge =
                    r.outline.contains(x, y) && (x == r.outline.left() || x == r.outline.right() ||
                                                 y == r.outline.top() || y == r.outline.bottom());
                ASSERT_EQ(host.pixel(x, y), edge ? kBlack : kWhite)
                    << r.name << " at " << x << "," << y;
            }
        EXPECT_EQ(host.steps(), 2) << r.name;
        EXPECT_TRUE(host.temp.IsEmpty()) << r.name;
    }
    // A click records a step with either tool.
    for (int tool : {DrawRect, DrawEllipse, Line}) {
        TestToolHost host(30, 30);
        host.gesture(tool, {{5, 5}});
        EXPECT_EQ(host.steps(), 2) << tool;
    }
    // The ellipse's dragged shape shows in the preview until the release.
    TestToolHost host(30, 30);
    host.doc.m_nToolType = DrawEllipse;
    host.router.press(0, {2, 2});
    host.router.move(0, {22, 12});
    EXPECT_GT(host.temp.GetRegion().GetArea(), 100);
    host.router.release(0, {22, 12});
    EXPECT_EQ(host.pixel(12, 2), kBlack);
    EXPECT_EQ(host.pixel(12, 7), kWhite);
}

TEST(LineTool, FigureEightFillsBothLoopsAndCentreAlpha) {
    TestToolHost host(40, 40);
    host.gesture(Line, {{10, 10}, {30, 30}, {30, 10}, {10, 30}});
    EXPECT_NE(host.pixel(14, 20), kWhite);
    EXPECT_NE(host.pixel(26, 20), kWhite);
    EXPECT_EQ(host.pixel(20, 13), kWhite); // between the loops, outside the path
    EXPECT_EQ(host.steps(), 2);

    // With alpha 0 the centre is clear and the edge has the foreground's alpha.
    TestToolHost clear(60, 60, PixelFormat32bppARGB, 0);
    clear.doc.m_nAlpha = 0;
    clear.gesture(Line, {{10, 10}, {50, 10}, {30, 50}});
    EXPECT_LT(clear.pixel(30, 23) >> 24, 40u);
    EXPECT_GT(clear.pixel(30, 12) >> 24, 200u);
}

TEST(PaintBucket, FillRules) {
    // With a selection, the selection is filled wherever the click lands.
    TestToolHost sel(20, 20);
    sel.sel.AddRectangle(Rect{2, 3, 5, 4});
    sel.doc.m_crForeground = 0xFFFF0000;
    sel.gesture(Bucket, {{15, 15}});
    EXPECT_EQ(countNot(sel, kWhite), 20);
    EXPECT_EQ(sel.pixel(6, 6), 0xFFFF0000u);
    EXPECT_EQ(sel.steps(), 2);

    // A transparent seed matches everything.
    TestToolHost clear(10, 10, PixelFormat32bppARGB, 0);
    SetPixel(clear.image(), 5, 5, 0xFF00FF00);
    clear.gesture(Bucket, {{1, 1}});
    EXPECT_EQ(countNot(clear, kBlack), 0);

    // Diagonal neighbours are not joined.
    TestToolHost diag(10, 10);
    SetPixel(diag.image(), 4, 4, 0xFFFF0000);
    SetPixel(diag.image(), 5, 5, 0xFFFF0000);
    diag.gesture(Bucket, {{4, 4}});
    EXPECT_EQ(diag.pixel(4, 4), kBlack);
    EXPECT_EQ(diag.pixel(5, 5), 0xFFFF0000u);

    // A line 12 levels off stops the fill; 11 levels off does not.
    for (int diff : {11, 12}) {
        TestToolHost host(20, 10, PixelFormat24bppRGB, 0xFF646464);
        const ARGB line = 0xFF000000u | ARGB(100 + diff) * 0x010101u;
        for (int y = 0; y < 10; ++y)
            SetPixel(host.image(), 10, y, line);
        host.gesture(Bucket, {{2, 2}});
        EXPECT_EQ(host.pixel(15, 5), diff == 11 ? kBlack : 0xFF646464u) << diff;
    }

    // A translucent foreground blends.
    TestToolHost blend(4, 4);
    blend.doc.m_crForeground = 0x80FF0000;
    blend.gesture(Bucket, {{1, 1}});
    EXPECT_EQ(red(blend.pixel(2, 2)), 255);
    EXPECT_NEAR(int(blend.pixel(2, 2) & 255), 127, 1);
}

TEST(Smudge, StepsPatchesAndEdges) {
    // Width 1 on a 24-bit picture: one step moves trunc(0.4 src + 0.6 dst).
    TestToolHost host(12, 8, PixelFormat24bppRGB);
    auto pattern = MakePatternBitmap(12, 8, PixelFormat24bppRGB, 7);
    host.doc.SetImage(pattern->Clone());
    host.gesture(Smudge, {{5, 5}, {6, 5}});
    const std::string a = PixelBytes(*pattern, 5, 5), b = PixelBytes(*pattern, 6, 5);
    std::string expected(3, '\0');
    for (int i = 0; i < 3; ++i)
        expected[i] = char(int(0.4 * std::uint8_t(a[i]) + 0.6 * std::uint8_t(b[i])));
    EXPECT_EQ(PixelBytes(host.image(), 6, 5), expected);
    SetPixel(*pattern, 6, 5, host.pixel(6, 5));
    EXPECT_TRUE(SameBitmaps(*pattern, host.image())); // nothing else changed
    EXPECT_EQ(host.steps(), 2);

    // Motions shorter than a pixel change nothing and keep the current point,
    // so they add up: at zoom 4, client steps of 1 pixel.
    TestToolHost slow(20, 20, PixelFormat24bppRGB);
    auto before = MakePatternBitmap(20, 20, PixelFormat24bppRGB, 3);
    slow.doc.SetImage(before->Clone());
    slow.doc.m_nPenWidth = 3;
    slow.view.zoom = 4;
    slow.doc.m_nToolType = Smudge;
    slow.router.press(0, {40, 40});
    for (int x = 41; x <= 43; ++x)
        slow.router.move(0, {x, 40});
    EXPECT_TRUE(SameBitmaps(*before, slow.image()));
    EXPECT_EQ(slow.router.current()->currentPoint(), QPoint(10, 10));
    slow.router.move(0, {44, 40});
    EXPECT_FALSE(SameBitmaps(*before, slow.image()));

    // A step whose square reaches beyond the image is skipped.
    TestToolHost edge(20, 20, PixelFormat24bppRGB);
    auto edgeBefore = MakePatternBitmap(20, 20, PixelFormat24bppRGB, 5);
    edge.doc.SetImage(edgeBefore->Clone());
    edge.doc.m_nPenWidth = 5;
    edge.gesture(Smudge, {{17, 10}, {19, 10}});
    EXPECT_TRUE(SameBitmaps(*edgeBefore, edge.image()));

    // Alpha 128 caps the patch, which is drawn source-over: an opaque picture
    // stays opaque and takes the patch at half strength.
    for (int alpha : {255, 128}) {
        TestToolHost half(20, 10, PixelFormat32bppARGB, 0xFF0000FF);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 5; ++x)
                SetPixel(half.image(), x, y, 0xFFFF0000);
        half.doc.m_nAlpha = alpha;
        half.doc.m_nPenWidth = 1;
        half.gesture(Smudge, {{4, 5}, {5, 5}});
        const ARGB c = half.pixel(5, 5);
        EXPECT_EQ(c >> 24, 255u) << alpha;
        EXPECT_EQ(red(c), alpha == 255 ? 102 : 51) << alpha;
    }
}

TEST(CloneStamp, SourceOffsetAndClicksWithoutSource) {
    TestToolHost host(60, 20, PixelFormat24bppRGB);
    auto pattern = MakePatternBitmap(60, 20, PixelFormat24bppRGB, 11);
    host.doc.SetImage(pattern->Clone());
    host.doc.m_nPenWidth = 3;
    host.gesture(Stamp, {{40, 10}}); // no source yet: nothing
    EXPECT_TRUE(SameBitmaps(*pattern, host.image()));
    EXPECT_EQ(host.steps(), 1);

    host.gesture(Stamp, {{10, 10}}, MK_CONTROL);
    EXPECT_EQ(host.steps(), 1);
    host.gesture(Stamp, {{40, 10}}); // 30 to the right of the source
    host.gesture(Stamp, {{45, 5}});  // copies from 30 to its left
    EXPECT_EQ(host.steps(), 3);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            EXPECT_EQ(PixelBytes(host.image(), 40 + dx, 10 + dy),
                      PixelBytes(*pattern, 10 + dx, 10 + dy));
            EXPECT_EQ(PixelBytes(host.image(), 45 + dx, 5 + dy),
                      PixelBytes(*pattern, 15 + dx, 5 + dy));
        }
    EXPECT_EQ(host.marker, QRect(14, 4, 3, 3));
}

TEST(PickerAndText, SettingsAndDialog) {
    TestToolHost host(10, 10);
    host.shown = 0xFF123456;
    host.doc.m_nAlpha = 100;
    host.gesture(Picker, {{3, 3}});
    EXPECT_EQ(host.doc.m_crForeground, 0x64123456u);
    EXPECT_EQ(host.steps(), 1);

    host.view = {2.0, 4, 4, 0, 0};
    host.gesture(Text, {{9, 9}});
    EXPECT_EQ(host.textPoint, QPoint(2, 2));
    EXPECT_EQ(host.steps(), 1); // cancelled: nothing recorded
    host.textAccepted = true;
    host.gesture(Text, {{9, 9}});
    EXPECT_EQ(host.steps(), 2);
    EXPECT_TRUE(host.erased);
}
