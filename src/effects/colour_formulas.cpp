// SPDX-License-Identifier: GPL-3.0-or-later
// The colour-formula effects: Aqua, Darker, Ice, Molten, Old Photo, Subtence.
#include "effects/colour_formulas.h"

#include "effects/stylize.h"

#include <cstdlib>

namespace {

// Runs formula(b, g, r, d) over the whole image with the selection test; the
// formula writes d[0..2] from the source's blue, green and red.
template <class Formula>
void colourFormula(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                   Formula formula) {
    runPixelEffect(source, destination, selection, Coverage::Whole, Threads::Two,
                   [&formula](const std::uint8_t* s, std::uint8_t* d, int, int) {
                       formula(s[0], s[1], s[2], d);
                   });
}

} // namespace

void Aqua(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    colourFormula(source, destination, selection, [](int b, int g, int r, std::uint8_t* d) {
        d[2] = std::uint8_t(std::min(255, (g - b) * (g - b) / 128));
        d[1] = std::uint8_t(std::min(255, (r - b) * (r - b) / 128));
        d[0] = std::uint8_t(std::min(255, (r - g) * (r - g) / 128));
    });
}

void Darker(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    applyChannelFormula(source, destination, selection, [](int v) { return v * v / 255; });
}

void Ice(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    colourFormula(source, destination, selection, [](int b, int g, int r, std::uint8_t* d) {
        d[2] = std::uint8_t(std::min(255, std::abs((r - g - b) * 3 / 2)));
        d[1] = std::uint8_t(std::min(255, std::abs((g - b - r) * 3 / 2)));
        d[0] = std::uint8_t(std::min(255, std::abs((b - r - g) * 3 / 2)));
    });
}

void Molten(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    // The quotients c * 128 / (sum of the other two + 1) have numerators up to
    // 255 * 128 and divisors up to 511; for those, multiplying by
    // floor(2^32 / divisor) + 1 and keeping the high 32 bits gives the
    // truncated quotient exactly, at the cost of a multiply instead of a divide.
    std::uint64_t reciprocal[512];
    for (int d = 1; d < 512; ++d)
        reciprocal[d] = (std::uint64_t(1) << 32) / d + 1;
    reciprocal[0] = 0;
    auto quotient = [&reciprocal](int numerator, int divisor) {
        return int((std::uint64_t(numerator) * reciprocal[divisor]) >> 32);
    };
    colourFormula(source, destination, selection,
                  [&quotient](int b, int g, int r, std::uint8_t* d) {
                      d[2] = clampByte(quotient(r * 128, g + b + 1));
                      d[1] = clampByte(quotient(g * 128, b + r + 1));
                      d[0] = clampByte(quotient(b * 128, r + g + 1));
                  });
}

void OldPhoto(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    // The sepia coefficients 0.393 0.769 0.189 / 0.349 0.686 0.168 /
    // 0.272 0.534 0.131, times 65536 and rounded.
    colourFormula(source, destination, selection, [](int b, int g, int r, std::uint8_t* d) {
        d[2] = clampByte((r * 25756 + g * 50397 + b * 12386) >> 16);
        d[1] = clampByte((r * 22872 + g * 44958 + b * 11010) >> 16);
        d[0] = clampByte((r * 17826 + g * 34996 + b * 8585) >> 16);
    });
}

void Subtence(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    colourFormula(source, destination, selection, [](int b, int g, int r, std::uint8_t* d) {
        d[2] = std::uint8_t(g * b / 255);
        d[1] = std::uint8_t(b * r / 255);
        d[0] = std::uint8_t(r * g / 255);
    });
}
