// SPDX-License-Identifier: GPL-3.0-or-later
// PNG writing, on one thread or two.
#pragma once

#include <QImage>
#include <QString>
#include <atomic>

// Both give the same compression (about the size zlib's default level gives
// on photos, at a tenth of its time); they differ in the threads used.
enum class PngSpeed {
    Fast,    // one thread: for writes in the background, which should leave
             // the other core to the program's foreground
    Default, // a large picture's rows in parts, compressed two at a time
};

// Writes a Format_BGR888 or Format_ARGB32 image (others are converted) as an
// 8-bit RGB or RGBA PNG (straight alpha), flushed to the disk. Returns false
// with errno set when the file cannot be written. When stop is given and
// turns true, the writer gives up within a few rows, leaving a partial file
// for the caller to remove, and returns false with errno ECANCELED.
bool WritePng(const QImage& image, const QString& path, PngSpeed speed,
              const std::atomic<bool>* stop = nullptr);
