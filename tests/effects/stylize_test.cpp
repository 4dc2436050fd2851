// SPDX-License-Identifier: GPL-3.0-or-later
// Stylize and colour-formula effects: worked examples and naive oracles.
#include "effects/effect_oracle.h"
#include "effects/stylize.h"

#include <cmath>

namespace {

using Colour = std::array<int, 3>; // r, g, b
using Formula = std::function<Colour(int r, int g, int b)>;

// Every formula of a pixel alone, written from its definition.
const std::vector<std::pair<const char*, Formula>>& formulas() {
    static const std::vector<std::pair<const char*, Formula>> list = {
        {"Solarize",
         [](int r, int g, int b) {
             auto f = [](int v) { return v < 128 ? 255 - v : v; };
             return Colour{f(r), f(g), f(b)};
         }},
        {"Whim",
         [](int r, int g, int b) {
             auto f = [](int y, int x) {
                 return int(std::sin(std::atan2(double(y), double(x))) * 255);
             };
             return Colour{f(g, b), f(b, r), f(r, g)};
         }},
        {"Aqua",
         [](int r, int g, int b) {
             return Colour{std::min(255, (g - b) * (g - b) / 128),
                           std::min(255, (r - b) * (r - b) / 128),
                           std::min(255, (r - g) * (r - g) / 128)};
         }},
        {"Darker",
         [](int r, int g, int b) {
             return Colour{r * r / 255, g * g / 255, b * b / 255};
         }},
        {"Ice",
         [](int r, int g, int b) {
             return Colour{std::min(255, std::abs((r - g - b) * 3 / 2)),
                           std::min(255, std::abs((g - b - r) * 3 / 2)),
                           std::min(255, std::abs((b - r - g) * 3 / 2))};
         }},
        {"Molten",
         [](int r, int g, int b) {
             return Colour{std::clamp(r * 128 / (g + b + 1), 0, 255),
                           std::clamp(g * 128 / (b + r + 1), 0, 255),
                           std::clamp(b * 128 / (r + g + 1), 0, 255)};
         }},
        {"Old Photo",
         [](int r, int g, int b) {
             return Colour{std::min(255, (r * 25756 + g * 50397 + b * 12386) >> 16),
                           std::min(255, (r * 22872 + g * 44958 + b * 11010) >> 16),
                           std::min(255, (r * 17826 + g * 34996 + b * 8585) >> 16)};
         }},
        {"Subtence",
         [](int r, int g, int b) {
             return Colour{g * b / 255, b * r / 255, r * g / 255};
         }},
    };
    return list;
}

EffectFn routineFor(const std::string& name) {
    if (name == "Solarize") return Solarize;
    if (name == "Whim") return Whim;
    if (name == "Aqua") return Aqua;
    if (name == "Darker") return Darker;
    if (name == "Ice") return Ice;
    if (name == "Molten") return Molten;
    if (name == "Old Photo") return OldPhoto;
    return Subtence;
}

// The result of a one-pixel formula effect on one colour.
Colour onColour(EffectFn fn, Colour rgb) {
    auto source = MakeSolidBitmap(1, 1, PixelFormat24bppRGB,
                                  ARGB(0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2]));
    auto out = applied(*source, [fn](Bitmap& s, Bitmap& d) { fn(s, d, nullptr); });
    const std::string bytes = PixelBytes(*out, 0, 0);
    return Colour{std::uint8_t(bytes[2]), std::uint8_t(bytes[1]), std::uint8_t(bytes[0])};
}

