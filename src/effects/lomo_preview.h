// SPDX-License-Identifier: GPL-3.0-or-later
// The LOMO dialog's model: eight sliders with their ranges and value texts,
// Black and White kept in order, and a 160 x 132 thumbnail preview made by the
// LOMO routine the command runs.
#pragma once

#include "core/bitmap.h"
#include "core/params.h"
#include "effects/noise_redeye_lomo.h"

#include <QString>
#include <memory>
#include <span>

// One slider: label, range and default position; the value is position / scale.
struct LomoSlider {
    const char* label;
    int minimum, maximum, start;
    int scale; // 1 for integers, 100 for gamma and ratio (shown as "%0.2f")
    const char* param;
};

class LomoPreview {
  public:
    static constexpr int kWidth = 160, kHeight = 132;
    enum Slider { Cyan, Magenta, Yellow, Black, White, Gamma, Ratio, Alpha, kSliderCount };

    // thumbnail: the document image's 160 x 132 ScaledCopy, which the dialog makes
    // (effects sit below the adjustments that own ScaledCopy).
    explicit LomoPreview(const Bitmap& thumbnail);

    static std::span<const LomoSlider> sliders();
    int position(int slider) const { return m_positions[slider]; }
    // Moves a slider within its range; Black stops at White and White at Black.
    // Returns the position taken; recomputes the preview when it changed.
    int setPosition(int slider, int position);
    // "%d", or "%0.2f" for gamma and ratio.
    QString valueText(int slider) const;
    void reset();
    // Starts from a command's values; positions are limited to the sliders' ranges.
    void setValues(const Params& values);
    void writeValues(Params& out) const;
    LomoParams params() const;

    Bitmap& source() { return *m_source; }
    Bitmap& preview() { return *m_preview; }

  private:
    void refresh();
    std::unique_ptr<Bitmap> m_source, m_preview;
    int m_positions[kSliderCount];
};
