// SPDX-License-Identifier: GPL-3.0-or-later
// The tone curve: a natural cubic spline through control points, the 256-entry
// tone table it defines, and the widget-free point-editing model of the curve
// dialog.
#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

// A control point in curve units: x the input level, y the output level, 0..255.
struct CurvePoint {
    int x = 0;
    int y = 0;
    bool operator==(const CurvePoint&) const = default;
};

// Natural cubic spline through points of increasing x. The second derivatives
// are cached and recomputed on the first evaluation after a change.
class CurveSpline {
  public:
    CurveSpline() = default;
    explicit CurveSpline(const std::vector<CurvePoint>& points);

    // Appends a point; x and y are truncated to integers.
    void AddPoint(double x, double y);
    int count() const { return int(m_x.size()); }

    // S(x), found by binary search for the interval; the straight line through
    // two points, 0 with none, the point's y with one.
    double Evaluate(double x) const;

  private:
    void computeSecondDerivatives() const;

    std::vector<int> m_x, m_y;
    mutable std::vector<double> m_y2; // empty when stale
};

// table[k] = S(k) converted to float, limited to 0..255 and truncated.
void BuildToneTable(const CurveSpline& spline, std::uint8_t table[256]);
void BuildToneTable(const std::vector<CurvePoint>& points, std::uint8_t table[256]);

// The curve dialog's point editing, without the widget. Points stay in strictly
// increasing x: a move holds an interior point's x one short of its neighbours,
// and a click at the x of an existing point moves that point.
class CurveModel {
  public:
    CurveModel();

    const std::vector<CurvePoint>& points() const { return m_points; }
    void setPoints(std::vector<CurvePoint> points) { m_points = std::move(points); }
    bool dragging() const { return m_dragging; }

    // Mouse position in the dialog to curve units. frame is the curve frame
    // (the area is the frame less one pixel on every side); none outside it.
    static std::optional<CurvePoint> toCurve(QPoint mouse, const QRect& frame);

    // Left button down at a curve position: moves the first point closer than 15
    // to it there, or inserts it before the first point of larger x (or moves the
    // point of equal x). Starts dragging. Returns whether the points changed.
    bool press(CurvePoint at);
    // Mouse move while dragging: every interior point closer than 15 moves
    // there. Returns whether a point moved.
    bool drag(CurvePoint at);
    void release() { m_dragging = false; }
    // Right button: removes interior points closer than 10. The point after a
    // removed one is not examined (the scan's index moves on regardless), which
    // the dialog has always done.
    bool removeNear(CurvePoint at);
    void reset();

    void toneTable(std::uint8_t table[256]) const { BuildToneTable(m_points, table); }

  private:
    void moveTo(std::size_t i, CurvePoint at);

    std::vector<CurvePoint> m_points;
    bool m_dragging = false;
};

// Euclidean distance in curve units, in single precision.
float CurveDistance(CurvePoint a, CurvePoint b);
