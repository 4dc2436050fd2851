// SPDX-License-Identifier: GPL-3.0-or-later
// The checkerboard shown under transparent pixels, computed per pixel on demand.
#pragma once

#include "core/bitmap.h"

// An image-sized area of 10-pixel squares, grey (155) where the square's row
// and column are both even or both odd and white elsewhere, whole squares
// only: the strips along the right and bottom edges that hold no whole square
// are transparent. The rotations turn it with the image; resizing and
// cropping leave it at its old size.
class Checkerboard {
  public:
    static constexpr int kSquare = 10;

    Checkerboard() = default;
    // An unturned board of width x height pixels (at least 1 x 1).
    Checkerboard(int width, int height);

    // The size as the board now lies.
    int width() const { return m_turns % 2 ? m_height : m_width; }
    int height() const { return m_turns % 2 ? m_width : m_height; }

    // Turns the board as Rotate turns an image by degrees: a multiple of 90,
    // positive counter-clockwise. Other angles leave it as it is.
    void rotate(double degrees);

    // The colour of pixel (x, y) as the board now lies: opaque grey or white
    // on a square, 0 (transparent black) in the strips and outside the board.
    ARGB colourAt(int x, int y) const;

  private:
    int m_width = 1, m_height = 1; // unturned
    int m_turns = 0;               // counter-clockwise quarter turns, 0..3
};
