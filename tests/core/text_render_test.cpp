// SPDX-License-Identifier: GPL-3.0-or-later
// The text dialog's escapes and drawing.
#include "core/text_render.h"
#include "testing/edit_session.h"

#include <QPainter>
#include <set>

namespace {

// The style with every colour distinct and the shadow fully opaque, drawn on a
// transparent 240 x 160 image.
struct Drawn {
    explicit Drawn(const TextStyle& style) : image(240, 160, PixelFormat32bppARGB) {
        drew = RenderText(image, style);
    }
    std::set<QRgb> colours() const {
        std::set<QRgb> seen;
        const QImage& i = image.image();
        for (int y = 0; y < i.height(); ++y)
            for (int x = 0; x < i.width(); ++x)
                if (qAlpha(i.pixel(x, y))) seen.insert(i.pixel(x, y));
        return seen;
    }
    // Rows holding drawn pixels.
    std::vector<int> rows() const {
        std::vector<int> found;
        for (int y = 0; y < image.image().height(); ++y)
            for (int x = 0; x < image.image().width(); ++x)
                if (qAlpha(image.image().pixel(x, y))) {
                    found.push_back(y);
                    break;
                }
        return found;
    }
    Bitmap image;
    bool drew = false;
};

TextStyle testStyle(const QString& typed) {
    TextStyle s;
    s.text = TranslateEscapes(typed);
    s.face = QStringLiteral("DejaVu Sans");
    s.size = 40;
    s.origin = {10, 10};
    s.shadow = QColor(1, 2, 3, 255);
    return s;
}

} // namespace

TEST(TextEscapes, Translation) {
    const std::pair<QString, QString> cases[] = {
        {"A\\nB", "A\nB"},  {"A\\n", "A\n"},   {"\\x", "\\x"}, {"end\\", "end\\"},
        {"\\r\\t", "\r\t"}, {"\\\\n", "\\\n"}, {"", ""},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(TranslateEscapes(typed), expected) << typed.toStdString();
    EXPECT_EQ(TextEffectForIndex(2), TextPlain);
    EXPECT_EQ(TextEffectForIndex(3), std::nullopt);
    EXPECT_EQ(ClampTextAlpha(300), 255);
    EXPECT_EQ(ClampTextAlpha(-4), 0);
    EXPECT_EQ(FontDescription("DejaVu Sans", 12, 700, true), "DejaVu Sans, 12 Bold Italic");
    EXPECT_EQ(FontDescription("DejaVu Sans", 12, 400, false), "DejaVu Sans, 12 Normal");
}

TEST(RenderText, LinesBreakAndEmptyTextDrawsNothing) {
    EnsureGuiApplication();
    const Drawn one(testStyle("A")), two(testStyle("A\\nB")), lineFeedAtEnd(testStyle("A\\n"));
    ASSERT_TRUE(one.drew);
    // The second line starts below the first: the drawn rows run further down.
    EXPECT_GT(two.rows().back(), one.rows().back() + 20);
    EXPECT_EQ(lineFeedAtEnd.rows(), one.rows());
    // A carriage return breaks the line as a line feed does.
    EXPECT_EQ(Drawn(testStyle("A\\rB")).rows(), two.rows());
    const Drawn empty(testStyle(""));
    EXPECT_FALSE(empty.drew);
    EXPECT_TRUE(empty.colours().empty());
}

TEST(RenderText, EffectsAndFill) {
    EnsureGuiApplication();
    TextStyle style = testStyle("Hg");
    style.effect = TextPlain;
    style.gradient = false;
    const auto plain = Drawn(style).colours();
    // Plain text without a gradient: only the shadow and the flat fill colour.
    EXPECT_EQ(plain, (std::set<QRgb>{QColor(1, 2, 3).rgba(), style.fill.rgba()}));

    style.gradient = true;
    EXPECT_GT(Drawn(style).colours().size(), 4u) << "a gradient fill has many colours";

    style.effect = TextSingleOutline;
    const auto single = Drawn(style).colours();
    EXPECT_TRUE(single.count(style.inner.rgba()));
    EXPECT_FALSE(single.count(style.outer.rgba()));
    style.effect = TextDoubleOutline;
    const auto twice = Drawn(style).colours();
    EXPECT_TRUE(twice.count(style.inner.rgba()));
    EXPECT_TRUE(twice.count(style.outer.rgba()));
}

TEST(RenderText, DefaultFaceDrawsThroughSubstitution) {
    EnsureGuiApplication();
    TextStyle style; // "Arial Black", 48 pixels, "Lumaset"
    EXPECT_TRUE(Drawn(style).drew);
}
