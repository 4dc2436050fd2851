// SPDX-License-Identifier: GPL-3.0-or-later
// PNG reading through libpng, straight into the pixel layouts the program
// works on, silently (libpng's default handlers print to the terminal).
#pragma once

#include <QImage>
#include <QString>

struct PngReadResult {
    QImage image; // Format_BGR888 or Format_ARGB32; null when nothing could be read
    bool damaged = false;
    QString error; // why it failed, or what was damaged
};

// Reads any PNG: palette, grey, 1- to 16-bit and transparent-colour pictures
// are expanded to 8-bit RGB, with alpha when the file has any. Pictures above
// maxSide on a side or maxBytes of pixels are refused before allocation.
PngReadResult ReadPng(const QString& path, int maxSide, qint64 maxBytes);
