// SPDX-License-Identifier: GPL-3.0-or-later
// Spline arithmetic, tone table and curve point editing.
#include "adjust/curves.h"

#include "core/single_math.h"

#include <algorithm>
#include <cmath>

CurveSpline::CurveSpline(const std::vector<CurvePoint>& points) {
    for (const CurvePoint& p : points)
        AddPoint(p.x, p.y);
}

void CurveSpline::AddPoint(double x, double y) {
    m_x.push_back(int(x));
    m_y.push_back(int(y));
    m_y2.clear();
}

void CurveSpline::computeSecondDerivatives() const {
    const int n = count();
    std::vector<double> u(std::size_t(n), 0.0);
    m_y2.assign(std::size_t(n), 0.0);
    for (int j = 1; j + 1 < n; ++j) {
        const double xl = m_x[j - 1], xm = m_x[j], xh = m_x[j + 1];
        const double yl = m_y[j - 1], ym = m_y[j], yh = m_y[j + 1];
        const double sigma = (xm - xl) / (xh - xl);
        const double p = sigma * m_y2[j - 1] + 2.0;
        m_y2[j] = (sigma - 1.0) / p;
        u[j] = (yh - ym) / (xh - xm) - (ym - yl) / (xm - xl);
        u[j] = (6.0 * u[j] / (xh - xl) - sigma * u[j - 1]) / p;
    }
    if (n > 0) m_y2[n - 1] = 0.0;
    for (int k = n - 2; k >= 0; --k)
        m_y2[k] = m_y2[k] * m_y2[k + 1] + u[k];
}

double CurveSpline::Evaluate(double x) const {
    const int n = count();
    if (n == 0) return 0.0;
    if (n == 1) return m_y[0];
    if (m_y2.empty()) computeSecondDerivatives();
    int lo = 0, hi = n - 1;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (x < m_x[mid])
            hi = mid;
        else
            lo = mid;
    }
    const double h = double(m_x[hi]) - m_x[lo];
    const double a = (m_x[hi] - x) / h;
    const double b = (x - m_x[lo]) / h;
    return a * m_y[lo] + b * m_y[hi] +
           ((a * a * a - a) * m_y2[lo] + (b * b * b - b) * m_y2[hi]) * (h * h) / 6.0;
}

void BuildToneTable(const CurveSpline& spline, std::uint8_t table[256]) {
    for (int k = 0; k < 256; ++k) {
        const float s = float(spline.Evaluate(k));
        table[k] = std::uint8_t(int(std::clamp(s, 0.0f, 255.0f)));
    }
}

void BuildToneTable(const std::vector<CurvePoint>& points, std::uint8_t table[256]) {
    BuildToneTable(CurveSpline(points), table);
}

float CurveDistance(CurvePoint a, CurvePoint b) {
    return singleRadius(a.x - b.x, a.y - b.y);
}

CurveModel::CurveModel() {
    reset();
}

void CurveModel::reset() {
    m_points = {{0, 0}, {255, 255}};
}

std::optional<CurvePoint> CurveModel::toCurve(QPoint mouse, const QRect& frame) {
    if (!frame.contains(mouse)) return std::nullopt;
    const int w = frame.width() - 2, h = frame.height() - 2;
    if (w < 2 || h < 2) return std::nullopt;
    const int dx = mouse.x() - frame.left(), dy = mouse.y() - frame.top();
    const int cx = int(std::clamp(dx * 255.0 / (w - 1) + 0.5, 0.0, 255.0));
    // Integer division on purpose: the dialog has always mapped rows this way.
    const int cy = int(std::clamp(255.5 - (255 * dy) / (h - 1), 0.0, 255.0));
    return CurvePoint{cx, cy};
}

void CurveModel::moveTo(std::size_t i, CurvePoint at) {
    // Hold x one short of the neighbours so the spline's intervals stay non-empty.
    if (i > 0) at.x = std::max(at.x, m_points[i - 1].x + 1);
    if (i + 1 < m_points.size()) at.x = std::min(at.x, m_points[i + 1].x - 1);
    m_points[i] = at;
}

bool CurveModel::press(CurvePoint at) {
    m_dragging = true;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        if (CurveDistance(m_points[i], at) < 15.0f || at.x == m_points[i].x) {
            const CurvePoint before = m_points[i];
            moveTo(i, at);
            return m_points[i] != before;
        }
        if (at.x < m_points[i].x) {
            m_points.insert(m_points.begin() + std::ptrdiff_t(i), at);
            return true;
        }
    }
    return false;
}

bool CurveModel::drag(CurvePoint at) {
    if (!m_dragging) return false;
    bool moved = false;
    for (std::size_t i = 1; i + 1 < m_points.size(); ++i) {
        if (CurveDistance(m_points[i], at) < 15.0f) {
            const CurvePoint before = m_points[i];
            moveTo(i, at);
            moved |= m_points[i] != before;
        }
    }
    return moved;
}

bool CurveModel::removeNear(CurvePoint at) {
    bool removed = false;
    for (std::size_t i = 1; i + 1 < m_points.size(); ++i) {
        if (CurveDistance(m_points[i], at) < 10.0f) {
            m_points.erase(m_points.begin() + std::ptrdiff_t(i));
            removed = true;
        }
    }
    return removed;
}
