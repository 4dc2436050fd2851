// SPDX-License-Identifier: GPL-3.0-or-later
// SelectionPath: a selection outline (closed figures, even-odd fill, image
// pixel coordinates) with the region of its pixels built on first request.
#pragma once

#include "core/bitmap.h"
#include "core/selection/selection_region.h"

#include <QPainterPath>
#include <QPolygon>
#include <QPolygonF>
#include <QTransform>
#include <cstdint>
#include <memory>

// Every change of the outline discards the cached region. A path with no
// points means "no selection". Not for use from several threads at once.
class SelectionPath {
  public:
    SelectionPath();
    explicit SelectionPath(const QPainterPath& path);
    SelectionPath(const SelectionPath& other);
    SelectionPath& operator=(const SelectionPath& other);
    SelectionPath(SelectionPath&&) noexcept = default;
    SelectionPath& operator=(SelectionPath&&) noexcept = default;
    ~SelectionPath();

    const QPainterPath& GetPath() const { return m_path; }
    // The pixels of the outline, built on first request.
    const SelectionRegion& GetRegion() const;

    // Points added through this object (a rectangle adds 4); a transform keeps
    // the count.
    int GetPointCount() const { return m_pointCount; }
    bool IsEmpty() const { return m_pointCount == 0; }
    bool HasSelection() const { return !IsEmpty(); }
    // A number that changes with every change of the outline, so a copy made
    // from it (a drawing cache) knows in O(1) whether it is still current.
    std::uint64_t GetRevision() const { return m_revision; }

    // Each Add starts a new figure.
    void AddRectangle(const Rect& rect);
    void AddRectangle(const QRectF& rect);
    void AddEllipse(const Rect& rect);
    void AddEllipse(const QRectF& rect);
    // A closed polygon figure.
    void AddPolygon(const QPolygon& points) { AddPolygon(points.constData(), int(points.size())); }
    void AddPolygon(const QPoint* points, int count);
    void AddPolygon(const QPolygonF& points);
    // The figures of another outline, not connected to the open one.
    void AddPath(const QPainterPath& path);
    void AddPath(const SelectionPath& path);
    void CloseFigure();
    void Reset();
    void Translate(qreal dx, qreal dy);
    void Transform(const QTransform& matrix);

  private:
    static std::uint64_t NextRevision();
    void changed(int addedPoints = 0) {
        m_pointCount += addedPoints;
        m_region.reset();
        m_revision = NextRevision();
    }

    QPainterPath m_path; // QPainterPath's default fill rule is the even-odd rule
    int m_pointCount = 0;
    std::uint64_t m_revision = NextRevision();
    mutable std::unique_ptr<SelectionRegion> m_region;
};
