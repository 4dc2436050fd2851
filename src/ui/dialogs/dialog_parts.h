// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces the dialogs share: dialog units, a panel that shows a bitmap
// stretched, and a labelled slider with its read-only value field.
#pragma once

#include <QFrame>
#include <QSize>
#include <QString>
#include <functional>

class Bitmap;
class QLabel;
class QLineEdit;
class QSlider;
class QGridLayout;
class QBoxLayout;
class QDialog;

// A size in the dialog units the templates give, in pixels of the default font
// (a unit is a quarter of the average character width and an eighth of its height).
QSize DialogUnits(int x, int y);

// A sunken frame showing a bitmap stretched over its inside. The bitmap is not
// owned; set it again (or call update) after it changed. The stretch samples
// the nearest pixel, so a 24-megapixel working copy repaints at the panel's
// size cost, not the picture's.
class ImagePanel : public QFrame {
  public:
    ImagePanel(QSize size, QWidget* parent);
    void setBitmap(const Bitmap* bitmap);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const Bitmap* m_bitmap = nullptr;
};

// A slider row in a grid: label, horizontal slider, read-only value field.
// The slider's and the field's object names are their control ids.
struct SliderRow {
    QSlider* slider;
    QLineEdit* field;
};
SliderRow AddSliderRow(QGridLayout* grid, int row, const QString& label, int minimum, int maximum,
                       int sliderId, int fieldId);

// "OK" (1, the default button), "Cancel" (2) and "Reset" (1064) in a row or a
// column, OK and Cancel ending dialog; reset runs onReset.
QBoxLayout* AddResetButtons(QDialog* dialog, Qt::Orientation orientation,
                            std::function<void()> onReset);

// Names a widget by its control id so tests and screenshots can find it.
template <class W> W* WithId(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}
