// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas view driven through real widget events on the offscreen platform.
#include "view/lumaset_view.h"

#include "core/selection/selection_commands.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Records message boxes instead of showing them.
class TestView : public CLumasetView {
  public:
    using CLumasetView::CLumasetView;
    QStringList messages;

  protected:
    int execMessageBox(QMessageBox& box) override {
        messages << box.text();
        return QMessageBox::Ok;
    }
};

class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.OnNewDocument();
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        setClientSize({800, 600});
    }
    void setImage(int w, int h, PixelFormat format = PixelFormat24bppRGB) {
        doc.SetImage(MakePatternBitmap(w, h, format));
        doc.UpdateAllViews();
    }
    // Sizes the view so that its client area, scroll bars aside, is size.
    void setClientSize(QSize size) {
        for (int i = 0; i < 3 && view.viewport()->size() != size; ++i)
            view.resize(view.size() + size - view.viewport()->size());
        ASSERT_EQ(view.viewport()->size(), size);
    }
    QPoint scroll() const {
        return {view.horizontalScrollBar()->value(), view.verticalScrollBar()->value()};
    }
    QRgb imagePixel(QPoint p) {
        ARGB c = 0;
        doc.GetImage()->GetPixel(p.x(), p.y(), &c);
        return c;
    }
    void moveMouse(QPoint client) {
        QMouseEvent move(QEvent::MouseMove, client, view.viewport()->mapToGlobal(client),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
    }

    TempDir backups;
    CLumasetDoc doc{nullptr, backups.path()};
    TestView view{doc};
};

TEST_F(ViewTest, SmallImageIsCentredOverTheCheckerboard) {
    // The new document: 400 x 300, transparent; the checkerboard starts grey.
    // One half-transparent red pixel is blended over the grey square under it.
    doc.GetImage()->image().setPixel(1, 0, qRgba(255, 0, 0, 128));
    doc.UpdateAllViews();
    const QImage shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(201, 150), qRgb(205, 77, 77));
    EXPECT_EQ(shot.pixel(199, 149), qRgb(180, 180, 180));
    EXPECT_EQ(shot.pixel(200, 150), qRgb(155, 155, 155));
    EXPECT_EQ(shot.pixel(210, 150), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(599, 449), qRgb(155, 155, 155));
    EXPECT_EQ(shot.pixel(600, 450), qRgb(180, 180, 180));
}

TEST_F(ViewTest, ZoomedImageLargerThanTheWindowScrollsToItsCentreAndZoomSurvivesNew) {
    setImage(1000, 800);
    view.setZoom(2);
    setClientSize({800, 600});
    view.UpdateCanvasLayout();
    EXPECT_EQ(scroll(), QPoint(600, 500));
    doc.OnNewDocument();
    EXPECT_EQ(view.zoom(), 2);
}

