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
    for (long long y = y0; y < y1; ++y) fn(Row(int(y)) + x0, std::size_t(x1 - x0));
}

static void toggleBytes(std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) p[i] = p[i] == 0;
}

void SelectionMask::FillRect(const Rect& rect, std::uint8_t value) {
    forEachRowOf(rect, [value](std::uint8_t* p, std::size_t n) { std::memset(p, value, n); });
}

void SelectionMask::ToggleRect(const Rect& rect) { forEachRowOf(rect, toggleBytes); }

void SelectionMask::ToggleSpan(const Span& span) { ToggleRect(Rect{span.X, span.Y, span.Length, 1}); }

void SelectionMask::Clear() { std::fill(m_bits.begin(), m_bits.end(), 0); }
