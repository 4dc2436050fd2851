// SPDX-License-Identifier: GPL-3.0-or-later
// PNG writing through libpng with a chosen speed.
#pragma once

#include <QImage>
#include <QString>

enum class PngSpeed {
    Fast,    // zlib level 1, the Sub filter and run-length matching: about a
             // tenth of the default's time, still smaller than the raw pixels
    Default, // zlib level 4 and libpng's adaptive filters: as small as the
             // default level on photos, in about half the time
};

// Writes a Format_BGR888 or Format_ARGB32 image as an 8-bit RGB or RGBA PNG
// (straight alpha). Returns false when the file cannot be written.
bool WritePng(const QImage& image, const QString& path, PngSpeed speed);
