// SPDX-License-Identifier: GPL-3.0-or-later
// What the canvas view does for the tools.
#include "view/view_tool_host.h"

#include "document/lumaset_doc.h"
#include "view/lumaset_view.h"

#include <QPainter>
#include <QPixmap>

CLumasetDoc& ViewToolHost::document() {
    return m_view.document();
}
ViewMapping ViewToolHost::mapping() const {
    return m_view.mapping();
}
SelectionPath& ViewToolHost::selection() {
    return m_view.selection();
}
SelectionPath& ViewToolHost::tempPath() {
    return m_view.tempPath();
}
void ViewToolHost::startOutlineTimer() {
    m_view.startOutlineTimer();
}
void ViewToolHost::killOutlineTimer() {
    m_view.stopOutlineTimer();
}

void ViewToolHost::invalidate(const QRect& imageRect, bool) {
    // The view composes every pixel it shows, so there is no background to
    // erase: a repaint with or without erasing looks the same.
    if (imageRect.isNull())
        m_view.refreshCanvas();
    else
        m_view.refreshImageRect(imageRect);
}

void ViewToolHost::pushBackup() {
    document().PushBackup(false);
    emit m_view.commandStateChanged();
}

void ViewToolHost::setZoom(double zoom) {
    m_view.setZoom(zoom);
}

bool ViewToolHost::openTextDialog(QPoint imagePoint) {
    return m_textDialog && m_textDialog(imagePoint);
}

ARGB ViewToolHost::renderedColorAt(QPoint client) {
    // The pixel exactly as the view paints it: checkerboard, zoom sampling
    // and the outline dashes included. The screen itself is not read, which
    // Wayland does not allow.
    const QImage shown = m_view.viewport()->grab(QRect(client, QSize(1, 1))).toImage();
    return shown.isNull() ? 0xFF000000u : (shown.pixel(0, 0) | 0xFF000000u);
}

void ViewToolHost::foregroundPicked(ARGB color) {
    if (m_foreground) m_foreground(color);
}

void ViewToolHost::drawCloneMarker(const QRect& clientRect) {
    m_view.viewport()->update(m_marker.adjusted(-1, -1, 1, 1));
    m_marker = clientRect;
    m_view.viewport()->update(m_marker.adjusted(-1, -1, 1, 1));
}

void ViewToolHost::paintMarker(QPainter& painter) const {
    if (m_marker.isNull()) return;
    painter.save();
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_marker);
    painter.restore();
}

void ViewToolHost::clearMarker() {
    if (m_marker.isNull()) return;
    m_view.viewport()->update(m_marker.adjusted(-1, -1, 1, 1));
    m_marker = QRect();
}