TEST_F(ViewTest, ThePointerMapsToThePixelDrawnUnderIt) {
    setImage(700, 500);
    setClientSize({400, 300});
    for (double z : {1.0, 1.5, 2.0, 3.0}) {
        view.setZoom(z);
        view.horizontalScrollBar()->setValue(37);
        view.verticalScrollBar()->setValue(59);
        const QImage shot = view.viewport()->grab().toImage();
        for (int y = 0; y < 300; y += 23) {
            for (int x = 0; x < 400; x += 31) {
                const QPoint p = view.clientToImage({x, y});
                ASSERT_EQ(shot.pixel(x, y), imagePixel(p))
                    << "zoom " << z << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(ViewTest, StatusPanesFollowThePointer) {
    QSignalSpy panes(&view, &CLumasetView::paneTextChanged);
    doc.m_nToolType = 6; // the line tool shows the cross-hair
    view.setZoom(0.66);
    panes.clear();
    moveMouse({268, 201});
    ASSERT_EQ(panes.size(), 3);
    EXPECT_EQ(panes[0], (QList<QVariant>{101, "x: 268,y: 201,0.660000 "}));
    EXPECT_EQ(panes[1], (QList<QVariant>{102, "scroll x:   0,y:   0"}));
    // 400 x 300 at 0.66 is centred at (268, 201).
    EXPECT_EQ(panes[2], (QList<QVariant>{103, "offset x:   0,y:0"}));
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::CrossCursor);
}

TEST_F(ViewTest, ArrowKeysMoveOnlyTheOutline) {
    setImage(2000, 1500);
    view.selection().AddRectangle(Rect{10, 20, 30, 40});
    const QPoint scrolled = scroll();
    const int history = doc.GetHistoryCount();
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_EQ(view.selection().GetPath().boundingRect(), QRectF(18, 19, 30, 40));
    EXPECT_EQ(scroll(), scrolled);
    EXPECT_EQ(doc.GetHistoryCount(), history);
}

TEST_F(ViewTest, KeysRunTheirCommands) {
    ASSERT_TRUE(doc.OnOpenDocument(TestDataPath("chelsea.png")));
    const Bitmap* opened = doc.GetImage();
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier); // Undo is the frame's, and disabled
    EXPECT_EQ(doc.GetHistoryPos(), 1);
    EXPECT_EQ(doc.GetImage(), opened);

    doc.m_nToolType = 7;
    QTest::keyClick(&view, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(doc.m_nToolType, 10);

    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.selection().GetPath().boundingRect(),
              QRectF(0, 0, opened->GetWidth(), opened->GetHeight()));
    EXPECT_TRUE(view.isOutlineTimerActive());

    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(doc.GetHistoryPos(), 2);
}

TEST_F(ViewTest, FilesDroppedOnTheCanvasShowOneMessageAfterTheDrop) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a.png"), QUrl::fromLocalFile("/tmp/b.png"),
                  QUrl::fromLocalFile("/tmp/c.png")});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drop);
    EXPECT_TRUE(view.messages.isEmpty());
    QApplication::processEvents();
    EXPECT_EQ(view.messages, QStringList{"Thanks for dropping file!"});
    EXPECT_TRUE(doc.GetPathName().isEmpty());
}

TEST_F(ViewTest, KeyboardContextMenuOpensInsideTheTopLeftCorner) {
    QStringList items;
    QPoint at;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        at = menu->pos();
        for (QAction* a : menu->actions())
            items << a->text() + (a->isEnabled() ? "" : " (off)");
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0),
                            view.viewport()->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(view.viewport(), &event);
    EXPECT_EQ(at, view.viewport()->mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(items, (QStringList{"Select All", "Select Invert (off)", "Cancel Select (off)"}));
}

TEST_F(ViewTest, WheelNotchesAddUpAndHorizontalWheelsAreIgnored) {
    auto wheel = [&](QPoint angle) {
        QWheelEvent e(QPointF(10, 10), view.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                      angle, Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &e);
    };
    wheel({120, 0});
    wheel({0, 40});
    wheel({0, 40});
    EXPECT_EQ(view.zoom(), 1);
    wheel({0, 40});
    EXPECT_EQ(view.zoom(), 1.5);
    wheel({0, -120});
    EXPECT_EQ(view.zoom(), 1);
}

TEST_F(ViewTest, PrintsAtScreenSizeShrunkToFitThePage) {
    doc.SetImage(MakeSolidBitmap(400, 300, PixelFormat24bppRGB, 0xFF102030));
    struct Case {
        QSize page;
        int dpi;
        QSize drawn;
    };
    for (const Case& c :
         {Case{{1000, 1000}, 192, {800, 600}}, Case{{1000, 1000}, 1200, {1000, 750}}}) {
        QImage page(c.page, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        view.printPicture(painter, page.rect(), c.dpi);
        painter.end();
        EXPECT_EQ(page.pixel(c.drawn.width() - 2, c.drawn.height() - 2), qRgb(0x10, 0x20, 0x30))
            << c.dpi;
        EXPECT_EQ(page.pixel(c.drawn.width() / 2, c.drawn.height() + 1), qRgb(255, 255, 255))
            << c.dpi;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(backups.file("print.pdf"));
    QPainter painter;
    ASSERT_TRUE(painter.begin(&printer));
    const int dpi = printer.resolution();
    view.printPicture(painter, QRect(QPoint(), printer.pageLayout().paintRectPixels(dpi).size()),
                      dpi);
    ASSERT_TRUE(painter.end());
    EXPECT_GT(QFileInfo(backups.file("print.pdf")).size(), 1000);
}

} // namespace
