// SPDX-License-Identifier: GPL-3.0-or-later
// Per-channel table pass over the whole image or the selected pixels.
#include "adjust/channel_map.h"

#include "effects/effect_frame.h"


namespace {

template <int Bpp>
void mapAllThree(const std::uint8_t* s, std::uint8_t* d, int count, const ChannelTables& t) {
    const std::uint8_t *tb = t.table[0], *tg = t.table[1], *tr = t.table[2];
    for (int i = 0; i < count; ++i, s += Bpp, d += Bpp) {
        d[0] = tb[s[0]];
        d[1] = tg[s[1]];
        d[2] = tr[s[2]];
    }
}

void mapRun(const std::uint8_t* s, std::uint8_t* d, int count, int bpp, const ChannelTables& t) {
    if (t.table[0] && t.table[1] && t.table[2]) {
        if (bpp == 3) mapAllThree<3>(s, d, count, t);
        else mapAllThree<4>(s, d, count, t);
        return;
    }
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* table = t.table[c];
        if (!table) continue;
        for (int i = 0, o = c; i < count; ++i, o += bpp) d[o] = table[s[o]];
    }
}

} // namespace

void MapChannels(Bitmap& source, Bitmap& target, const ChannelTables& tables,
                 const SelectionRegion* selection) {
    // A whole-image lock shares the pixels, so source and target may be one bitmap.
    ScopedLock src(source);
    ScopedLock dst(target);
    if (!sameShape(src, dst) || src.bpp() < 3) return;
    // Every pixel depends only on itself, so the order of the walk does not
    // change the bytes; rows are split between two threads.
    const EffectFrame frame(selection, src.width(), src.height());
    const int bpp = src.bpp();
    forEachSpan(
        frame, Coverage::Whole,
        [&](int y, int xBegin, int xEnd) { mapRun(src.pixel(xBegin, y), dst.pixel(xBegin, y), xEnd - xBegin, bpp, tables); },
        Threads::Two);
}
