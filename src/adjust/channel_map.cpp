// SPDX-License-Identifier: GPL-3.0-or-later
// Per-channel table pass over the whole image or the selected pixels.
#include "adjust/channel_map.h"

#include "core/pixel_loop.h"

#include <bit>
#include <cstring>

namespace {

// Pixels are handled as little-endian words: four 24-bit pixels are three
// words, a 32-bit pixel one word whose top byte (alpha) keeps the target's.
// Every word is read before it is written, so source and target may be the
// same memory.
static_assert(std::endian::native == std::endian::little, "pixel words are read as little-endian");

inline std::uint32_t word(const std::uint8_t* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

inline std::uint32_t lookup4(std::uint32_t w, const std::uint8_t* t0, const std::uint8_t* t1,
                             const std::uint8_t* t2, const std::uint8_t* t3) {
    return std::uint32_t(t0[w & 255]) | std::uint32_t(t1[(w >> 8) & 255]) << 8 |
           std::uint32_t(t2[(w >> 16) & 255]) << 16 | std::uint32_t(t3[w >> 24]) << 24;
}

template <int Bpp>
void mapAllThree(const std::uint8_t* s, std::uint8_t* d, int count, const ChannelTables& t) {
    const std::uint8_t *tb = t.table[0], *tg = t.table[1], *tr = t.table[2];
    int i = 0;
    if constexpr (Bpp == 3) {
        for (; i + 4 <= count; i += 4, s += 12, d += 12) {
            const std::uint32_t w0 = word(s), w1 = word(s + 4), w2 = word(s + 8);
            const std::uint32_t o0 = lookup4(w0, tb, tg, tr, tb), o1 = lookup4(w1, tg, tr, tb, tg),
                                o2 = lookup4(w2, tr, tb, tg, tr);
            std::memcpy(d, &o0, 4);
            std::memcpy(d + 4, &o1, 4);
            std::memcpy(d + 8, &o2, 4);
        }
    } else {
        for (; i < count; ++i, s += 4, d += 4) {
            const std::uint32_t w = word(s);
            // Alpha stays what the target holds.
            const std::uint32_t o =
                (lookup4(w, tb, tg, tr, tr) & 0x00FFFFFFu) | (word(d) & 0xFF000000u);
            std::memcpy(d, &o, 4);
        }
    }
    for (; i < count; ++i, s += Bpp, d += Bpp) {
        const std::uint8_t b = tb[s[0]], g = tg[s[1]], r = tr[s[2]];
        d[0] = b;
        d[1] = g;
        d[2] = r;
    }
}

void mapRun(const std::uint8_t* s, std::uint8_t* d, int count, int bpp, const ChannelTables& t) {
    if (t.table[0] && t.table[1] && t.table[2]) {
        if (bpp == 3)
            mapAllThree<3>(s, d, count, t);
        else
            mapAllThree<4>(s, d, count, t);
        return;
    }
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* table = t.table[c];
        if (!table) continue;
        for (int i = 0, o = c; i < count; ++i, o += bpp)
            d[o] = table[s[o]];
    }
}

} // namespace

void MapChannels(Bitmap& source, Bitmap& target, const ChannelTables& tables,
                 const SelectionRegion* selection) {
    // A whole-image lock shares the pixels, so source and target may be one
    // bitmap; a separate source is only read.
    ScopedLock src(source, &source == &target ? ImageLockModeWrite : ImageLockModeRead);
    ScopedLock dst(target);
    if (!sameShape(src, dst) || src.bpp() < 3) return;
    // Every pixel depends only on itself, so the order of the walk does not
    // change the bytes; rows are split between two threads.
    const EffectFrame frame(selection, src.width(), src.height());
    const int bpp = src.bpp();
    forEachSpan(
        frame, Coverage::Whole,
        [&](int y, int xBegin, int xEnd) {
            mapRun(src.pixel(xBegin, y), dst.pixel(xBegin, y), xEnd - xBegin, bpp, tables);
        },
        Threads::Two);
}
