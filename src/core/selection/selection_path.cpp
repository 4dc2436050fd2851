// SPDX-License-Identifier: GPL-3.0-or-later
// SelectionPath: outline editing and its lazily built region.
#include "core/selection/selection_path.h"

#include <atomic>

// QPainterPath reports one MoveTo element once its data exists, even with no
// figure; the point count is therefore kept here.
static int pointsOf(const QPainterPath& path) {
    return path.isEmpty() ? 0 : path.elementCount();
}

SelectionPath::SelectionPath() = default;

SelectionPath::SelectionPath(const QPainterPath& path)
    : m_path(path), m_pointCount(pointsOf(path)) {
    m_path.setFillRule(Qt::OddEvenFill);
}

SelectionPath::SelectionPath(const SelectionPath& other)
    : m_path(other.m_path), m_pointCount(other.m_pointCount), m_revision(other.m_revision) {}

std::uint64_t SelectionPath::NextRevision() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

SelectionPath& SelectionPath::operator=(const SelectionPath& other) {
    if (this != &other) {
        m_path = other.m_path;
        m_pointCount = other.m_pointCount;
        changed();
    }
    return *this;
}

SelectionPath::~SelectionPath() = default;

const SelectionRegion& SelectionPath::GetRegion() const {
    if (!m_region) m_region = std::make_unique<SelectionRegion>(m_path);
    return *m_region;
}

void SelectionPath::AddRectangle(const Rect& rect) {
    AddRectangle(QRectF(rect.X, rect.Y, rect.Width, rect.Height));
}

// Added point by point so that an empty rectangle still leaves a figure (an
// outline with points), as a click without motion does.
void SelectionPath::AddRectangle(const QRectF& rect) {
    m_path.moveTo(rect.topLeft());
    m_path.lineTo(rect.topRight());
    m_path.lineTo(rect.bottomRight());
    m_path.lineTo(rect.bottomLeft());
    m_path.closeSubpath();
    changed(4);
}

void SelectionPath::AddEllipse(const Rect& rect) {
    AddEllipse(QRectF(rect.X, rect.Y, rect.Width, rect.Height));
}

void SelectionPath::AddEllipse(const QRectF& rect) {
    const int before = m_path.elementCount();
    if (rect.isNull()) {
        m_path.moveTo(rect.center());
        m_path.closeSubpath();
        changed(1);
    } else {
        m_path.addEllipse(rect);
        changed(m_path.elementCount() - before);
    }
}

void SelectionPath::AddPolygon(const QPoint* points, int count) {
    if (count <= 0) return;
    // QPainterPath appends a whole polygon much faster than point by point.
    thread_local QPolygonF buffer;
    buffer.resize(count);
    for (int i = 0; i < count; ++i)
        buffer[i] = QPointF(points[i]);
    m_path.addPolygon(buffer);
    m_path.closeSubpath();
    changed(count);
}

void SelectionPath::AddPolygon(const QPolygonF& points) {
    if (points.isEmpty()) return;
    m_path.addPolygon(points);
    m_path.closeSubpath();
    changed(int(points.size()));
}

void SelectionPath::AddPath(const QPainterPath& path) {
    if (pointsOf(path) == 0) return;
    m_path.addPath(path);
    m_path.setFillRule(Qt::OddEvenFill);
    changed(pointsOf(path));
}

void SelectionPath::AddPath(const SelectionPath& path) {
    if (path.IsEmpty()) return;
    m_path.addPath(path.GetPath());
    changed(path.GetPointCount());
}

void SelectionPath::CloseFigure() {
    m_path.closeSubpath();
    changed();
}

void SelectionPath::Reset() {
    m_path = QPainterPath();
    m_pointCount = 0;
    changed();
}

void SelectionPath::Translate(qreal dx, qreal dy) {
    m_path.translate(dx, dy);
    changed();
}

void SelectionPath::Transform(const QTransform& matrix) {
    m_path = matrix.map(m_path);
    m_path.setFillRule(Qt::OddEvenFill);
    changed();
}
