// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog that shows a recipe's steps before they are applied.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// "Apply Recipe": the recipe's name, its steps one a row in the order they
// run, and OK / Cancel.
class CRecipeDlg : public QDialog {
  public:
    CRecipeDlg(const QString& name, const QStringList& steps, QWidget* parent);
    QListWidget* stepList() const { return m_steps; }

  private:
    QListWidget* m_steps;
};
