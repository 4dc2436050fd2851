// SPDX-License-Identifier: GPL-3.0-or-later
// The preview models behind the Blend, tone (brightness/contrast, colour
// balance, gamma) and Curve dialogs: each holds the dialog's values and its
// preview picture and runs the routine the command runs on OK.
#pragma once

#include "adjust/curves.h"
#include "core/bitmap.h"
#include "core/params.h"

#include <QString>
#include <memory>
#include <span>

class SelectionRegion;

// The Blend dialog: a 232 x 129 reference thumbnail and the preview, the
// reference blended with itself at the chosen mode, channel and opacity.
class BlendPreview {
  public:
    static constexpr int kWidth = 232, kHeight = 129;
    explicit BlendPreview(const Bitmap& image);

    // Mode list index: 1..18 taken, anything else is 0 (Darken).
    void setMode(int index);
    // Channel list index: 1..3 taken, anything else is 0 (RGB).
    void setChannel(int index);
    // The "Alpha" field in per cent, limited to 0..100 as the command limits it.
    void setAlpha(int percent);
    int mode() const { return m_mode; }
    int channel() const { return m_channel; }
    int alpha() const { return m_alpha; }
    // Writes the values the command applies ("mode", "alpha", "channel").
    void writeValues(Params& out) const;

    Bitmap& reference() { return *m_reference; }
    Bitmap& preview() { return *m_preview; }

  private:
    void refresh();
    std::unique_ptr<Bitmap> m_reference, m_preview;
    int m_mode = 0, m_channel = 0, m_alpha = 100;
};

// One slider of a tone dialog: label, range, start, the parameter it sets.
struct ToneSlider {
    const char* label;
    int minimum, maximum, start;
    const char* param;
};

enum class ToneKind { BrightnessContrast, ColorBalance, Gamma };

// The brightness/contrast, colour balance and gamma dialogs: the working copy
// is the full-resolution document image adjusted with the current slider
// values, recomputed on every change. The document image is only read.
class TonePreview {
  public:
    // selection: the command's region (null for none); gamma ignores it.
    TonePreview(ToneKind kind, Bitmap& image, const SelectionRegion* selection);

    ToneKind kind() const { return m_kind; }
    std::span<const ToneSlider> sliders() const;
    // The group box title and the window title.
    const char* groupTitle() const;
    const char* title() const;

    int position(int slider) const { return m_positions[slider]; }
    // Moves a slider (limited to its range) and recomputes the working copy
    // when the position changed.
    void setPosition(int slider, int position);
    // The value field's text: "%d", or "%f" of the gamma.
    QString valueText(int slider) const;
    // Every slider back to its start (gamma to position 1, not 50).
    void reset();
    // Starts from a command's values (positions read from the parameters).
    void setValues(const Params& values);
    // Writes the values the command applies; it recomputes the same bytes from them.
    void writeValues(Params& out) const;

    Bitmap& before() { return m_image; }
    Bitmap& after() { return *m_working; }

  private:
    void recompute();
    ToneKind m_kind;
    Bitmap& m_image;
    const SelectionRegion* m_selection;
    std::unique_ptr<Bitmap> m_working;
    int m_positions[3] = {};
};

// The Curve dialog: the point editor and a 160 x 132 thumbnail preview of the
// tone table applied to all three colour channels.
class CurvePreview {
  public:
    static constexpr int kWidth = 160, kHeight = 132;
    explicit CurvePreview(const Bitmap& image);

    CurveModel& curve() { return m_curve; }
    // Rebuilds the table from the points and recomputes the preview; call after
    // every change of the points.
    void refresh();
    // Writes "points" as X:Y pairs separated by ';'.
    void writeValues(Params& out) const;
    const std::uint8_t* table() const { return m_table; }

    Bitmap& reference() { return *m_reference; }
    Bitmap& preview() { return *m_preview; }

  private:
    CurveModel m_curve;
    std::uint8_t m_table[256];
    std::unique_ptr<Bitmap> m_reference, m_preview;
};
