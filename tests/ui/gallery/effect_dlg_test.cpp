// SPDX-License-Identifier: GPL-3.0-or-later
// The effect gallery bar driven as a user would: its items and layout, clicks
// that run effects on a real document, and the picture loader's lifetime.
#include "commands/command.h"
#include "core/runtime_random.h"
#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"
#include "ui/gallery/effect_dlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

using Thumb = CEffectDlg::CEffectThumb;
constexpr int kEffects = 27;

// The bar at a given size, shown, with its list laid out.
struct ShownBar {
    explicit ShownBar(QSize size = {CEffectDlg::kWidth, 600}) {
        bar.resize(size);
        bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&bar));
    }
    CEffectDlg::CEffectList& list() { return *bar.list(); }
    int clientWidth() { return list().viewport()->width(); }
    int indexOf(int id) {
        for (int i = 0; i < list().ItemCount(); ++i)
            if (list().thumb(i).m_nID == id) return i;
        ADD_FAILURE() << "no item " << id;
        return 0;
    }
    // Scrolls item index into view and clicks its middle.
    void click(int index) {
        const QRect rect = list().thumb(index).m_rcItem;
        list().verticalScrollBar()->setValue(rect.top());
        const QPoint at = rect.center() - QPoint(0, list().verticalScrollBar()->value());
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
    }

    CEffectDlg bar;
};

TEST(EffectGallery, ItemsAndHeadersInDisplayOrder) {
    // One line per header: its title, then its items as "id caption".
    const QStringList expected = {
        "Blur: 161 Blur, 177 GaussBlur, 178 MotionBlur, 185 SoftGlow",
        "Sharpen: 159 Sharpen, 182 SharpenMore, 183 USM Sharpen",
        "Stylize: 162 Emboss, 163 Mosaic, 164 OilPaint, 165 Solarize, 166 Wave, 167 Whim, "
        "179 Pinch, 181 Pencil",
        "Texture: 168 Glass, 169 Wooden",
        "Pixelate: 170 Aqua, 172 Ice, 173 Molten, 174 OldPhoto, 175 Subtence, 171 Darker, "
        "180 Diffuse",
        "Noise: 176 AddNoise",
        "Other: 184 LOMO, 186 Fish Eye",
    };
    ShownBar shown;
    QStringList groups;
    int effects = 0;
    for (int i = 0; i < shown.list().ItemCount(); ++i) {
        const Thumb& thumb = shown.list().thumb(i);
        if (thumb.IsHeader()) {
            groups << thumb.m_strCaption + ":";
            continue;
        }
        ASSERT_FALSE(groups.isEmpty()) << "an item before the first header";
        groups.back() += QStringLiteral("%1 %2 %3")
                             .arg(groups.back().endsWith(':') ? "" : ",")
                             .arg(thumb.m_nID)
                             .arg(thumb.m_strCaption);
        // Every effect item runs an effect command.
        EXPECT_NE(GalleryCommand(thumb.m_nID), 0) << thumb.m_nID;
        ++effects;
    }
    EXPECT_EQ(groups.join("\n").toStdString(), expected.join("\n").toStdString());
    EXPECT_EQ(effects, kEffects);
}

