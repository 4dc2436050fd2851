// SPDX-License-Identifier: GPL-3.0-or-later
// Gestures on the command line, through the editor's tool code.
#include "tools/offscreen_tool_host.h"

#include "commands/recipe.h"
#include "document/lumaset_doc.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRegularExpression>
#include <cstdlib>
#include <vector>

namespace {

// The view's outline look: a translucent dark line under white dashes of
// 4 on, 5 off, the thinnest line at any zoom, antialiased.
void drawOutline(QPainter& painter, const QPainterPath& path, int phase) {
    QPen dark(QColor(0, 0, 0, 160), 0);
    dark.setJoinStyle(Qt::BevelJoin);
    painter.setPen(dark);
    painter.drawPath(path);
    QPen dashes(Qt::white, 0);
    dashes.setJoinStyle(Qt::BevelJoin);
    dashes.setDashPattern({4.0, 5.0});
    dashes.setDashOffset(5.0 + phase);
    painter.setPen(dashes);
    painter.drawPath(path);
}

struct Gesture {
    const ToolInfo* tool = nullptr;
    unsigned flags = 0;
    std::vector<QPoint> points;
};

// Reads "TOOL:[MODS:]X,Y;X,Y;..."; an error message naming the bad part, or
// an empty string.
QString parseGesture(const QString& spec, Gesture& g) {
    const QStringList parts = spec.split(':');
    if (parts.size() < 2 || parts.size() > 3)
        return "bad gesture '" + spec + "' (use TOOL:[MODS:]X,Y;X,Y;...)";
    g.tool = FindToolByName(parts[0]);
    if (!g.tool)
        return "unknown tool '" + parts[0] + "' (a tool's name as the Tools menu gives it)";
    if (parts.size() == 3) {
        for (const QString& m :
             parts[1].split(QRegularExpression(QStringLiteral("[+,]")), Qt::SkipEmptyParts)) {
            const QString mod = m.trimmed().toLower();
            if (mod == "ctrl")
                g.flags |= MK_CONTROL;
            else if (mod == "shift")
                g.flags |= MK_SHIFT;
            else if (mod == "x1")
                g.flags |= MK_XBUTTON1;
            else
                return "unknown modifier '" + m + "' in gesture (ctrl, shift or x1)";
        }
    }
    for (const QString& p : parts.back().split(';', Qt::SkipEmptyParts)) {
        const QStringList xy = p.split(',');
        bool okX = false, okY = false;
        const int x = xy.size() == 2 ? xy[0].trimmed().toInt(&okX) : 0;
        const int y = xy.size() == 2 ? xy[1].trimmed().toInt(&okY) : 0;
        if (!okX || !okY || std::abs(x) > 1000000 || std::abs(y) > 1000000)
            return "bad gesture point '" + p + "' (use X,Y in image pixels)";
        g.points.emplace_back(x, y);
    }
    if (g.points.empty()) return "gesture '" + spec + "' has no points";
    return {};
}

} // namespace

ARGB OffscreenToolHost::renderedColorAt(QPoint client) {
    // The checkerboard's pixels are opaque or fully transparent, so its pixel
    // replaces the window colour or leaves it.
    QImage shown(1, 1, QImage::Format_ARGB32);
    const ARGB square = m_doc.m_background.colourAt(client.x(), client.y());
    shown.fill(square ? QColor::fromRgba(square) : QColor(180, 180, 180));
    QPainter painter(&shown);
    painter.translate(-client.x(), -client.y());
    const QRectF pixel(client, QSizeF(1, 1));
    if (const Bitmap* image = m_doc.GetImage(); image && image->isValid()) {
        const QRectF area = pixel.intersected(QRectF(image->image().rect()));
        if (!area.isEmpty()) painter.drawImage(area, image->image(), area);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    // The first paint draws the preview outline with phase 2, then the
    // selection with phase 3.
    drawOutline(painter, m_tempPath.GetPath(), 2);
    drawOutline(painter, m_selection.GetPath(), 3);
    painter.end();
    return shown.pixel(0, 0) | 0xFF000000u;
}

QString OffscreenToolHost::checkGesture(const QString& spec) {
    Gesture unused;
    return parseGesture(spec, unused);
}

QString OffscreenToolHost::runGesture(const QString& spec) {
    Gesture g;
    if (QString error = parseGesture(spec, g); !error.isEmpty()) return error;
    StepRecorder recorder(m_doc, m_selection);
    m_doc.m_nToolType = g.tool->type;
    m_router.press(g.flags, g.points.front());
    for (std::size_t i = 1; i < g.points.size(); ++i)
        m_router.move(g.flags, g.points[i]);
    m_router.release(g.flags, g.points.back());
    recorder.finish(m_doc, m_selection, "--gesture " + spec, StepRecorder::kAllSettings);
    return {};
}
