// SPDX-License-Identifier: GPL-3.0-or-later
// The Resize and New File dialogs. Their fields accept 1..30000 while the
// arrows step by one; a size the program cannot hold is refused with a message
// and the dialog stays open.
#pragma once

#include "adjust/resize.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

class CResizeDlg : public QDialog {
  public:
    CResizeDlg(int width, int height, QWidget* parent);
    ResizeModel& model() { return m_model; }
    // Writes the model's size into the fields (with the re-entry guard set).
    void showSize();
    void accept() override;

  private:
    void write(QSpinBox* field, int value);

    ResizeModel m_model;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QCheckBox* m_restrict;
    bool m_guard = false; // a field written by one handler must not re-enter the other
};

class CNewFileDialog : public QDialog {
  public:
    // Starts at width x height (600 x 400, or the clipboard picture's size).
    CNewFileDialog(int width, int height, QWidget* parent);
    int width() const;
    int height() const;
    void accept() override;

  private:
    QSpinBox* m_width;
    QSpinBox* m_height;
};

// Shows the refusal of a size outside the limits; false when the size was refused.
bool CheckImageSize(QWidget* parent, int width, int height);
