// SPDX-License-Identifier: GPL-3.0-or-later
// The program's picture size limit, and allocation of large pictures that
// decoders and transforms fill row by row.
#pragma once

#include <QImage>
#include <QString>

// Every picture the program opens or makes has at most kMaxSide pixels on a
// side and at most kMaxPixelBytes of pixel memory at 4 bytes a pixel.
inline constexpr int kMaxSide = 30000;
inline constexpr qint64 kMaxPixelBytes = qint64(1) << 30;

// True when a width x height picture is within the limit (both above 0).
bool IsWithinPictureLimit(qint64 width, qint64 height);
// Why a width x height picture is refused: the size and the limit, one line.
QString PictureLimitRefusal(qint64 width, qint64 height);
// The line shown when memory for a width x height picture cannot be had.
QString PictureAllocationFailure(qint64 width, qint64 height);

// An uninitialised image; slack bytes more are allocated after the last row,
// for decoders that stage data in the image's memory. Null when the memory
// cannot be had.
// A picture of a megabyte or more gets its own mapping with every page made
// at once (about 10% faster to fill than page by page). Huge pages are not
// asked for: measured on a virtual machine that hands freed memory back to
// its host, a huge page came back cold every time and filling a
// 24-megapixel picture took 200 to 300 ms longer than with the small pages
// the kernel recycles warm.
QImage AllocateLargeImage(int width, int height, QImage::Format format, std::size_t slack = 0);
