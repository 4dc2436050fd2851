// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar's layout: which command stands where, under which menu, with
// which shortcut text.
#pragma once

#include <functional>
#include <span>

class QAction;
class QMenu;
class QMenuBar;

// One row of the menu layout.
struct MenuRow {
    enum Kind { Menu, Item, Separator, End, RecentFiles } kind;
    int id = 0;                 // Item: command number
    const char* text = nullptr; // Menu: its title; Item: shortcut text shown, if any
};

std::span<const MenuRow> MenuLayout();

// The menu of the canvas's context menu (menu 189).
std::span<const int> ContextMenuCommands();

// Fills bar from MenuLayout, taking each command's action from actionFor.
// Returns the hidden marker in the File menu before which the recent files
// are listed (its parent is that menu).
QAction* BuildMenuBar(QMenuBar* bar, const std::function<QAction*(int)>& actionFor);
