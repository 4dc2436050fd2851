// SPDX-License-Identifier: GPL-3.0-or-later
// Copy and Paste through the clipboard.
#include "commands/clipboard_commands.h"
#include "testing/edit_session.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// A new transparent document of the given size.
std::unique_ptr<EditSession> blank(int width, int height) {
    return std::make_unique<EditSession>(
        std::make_unique<Bitmap>(width, height, PixelFormat32bppARGB));
}

// The largest difference of one colour byte between two translucent pixels,
// compared as straight-alpha colours.
int byteDifference(Bitmap& a, int ax, int ay, Bitmap& b, int bx, int by) {
    const std::string p = PixelBytes(a, ax, ay), q = PixelBytes(b, bx, by);
    int worst = 0;
    for (int i = 0; i < 4; ++i)
        worst = std::max(worst, std::abs(int(std::uint8_t(p[i])) - int(std::uint8_t(q[i]))));
    return worst;
}

} // namespace

class Clipboard : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureGuiApplication();
        QGuiApplication::clipboard()->clear();
    }
};

TEST_F(Clipboard, CopyThenPasteReproducesOpaquePixels) {
    auto image = MakePatternBitmap(50, 40, PixelFormat24bppRGB, 3);
    EditSession source(image->Clone());
    source.selection.AddEllipse(QRectF(10.6, 5.2, 30, 20));
    ASSERT_EQ(source.run(57634, {}), CommandResult::Done);
    EXPECT_EQ(ClipboardImageSize(), QSize(30, 20)); // the bounding rectangle, truncated

    auto target = blank(40, 30);
    ASSERT_EQ(target->run(57637, {}), CommandResult::Done);
    Bitmap& pasted = *target->doc.GetImage();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(PixelBytes(pasted, x, y), PixelBytes(*image, x + 10, y + 5) + '\xFF')
                << x << "," << y;
    EXPECT_EQ(PixelBytes(pasted, 35, 25), std::string(4, '\0'));
    EXPECT_EQ(target->doc.GetHistoryCount(), 2);
    EXPECT_TRUE(target->doc.IsModified());
}

TEST_F(Clipboard, TranslucentPixelsKeepAlphaWithinOneLevel) {
    auto image = MakePatternBitmap(256, 64, PixelFormat32bppARGB, 5);
    EditSession source(image->Clone());
    ASSERT_EQ(source.run(57634, {}), CommandResult::Done);
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
    auto target = blank(256, 64);
    ASSERT_EQ(target->run(57637, {}), CommandResult::Done);
    // Over a transparent pixel source-over keeps the alpha; the colour goes
    // through premultiplied arithmetic and comes back within one level.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) {
            const int alpha = std::uint8_t(PixelBytes(*image, x, y)[3]);
            const int tolerance = alpha == 0 ? 255 : 1; // a transparent pixel's colour is lost
            ASSERT_LE(byteDifference(*image, x, y, *target->doc.GetImage(), x, y), tolerance)
                << x << "," << y << " alpha " << alpha;
            ASSERT_EQ(std::uint8_t(PixelBytes(*target->doc.GetImage(), x, y)[3]), alpha);
        }
}

TEST_F(Clipboard, LargePictureIsCutToTheImage) {
    EditSession source(MakeSolidBitmap(1000, 1000, PixelFormat24bppRGB, 0xFF336699));
    ASSERT_EQ(source.run(57634, {}), CommandResult::Done);
    auto target = blank(400, 300);
    ASSERT_EQ(target->run(57637, {}), CommandResult::Done);
    EXPECT_EQ(target->doc.GetImage()->GetWidth(), 400u);
    EXPECT_EQ(target->doc.GetImage()->GetHeight(), 300u);
    EXPECT_EQ(PixelBytes(*target->doc.GetImage(), 399, 299), std::string("\x99\x66\x33\xFF", 4));
}

TEST_F(Clipboard, SelectionPartlyOutsideCopiesTheInsidePart) {
    auto image = MakePatternBitmap(20, 20, PixelFormat24bppRGB, 9);
    EditSession source(image->Clone());
    source.selection.AddRectangle(QRectF(12, -6, 30, 10));
    ASSERT_EQ(source.run(57634, {}), CommandResult::Done);
    const QImage copied = ClipboardImage();
    ASSERT_EQ(copied.size(), QSize(8, 4));
    EXPECT_EQ(copied.pixel(0, 0), image->image().pixel(12, 0));
    EXPECT_EQ(copied.pixel(7, 3), image->image().pixel(19, 3));
}

TEST_F(Clipboard, PasteWithNothingToDrawRecordsNothing) {
    auto image = MakePatternBitmap(20, 10, PixelFormat24bppRGB);
    EditSession s(image->Clone());
    QGuiApplication::clipboard()->setText(QStringLiteral("not a picture"));
    ASSERT_EQ(s.run(57637, {}), CommandResult::Done);
    EXPECT_EQ(s.doc.GetHistoryCount(), 1);
    EXPECT_FALSE(s.doc.IsModified());
    EXPECT_TRUE(SameBitmaps(*image, *s.doc.GetImage()));
}
