// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas's display transform: zoom steps, centring offsets, the mapping
// between client points and image pixels, and the status-bar texts.
#pragma once

#include <QPoint>
#include <QString>
#include <span>

// The zoom factors the view steps through, largest first: 16 ... 0.0625.
// 0.66 is exactly 0.66, not two thirds.
std::span<const double> ZoomTable();
// One step larger along the table; 16 stays 16. A factor not in the table
// steps to 16.
double NextZoomIn(double z);
// One step smaller along the table; 0.0625 stays. A factor not in the table
// steps to 0.0625.
double NextZoomOut(double z);

// Everything the client-to-image mapping needs, taken at the moment of use.
struct ViewMapping {
    double zoom = 1.0;
    // Centring offsets of the zoomed image in the client area; zero or
    // negative on an axis where the image is larger than the client area.
    int offsetX = 0;
    int offsetY = 0;
    // The scroll bars' positions (0 on an axis with a margin).
    int scrollX = 0;
    int scrollY = 0;
    // The current image's size.
    int imageWidth = 0;
    int imageHeight = 0;

    // Client point where image pixel (0, 0) is drawn.
    int originX() const { return offsetX > 0 ? offsetX : -scrollX; }
    int originY() const { return offsetY > 0 ? offsetY : -scrollY; }
};

// Centring offset on one axis: trunc((client - image * zoom) / 2).
int CentringOffset(int clientSize, int imageSize, double zoom);

// How a client point is rounded to a pixel where the image has a margin:
// Button is what the tools use, Centred what the rectangle selection's motion
// and the status bar use. Both give the same pixel where the image scrolls.
enum class MapRounding { Button, Centred };

// The image pixel under client point p, unclamped. On a scrolled axis it is
// floor((p + scroll) / zoom), the pixel actually drawn there; on an axis with
// a margin trunc((p + r) / zoom - (offset + r) / zoom) with r = 1 (Button) or
// zoom / 2 (Centred).
QPoint ClientToImage(QPoint p, const ViewMapping& m, MapRounding rounding = MapRounding::Button);
// p clamped into the image: negative coordinates become 0, then coordinates
// at or past the width (height) become width - 1 (height - 1).
QPoint ClampToImage(QPoint p, const ViewMapping& m);

// Status pane texts for the pointer at client point p.
QString ZoomPaneText(QPoint p, double zoom);      // pane 101, trailing space kept
QString ScrollPaneText(int scrollX, int scrollY); // pane 102
QString PositionPaneText(QPoint imagePoint);      // pane 103
