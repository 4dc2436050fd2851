// SPDX-License-Identifier: GPL-3.0-or-later
// SelectionMask storage and its rectangle and span writers.
#include "core/selection/selection_mask.h"

#include <algorithm>
#include <cstring>

SelectionMask::SelectionMask(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_bits(std::size_t(m_width) * std::size_t(m_height), 0) {}

template <class Fn> void SelectionMask::forEachRowOf(const Rect& rect, Fn fn) {
    const long long x0 = std::max<long long>(rect.X, 0);
    const long long y0 = std::max<long long>(rect.Y, 0);
    const long long x1 = std::min<long long>((long long)rect.X + rect.Width, m_width);
    const long long y1 = std::min<long long>((long long)rect.Y + rect.Height, m_height);
    if (x0 >= x1 || y0 >= y1) return;
    for (long long y = y0; y < y1; ++y)
        fn(Row(int(y)) + x0, std::size_t(x1 - x0));
}

// Each byte becomes 1 if it was 0, else 0; eight bytes at a time, since the
// tracer toggles the inside of every contour it finds.
static void toggleBytes(std::uint8_t* p, std::size_t n) {
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t v;
        std::memcpy(&v, p + i, 8);
        const std::uint64_t zeroHigh = ~(((v & low7) + low7) | v | low7); // 0x80 in each zero byte
        v = zeroHigh >> 7;
        std::memcpy(p + i, &v, 8);
    }
    for (; i < n; ++i)
        p[i] = p[i] == 0;
}

void SelectionMask::FillRect(const Rect& rect, std::uint8_t value) {
    forEachRowOf(rect, [value](std::uint8_t* p, std::size_t n) { std::memset(p, value, n); });
}

void SelectionMask::ToggleRect(const Rect& rect) {
    forEachRowOf(rect, toggleBytes);
}

void SelectionMask::ToggleSpan(const Span& span) {
    if (span.Length > 0 && span.Y >= 0 && span.Y < m_height && span.X >= 0 &&
        span.X <= m_width - span.Length)
        toggleBytes(Row(span.Y) + span.X,
                    std::size_t(span.Length)); // the usual case, inside the mask
    else
        ToggleRect(Rect{span.X, span.Y, span.Length, 1});
}

void SelectionMask::Clear() {
    std::fill(m_bits.begin(), m_bits.end(), 0);
}
