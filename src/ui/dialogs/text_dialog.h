// SPDX-License-Identifier: GPL-3.0-or-later
// The text dialog: text, font, outline, fill and shadow choices, and a 1:1
// preview of the image with the text, where the text can be dragged.
#pragma once

#include "core/text_render.h"

#include <QDialog>
#include <QFont>
#include <QScrollArea>
#include <memory>

class Bitmap;
class QLineEdit;

// The preview: the dialog's copy of the image at 1:1 with the text drawn on
// it. Dragging with the left button moves the text's origin.
class CMyTextView : public QScrollArea {
  public:
    CMyTextView(const Bitmap& background, TextStyle& style, QWidget* parent);
    // Redraws after a change of the style.
    void changed();

  private:
    class Canvas;
    Canvas* m_canvas;
};

class CTextDialog : public QDialog {
  public:
    // image: the document image, drawn on by "Add Text"; (x, y) the text origin.
    CTextDialog(Bitmap& image, int x, int y, QWidget* parent);
    ~CTextDialog() override;

    const TextStyle& style() const { return m_style; }
    // True when "Add Text" drew something into the image.
    bool drew() const { return m_drew; }

  private:
    class Swatch;
    QLineEdit* numberField(int id, const QString& text, void (*apply)(TextStyle&, int));
    void chooseFont();
    void changed() { m_view->changed(); }

    Bitmap& m_target;
    std::unique_ptr<Bitmap> m_background;
    TextStyle m_style;
    CMyTextView* m_view;
    QLineEdit* m_fontField;
    QFont m_chooserFont; // the font chooser's state
    bool m_drew = false;
};
