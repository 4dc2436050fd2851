// SPDX-License-Identifier: GPL-3.0-or-later
// Position mapping, zoom steps, the tool table and the event routing.
#include "tool_test_host.h"

#include "tools/paint_tools.h"

#include <QGuiApplication>

TEST(ToolMapping, ClampsToTheCurrentImageAndUsesTheViewValues) {
    struct Row {
        const char* name;
        ViewMapping m;
        QPoint client;
        QPoint expected;
    };
    // Image 100 x 80; the mapping's own image size is stale on purpose.
    const Row rows[] = {
        {"margin at zoom 1 is client minus offset", {1.0, 30, 20, 0, 0, 5, 5}, {45, 27}, {15, 7}},
        {"scrolled at zoom 2 is the pixel under the pointer",
         {2.0, -50, -40, 17, 9, 5, 5},
         {10, 10},
         {13, 9}},
        {"left of and above the image maps to 0", {1.0, 30, 20, 0, 0, 5, 5}, {5, 2}, {0, 0}},
        {"right of and below maps to the last pixel",
         {1.0, 30, 20, 0, 0, 5, 5},
         {500, 400},
         {99, 79}},
    };
    for (const Row& r : rows) {
        TestToolHost host(100, 80);
        host.view = r.m;
        host.gesture(1, {r.client});
        EXPECT_EQ(host.router.current()->startPoint(), r.expected) << r.name;
    }
}

TEST(ZoomTool, StepsTheZoom) {
    // The zoom tool steps the host's zoom; Ctrl steps back.
    TestToolHost host(10, 10);
    host.gesture(16, {{3, 3}});
    host.gesture(16, {{3, 3}});
    EXPECT_EQ(host.view.zoom, 2.0);
    host.gesture(16, {{3, 3}}, MK_CONTROL);
    EXPECT_EQ(host.view.zoom, 1.5);
    EXPECT_EQ(host.steps(), 1);
}

TEST(ToolTable, NumbersCommandsTextsAndCursors) {
    ASSERT_EQ(ToolTable().size(), 16u);
    for (int type = 1; type <= 16; ++type) {
        const ToolInfo* info = FindToolInfo(type);
        ASSERT_TRUE(info) << type;
        EXPECT_EQ(FindToolByName(ToolText(*info)), info) << type;
    }
    EXPECT_EQ(FindToolByName("Draw Rectangle")->type, 8);
    EXPECT_EQ(FindToolByName("draw ellipse")->type, 9);
    EXPECT_EQ(FindToolByName("32779")->type, 8);
    EXPECT_EQ(FindToolByName("GaussBlur"), nullptr);
    EXPECT_EQ(ToolText(*FindToolInfo(15)), "Color Picker");

    // Own cursors load from the resources with their hotspot where the tool
    // acts; the others are the cross-hair.
    if (!QGuiApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_tools";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    TestToolHost host(4, 4);
    for (const ToolInfo& info : ToolTable()) {
        const QCursor cursor =
            host.router.registry().GetToolForType(info.type, host)->LoadToolCursor();
        if (info.cursor == 0) {
            EXPECT_EQ(cursor.shape(), Qt::CrossCursor) << info.className;
            continue;
        }
        ASSERT_EQ(cursor.shape(), Qt::BitmapCursor) << info.className;
        EXPECT_FALSE(cursor.pixmap().isNull()) << info.className;
        const QPoint hot = cursor.hotSpot();
        EXPECT_TRUE(hot.x() > 0 && hot.x() < 16 && hot.y() > 0 && hot.y() < 16) << info.className;
    }
}

TEST(ToolRouting, LookupRefreshAndRelease) {
    TestToolHost host(40, 40);
    ToolRegistry& registry = host.router.registry();
    EXPECT_EQ(registry.GetToolForType(0, host), nullptr);
    EXPECT_EQ(registry.GetToolForType(17, host), nullptr);
    CTool* pencil = registry.GetToolForType(7, host);
    EXPECT_EQ(registry.GetToolForType(7, host), pencil); // one instance per class

    // Motion without a press reaches the tool and changes nothing.
    host.doc.m_nToolType = 7;
    EXPECT_EQ(host.router.move(0, {5, 5}), pencil);
    EXPECT_FALSE(pencil->isPressed());

    // The release goes to the tool the last press or motion looked up, even
    // after the tool number changed; the outline timer restarts.
    host.router.press(0, {5, 5});
    host.router.move(0, {20, 5});
    host.doc.m_nToolType = 1;
    EXPECT_EQ(host.router.release(0, {20, 5}), pencil);
    EXPECT_FALSE(pencil->isPressed());
    EXPECT_EQ(host.steps(), 2);
    EXPECT_EQ(host.timerStarts, 1);

    // A pen width changed during a stroke reaches the tool at the next motion.
    host.doc.m_nToolType = 7;
    host.router.press(0, {5, 30});
    host.doc.m_nPenWidth = 9;
    host.doc.m_crForeground = 0xFFFF0000;
    host.router.move(0, {30, 30});
    host.router.release(0, {30, 30});
    EXPECT_EQ(host.pixel(15, 34), 0xFFFF0000u);
}

TEST(ToolRouting, PressAfterTheImageShrankStaysInside) {
    // The image is replaced by a smaller one (Crop, Undo, Open) before any
    // repaint: the press still maps inside the current image.
    TestToolHost host(100, 100, PixelFormat32bppARGB, 0);
    host.doc.SetImage(MakeSolidBitmap(10, 10, PixelFormat32bppARGB, 0xFF00FF00));
    host.doc.m_crForeground = 0xFF0000FF;
    host.gesture(13, {{60, 60}});
    EXPECT_EQ(host.pixel(9, 9), 0xFF0000FFu);
    host.gesture(5, {{60, 60}});
    EXPECT_EQ(host.sel.GetRegion().GetArea(), 100);
}
