// SPDX-License-Identifier: GPL-3.0-or-later
// Blur and sharpen effects against naive oracles and worked examples.
#include "adjust/blend.h"
#include "effects/blur_sharpen.h"
#include "effects/effect_oracle.h"

#include <cstring>

void PrintTo(const Offset& o, std::ostream* os) {
    *os << "(" << o.x << "," << o.y << ")";
}

namespace {

void convolutionOracle(const ScopedLock& s, const ScopedLock& e, const ConvolutionKernel3x3& k) {
    for (int y = 1; y < s.height() - 1; ++y)
        for (int x = 1; x < s.width() - 1; ++x) {
            if (byteAt(s, x, y, 3) == 0) continue;
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i)
                        sum += k.weights[(j + 1) * 3 + i + 1] * byteAt(s, x + i, y + j, c);
                e.pixel(x, y)[c] = std::uint8_t(std::clamp(sum / k.divisor, 0, 255));
            }
        }
}

void motionOracle(const ScopedLock& s, const ScopedLock& e, const std::vector<Offset>& line) {
    for (int y = 0; y < s.height() - 1; ++y)
        for (int x = 0; x < s.width() - 1; ++x) {
            int sum[4] = {0, 0, 0, 0}, weight = 1, n = 0;
            for (const Offset& o : line) {
                const int sx = x + o.x, sy = y + o.y;
                if (sx < 0 || sy < 0 || sx >= s.width() || sy >= s.height()) continue;
                ++n;
                const int a = byteAt(s, sx, sy, 3);
                for (int c = 0; c < 3; ++c)
                    sum[c] += byteAt(s, sx, sy, c) * a;
                sum[3] += a;
                weight += a;
            }
            if (n == 0) continue;
            for (int c = 0; c < 3; ++c)
                e.pixel(x, y)[c] = std::uint8_t(sum[c] / weight);
            if (s.bpp() == 4) e.pixel(x, y)[3] = std::uint8_t(sum[3] / n);
        }
}

struct OracleCase {
    const char* name;
    std::function<void(Bitmap&, Bitmap&)> run;
    std::function<void(const ScopedLock&, const ScopedLock&)> oracle;
};

std::vector<OracleCase> oracleCases() {
    auto kernelCase = [](const char* name, EffectFn fn, const ConvolutionKernel3x3& k) {
        return OracleCase{
            name, [fn](Bitmap& s, Bitmap& d) { fn(s, d, nullptr); },
            [k](const ScopedLock& s, const ScopedLock& e) { convolutionOracle(s, e, k); }};
    };
    return {
        kernelCase("Blur", Blur, kBlurKernel),
        kernelCase("GaussBlur", GaussBlur, kGaussBlurKernel),
        kernelCase("Sharpen", Sharpen, kSharpenKernel),
        kernelCase("SharpenMore", SharpenMore, kSharpenMoreKernel),
        {"Convolve3x3 other kernel",
         [](Bitmap& s, Bitmap& d) {
             Convolve3x3(s, d, nullptr, {{1, -2, 3, 0, 1, 0, -3, 2, -1}, -3});
         },
         [](const ScopedLock& s, const ScopedLock& e) {
             convolutionOracle(s, e, {{1, -2, 3, 0, 1, 0, -3, 2, -1}, -3});
         }},
        {"MotionBlur 15 20",
         [](Bitmap& s, Bitmap& d) { MotionBlur(s, d, nullptr, {.angle = 15, .distance = 20}); },
         [](const ScopedLock& s, const ScopedLock& e) {
             motionOracle(s, e, LineOffsets(9, -2, -9, 2));
         }},
        {"MotionBlur -400 3",
         [](Bitmap& s, Bitmap& d) { MotionBlur(s, d, nullptr, {.angle = -400, .distance = 3}); },
         // -400 mod 360 = -40; theta = 140 degrees; dx = trunc(-2.298) = -2, dy = trunc(1.928) = 1.
         [](const ScopedLock& s, const ScopedLock& e) {
             motionOracle(s, e, LineOffsets(1, 0, -1, 0));
         }},
        {"MotionBlur 80 30",
         [](Bitmap& s, Bitmap& d) { MotionBlur(s, d, nullptr, {.angle = 80, .distance = 30}); },
         // theta = 260 degrees; dx = trunc(-5.21) = -5, dy = trunc(-29.54) = -29.
         [](const ScopedLock& s, const ScopedLock& e) {
             motionOracle(s, e, LineOffsets(2, -14, -2, 14));
         }},
        {"SoftGlow", [](Bitmap& s, Bitmap& d) { SoftGlow(s, d, nullptr); },
         [](const ScopedLock& s, const ScopedLock& e) {
             // Brighten with a table, then blend the blurred copy with Screen.
             convolutionOracle(s, e, kGaussBlurKernel); // e now holds the blurred copy
             std::vector<std::uint8_t> screen(kBlendTableSize);
             BuildBlendTable(screen.data(), int(BlendMode::Screen), 1.0);
             for (int y = 0; y < s.height(); ++y)
                 for (int x = 0; x < s.width(); ++x)
                     for (int c = 0; c < 3; ++c) {
                         const int bright = std::min(255, int(s.pixel(x, y)[c] * 1.05));
                         e.pixel(x, y)[c] = screen[bright * 256 + e.pixel(x, y)[c]];
                     }
         }},
        {"USM Sharpen", [](Bitmap& s, Bitmap& d) { UsmSharpen(s, d, nullptr, {.strength = 15}); },
         [](const ScopedLock& s, const ScopedLock& e) {
             convolutionOracle(s, e, kGaussBlurKernel);
             for (int y = 0; y < s.height(); ++y)
                 for (int x = 0; x < s.width(); ++x)
                     for (int c = 0; c < 3; ++c)
                         e.pixel(x, y)[c] = std::uint8_t(
                             std::clamp(2 * s.pixel(x, y)[c] - e.pixel(x, y)[c], 0, 255));
         }},
    };
}

