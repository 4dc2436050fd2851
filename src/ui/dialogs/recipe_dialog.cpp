// SPDX-License-Identifier: GPL-3.0-or-later
// The recipe dialog: a label, the list of steps and the OK and Cancel buttons.
#include "ui/dialogs/recipe_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CRecipeDlg::CRecipeDlg(const QString& name, const QStringList& steps, QWidget* parent)
    : QDialog(parent), m_steps(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Apply Recipe"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("%1 runs %2 step(s) on the picture, each one undoable:")
                                 .arg(name)
                                 .arg(steps.size()),
                             this);
    label->setWordWrap(true);
    layout->addWidget(label);
    m_steps->addItems(steps);
    m_steps->setSelectionMode(QAbstractItemView::NoSelection);
    m_steps->setMinimumWidth(420);
    layout->addWidget(m_steps);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