TEST(ColourFormulas, WorkedExamples) {
    struct Case {
        EffectFn fn;
        Colour in, out;
    };
    const Case cases[] = {
        {Solarize, {127, 128, 0}, {128, 128, 255}},
        {Darker, {0, 128, 255}, {0, 64, 255}},
        {Molten, {0, 0, 0}, {0, 0, 0}},
        {Molten, {255, 255, 255}, {63, 63, 63}},
        {OldPhoto, {255, 255, 255}, {255, 255, 238}},
        {OldPhoto, {128, 128, 128}, {172, 153, 119}},
        {Ice, {0, 0, 0}, {0, 0, 0}},
        {Ice, {255, 255, 255}, {255, 255, 255}},
        {Ice, {10, 0, 3}, {10, 19, 10}}, // (10-3)*3/2 = 10, |(-13)*3/2| = 19, |(-7)*3/2| = 10
        {Subtence, {255, 255, 255}, {255, 255, 255}},
        {Subtence, {255, 0, 0}, {0, 0, 0}},
        {Whim, {0, 0, 255}, {0, 255, 0}},
        {Whim, {0, 0, 0}, {0, 0, 0}},
        {Aqua, {200, 10, 30}, {3, 225, 255}}, // 400/128, 28900/128, 36100/128 limited
    };
    for (const Case& c : cases) {
        const Colour got = onColour(c.fn, c.in);
        EXPECT_EQ(got, c.out) << c.in[0] << "," << c.in[1] << "," << c.in[2];
    }
}

// Every formula effect equals its formula on every pixel, 24- and 32-bit,
// alpha untouched.
TEST(ColourFormulas, MatchFormulaOnEveryPixel) {
    for (const auto& [name, formula] : formulas())
        for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB})
            for (auto [w, h] : oracleSizes()) {
                SCOPED_TRACE(testing::Message()
                             << name << " " << PixelFormatName(format) << " " << w << "x" << h);
                auto source = MakePatternBitmap(w, h, format, unsigned(w + 7 * h));
                EffectFn fn = routineFor(name);
                auto actual = applied(*source, [fn](Bitmap& s, Bitmap& d) { fn(s, d, nullptr); });
                auto want = expected(*source, [&formula](const ScopedLock& s, const ScopedLock& e) {
                    for (int y = 0; y < s.height(); ++y)
                        for (int x = 0; x < s.width(); ++x) {
                            const std::uint8_t* p = s.pixel(x, y);
                            const Colour c = formula(p[2], p[1], p[0]);
                            e.pixel(x, y)[2] = std::uint8_t(c[0]);
                            e.pixel(x, y)[1] = std::uint8_t(c[1]);
                            e.pixel(x, y)[0] = std::uint8_t(c[2]);
                        }
                });
                EXPECT_TRUE(SameBitmaps(*want, *actual));
            }
}

void embossOracle(const ScopedLock& s, const ScopedLock& e) {
    for (int y = 0; y < s.height() - 1; ++y)
        for (int x = 0; x < s.width() - 1; ++x)
            for (int c = 0; c < 3; ++c)
                e.pixel(x, y)[c] = std::uint8_t(
                    std::clamp(std::abs(s.pixel(x, y)[c] - s.pixel(x + 1, y)[c] + 128), 67, 255));
}

void woodenOracle(const ScopedLock& s, const ScopedLock& e) {
    for (int y = 0; y < s.height() - 1; ++y)
        for (int x = 0; x < s.width() - 1; ++x) {
            const std::uint8_t* p = s.pixel(x, y);
            const std::uint8_t v = (p[0] + p[1] + p[2]) / 3 >= 128 ? 255 : 0;
            for (int c = 0; c < 3; ++c)
                e.pixel(x, y)[c] = v;
        }
}

void pencilOracle(const ScopedLock& s, const ScopedLock& e, int threshold) {
    for (int y = 1; y < s.height() - 1; ++y)
        for (int x = 1; x < s.width() - 1; ++x) {
            bool white = true;
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i)
                        if (i || j) sum += s.pixel(x + i, y + j)[c];
                white = white && std::abs(s.pixel(x, y)[c] - sum / 8) < threshold;
            }
            for (int c = 0; c < 3; ++c)
                e.pixel(x, y)[c] = white ? 255 : 0;
        }
}

