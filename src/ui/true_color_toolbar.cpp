// SPDX-License-Identifier: GPL-3.0-or-later
// The tool palette's images and drop-down buttons.
#include "ui/true_color_toolbar.h"

#include "ui/themed_icon.h"

#include <QAction>
#include <QToolButton>

CTrueColorToolBar::CTrueColorToolBar(const QString& title, QWidget* parent)
    : QToolBar(title, parent) {}

bool CTrueColorToolBar::LoadTrueColorToolBar(int buttonWidth, bool hot, bool disabled) {
    for (QAction* action : actions()) {
        if (action->isSeparator()) continue;
        const int id = action->data().toInt();
        if (!HasCommandIcon(id)) return false;
        action->setIcon(ThemedIcon(id, hot, disabled));
    }
    setIconSize(QSize(buttonWidth, buttonWidth));
    return true;
}

void CTrueColorToolBar::AddDropDownButton(int commandId, QMenu* menu) {
    for (QAction* action : actions()) {
        if (action->data().toInt() != commandId) continue;
        auto* button = qobject_cast<QToolButton*>(widgetForAction(action));
        if (!button) return;
        m_dropDowns.append({commandId, menu});
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
        return;
    }
}
