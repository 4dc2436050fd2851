// SPDX-License-Identifier: GPL-3.0-or-later
// CSettingBar: the tool option bar with the foreground and background
// swatches, the pen width and the drawing alpha, written into the document's
// drawing settings on every change.
#pragma once

#include <QColor>
#include <QToolBar>

class CLumasetDoc;
class QLineEdit;
class QSlider;
class QSpinBox;
struct Prompts;

class CSettingBar : public QToolBar {
    Q_OBJECT
  public:
    // prompts supplies the colour chooser.
    CSettingBar(CLumasetDoc& doc, Prompts& prompts, QWidget* parent = nullptr);

    // Writes alpha, both colours (with the alpha in their top byte) and the
    // pen width into the document.
    void PushSettings();
    // Sets the foreground swatch and repaints it; the document receives the
    // colour at the next PushSettings.
    void SetForegroundSwatch(const QColor& color);

    QColor foreground() const { return m_foreground; }
    QColor background() const { return m_background; }
    int penWidth() const { return m_nPenWidth; }
    int alpha() const { return m_nAlpha; }
    QSpinBox* penWidthBox() const { return m_penBox; }
    QSlider* alphaSlider() const { return m_alphaSlider; }
    QLineEdit* alphaField() const { return m_alphaField; }
    QWidget* swatch(bool foreground) const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    class Swatch;
    void chooseColor(bool foreground);

    CLumasetDoc& m_doc;
    Prompts& m_prompts;
    QColor m_foreground{255, 255, 255};
    QColor m_background{0, 0, 0};
    int m_nPenWidth = 4;
    int m_nAlpha = 255;
    bool m_pushedOnce = false;
    Swatch* m_fgSwatch = nullptr;
    Swatch* m_bgSwatch = nullptr;
    QSpinBox* m_penBox = nullptr;
    QSlider* m_alphaSlider = nullptr;
    QLineEdit* m_alphaField = nullptr;
};
