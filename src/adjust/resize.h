// SPDX-License-Identifier: GPL-3.0-or-later
// The resize dialog's arithmetic (aspect ratio kept with rounding by +0.5), the
// image size limits of Resize and New, and the resized copy.
#pragma once

#include "core/bitmap.h"

#include <cstdint>
#include <memory>
#include <vector>

// trunc(width / ratio + 0.5) and trunc(height * ratio + 0.5); ratio = width / height.
int HeightForWidth(int width, double ratio);
int WidthForHeight(int height, double ratio);

// Sizes Resize and New accept: 1..30000 on each side and at most 1 GiB of
// 32-bit pixels (the program's picture limits).
inline constexpr int kMaxImageSide = 30000;
bool IsAcceptedImageSize(int width, int height);
// The message shown for a size outside those limits.
const char* ImageSizeRefusal();

// The resize dialog without its widgets: the current size fixes the ratio; with
// "Restrict" checked (the start) each typed or stepped side recomputes the other.
class ResizeModel {
  public:
    ResizeModel(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    double ratio() const { return m_ratio; }
    bool restrict() const { return m_restrict; }
    void setRestrict(bool on) { m_restrict = on; }

    void typeWidth(int width);
    void typeHeight(int height);
    // The up-down arrows: add the step to the side, as typed.
    void stepWidth(int delta) { typeWidth(m_width + delta); }
    void stepHeight(int delta) { typeHeight(m_height + delta); }

  private:
    double m_ratio;
    int m_width, m_height;
    bool m_restrict = true;
};

// How one axis of `from` samples maps onto `to` samples: output sample i is
// the sum of weights[k] * source[first[i] + k - offset[i]] for k in
// [offset[i], offset[i + 1]), the weights of each output summing to
// kResampleOne. Shrinking averages the area each output covers (no aliasing);
// enlarging interpolates linearly between the two nearest source centres.
inline constexpr int kResampleOne = 4096;
struct ResampleAxis {
    std::vector<int> first;  // first source sample of each output
    std::vector<int> offset; // start of each output's weights; to + 1 entries
    std::vector<std::uint16_t> weights;
};
ResampleAxis MakeResampleAxis(int from, int to);

// The resize step: image resampled to width x height (area average where it
// shrinks, linear where it grows) into a new 32-bit ARGB bitmap. Each output
// pixel is the exact 2-D weighted sum of the axes' weights, rounded once; with
// alpha, the colours are averaged weighted by alpha, so transparent pixels
// lend them nothing.
std::unique_ptr<Bitmap> ResizeImage(Bitmap& image, int width, int height);
