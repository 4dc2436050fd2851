// SPDX-License-Identifier: GPL-3.0-or-later
// Rotation, flips, clearing and outline drawing on small images.
#include "adjust/transforms.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "testing/test_images.h"

#include <QPainterPath>

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat24bppRGB, PixelFormat32bppARGB};

// The source pixel as 32-bit bytes (24-bit pixels read as opaque).
std::string as32(Bitmap& image, int x, int y) {
    std::string p = PixelBytes(image, x, y);
    if (p.size() == 3) p.push_back(char(255));
    return p;
}

TEST(Rotate, QuarterTurnsMovePixelsExactly) {
    struct Case {
        double degrees;
        bool sideways;
        // Source pixel that lands on (x, y) of a w x h source.
        std::pair<int, int> (*from)(int x, int y, int w, int h);
    };
    const Case cases[] = {
        {-90, true,
         [](int x, int y, int, int h) {
             return std::pair{y, h - 1 - x};
         }},
        {270, true,
         [](int x, int y, int, int h) {
             return std::pair{y, h - 1 - x};
         }},
        {90, true,
         [](int x, int y, int w, int) {
             return std::pair{w - 1 - y, x};
         }},
        {-180, false,
         [](int x, int y, int w, int h) {
             return std::pair{w - 1 - x, h - 1 - y};
         }},
        {180, false,
         [](int x, int y, int w, int h) {
             return std::pair{w - 1 - x, h - 1 - y};
         }},
        {0, false,
         [](int x, int y, int, int) {
             return std::pair{x, y};
         }},
        {-360, false,
         [](int x, int y, int, int) {
             return std::pair{x, y};
         }},
    };
    // 5 x 3: odd sides; 4 x 2: 24-bit rows without padding, so a read past a
    // row's last pixel would leave the image.
    for (const QSize size : {QSize(5, 3), QSize(4, 2)})
        for (PixelFormat format : kFormats) {
            for (const Case& c : cases) {
                const int w = size.width(), h = size.height();
                auto source = MakePatternBitmap(w, h, format);
                auto turned = Rotate(*source, c.degrees);
                ASSERT_EQ(turned->GetPixelFormat(), PixelFormat32bppARGB);
                ASSERT_EQ(int(turned->GetWidth()), c.sideways ? h : w) << c.degrees;
                ASSERT_EQ(int(turned->GetHeight()), c.sideways ? w : h) << c.degrees;
                for (int y = 0; y < int(turned->GetHeight()); ++y)
                    for (int x = 0; x < int(turned->GetWidth()); ++x) {
                        const auto [sx, sy] = c.from(x, y, w, h);
                        ASSERT_EQ(PixelBytes(*turned, x, y), as32(*source, sx, sy))
                            << c.degrees << " degrees at " << x << "," << y;
                    }
            }
        }
}

TEST(Rotate, PhotoSizeTurnsSideways) {
    auto photo = MakePatternBitmap(400, 300, PixelFormat24bppRGB);
    auto turned = Rotate(*photo, -90);
    EXPECT_EQ(turned->GetWidth(), 300u);
    EXPECT_EQ(turned->GetHeight(), 400u);
    EXPECT_EQ(turned->GetPixelFormat(), PixelFormat32bppARGB);
    // Four quarter turns give the picture back.
    auto back = Rotate(*Rotate(*Rotate(*turned, -90), -90), -90);
    auto expected = photo->Clone(Rect{0, 0, 400, 300}, PixelFormat32bppARGB);
    EXPECT_TRUE(SameBitmaps(*expected, *back));
}

TEST(Rotate, OtherAnglesUseTheBoundingBox) {
    auto image = MakeSolidBitmap(100, 50, PixelFormat32bppARGB, 0xFF336699);
    auto turned = Rotate(*image, 45);
    EXPECT_EQ(turned->GetWidth(), 106u); // trunc(150 / sqrt(2))
    EXPECT_EQ(turned->GetHeight(), 106u);
    EXPECT_EQ(PixelBytes(*turned, 53, 53), PixelBytes(*image, 0, 0)); // centre is covered
    EXPECT_EQ(PixelBytes(*turned, 0, 0), std::string(4, '\0'));       // corner stays transparent
}

TEST(Flip, MirrorsIntoA32BitImage) {
    for (PixelFormat format : kFormats) {
        auto source = MakePatternBitmap(5, 4, format);
        // A 4-pixel-wide 24-bit row has no padding after its last pixel.
        auto unpadded = MakePatternBitmap(4, 2, format);
        EXPECT_EQ(PixelBytes(*Flip(*unpadded, FlipAxis::LeftRight), 0, 1), as32(*unpadded, 3, 1));
        EXPECT_EQ(PixelBytes(*Flip(*unpadded, FlipAxis::UpsideDown), 3, 0), as32(*unpadded, 3, 1));
        for (FlipAxis axis : {FlipAxis::LeftRight, FlipAxis::UpsideDown}) {
            const bool leftRight = axis == FlipAxis::LeftRight;
            auto flipped = Flip(*source, axis);
            ASSERT_EQ(flipped->GetPixelFormat(), PixelFormat32bppARGB);
            ASSERT_EQ(flipped->GetWidth(), 5u);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 5; ++x)
                    ASSERT_EQ(PixelBytes(*flipped, leftRight ? 4 - x : x, leftRight ? y : 3 - y),
                              as32(*source, x, y));
        }
    }
}

