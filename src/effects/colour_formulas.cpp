// SPDX-License-Identifier: GPL-3.0-or-later
// The colour-formula effects: Aqua, Darker, Ice, Molten, Old Photo, Subtence.
#include "effects/colour_formulas.h"

#include "effects/stylize.h"

#include <cstdlib>
#include <cstring>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// The sepia weights times 65536, rounded: the rows make red, green and blue
// out of red, green and blue (0.393 0.769 0.189 / 0.349 0.686 0.168 /
// 0.272 0.534 0.131).
constexpr int kSepia[3][3] = {{25756, 50397, 12386}, {22872, 44958, 11010}, {17826, 34996, 8585}};

inline void sepiaPixel(const std::uint8_t* s, std::uint8_t* d) {
    const int b = s[0], g = s[1], r = s[2];
    for (int c = 0; c < 3; ++c)
        d[2 - c] = clampByte((r * kSepia[c][0] + g * kSepia[c][1] + b * kSepia[c][2]) >> 16);
}

#if defined(__x86_64__) && defined(__GNUC__)
// One output channel of eight pixels: the weighted sum of red, green and
// blue, shifted down and limited to 255.
__attribute__((target("avx2"))) inline __m256i sepiaChannel(__m256i r, __m256i g, __m256i b,
                                                            const int* w) {
    const __m256i sum =
        _mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi32(r, _mm256_set1_epi32(w[0])),
                                          _mm256_mullo_epi32(g, _mm256_set1_epi32(w[1]))),
                         _mm256_mullo_epi32(b, _mm256_set1_epi32(w[2])));
    return _mm256_min_epu32(_mm256_srli_epi32(sum, 16), _mm256_set1_epi32(255));
}

// Old Photo on eight pixels at a time, each widened to a 32-bit lane
// (blue, green, red, zero), with the same integer arithmetic as sepiaPixel.
// Returns how many of the pixels it did; it reads and writes nothing past
// them.
template <int Bpp>
__attribute__((target("avx2"))) int sepiaAvx2(const std::uint8_t* s, std::uint8_t* out,
                                              int pixels) {
    const __m256i byte = _mm256_set1_epi32(0xFF);
    // Three-byte pixels: four in each 128-bit half, spread to 32-bit lanes
    // and packed back.
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                            1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                          1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int i = 0;
    // Three-byte pixels are read 16 bytes at a time, the second read from
    // the fifth pixel on: it takes 28 bytes, one into the tenth pixel.
    const int last = Bpp == 4 ? pixels - 8 : pixels - 10;
    for (; i <= last; i += 8) {
        const std::uint8_t* p = s + i * Bpp;
        __m256i v;
        if constexpr (Bpp == 4) {
            v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        } else {
            v = _mm256_inserti128_si256(
                _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12)), 1);
            v = _mm256_shuffle_epi8(v, spread);
        }
        const __m256i b = _mm256_and_si256(v, byte);
        const __m256i g = _mm256_and_si256(_mm256_srli_epi32(v, 8), byte);
        const __m256i r = _mm256_and_si256(_mm256_srli_epi32(v, 16), byte);
        const __m256i o =
            _mm256_or_si256(_mm256_or_si256(sepiaChannel(r, g, b, kSepia[2]),
                                            _mm256_slli_epi32(sepiaChannel(r, g, b, kSepia[1]), 8)),
                            _mm256_slli_epi32(sepiaChannel(r, g, b, kSepia[0]), 16));
        std::uint8_t* q = out + i * Bpp;
        if constexpr (Bpp == 4) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(q), o);
        } else {
            const __m256i packed = _mm256_shuffle_epi8(o, pack);
            const __m128i low = _mm256_castsi256_si128(packed);
            const __m128i high = _mm256_extracti128_si256(packed, 1);
            // 12 bytes from each half; the first store's last 4 bytes are
            // written again by the second.
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q), low);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(q + 12), high);
            const int tail = _mm_cvtsi128_si32(_mm_srli_si128(high, 8));
            std::memcpy(q + 20, &tail, 4);
        }
    }
    return i;
}
#endif

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
    runByteEffect(source, destination, selection, Coverage::Whole, Threads::Two,
                  []<int Bpp>(const std::uint8_t* s, const std::uint8_t*, std::uint8_t* out, int n,
                              std::integral_constant<int, Bpp>) {
                      const int pixels = n / Bpp;
                      int done = 0;
#if defined(__x86_64__) && defined(__GNUC__)
                      static const bool avx2 = __builtin_cpu_supports("avx2");
                      if (avx2) done = sepiaAvx2<Bpp>(s, out, pixels);
#endif
                      for (int i = done; i < pixels; ++i)
                          sepiaPixel(s + i * Bpp, out + i * Bpp);
                  });
}

void Subtence(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection) {
    colourFormula(source, destination, selection, [](int b, int g, int r, std::uint8_t* d) {
        d[2] = std::uint8_t(g * b / 255);
        d[1] = std::uint8_t(b * r / 255);
        d[0] = std::uint8_t(r * g / 255);
    });
}
