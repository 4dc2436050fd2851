// SPDX-License-Identifier: GPL-3.0-or-later
// The Blend dialog and the three tone dialogs (brightness/contrast, colour
// balance, gamma): thin widgets over BlendPreview and TonePreview.
#pragma once

#include "adjust/adjust_previews.h"

#include <QDialog>
#include <vector>

#include "ui/dialogs/dialog_parts.h"
class QComboBox;
class QLineEdit;
class QSlider;

class CBlend : public QDialog {
  public:
    CBlend(const Bitmap& image, QWidget* parent);
    BlendPreview& model() { return m_model; }
    // Selects the mode and channel list entries and the "Alpha" text.
    void showValues(int mode, int channel, int alpha);

  private:
    BlendPreview m_model;
    QComboBox* m_channels;
    QComboBox* m_modes;
    QLineEdit* m_alpha;
    ImagePanel* m_preview;
};

// The shared layout of the tone dialogs: "before" and "after" panels, one
// slider and value field per parameter, "Reset", "OK" and "Cancel".
class CToneDialog : public QDialog {
  public:
    CToneDialog(ToneKind kind, Bitmap& image, const SelectionRegion* selection, QWidget* parent);
    TonePreview& model() { return m_model; }
    // Moves the sliders to the model's positions.
    void showValues();

  private:
    void sliderMoved(int slider, int position);

    TonePreview m_model;
    std::vector<SliderRow> m_rows;
    ImagePanel* m_before;
    ImagePanel* m_after;
};

class CBriandCont : public CToneDialog {
  public:
    CBriandCont(Bitmap& image, const SelectionRegion* selection, QWidget* parent)
        : CToneDialog(ToneKind::BrightnessContrast, image, selection, parent) {}
};

class CColorBalance : public CToneDialog {
  public:
    CColorBalance(Bitmap& image, const SelectionRegion* selection, QWidget* parent)
        : CToneDialog(ToneKind::ColorBalance, image, selection, parent) {}
};

// Gamma takes no selection: it always adjusts the whole image.
class CGammaDlg : public CToneDialog {
  public:
    CGammaDlg(Bitmap& image, QWidget* parent)
        : CToneDialog(ToneKind::Gamma, image, nullptr, parent) {}
};
