// SPDX-License-Identifier: GPL-3.0-or-later
// Gray, invert, channel rotation and channel filters.
#include "adjust/channels.h"

#include "adjust/channel_map.h"
#include "core/pixel_loop.h"

void ConvertToGray(Bitmap& source, Bitmap& target) {
    runPixelEffect(source, target, nullptr, Coverage::Unselective, Threads::Two,
                   [](const std::uint8_t* s, std::uint8_t* d, int, int) {
                       const std::uint8_t g = std::uint8_t(Luminance(s[2], s[1], s[0]));
                       d[0] = d[1] = d[2] = g;
                   });
}

void InvertColors(Bitmap& source, Bitmap& target, const SelectionRegion*) {
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = std::uint8_t(255 - v);
    MapChannels(source, target, ChannelTables{{table, table, table}});
}

std::unique_ptr<Bitmap> RotateChannels(std::unique_ptr<Bitmap> image) {
    // The given image is not kept, so its pixels are rotated where they are:
    // the same bytes as a rotated copy, without making one.
    if (!image) return nullptr;
    runPixelEffect(*image, *image, nullptr, Coverage::Unselective, Threads::Two,
                   [](const std::uint8_t* s, std::uint8_t* d, int, int) {
                       const std::uint8_t blue = s[0], green = s[1], red = s[2];
                       d[2] = green;
                       d[1] = blue;
                       d[0] = red;
                   });
    return image;
}

Bitmap& KeepChannels(Bitmap& image, int mask) {
    static constexpr std::uint8_t kZero[256] = {};
    ChannelTables tables;
    for (int c = 0; c < 3; ++c)
        if (!(mask & (1 << c))) tables.table[c] = kZero;
    MapChannels(image, image, tables);
    return image;
}