TEST(Stylize, NeighbourEffectsMatchOracles) {
    struct Case {
        const char* name;
        std::function<void(Bitmap&, Bitmap&)> run;
        std::function<void(const ScopedLock&, const ScopedLock&)> oracle;
    };
    const Case cases[] = {
        {"Emboss", [](Bitmap& s, Bitmap& d) { Emboss(s, d, nullptr); }, embossOracle},
        {"Wooden", [](Bitmap& s, Bitmap& d) { Wooden(s, d, nullptr); }, woodenOracle},
        {"Pencil 12", [](Bitmap& s, Bitmap& d) { Pencil(s, d, nullptr, {.threshold = 12}); },
         [](const ScopedLock& s, const ScopedLock& e) { pencilOracle(s, e, 12); }},
        // A smooth image so that both white and black occur.
        {"Pencil 100", [](Bitmap& s, Bitmap& d) { Pencil(s, d, nullptr, {.threshold = 400}); },
         [](const ScopedLock& s, const ScopedLock& e) { pencilOracle(s, e, 100); }},
    };
    for (const Case& c : cases)
        for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB})
            for (auto [w, h] : oracleSizes()) {
                SCOPED_TRACE(testing::Message()
                             << c.name << " " << PixelFormatName(format) << " " << w << "x" << h);
                auto source = MakePatternBitmap(w, h, format, unsigned(3 * w + h));
                auto actual = applied(*source, c.run);
                auto want = expected(*source, c.oracle);
                EXPECT_TRUE(SameBitmaps(*want, *actual));
            }
}

TEST(Stylize, WorkedExamples) {
    // Emboss of a flat image is 128 except on the last column and row.
    auto flat = MakeSolidBitmap(4, 3, PixelFormat24bppRGB, 0xFF336699);
    auto embossed = applied(*flat, [](Bitmap& s, Bitmap& d) { Emboss(s, d, nullptr); });
    EXPECT_EQ(PixelBytes(*embossed, 2, 1), std::string("\x80\x80\x80", 3));
    EXPECT_EQ(PixelBytes(*embossed, 3, 1), PixelBytes(*flat, 3, 1));
    EXPECT_EQ(PixelBytes(*embossed, 1, 2), PixelBytes(*flat, 1, 2));

    // Emboss never goes below 67: |0 - 100 + 128| = 28 becomes 67.
    auto step = MakeSolidBitmap(2, 2, PixelFormat24bppRGB, 0xFF646464);
    {
        ScopedLock l(*step);
        std::memset(l.pixel(0, 0), 0, 3);
    }
    auto floor = applied(*step, [](Bitmap& s, Bitmap& d) { Emboss(s, d, nullptr); });
    EXPECT_EQ(PixelBytes(*floor, 0, 0), std::string("\x43\x43\x43", 3));

    // Wooden thresholds the truncated mean: (128+128+129)/3 = 128 is white,
    // (127+127+128)/3 = 127 is black.
    for (auto [colour, want] : {std::pair{0xFF808081u, '\xFF'}, std::pair{0xFF7F7F80u, '\x00'}}) {
        auto grey = MakeSolidBitmap(3, 3, PixelFormat24bppRGB, colour);
        auto out = applied(*grey, [](Bitmap& s, Bitmap& d) { Wooden(s, d, nullptr); });
        EXPECT_EQ(PixelBytes(*out, 0, 0), std::string(3, want));
    }

    // Pencil of a flat image: white inside, the border unchanged, alpha kept.
    auto flat32 = MakeSolidBitmap(4, 4, PixelFormat32bppARGB, 0x80102030);
    auto pencil =
        applied(*flat32, [](Bitmap& s, Bitmap& d) { Pencil(s, d, nullptr, {.threshold = 12}); });
    EXPECT_EQ(PixelBytes(*pencil, 1, 2), std::string("\xFF\xFF\xFF\x80", 4));
    EXPECT_EQ(PixelBytes(*pencil, 0, 2), PixelBytes(*flat32, 0, 2));

    // Solarize twice does not restore 200 (stays) nor 100 (155 stays 155).
    auto twice = MakeSolidBitmap(1, 1, PixelFormat24bppRGB, 0xFFC86400);
    auto once = applied(*twice, [](Bitmap& s, Bitmap& d) { Solarize(s, d, nullptr); });
    auto again = applied(*once, [](Bitmap& s, Bitmap& d) { Solarize(s, d, nullptr); });
    EXPECT_EQ(PixelBytes(*again, 0, 0), std::string("\xFF\x9B\xC8", 3));
}

} // namespace
