// SPDX-License-Identifier: GPL-3.0-or-later
// Text layout and drawing for the text dialog and its preview.
#include "core/text_render.h"

#include "core/graphics.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <algorithm>

namespace {

// Tab stops every eight space widths from the line's start.
constexpr int kTabStop = 8;

// The outline of text with the first line's top at origin. Lines end at a line
// feed, a carriage return or a carriage return and line feed together.
QPainterPath textPath(const QString& text, const QFont& font, QPointF origin) {
    QPainterPath path;
    const QFontMetricsF metrics(font);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
    const qreal tab = kTabStop * metrics.horizontalAdvance(QLatin1Char(' '));
    qreal baseline = origin.y() + metrics.ascent();
    for (const QString& line : lines.split('\n')) {
        qreal x = origin.x();
        const QStringList cells = line.split('\t');
        for (int i = 0; i < cells.size(); ++i) {
            if (i > 0 && tab > 0) x = origin.x() + (std::floor((x - origin.x()) / tab) + 1) * tab;
            path.addText(QPointF(x, baseline), font, cells[i]);
            x += metrics.horizontalAdvance(cells[i]);
        }
        baseline += metrics.lineSpacing();
    }
    return path;
}

QPen outlinePen(const QColor& color, int width) {
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// The fill's vertical gradient: from the fill colour at the top of a rectangle
// at the image origin, sized by the first ten characters in a 20-point font,
// to the end colour at its bottom, repeating beyond it.
QBrush fillBrush(const TextStyle& style, QPaintDevice* device) {
    QFont measuring = TextFont(style.face, 1);
    measuring.setPointSizeF(20);
    const QFontMetricsF metrics(measuring, device);
    const QRectF measured = metrics.boundingRect(QRectF(), Qt::TextExpandTabs, style.text.left(10));
    const int height = std::max(1, int(measured.height() + 20));
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, style.fill);
    gradient.setColorAt(1, style.gradient ? style.gradientEnd : style.fill);
    gradient.setSpread(QGradient::RepeatSpread);
    return QBrush(gradient);
}

} // namespace

QString TranslateEscapes(const QString& typed) {
    QString out;
    out.reserve(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed[i];
        const QChar next = i + 1 < typed.size() ? typed[i + 1] : QChar();
        if (c == '\\' && (next == 'n' || next == 'r' || next == 't')) {
            out += next == 'n' ? QChar('\n') : next == 'r' ? QChar('\r') : QChar('\t');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<int> TextEffectForIndex(int index) {
    static constexpr int kEffects[] = {TextSingleOutline, TextDoubleOutline, TextPlain};
    if (index < 0 || index > 2) return std::nullopt;
    return kEffects[index];
}

int ClampTextAlpha(int typed) {
    return std::clamp(typed, 0, 255);
}

QFont TextFont(const QString& face, int pixelSize) {
    QFont font(face);
    font.setPixelSize(std::max(1, pixelSize));
    font.setStyleHint(QFont::SansSerif);
    if (!QFontDatabase::hasFamily(face) &&
        face.endsWith(QLatin1String("Black"), Qt::CaseInsensitive))
        font.setWeight(QFont::Black); // the heaviest face the substitution finds
    else
        font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

QString FontDescription(const QString& face, int size, int weight, bool italic) {
    QString text = QString::asprintf("%s, %d", face.toUtf8().constData(), size);
    if (weight == 700) text += QLatin1String(" Bold");
    if (italic) text += QLatin1String(" Italic");
    if (weight != 700 && !italic) text += QLatin1String(" Normal");
    return text;
}

bool RenderText(QPainter& painter, const TextStyle& style) {
    if (style.size < 1) return false;
    const QPainterPath path =
        textPath(style.text, TextFont(style.face, style.size), QPointF(style.origin));
    if (path.isEmpty()) return false;
    painter.save();
    painter.fillPath(path.translated(style.shadowX, style.shadowY), style.shadow);
    painter.resetTransform();
    painter.setBrush(Qt::NoBrush);
    if (style.effect == TextDoubleOutline) {
        painter.setPen(outlinePen(style.outer, style.innerThickness + style.outerThickness));
        painter.drawPath(path);
    }
    if (style.effect == TextSingleOutline || style.effect == TextDoubleOutline) {
        painter.setPen(outlinePen(style.inner, style.innerThickness));
        painter.drawPath(path);
    }
    painter.fillPath(path, fillBrush(style, painter.device()));
    painter.restore();
    return true;
}

bool RenderText(Bitmap& image, const TextStyle& style) {
    auto painter = MakeGraphics(image);
    return painter && RenderText(*painter, style);
}
