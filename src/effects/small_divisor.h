// SPDX-License-Identifier: GPL-3.0-or-later
// Exact division and remainder by a small divisor fixed for a whole call,
// done with a multiply instead of a hardware division in per-pixel loops.
#pragma once

#include <cstdint>

// For 0 <= x < 2^17 and 1 <= divisor < 2^9: with m = ceil(2^40 / divisor) the
// error x * (m * divisor - 2^40) stays below 2^40, too small to carry the
// quotient past the next integer, so (x * m) >> 40 is exactly x / divisor.
class SmallDivisor {
  public:
    explicit SmallDivisor(int divisor)
        : m_divisor(divisor), m_magic(((std::uint64_t(1) << 40) + std::uint64_t(divisor) - 1) /
                                      std::uint64_t(divisor)) {}
    int divide(std::uint64_t x) const { return int((x * m_magic) >> 40); }
    int remainder(int x) const { return x - divide(std::uint64_t(x)) * m_divisor; }

  private:
    int m_divisor;
    std::uint64_t m_magic;
};
