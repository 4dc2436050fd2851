// SPDX-License-Identifier: GPL-3.0-or-later
// The modal questions, messages and choosers of the editor, held as
// replaceable functions so tests can answer them without blocking.
#pragma once

#include "document/host.h"

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <functional>

struct Prompts {
    // A question with the given buttons; the button chosen.
    std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text,
                                              QMessageBox::StandardButtons buttons)>
        ask;
    // A message the user must acknowledge.
    std::function<void(QWidget* parent, const QString& text, QMessageBox::Icon icon)> tell;
    // The file to open (save false) or to save to (save true); empty when cancelled.
    std::function<QString(QWidget* parent, bool save, const QString& suggestion)> fileName;
    // The colour chooser, fully opened; an invalid colour when cancelled.
    std::function<QColor(QWidget* parent, const QColor& initial)> color;
    // The recipe file to read (save false) or write (save true); empty when cancelled.
    std::function<QString(QWidget* parent, bool save)> recipeFileName;
    // Shows a recipe's steps before they run; true for OK.
    std::function<bool(QWidget* parent, const QString& name, const QStringList& steps)>
        confirmRecipe;
};

// Message boxes, file dialogs and the colour dialog of the desktop.
Prompts DefaultPrompts();

// The file dialogs' filters: the program's picture types and everything.
QString FileDialogFilter();

// The document's host in the editor: its messages become message boxes over
// the main window.
class MessageHost : public Host {
  public:
    explicit MessageHost(Prompts prompts = DefaultPrompts()) : m_prompts(std::move(prompts)) {}

    Prompts& prompts() { return m_prompts; }
    // The window the message boxes belong to.
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    QWidget* parentWidget() const { return m_parent; }

    void showMessage(const QString& text, const QString& detail = {}) override;
    void showWarning(const QString& text) override;
    bool confirm(const QString& question) override;

    // How many "Failed to save" messages have been shown so far.
    int failedSaves() const { return m_failedSaves; }

  private:
    Prompts m_prompts;
    int m_failedSaves = 0;
    QWidget* m_parent = nullptr;
};
