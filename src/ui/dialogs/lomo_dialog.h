// SPDX-License-Identifier: GPL-3.0-or-later
// The LOMO dialog: eight sliders with value fields, "Reset" and two
// thumbnails, over LomoPreview.
#pragma once

#include "effects/lomo_preview.h"

#include <QDialog>
#include <vector>

#include "ui/dialogs/dialog_parts.h"

class CLOMODlg : public QDialog {
  public:
    CLOMODlg(const Bitmap& image, QWidget* parent);
    LomoPreview& model() { return m_model; }
    // Moves the sliders and fields to the model's positions.
    void showValues();

  private:
    LomoPreview m_model;
    std::vector<SliderRow> m_rows;
    ImagePanel* m_source;
    ImagePanel* m_preview;
};
