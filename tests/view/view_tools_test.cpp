// SPDX-License-Identifier: GPL-3.0-or-later
// Real mouse events through the canvas view reach the tools, at zoom 1 with
// margins and at zoom 2.
#include "view/lumaset_view.h"

#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"
#include "tools/tool.h"
#include "view/view_tool_host.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ViewToolsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.OnNewDocument(); // 400 x 300, transparent
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        for (int i = 0; i < 3 && view.viewport()->size() != QSize(800, 600); ++i)
            view.resize(view.size() + QSize(800, 600) - view.viewport()->size());
        ASSERT_EQ(view.viewport()->size(), QSize(800, 600));
    }
    void send(QEvent::Type type, QPoint client, Qt::KeyboardModifiers mods = {}) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, client, view.viewport()->mapToGlobal(client), button, held, mods);
        QApplication::sendEvent(view.viewport(), &e);
    }
    // Press at the first point, move through the rest, release at the last.
    void drag(int tool, std::initializer_list<QPoint> points, Qt::KeyboardModifiers mods = {}) {
        doc.m_nToolType = tool;
        send(QEvent::MouseButtonPress, *points.begin(), mods);
        for (auto p = points.begin() + 1; p != points.end(); ++p)
            send(QEvent::MouseMove, *p, mods);
        send(QEvent::MouseButtonRelease, *(points.end() - 1), mods);
    }
    ARGB imagePixel(int x, int y) {
        ARGB c = 0;
        doc.GetImage()->GetPixel(x, y, &c);
        return c;
    }
    QRgb shown(QPoint client) {
        return view.viewport()->grab(QRect(client, QSize(1, 1))).toImage().pixel(0, 0);
    }

    TempDir backups;
    CLumasetDoc doc{nullptr, backups.path()};
    CLumasetView view{doc};
};

} // namespace

TEST_F(ViewToolsTest, ZoomOneWithMarginsDrawsWhereThePointerIs) {
    // The 400 x 300 picture sits at (200, 150) in the 800 x 600 client area.
    drag(8, {{210, 160}, {215, 162}, {220, 165}});
    EXPECT_EQ(imagePixel(10, 10), 0xFF000000u);
    EXPECT_EQ(imagePixel(20, 15), 0xFF000000u);
    EXPECT_EQ(imagePixel(15, 12), 0u);
    EXPECT_EQ(shown({210, 160}), qRgb(0, 0, 0));
    EXPECT_EQ(shown({215, 162}), qRgb(155, 155, 155)); // checkerboard inside the outline

    // The colour picker takes what is shown: the checkerboard's grey.
    drag(15, {{215, 162}});
    EXPECT_EQ(doc.m_crForeground, 0xFF9B9B9Bu);

    // A Ctrl-drag with the rectangle selection adds to a plain one.
    drag(1, {{300, 200}, {310, 210}});
    drag(1, {{320, 200}, {330, 210}}, Qt::ControlModifier);
    EXPECT_EQ(view.selection().GetRegion().GetArea(), 200);
    EXPECT_TRUE(view.isOutlineTimerActive());
}

TEST_F(ViewToolsTest, ZoomTwoMapsTwoClientPixelsToOneImagePixel) {
    view.setZoom(2); // 800 x 600: fills the client area exactly
    doc.m_nPenWidth = 1;
    drag(7, {{40, 40}, {100, 41}, {160, 43}});
    EXPECT_EQ(imagePixel(35, 20), 0xFF000000u);
    EXPECT_EQ(shown({70, 40}), qRgb(0, 0, 0)); // the drawn stroke is repainted
    EXPECT_EQ(imagePixel(35, 25), 0u);

    // The release goes to the tool the press looked up, even after the tool
    // changed in between.
    doc.m_nToolType = 12;
    send(QEvent::MouseButtonPress, {200, 200});
    doc.m_nToolType = 1;
    send(QEvent::MouseButtonRelease, {200, 200});
    EXPECT_EQ(imagePixel(100, 100), 0u);
    EXPECT_EQ(doc.GetHistoryCount(), 2); // the pencil's and the eraser's strokes

    // The zoom tool steps the view's zoom.
    drag(16, {{10, 10}});
    EXPECT_EQ(view.zoom(), 3);
    drag(16, {{10, 10}}, Qt::ControlModifier);
    EXPECT_EQ(view.zoom(), 2);
}

TEST_F(ViewToolsTest, TextToolOpensTheDialogAtTheMappedPoint) {
    QPoint asked(-1, -1);
    view.toolHost().setTextDialogRunner([&](QPoint p) {
        asked = p;
        return false;
    });
    drag(10, {{250, 175}});
    EXPECT_EQ(asked, QPoint(50, 25));
    EXPECT_FALSE(doc.IsModified());
}
