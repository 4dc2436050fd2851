// SPDX-License-Identifier: GPL-3.0-or-later
// Brightness/contrast, colour balance and gamma. Each works out its per-level
// result once into a 256-entry table (the same bytes the per-pixel formula
// gives, since every channel depends only on its own level) and maps the
// pixels through it.
#include "adjust/tone.h"

#include "adjust/channel_map.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint8_t clampByte(int v) {
    return std::uint8_t(std::clamp(v, 0, 255));
}

void buildShiftTable(int shift, std::uint8_t table[256]) {
    for (int v = 0; v < 256; ++v)
        table[v] = clampByte(v + shift);
}

} // namespace

void BuildBrightnessContrastTable(int brightness, int contrast, std::uint8_t table[256]) {
    brightness = std::clamp(brightness, -255, 255);
    contrast = std::clamp(contrast, -100, 100);
    const double f = (contrast + 100.0) / 100.0;
    const double k = f * f;
    for (int v = 0; v < 256; ++v) {
        const int lit = std::clamp(v + brightness, 0, 255);
        // Truncation toward zero, which maps some levels one lower at contrast 0.
        table[v] = clampByte(int(((lit / 255.0 - 0.5) * k + 0.5) * 255.0));
    }
}

void AdjustBrightnessContrast(Bitmap& source, Bitmap& target, int brightness, int contrast,
                              const SelectionRegion* selection) {
    std::uint8_t table[256];
    BuildBrightnessContrastTable(brightness, contrast, table);
    MapChannels(source, target, ChannelTables{{table, table, table}}, selection);
}

Bitmap& AdjustColorBalance(Bitmap& source, Bitmap& target, int red, int green, int blue,
                           const SelectionRegion* selection) {
    std::uint8_t r[256], g[256], b[256];
    buildShiftTable(std::clamp(red, -255, 255), r);
    buildShiftTable(std::clamp(green, -255, 255), g);
    buildShiftTable(std::clamp(blue, -255, 255), b);
    MapChannels(source, target, ChannelTables{{b, g, r}}, selection);
    return target;
}

void BuildGammaTable(double gamma, std::uint8_t table[256]) {
    gamma = std::clamp(gamma, 0.1, 5.0);
    for (int i = 0; i < 256; ++i)
        table[i] = std::uint8_t(std::min(255, int(std::pow(i / 255.0, 1.0 / gamma) * 255.0 + 0.5)));
}

void AdjustGamma(Bitmap& source, Bitmap& target, double gamma) {
    std::uint8_t table[256];
    BuildGammaTable(gamma, table);
    ApplyChannelTable(source, target, table, 7);
}

void ApplyChannelTable(Bitmap& source, Bitmap& target, const std::uint8_t table[256], int mask) {
    ChannelTables tables;
    for (int c = 0; c < 3; ++c)
        if (mask & (1 << c)) tables.table[c] = table;
    MapChannels(source, target, tables);
}

double GammaFromSliderPosition(int position) {
    return position <= 50 ? position / 50.0 : position * 0.08 - 3.0;
}