TEST(BlurSharpen, MatchNaiveOracles) {
    for (const OracleCase& c : oracleCases())
        for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB})
            for (auto [w, h] : oracleSizes()) {
                SCOPED_TRACE(testing::Message()
                             << c.name << " " << PixelFormatName(format) << " " << w << "x" << h);
                auto source = MakePatternBitmap(w, h, format, unsigned(w * 31 + h));
                auto actual = applied(*source, c.run);
                auto want = expected(*source, c.oracle);
                EXPECT_TRUE(SameBitmaps(*want, *actual));
            }
}

// An opaque 32-bit image gives the colour bytes of its 24-bit twin.
TEST(BlurSharpen, OpaqueFormatsAgree) {
    for (const OracleCase& c : oracleCases()) {
        SCOPED_TRACE(c.name);
        auto image24 = MakePatternBitmap(37, 23, PixelFormat24bppRGB, 5);
        auto image32 = opaque32(*image24);
        auto out24 = applied(*image24, c.run);
        auto out32 = applied(*image32, c.run);
        EXPECT_TRUE(sameColours(*out24, *out32));
    }
}

TEST(BlurSharpen, KernelsKeepFlatOpaqueImages) {
    for (EffectFn fn : {Blur, GaussBlur, Sharpen, SharpenMore}) {
        auto source = MakeSolidBitmap(6, 5, PixelFormat32bppARGB, 0xFF8040C0);
        auto out = applied(*source, [fn](Bitmap& s, Bitmap& d) { fn(s, d, nullptr); });
        EXPECT_TRUE(SameBitmaps(*source, *out));
    }
}

TEST(BlurSharpen, TransparentPixelsKeepTheirColour) {
    auto source = MakePatternBitmap(5, 5, PixelFormat32bppARGB, 3);
    {
        ScopedLock l(*source);
        l.pixel(2, 2)[3] = 0;
    }
    auto out = applied(*source, [](Bitmap& s, Bitmap& d) { SharpenMore(s, d, nullptr); });
    EXPECT_EQ(PixelBytes(*out, 2, 2), PixelBytes(*source, 2, 2));
}

TEST(LineOffsets, MotionBlurLineOfTheCommand) {
    const std::vector<Offset> want = {{9, -2}, {8, -2}, {7, -2}, {6, -2}, {5, -1}, {4, -1}, {3, -1},
                                      {2, -1}, {1, 0},  {0, 0},  {-1, 0}, {-2, 0}, {-3, 0}, {-4, 1},
                                      {-5, 1}, {-6, 1}, {-7, 1}, {-8, 2}, {-9, 2}};
    EXPECT_EQ(LineOffsets(9, -2, -9, 2), want);
}

TEST(LineOffsets, Shapes) {
    struct Case {
        int x0, y0, x1, y1;
        std::vector<Offset> want;
    };
    const Case cases[] = {
        {3, 4, 3, 4, {{3, 4}}},
        {0, 0, 2, 2, {{0, 0}, {1, 1}, {2, 2}}},
        {0, 0, -2, 2, {{0, 0}, {-1, 1}, {-2, 2}}},
        // Steep: y is the major axis, x steps before the point is emitted.
        {0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {0, 0, 0, -2, {{0, 0}, {0, -1}, {0, -2}}},
        {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {5, 0, 0, -2, {{5, 0}, {4, 0}, {3, -1}, {2, -1}, {1, -2}, {0, -2}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LineOffsets(c.x0, c.y0, c.x1, c.y1), c.want) << c.x0 << "," << c.y0;
}

TEST(MotionBlur, FlatOpaqueImageLosesOneLevel) {
    auto source = MakeSolidBitmap(30, 12, PixelFormat32bppARGB, 0xFFC8C8C8);
    auto out = applied(*source, [](Bitmap& s, Bitmap& d) {
        MotionBlur(s, d, nullptr, {.angle = 15, .distance = 20});
    });
    // 200 * 255 * 19 / (1 + 255 * 19) truncates to 199 where all 19 samples are
    // inside; the last row and column keep 200.
    EXPECT_EQ(PixelBytes(*out, 12, 5), std::string("\xC7\xC7\xC7\xFF", 4));
    EXPECT_EQ(PixelBytes(*out, 29, 5), std::string("\xC8\xC8\xC8\xFF", 4));
    EXPECT_EQ(PixelBytes(*out, 3, 11), std::string("\xC8\xC8\xC8\xFF", 4));
}

} // namespace
