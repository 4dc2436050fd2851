// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG through libjpeg-turbo, straight between the file and the pixel layouts
// the program works on (Qt's codec converts every row twice).
#pragma once

#include <QImage>
#include <QString>
#include <optional>

struct JpegReadResult {
    QImage image;         // Format_BGR888; null when the file could not be read
    bool damaged = false; // the data ended early or was corrupt; the rest is grey
    QString error;
    bool unsupported = false; // a colour space this reader leaves to Qt (CMYK)
};

// Reads a JPEG, applying its EXIF orientation. Pictures above maxSide on a side
// or maxBytes of pixels are refused before allocation.
JpegReadResult ReadJpeg(const QString& path, int maxSide, qint64 maxBytes);

// Writes a 24- or 32-bit image (alpha ignored) as a baseline JPEG.
bool WriteJpeg(const QImage& image, const QString& path, int quality);
