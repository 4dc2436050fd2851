// SPDX-License-Identifier: GPL-3.0-or-later
// A one-byte-per-pixel set of pixels, and the row spans it is edited with.
#pragma once

#include "core/bitmap.h"

#include <cstdint>
#include <vector>

// The pixels X .. X + Length - 1 of row Y.
struct Span {
    int X = 0;
    int Y = 0;
    int Length = 0;
    bool operator==(const Span&) const = default;
};

// Width x height bytes, row-major (index y * width + x), all 0 at construction.
// 0 means "not in the set"; the writers store 1. Get, Set and Toggle do no bounds
// checking: callers keep coordinates inside. The rectangle and span writers clip
// to the mask.
class SelectionMask {
  public:
    SelectionMask(int width, int height);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // True when width or height is 0; a mask full of zeros is not zero-size.
    bool IsZeroSize() const { return m_width == 0 || m_height == 0; }

    std::uint8_t Get(int x, int y) const { return m_bits[index(x, y)]; }
    void Set(int x, int y, std::uint8_t value) { m_bits[index(x, y)] = value; }
    // 1 if the pixel was 0, else 0.
    void Toggle(int x, int y) {
        std::uint8_t& b = m_bits[index(x, y)];
        b = b == 0;
    }

    void FillRect(const Rect& rect, std::uint8_t value);
    void ToggleRect(const Rect& rect);
    void ToggleSpan(const Span& span);
    void Clear();

    std::uint8_t* Row(int y) { return m_bits.data() + index(0, y); }
    const std::uint8_t* Row(int y) const { return m_bits.data() + index(0, y); }

  private:
    std::size_t index(int x, int y) const {
        return std::size_t(y) * std::size_t(m_width) + std::size_t(x);
    }
    // Calls fn(row pointer, count) for each row of rect clipped to the mask.
    template <class Fn> void forEachRowOf(const Rect& rect, Fn fn);

    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_bits;
};
