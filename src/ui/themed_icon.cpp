// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the command SVGs per icon mode with the palette's colours.
#include "ui/themed_icon.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

namespace {

// The outline colour the SVG files are drawn with; replaced by the palette's.
constexpr char kInk[] = "#202020";

QString iconPath(int commandId) {
    return QStringLiteral(":/icons/%1.svg").arg(commandId);
}

class ThemedIconEngine : public QIconEngine {
  public:
    ThemedIconEngine(QByteArray svg, bool hot, bool disabled)
        : m_svg(std::move(svg)), m_hot(hot), m_disabled(disabled) {}

    QIconEngine* clone() const override { return new ThemedIconEngine(m_svg, m_hot, m_disabled); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawImage(rect, render(rect.size() * dpr, mode));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        QPixmap pixmap = QPixmap::fromImage(render(size * scale, mode));
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

  private:
    QImage render(const QSize& size, QIcon::Mode mode) const {
        const QPalette palette = QApplication::palette();
        QColor ink = palette.color(QPalette::Active, QPalette::WindowText);
        if (mode == QIcon::Active && m_hot)
            ink = palette.color(QPalette::Active, QPalette::Highlight);
        QByteArray svg = m_svg;
        svg.replace(kInk, ink.name().toLatin1());
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QSvgRenderer renderer(svg);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        if (mode == QIcon::Disabled && m_disabled) greyOut(image, palette);
        return image;
    }

    // Every colour becomes the palette's disabled text colour, keeping a
    // little of its lightness so shapes stay apart, at reduced opacity.
    static void greyOut(QImage& image, const QPalette& palette) {
        const QColor base = palette.color(QPalette::Disabled, QPalette::WindowText);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int a = qAlpha(row[x]);
                if (a == 0) continue;
                const int grey = qGray(qUnpremultiply(row[x]));
                const int mix = (base.lightness() + grey) / 2;
                row[x] = qPremultiply(qRgba(mix, mix, mix, a * 4 / 5));
            }
        }
    }

    QByteArray m_svg;
    bool m_hot;
    bool m_disabled;
};

} // namespace

bool HasCommandIcon(int commandId) {
    QFile file(iconPath(commandId));
    return file.open(QIODevice::ReadOnly) && QSvgRenderer(file.readAll()).isValid();
}

QIcon ThemedIcon(int commandId, bool hot, bool disabled) {
    QFile file(iconPath(commandId));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QIcon(new ThemedIconEngine(file.readAll(), hot, disabled));
}
