// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's message boxes, file dialogs and colour dialog.
#include "ui/prompts.h"

#include "ui/dialogs/recipe_dialog.h"

#include <QColorDialog>
#include <QFileDialog>

namespace {

const QString kTitle = QStringLiteral("Lumaset");

} // namespace

QString FileDialogFilter() {
    // Qt splits patterns at spaces; "*" rather than "*.*" also lists names
    // without a dot.
    return QStringLiteral("Lumaset Files (*.bmp *.jpg *.png);;All Files (*)");
}

Prompts DefaultPrompts() {
    Prompts p;
    p.ask = [](QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons) {
        return QMessageBox::question(parent, kTitle, text, buttons);
    };
    p.tell = [](QWidget* parent, const QString& text, QMessageBox::Icon icon) {
        QMessageBox box(icon, kTitle, text, QMessageBox::Ok, parent);
        box.exec();
    };
    p.fileName = [](QWidget* parent, bool save, const QString& suggestion) {
        return save
                   ? QFileDialog::getSaveFileName(parent, QString(), suggestion, FileDialogFilter())
                   : QFileDialog::getOpenFileName(parent, QString(), suggestion,
                                                  FileDialogFilter());
    };
    p.color = [](QWidget* parent, const QColor& initial) {
        return QColorDialog::getColor(initial, parent);
    };
    p.recipeFileName = [](QWidget* parent, bool save) {
        const QString filter = QStringLiteral("Recipes (*.txt);;All Files (*)");
        return save ? QFileDialog::getSaveFileName(parent, QString(), QString(), filter)
                    : QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    };
    p.confirmRecipe = [](QWidget* parent, const QString& name, const QStringList& steps) {
        CRecipeDlg dialog(name, steps, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    return p;
}

void MessageHost::showMessage(const QString& text, const QString& detail) {
    if (text == QLatin1String("Failed to save")) ++m_failedSaves;
    m_prompts.tell(m_parent, detail.isEmpty() ? text : text + "\n" + detail,
                   QMessageBox::Information);
}

void MessageHost::showWarning(const QString& text) {
    m_prompts.tell(m_parent, text, QMessageBox::Warning);
}

bool MessageHost::confirm(const QString& question) {
    return m_prompts.ask(m_parent, question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}
