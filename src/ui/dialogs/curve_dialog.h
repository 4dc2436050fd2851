// SPDX-License-Identifier: GPL-3.0-or-later
// The Curve dialog: the curve area with its mouse editing and the thumbnail
// preview, over CurvePreview.
#pragma once

#include "adjust/adjust_previews.h"

#include <QDialog>
#include <QImage>
#include <optional>

class ImagePanel;
class QLabel;

class CCurve : public QDialog {
  public:
    CCurve(const Bitmap& image, QWidget* parent);
    CurvePreview& model() { return m_model; }

  private:
    class CurveArea;
    void changed();

    CurvePreview m_model;
    CurveArea* m_area;
    ImagePanel* m_preview;
    QLabel* m_readout;
};
