// SPDX-License-Identifier: GPL-3.0-or-later
// The text dialog's text: escape translation, the style it is drawn with, and
// RenderText, which draws shadow, outline and fill into any painter.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>
#include <optional>

class QPainter;
class Bitmap;

// "\n", "\r" and "\t" (backslash, letter) become line feed, carriage return
// and tab; every other character, and a backslash before anything else or at
// the very end, is copied unchanged.
QString TranslateEscapes(const QString& typed);

// Outline effects as the effect list maps its entries.
enum TextEffect { TextSingleOutline = 1, TextDoubleOutline = 2, TextPlain = 4 };
// Effect list index 0, 1, 2 to single, double, plain; nothing for any other index.
std::optional<int> TextEffectForIndex(int index);

// Everything RenderText draws with. Colours carry their own alpha: the fill
// and gradient end are opaque, the outlines and shadow take the dialog's alphas.
struct TextStyle {
    QString text = QStringLiteral("Lumaset"); // after escape translation
    QString face = QStringLiteral("Arial Black");
    int size = 48; // em height in pixels
    int effect = TextSingleOutline;
    bool gradient = true;
    QColor fill{146, 238, 148};
    QColor gradientEnd{62, 181, 193};
    QColor inner{136, 10, 190};
    QColor outer{32, 117, 81};
    int innerThickness = 4, outerThickness = 4;
    QColor shadow{0, 0, 0, 128};
    int shadowX = 4, shadowY = 4;
    int shadowThickness = 4; // kept for the dialog's field; the drawing does not use it
    QPoint origin;           // top-left of the first line, image pixels
};

// Values typed into the alpha fields count from 0 to 255.
int ClampTextAlpha(int typed);

// The font a face name and em size give. A face that is not installed goes
// through the system's substitution; "Arial Black" asks for the heaviest
// sans-serif face, which is what its name promises. Style is always regular.
QFont TextFont(const QString& face, int pixelSize);

// The font field's text: "%s, %d" (face, size), then " Bold" for weight 700,
// " Italic" when italic, or " Normal" when neither.
QString FontDescription(const QString& face, int size, int weight, bool italic);

// Draws style's text into painter: the shadow filled at origin + (shadowX,
// shadowY), the outline by effect (single: inner pen; double: outer pen of both
// thicknesses, then the inner pen; plain: none; round joins), then the fill
// with a vertical gradient anchored at the image origin over the size of the
// first ten characters measured in a 20-point font, repeating beyond it. Each
// line sits below the last by the font's line spacing, the first line's top at
// the origin. Returns false, drawing nothing, when the text makes no outline
// (empty text, only spaces, or a size below 1).
bool RenderText(QPainter& painter, const TextStyle& style);
// The same on a bitmap, without antialiasing.
bool RenderText(Bitmap& image, const TextStyle& style);