TEST(EffectGallery, TwoColumnLayoutFollowsTheWidth) {
    struct Case {
        int id;     // an item, or 0 with index for a header
        int index;  // used when id is 0
        int column; // -1: a header across the whole width
        int top;
    };
    // Rows: headers 26 high, effect rows 100. Sharpen's third item sits alone
    // in its row, and the Stylize header follows it.
    const Case cases[] = {
        {0, 0, -1, 0},     {161, 0, 0, 26},   {177, 0, 1, 26},   {185, 0, 1, 126},
        {0, 5, -1, 226},   {183, 0, 0, 352},  {0, 9, -1, 452},   {181, 0, 1, 778},
        {176, 0, 0, 1456}, {0, 31, -1, 1556}, {184, 0, 0, 1582}, {186, 0, 1, 1582},
    };
    ShownBar shown;
    for (const int barWidth : {200, 321}) {
        shown.bar.resize(barWidth, 600);
        const int width = shown.clientWidth();
        ASSERT_EQ(width, barWidth - 4 - 3 - shown.list().verticalScrollBar()->width());
        for (const Case& c : cases) {
            const int index = c.id ? shown.indexOf(c.id) : c.index;
            const QRect expected = c.column < 0
                                       ? QRect(0, c.top, width, 26)
                                       : QRect(c.column * (width / 2), c.top, width / 2, 100);
            EXPECT_EQ(shown.list().thumb(index).m_rcItem, expected)
                << "item " << index << " at bar width " << barWidth;
        }
        EXPECT_EQ(shown.list().ExtentHeight(), 1682);
        EXPECT_EQ(shown.list().verticalScrollBar()->maximum(),
                  1682 - shown.list().viewport()->height());
    }
    // The list keeps its insets inside the bar.
    EXPECT_EQ(shown.list().geometry(), QRect(4, 5, 321 - 7, 600 - 15));
}

TEST(EffectGallery, HoverFollowsTheMouseAndLeavingClearsIt) {
    ShownBar shown;
    auto& list = shown.list();
    const int first = shown.indexOf(161), second = shown.indexOf(177);
    QTest::mouseMove(list.viewport(), list.thumb(first).m_rcItem.center());
    EXPECT_TRUE(list.thumb(first).m_bHot);
    QTest::mouseMove(list.viewport(), list.thumb(second).m_rcItem.center());
    EXPECT_FALSE(list.thumb(first).m_bHot);
    EXPECT_TRUE(list.thumb(second).m_bHot);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(list.viewport(), &leave);
    EXPECT_FALSE(list.thumb(second).m_bHot);
}

