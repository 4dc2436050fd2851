// SPDX-License-Identifier: GPL-3.0-or-later
// Painter set-up and bitmap drawing.
#include "core/graphics.h"

std::unique_ptr<QPainter> MakeGraphics(Bitmap& bitmap) {
    if (!bitmap.isValid()) return nullptr;
    auto painter = std::make_unique<QPainter>(&bitmap.image());
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->setRenderHint(QPainter::TextAntialiasing, false);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->setPen(MakePen(Qt::black, 1));
    return painter;
}

QPen MakePen(const QColor& color, qreal width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void DrawBitmap(Bitmap& destination, const Bitmap& source, int x, int y) {
    auto g = MakeGraphics(destination);
    if (g && source.isValid()) g->drawImage(QPoint(x, y), source.image());
}

void DrawBitmap(Bitmap& destination, const Bitmap& source, const QRect& target,
                Interpolation mode) {
    auto g = MakeGraphics(destination);
    if (!g || !source.isValid()) return;
    if (mode == Interpolation::NearestNeighbor) {
        g->drawImage(target, source.image());
        return;
    }
    // Qt's smooth transform is bilinear when drawing; a high-quality stretch
    // scales first with the smooth (area-averaging when shrinking) scaler.
    g->setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (mode == Interpolation::HighQuality) {
        const QImage scaled =
            source.image().scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        g->drawImage(target.topLeft(), scaled);
    } else {
        g->drawImage(target, source.image());
    }
}
