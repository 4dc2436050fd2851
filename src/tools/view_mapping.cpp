// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas's display transform: zoom steps, offsets, mapping, status texts.
#include "tools/view_mapping.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array<double, 12> kZoomTable = {16, 8,    4,   3,    2,     1.5,
                                               1,  0.66, 0.5, 0.25, 0.125, 0.0625};

int mapAxis(int p, double z, int offset, int scroll, MapRounding rounding) {
    if (offset > 0) {
        const double r = rounding == MapRounding::Button ? 1.0 : z / 2;
        return int(std::trunc((p + r) / z - (offset + r) / z));
    }
    return int(std::floor((p + scroll) / z));
}

} // namespace

std::span<const double> ZoomTable() {
    return kZoomTable;
}

double NextZoomOut(double z) {
    for (std::size_t i = 0; i < 10; ++i)
        if (kZoomTable[i] == z) return kZoomTable[i + 1];
    return kZoomTable.back();
}

double NextZoomIn(double z) {
    for (std::size_t i = kZoomTable.size() - 1; i >= 1; --i)
        if (kZoomTable[i] == z) return kZoomTable[i - 1];
    return kZoomTable.front();
}

int CentringOffset(int clientSize, int imageSize, double zoom) {
    return int(std::trunc((clientSize - imageSize * zoom) / 2));
}

QPoint ClientToImage(QPoint p, const ViewMapping& m, MapRounding rounding) {
    return {mapAxis(p.x(), m.zoom, m.offsetX, m.scrollX, rounding),
            mapAxis(p.y(), m.zoom, m.offsetY, m.scrollY, rounding)};
}

QPoint ClampToImage(QPoint p, const ViewMapping& m) {
    int x = std::max(p.x(), 0), y = std::max(p.y(), 0);
    if (x >= m.imageWidth) x = m.imageWidth - 1;
    if (y >= m.imageHeight) y = m.imageHeight - 1;
    return {x, y};
}

QString ZoomPaneText(QPoint p, double zoom) {
    return QString::asprintf("x:%4d,y:%4d,%f ", p.x(), p.y(), zoom);
}

QString ScrollPaneText(int scrollX, int scrollY) {
    return QString::asprintf("scroll x:%4d,y:%4d", scrollX, scrollY);
}

QString PositionPaneText(QPoint imagePoint) {
    return QString::asprintf("offset x:%4d,y:%d", imagePoint.x(), imagePoint.y());
}