TEST(EffectGallery, ScrollStepsAreLinesPagesAndWheelNotches) {
    ShownBar shown;
    QScrollBar* bar = shown.list().verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 5);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar->value(), 31); // a page is the first item's height
    const QPoint at(50, 50);
    QWheelEvent back(at, shown.list().viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(shown.list().viewport(), &back);
    EXPECT_EQ(bar->value(), 57);
    QWheelEvent forward(at, shown.list().viewport()->mapToGlobal(at), {}, {0, 240}, Qt::NoButton,
                        {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(shown.list().viewport(), &forward);
    EXPECT_EQ(bar->value(), 5);
}

// A command host for a real document: dialogs keep their starting values.
class TestHost : public CommandHost {
  public:
    void showMessage(const QString& text, const QString&) override { messages << text; }
    void showWarning(const QString& text) override { messages << text; }
    bool confirm(const QString&) override { return true; }
    std::optional<Params> runDialog(const CommandDef&, EditContext&,
                                    const Params& values) override {
        return values;
    }
    QStringList messages;
};

// A document with one history entry and its edit context.
struct Editor {
    Editor() : doc(&host, folder.path()), context{doc, selection, host} {
        doc.SetImage(MakePatternBitmap(40, 30, PixelFormat24bppRGB));
        doc.PushBackup(true);
    }
    TempDir folder;
    TestHost host;
    CLumasetDoc doc;
    SelectionPath selection;
    EditContext context;
};

TEST(EffectGallery, ClickingAnItemRunsItsMenuCommand) {
    struct Case {
        int id;
        bool withSelection;
    };
    for (const Case c : {Case{176, false}, Case{176, true}, Case{161, true}, Case{186, false}}) {
        SCOPED_TRACE(testing::Message() << "item " << c.id << (c.withSelection ? " selected" : ""));
        Editor gallery, menu;
        for (Editor* editor : {&gallery, &menu})
            if (c.withSelection) editor->selection.AddRectangle(Rect{5, 4, 20, 10});
        ShownBar shown;
        QSignalSpy clicked(&shown.bar, &CEffectDlg::galleryButtonClicked);
        QObject::connect(&shown.bar, &CEffectDlg::galleryButtonClicked, [&](int id) {
            EXPECT_EQ(ExecuteGalleryButton(gallery.context, id), CommandResult::Done);
        });
        RuntimeSeed(1);
        shown.click(shown.indexOf(c.id));
        EXPECT_EQ(clicked.count(), 0); // posted, not run inside the click
        QTRY_COMPARE(clicked.count(), 1);
        EXPECT_EQ(clicked.at(0).at(0).toInt(), c.id);

        RuntimeSeed(1);
        ASSERT_EQ(ExecuteCommand(menu.context, GalleryCommand(c.id)), CommandResult::Done);
        EXPECT_EQ(gallery.doc.GetHistoryCount(), 2);
        EXPECT_EQ(gallery.doc.GetHistoryPos(), 2);
        EXPECT_TRUE(SameBitmaps(*menu.doc.GetImage(), *gallery.doc.GetImage()));
        if (c.withSelection) {
            auto before = MakePatternBitmap(40, 30, PixelFormat24bppRGB);
            EXPECT_EQ(PixelBytes(*gallery.doc.GetImage(), 0, 0), PixelBytes(*before, 0, 0));
            EXPECT_EQ(PixelBytes(*gallery.doc.GetImage(), 39, 29), PixelBytes(*before, 39, 29));
        }
        EXPECT_TRUE(gallery.host.messages.isEmpty())
            << gallery.host.messages.join("; ").toStdString();
    }
}

TEST(EffectGallery, ClickingAHeaderDoesNothing) {
    ShownBar shown;
    QSignalSpy clicked(&shown.bar, &CEffectDlg::galleryButtonClicked);
    for (int i = 0; i < shown.list().ItemCount(); ++i)
        if (shown.list().thumb(i).IsHeader()) shown.click(i);
    QTest::qWait(20);
    EXPECT_EQ(clicked.count(), 0);
}

TEST(EffectGallery, HidingEndsTheLoaderAndShowingLoadsAnew) {
    QElapsedTimer clock;
    clock.start();
    ShownBar shown;
    // The first paint starts the loader; nothing has been delivered yet, since
    // deliveries wait for the event loop.
    shown.list().viewport()->repaint();
    ASSERT_TRUE(shown.list().HasLoader());
    EXPECT_EQ(shown.list().LoadedCount(), 0);
    shown.bar.hide();
    EXPECT_EQ(shown.bar.list(), nullptr);
    QTest::qWait(20); // pictures posted to the old list must not arrive anywhere

    // Shown again: a new list paints its captions at once and its pictures
    // follow as they arrive.
    clock.restart();
    shown.bar.show();
    ASSERT_NE(shown.bar.list(), nullptr);
    EXPECT_EQ(shown.list().LoadedCount(), 0);
    qint64 painted = -1;
    while (shown.list().LoadedCount() < kEffects && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (painted < 0 && shown.list().HasLoader()) painted = clock.elapsed();
    }
    const qint64 loaded = clock.elapsed();
    ASSERT_EQ(shown.list().LoadedCount(), kEffects);
    std::printf("gallery: first paint %lld ms, all %d pictures %lld ms after showing\n", painted,
                kEffects, loaded);
    for (int i = 0; i < shown.list().ItemCount(); ++i) {
        const Thumb& thumb = shown.list().thumb(i);
        EXPECT_EQ(thumb.m_picture.isNull(), thumb.IsHeader()) << "item " << i;
        if (!thumb.IsHeader()) {
            EXPECT_EQ(thumb.m_picture.size(), QSize(136, 156)) << thumb.m_nID;
        }
    }
}

TEST(EffectGallery, MinimisingKeepsTheList) {
    QMainWindow window;
    auto* bar = new CEffectDlg;
    window.setCentralWidget(bar);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    CEffectDlg::CEffectList* list = bar->list();
    ASSERT_NE(list, nullptr);
    window.showMinimized();
    QTest::qWait(20);
    EXPECT_EQ(bar->list(), list);
    window.showNormal();
    QTest::qWait(20);
    EXPECT_EQ(bar->list(), list);
}

} // namespace
