// SPDX-License-Identifier: GPL-3.0-or-later
// Exact reading of plain 8-bit RGB and RGBA TIFF files.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

// The picture of a top-down, strip-organised 8-bit RGB or RGBA TIFF, in
// Format_BGR888 or Format_ARGB32 with straight alpha; nothing for any other
// layout or a file that cannot be opened. Sets damaged when rows are missing.
std::optional<QImage> ReadTiffExactly(const QString& path, bool* damaged);