TEST(ClearRect, ClearsInsideAndSkipsRectanglesThatStickOut) {
    struct Case {
        int x, y, w, h;
        bool cleared;
    };
    const Case cases[] = {{1, 1, 3, 2, true},   {0, 0, 6, 4, true},  {4, 0, 3, 1, false},
                          {-1, 0, 2, 2, false}, {0, 3, 1, 2, false}, {2, 2, 0, 1, false}};
    for (PixelFormat format : kFormats) {
        for (const Case& c : cases) {
            auto image = MakePatternBitmap(6, 4, format);
            auto before = image->Clone();
            EXPECT_EQ(ClearRect(*image, c.x, c.y, c.w, c.h), c.cleared) << c.x << "," << c.y;
            if (!c.cleared) {
                EXPECT_TRUE(SameBitmaps(*before, *image));
                continue;
            }
            const int bpp = BytesPerPixel(format);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x) {
                    const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                    ASSERT_EQ(PixelBytes(*image, x, y),
                              inside ? std::string(bpp, '\0') : PixelBytes(*before, x, y));
                }
        }
    }
}

TEST(Outline, FillAndStrokeTouchOnlyTheShape) {
    QPainterPath square;
    square.addRect(2, 2, 6, 6);
    auto filled = MakeSolidBitmap(10, 10, PixelFormat32bppARGB, 0xFFFFFFFF);
    FillOutline(*filled, square, 0xFF102030);
    EXPECT_EQ(PixelBytes(*filled, 4, 4), (std::string{0x30, 0x20, 0x10, char(255)}));
    EXPECT_EQ(PixelBytes(*filled, 1, 1), std::string(4, char(255)));
    EXPECT_EQ(PixelBytes(*filled, 8, 8), std::string(4, char(255)));

    // A translucent colour is laid over what is there.
    auto glazed = MakeSolidBitmap(10, 10, PixelFormat24bppRGB, 0xFF000000);
    FillOutline(*glazed, square, 0x80FFFFFF);
    const std::string inside = PixelBytes(*glazed, 4, 4);
    EXPECT_GT(std::uint8_t(inside[0]), 120);
    EXPECT_LT(std::uint8_t(inside[0]), 136);

    auto stroked = MakeSolidBitmap(10, 10, PixelFormat32bppARGB, 0xFFFFFFFF);
    StrokeOutline(*stroked, square, 0xFF000000, 1.0f);
    EXPECT_EQ(PixelBytes(*stroked, 5, 5), std::string(4, char(255)));
    EXPECT_EQ(PixelBytes(*stroked, 0, 0), std::string(4, char(255)));
    int dark = 0;
    for (int x = 0; x < 10; ++x)
        dark += PixelBytes(*stroked, x, 2)[0] == 0;
    EXPECT_GE(dark, 5);
}

} // namespace

namespace {

TEST(CropToRegion, EllipseBoxAndTransparentCorners) {
    for (PixelFormat format : kFormats) {
        auto image = MakePatternBitmap(200, 100, format);
        SelectionPath outline;
        outline.AddEllipse(QRectF(10.5, 20.7, 100.9, 50.2));
        auto cropped = CropToRegion(*image, outline);
        ASSERT_TRUE(cropped);
        ASSERT_EQ(cropped->GetWidth(), 100u);
        ASSERT_EQ(cropped->GetHeight(), 50u);
        ASSERT_EQ(cropped->GetPixelFormat(), PixelFormat32bppARGB);
        EXPECT_EQ(PixelBytes(*cropped, 0, 0), std::string(4, '\0'));
        EXPECT_EQ(PixelBytes(*cropped, 99, 49), std::string(4, '\0'));
        const SelectionRegion& region = outline.GetRegion();
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(PixelBytes(*cropped, x, y), region.IsVisible(float(x + 10), float(y + 20))
                                                          ? as32(*image, x + 10, y + 20)
                                                          : std::string(4, '\0'))
                    << x << "," << y;
    }
}

TEST(CropToRegion, BoxPastTheImageStaysTransparent) {
    auto image = MakePatternBitmap(10, 10, PixelFormat32bppARGB);
    SelectionPath outline;
    outline.AddRectangle(Rect{-4, 6, 8, 8});
    auto cropped = CropToRegion(*image, outline);
    ASSERT_EQ(cropped->GetWidth(), 8u);
    EXPECT_EQ(PixelBytes(*cropped, 3, 0), std::string(4, '\0')); // image column -1
    EXPECT_EQ(PixelBytes(*cropped, 4, 0), PixelBytes(*image, 0, 6));
    EXPECT_EQ(PixelBytes(*cropped, 7, 3), PixelBytes(*image, 3, 9));
    EXPECT_EQ(PixelBytes(*cropped, 7, 4), std::string(4, '\0')); // image row 10

    SelectionPath line;
    line.AddRectangle(QRectF(2, 2, 0.5, 5));
    EXPECT_FALSE(CropToRegion(*image, line)); // an empty box gives nothing
}

} // namespace
