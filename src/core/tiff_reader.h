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

// The picture of a top-down, strip-organised 8-bit RGB or RGBA TIFF, in
// Format_BGR888 or Format_ARGB32 with straight alpha; nothing for any other
// layout or a file that cannot be opened. Sets damaged when rows are missing,
// with libtiff's first error in error.
std::optional<QImage> ReadTiffExactly(const QString& path, bool* damaged, QString* error);
