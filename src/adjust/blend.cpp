// SPDX-License-Identifier: GPL-3.0-or-later
// The blend table, its application to images, and the stretched copy.
#include "adjust/blend.h"

#include "core/pixel_loop.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

const char* const kBlendModeLabels[kBlendModeCount] = {
    "Darken",     "Light",   "Multiply",  "Screen",     "ColorDodge", "ColorBurn",   "LinearDodge",
    "LinearBurn", "Overlay", "SoftLight", "HardLight",  "VividLight", "LinearLight", "PinLight",
    "HardMix",    "Add",     "Sub",       "Difference", "Exclusion",
};

namespace {

double limitTo255(double v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// ColorBurn and the lower half of VividLight divide by the blend value. At
// blend 0 the quotient is infinite, giving 0, except at base 255 where it is
// 0 / 0: that entry is taken as no burn at all, 255.
double zeroBlendBurn(int b) {
    return b == 255 ? 255.0 : 0.0;
}

// The mode value f(b, s) of one table entry.
double modeValue(BlendMode mode, int b, int s) {
    switch (mode) {
    case BlendMode::Darken:
        return std::min(b, s);
    case BlendMode::Light:
        return std::max(b, s);
    case BlendMode::Multiply:
        return (b * s) / 255;
    case BlendMode::Screen:
        return 255 - ((255 - b) * (255 - s)) / 255;
    case BlendMode::ColorDodge:
        return s == 255 ? 255 : std::min(255, (b * 255) / (255 - s));
    case BlendMode::ColorBurn:
        if (s == 0) return zeroBlendBurn(b);
        return limitTo255(255 - ((255 - b) * 255.0) / s);
    case BlendMode::LinearDodge:
    case BlendMode::Add:
        return std::min(255, b + s);
    case BlendMode::LinearBurn:
        return std::max(0, b + s - 255);
    case BlendMode::Overlay:
        if (b <= 128) return (2 * b * s) / 255.0;
        return 255 - std::clamp((2 * (255 - b) * (255 - s)) / 255, 0, 255);
    case BlendMode::SoftLight: {
        const double k = (2 * s) / 255.0 - 1.0;
        if (s <= 128) return b + k * (b / 255.0 - (b * b) / 65025.0) * 255.0;
        return b + (std::sqrt(b / 255.0) - b / 255.0) * k * 255.0;
    }
    case BlendMode::HardLight:
        if (s <= 128) return (2 * b * s) / 255.0;
        return 255 - (2 * (255 - b) * (255 - s)) / 255;
    case BlendMode::VividLight:
        if (s <= 128) {
            // v = ((1 - b/255) * 255) / (2s/255), limited like ColorBurn; f = 255 - v.
            if (s == 0) return zeroBlendBurn(b);
            const double v = limitTo255(((1.0 - b / 255.0) * 255.0) / ((2 * s) / 255.0));
            return 255 - v;
        }
        if (s == 255) return 255;
        return std::min(255, (b * 255) / (510 - 2 * s));
    case BlendMode::LinearLight:
        return std::clamp(b + 2 * s - 255, 0, 255);
    case BlendMode::PinLight: {
        const int lo = 2 * s - 255;
        if (b < lo) return lo;
        if (b < 2 * s) return b;
        return 2 * s;
    }
    case BlendMode::HardMix:
        return b + s >= 255 ? 255 : 0;
    case BlendMode::Sub:
        return std::max(0, s - b);
    case BlendMode::Difference:
        return std::abs(b - s);
    case BlendMode::Exclusion:
        return b + s - (2 * b * s) / 255;
    }
    return b;
}

// Byte offset of a channel selector's colour byte: red 2, green 1, blue 0
// (also for any value outside 1..3).
int channelByte(int selector) {
    return selector == ChannelRed ? 2 : (selector == ChannelGreen ? 1 : 0);
}

} // namespace

void BuildBlendTable(std::uint8_t* table, int mode, double opacity) {
    for (int b = 0; b < 256; ++b)
        for (int s = 0; s < 256; ++s)
            table[b * 256 + s] = std::uint8_t(b);
    if (mode < 0 || mode >= kBlendModeCount) return;
    // NaN counts as no effect.
    const double a = opacity >= 0 ? std::min(opacity, 1.0) : 0.0;
    const double keep = 1 - a;
    for (int b = 0; b < 256; ++b)
        for (int s = 0; s < 256; ++s) {
            const double f = modeValue(BlendMode(mode), b, s);
            const double mixed = b * keep + f * a;
            table[b * 256 + s] = std::uint8_t(std::clamp(int(mixed), 0, 255));
        }
}

void BlendImages(Bitmap& target, int targetChannel, Bitmap& source, int sourceChannel, int mode,
                 double opacity) {
    const bool same = &target == &source;
    ScopedLock tgt(target);
    std::unique_ptr<ScopedLock> srcLock;
    if (!same) srcLock = std::make_unique<ScopedLock>(source, ImageLockModeRead);
    const ScopedLock& src = same ? tgt : *srcLock;
    if (!tgt.ok() || !src.ok() || tgt.width() != src.width() || tgt.height() != src.height() ||
        tgt.bpp() != src.bpp() || tgt.bpp() < 3)
        return;

    std::vector<std::uint8_t> tableMemory(kBlendTableSize);
    std::uint8_t* table = tableMemory.data();
    BuildBlendTable(table, mode, opacity);

    const int w = tgt.width(), h = tgt.height(), bpp = tgt.bpp();
    const bool allTarget = targetChannel == ChannelAll;
    const bool allSource = sourceChannel == ChannelAll;
    const int tk = channelByte(targetChannel);
    // A single target channel with all source channels reads the same channel.
    const int sk = allSource ? tk : channelByte(sourceChannel);
    auto rows = [&](int yBegin, int yEnd) {
        for (int y = yBegin; y < yEnd; ++y) {
            std::uint8_t* t = tgt.row(y);
            const std::uint8_t* s = src.row(y);
            if (allTarget && allSource) {
                // Red, then green, then blue, as the routine always did.
                for (int x = 0; x < w; ++x, t += bpp, s += bpp) {
                    t[2] = table[t[2] * 256 + s[2]];
                    t[1] = table[t[1] * 256 + s[1]];
                    t[0] = table[t[0] * 256 + s[0]];
                }
            } else if (allTarget) {
                for (int x = 0; x < w; ++x, t += bpp, s += bpp) {
                    const std::uint8_t* column = table + s[sk];
                    t[2] = column[t[2] * 256];
                    t[1] = column[t[1] * 256];
                    t[0] = column[t[0] * 256];
                }
            } else {
                for (int x = 0; x < w; ++x, t += bpp, s += bpp)
                    t[tk] = table[t[tk] * 256 + s[sk]];
            }
        }
    };
    // Every pixel depends only on itself in both images (also when they are
    // one image), so two threads may share the rows.
    splitRows(0, h, (long long)w * h, Threads::Two, rows);
}

std::unique_ptr<Bitmap> ScaledCopy(const Bitmap& image, int width, int height) {
    if (width <= 0 || height <= 0 || !image.isValid())
        return std::make_unique<Bitmap>(width, height, PixelFormat32bppARGB);
    QImage scaled = image.image()
                        .convertToFormat(QImage::Format_ARGB32)
                        .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32);
    return std::make_unique<Bitmap>(std::move(scaled));
}
