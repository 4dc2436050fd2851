// SPDX-License-Identifier: GPL-3.0-or-later
// Exact reading of plain 8-bit RGB and RGBA TIFF files, and opening TIFF
// files with libtiff's messages kept per file.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

typedef struct tiff TIFF;

// TIFFOpen with this call's own message handlers: libtiff's first error goes
// to error (which must outlive the TIFF handle), warnings are dropped, and
// nothing is printed. Safe on several threads at once.
TIFF* OpenTiff(const QString& path, const char* mode, QString* error);

// What ReadTiffExactly found.
struct TiffRead {
    QImage image; // null for a layout left to Qt's reader, or when refused
    bool damaged = false;
    QString error;   // libtiff's first error when rows are missing
    QString refusal; // why the file cannot be read at all
};

// The picture of a top-down 8-bit RGB or RGBA TIFF, in strips or tiles, in
// Format_BGR888 or Format_ARGB32 with straight alpha; other tiled layouts
// through libtiff's RGBA conversion; nothing for other strip layouts. Files
// with a compression scheme libtiff does not know, or whose pixel data would
// start beyond the end of the file (fileSize bytes), are refused. damaged is
// set when rows are missing.
TiffRead ReadTiffExactly(const QString& path, qint64 fileSize);
