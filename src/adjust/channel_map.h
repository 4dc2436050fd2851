// SPDX-License-Identifier: GPL-3.0-or-later
// The shared per-channel lookup pass of the adjustments: every processed pixel's
// blue, green and red bytes go through their own 256-entry table.
#pragma once

#include "core/bitmap.h"

#include <cstdint>

class SelectionRegion;

// Tables indexed by byte: [0] blue, [1] green, [2] red. A null table leaves
// that byte of the target alone; alpha is never written.
struct ChannelTables {
    const std::uint8_t* table[3] = {nullptr, nullptr, nullptr};
};

// target byte = table[source byte] for every processed pixel. With no
// selection, or an empty one, every pixel is processed; otherwise the pixels of
// the selection's bounding rectangle, cut to the image, that its point test
// (column, row as floats) accepts. source and target have the same size and
// format and may be the same bitmap. Pixels are independent, so rows may be
// split across threads.
void MapChannels(Bitmap& source, Bitmap& target, const ChannelTables& tables,
                 const SelectionRegion* selection = nullptr);
