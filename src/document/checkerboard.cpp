// SPDX-License-Identifier: GPL-3.0-or-later
// The checkerboard's colour at a pixel and its quarter turns.
#include "document/checkerboard.h"

#include <algorithm>
#include <cmath>

Checkerboard::Checkerboard(int width, int height)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)) {}

void Checkerboard::rotate(double degrees) {
    if (degrees != std::trunc(degrees) || std::fmod(degrees, 90.0) != 0) return;
    const int quarters = int(std::fmod(degrees, 360.0)) / 90;
    m_turns = ((m_turns + quarters) % 4 + 4) % 4;
}

ARGB Checkerboard::colourAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    // Back to the unturned board: a counter-clockwise quarter turn moves
    // pixel (u, v) to (v, width - 1 - u).
    const int u = m_turns == 0   ? x
                  : m_turns == 1 ? m_width - 1 - y
                  : m_turns == 2 ? m_width - 1 - x
                                 : y;
    const int v = m_turns == 0   ? y
                  : m_turns == 1 ? x
                  : m_turns == 2 ? m_height - 1 - y
                                 : m_height - 1 - x;
    const int column = u / kSquare, row = v / kSquare;
    if (column >= m_width / kSquare || row >= m_height / kSquare) return 0;
    return column % 2 == row % 2 ? 0xFF9B9B9Bu : 0xFFFFFFFFu;
}
