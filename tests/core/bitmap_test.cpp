// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/bitmap.h"
#include "core/graphics.h"
#include "testing/test_images.h"

#include <cstring>

TEST(BitmapFormats, BytesPerPixelTable) {
    const struct {
        PixelFormat code;
        int bytes;
    } rows[] = {
        {0x00030101, 1}, {0x00030402, 1}, {0x00030803, 1}, {0x00021005, 2}, {0x00021006, 2},
        {0x00061007, 2}, {0x00101004, 2}, {0x00021808, 3}, {0x00022009, 4}, {0x0026200A, 4},
        {0x000E200B, 4}, {0x0010300C, 6}, {0x0034400D, 8}, {0x001C400E, 8}, {0, 0},
        {0x00021809, 0}, {0xFFFFFFFF, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(BytesPerPixel(r.code), r.bytes) << std::hex << r.code;
    EXPECT_STREQ(PixelFormatName(PixelFormat24bppRGB), "PixelFormat24bppRGB");
}

TEST(BitmapCreate, NewBitmapIsAllZeroWithPaddedStride) {
    Bitmap b(5, 3, PixelFormat24bppRGB);
    ASSERT_TRUE(b.isValid());
    ScopedLock lock(b);
    EXPECT_EQ(lock.stride(), 16); // 15 bytes padded to 4
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(lock.row(y)[i], 0);
    Bitmap bad(5, 3, PixelFormat8bppIndexed);
    EXPECT_FALSE(bad.isValid());
    EXPECT_NE(bad.GetLastStatus(), Ok);
}

TEST(BitmapLock, WholeImageLockSharesMemoryUnderAnyFlags) {
    for (std::uint32_t flags : {ImageLockModeRead, ImageLockModeWrite}) {
        Bitmap b(4, 4, PixelFormat32bppARGB);
        BitmapData d;
        ASSERT_EQ(b.LockBits(nullptr, flags, PixelFormat32bppARGB, &d), Ok);
        d.Scan0[0] = 7;
        d.Scan0[3] = 200;
        ASSERT_EQ(b.UnlockBits(&d), Ok);
        ARGB c = 0;
        b.GetPixel(0, 0, &c);
        EXPECT_EQ(c, 0xC8000007u);
    }
}

// A read lock on pixels an undo snapshot shares reads them in place; a write
// lock on the same bitmap meanwhile gives the bitmap its own copy, and the
// reader's pixels stay valid and unchanged after the snapshot lets go.
TEST(BitmapLock, AReadLockOutlivesACopyForAWriteOnTheSameBitmap) {
    auto b = MakePatternBitmap(9, 7, PixelFormat24bppRGB, 5);
    const QImage before = b->image().copy();
    QImage snapshot = b->image();
    const Bitmap& reading = *b;
    {
        ScopedLock read(reading);
        EXPECT_EQ(read.row(0), snapshot.constBits()); // no copy for a read
        ScopedLock write(*b);
        EXPECT_NE(write.row(0), read.row(0));
        snapshot = QImage();
        for (int y = 0; y < read.height(); ++y) {
            EXPECT_EQ(std::memcmp(read.row(y), before.constScanLine(y), 27), 0) << y;
            std::memset(write.row(y), 0, 27);
        }
    }
    EXPECT_TRUE(b->image().isDetached());
}

TEST(BitmapLock, SubRectangleAndOtherFormatWriteBack) {
    auto b = MakeSolidBitmap(6, 5, PixelFormat24bppRGB, 0xFF102030);
    Rect r{2, 1, 3, 2};
    BitmapData d;
    ASSERT_EQ(b->LockBits(&r, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppARGB, &d),
              Ok);
    EXPECT_EQ(d.Width, 3u);
    EXPECT_EQ(d.Scan0[0], 0x30); // current pixels are there
    EXPECT_EQ(d.Scan0[3], 0xFF);
    for (int y = 0; y < 2; ++y)
        std::memset(d.Scan0 + y * d.Stride, 0x55, 12);
    ASSERT_EQ(b->UnlockBits(&d), Ok);
    EXPECT_EQ(PixelBytes(*b, 2, 1), std::string("\x55\x55\x55", 3));
    EXPECT_EQ(PixelBytes(*b, 4, 2), std::string("\x55\x55\x55", 3));
    EXPECT_EQ(PixelBytes(*b, 1, 1), std::string("\x30\x20\x10", 3));
    EXPECT_EQ(PixelBytes(*b, 5, 2), std::string("\x30\x20\x10", 3));
    Rect outside{4, 4, 3, 3};
    EXPECT_NE(b->LockBits(&outside, ImageLockModeWrite, PixelFormat24bppRGB, &d), Ok);
}

TEST(BitmapClone, RectangleAndWholeImage) {
    auto b = MakePatternBitmap(7, 5, PixelFormat32bppARGB);
    auto whole = b->Clone();
    ASSERT_TRUE(whole);
    EXPECT_TRUE(SameBitmaps(*b, *whole));
    auto part = b->Clone(Rect{1, 2, 3, 2}, PixelFormat32bppARGB);
    ASSERT_TRUE(part);
    EXPECT_EQ(PixelBytes(*part, 0, 0), PixelBytes(*b, 1, 2));
    EXPECT_EQ(PixelBytes(*part, 2, 1), PixelBytes(*b, 3, 3));
    EXPECT_FALSE(b->Clone(Rect{5, 0, 3, 1}, PixelFormat32bppARGB));
    EXPECT_FALSE(b->Clone(Rect{-1, 0, 2, 2}, PixelFormat32bppARGB));
    EXPECT_FALSE(b->Clone(Rect{0, 0, 0, 2}, PixelFormat32bppARGB));
    EXPECT_FALSE(b->Clone(Rect{0, 0, 2, 2}, PixelFormat8bppIndexed));
    auto as24 = b->Clone(Rect{0, 0, 7, 5}, PixelFormat24bppRGB);
    ASSERT_TRUE(as24);
    EXPECT_EQ(as24->GetPixelFormat(), PixelFormat24bppRGB);
}

TEST(LookupTable, ChannelsAndAlpha) {
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = std::uint8_t(255 - i);
    const struct {
        int channel;
        const char* expected; // B G R A after the table
    } rows[] = {
        {0, "\xEF\xDF\xCF\x40"}, {1, "\x10\x20\xCF\x40"}, {2, "\x10\xDF\x30\x40"},
        {3, "\xEF\x20\x30\x40"}, {4, "\x10\x20\x30\x40"},
    };
    for (const auto& r : rows) {
        auto src = MakeSolidBitmap(3, 2, PixelFormat32bppARGB, 0x40302010);
        auto dst = src->Clone();
        ApplyLookupTable(*src, *dst, table, r.channel);
        EXPECT_EQ(PixelBytes(*dst, 2, 1), std::string(r.expected, 4)) << r.channel;
        ApplyLookupTable(*src, *src, table, r.channel); // in place
        EXPECT_EQ(PixelBytes(*src, 0, 0), std::string(r.expected, 4)) << r.channel;
    }
}

TEST(Luminance, WeightsAddUp) {
    EXPECT_EQ(Luminance(255, 255, 255), 255);
    EXPECT_EQ(Luminance(0, 0, 0), 0);
    EXPECT_EQ(Luminance(255, 0, 0), 76);
    EXPECT_EQ(Luminance(0, 255, 0), 150);
    EXPECT_EQ(Luminance(0, 0, 255), 28);
}

TEST(Graphics, PainterWorksOn24BitImagesWithoutAntialiasing) {
    Bitmap b(10, 10, PixelFormat24bppRGB);
    auto g = MakeGraphics(b);
    g->fillRect(QRect(2, 2, 3, 3), QColor(255, 0, 0));
    g.reset();
    EXPECT_EQ(PixelBytes(b, 2, 2), std::string("\0\0\xFF", 3));
    EXPECT_EQ(PixelBytes(b, 4, 4), std::string("\0\0\xFF", 3));
    EXPECT_EQ(PixelBytes(b, 5, 5), std::string("\0\0\0", 3));
    EXPECT_EQ(b.GetPixelFormat(), PixelFormat24bppRGB);
}
