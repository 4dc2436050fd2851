// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar: menus, items in order, and the shortcut texts they show.
#include "ui/menu_layout.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVector>

namespace {

using enum MenuRow::Kind;

// Shortcut texts are shown as written here. "CTRL+A", "CTRL+I", "CTRL+F" and
// "Ctrl+T" are only texts: Ctrl+A and T work through the canvas's own key
// handling, Ctrl+I and Ctrl+F do nothing. Items with a real key binding show
// it from their action.
// clang-format off
const MenuRow kLayout[] = {
    {Menu, 0, "&File"},
    {Item, 57600}, {Item, 57601}, {Item, 57603}, {Item, 57604}, {Separator},
    {Item, 57607}, {Item, 57609}, {Item, 57606}, {Separator},
    {RecentFiles}, {Separator},
    {Item, 57665}, {Separator},
    {Item, 32900}, {Item, 32901},
    {End},
    {Menu, 0, "&Edit"},
    {Item, 57643}, {Item, 57644}, {Separator},
    {Item, 57635}, {Item, 57634}, {Item, 57637},
    {End},
    {Menu, 0, "&Select"},
    {Item, 32794, "CTRL+A"}, {Item, 32795, "CTRL+I"}, {Item, 32796}, {Separator},
    {Item, 32830}, {Item, 32797, "CTRL+F"}, {Item, 32798}, {Item, 32826},
    {End},
    {Menu, 0, "&Image"},
    {Item, 32856}, {Item, 32857}, {Separator},
    {Item, 32789}, {Item, 32790}, {Item, 32791}, {Item, 32792}, {Item, 32793}, {Separator},
    {Menu, 0, "&Adjust"},
    {Item, 32802}, {Item, 32801}, {Item, 32804}, {Item, 32859}, {Separator},
    {Item, 32811}, {Item, 32810}, {Item, 32805}, {Item, 32807}, {Item, 32808}, {Item, 32809},
    {End},
    {Item, 32867},
    {End},
    {Menu, 0, "Effect"},
    {Menu, 0, "Blur"}, {Item, 32813}, {Item, 32833}, {Item, 32848}, {Item, 32855}, {End},
    {Menu, 0, "Sharpen"}, {Item, 32815}, {Item, 32852}, {Item, 32853}, {End},
    {Menu, 0, "Stylize"},
    {Item, 32817}, {Item, 32836}, {Item, 32827}, {Item, 32846}, {Item, 32837}, {Item, 32844},
    {Item, 32845}, {Item, 32849},
    {End},
    {Menu, 0, "Texture"}, {Item, 32819}, {Item, 32824}, {Item, 32879}, {Item, 32866}, {End},
    {Menu, 0, "Pixelate"},
    {Item, 32838}, {Item, 32840}, {Item, 32841}, {Item, 32839}, {Item, 32843}, {Item, 32842},
    {Item, 32850},
    {End},
    {Menu, 0, "Noise"}, {Item, 32832}, {Item, 32829}, {End},
    {Separator},
    {Item, 32854}, {Item, 32858}, {Item, 32861},
    {End},
    {Menu, 0, "&Tools"},
    {Item, 32771}, {Item, 32772}, {Item, 32773}, {Item, 32774}, {Item, 32775}, {Separator},
    {Item, 32776}, {Item, 32777}, {Item, 32779}, {Item, 32778}, {Item, 32780, "Ctrl+T"},
    {Item, 32781}, {Item, 32782}, {Item, 32783}, {Item, 32862}, {Separator},
    {Item, 32784}, {Item, 32785},
    {End},
    {Menu, 0, "&View"},
    {Item, 59392}, {Item, 59393}, {Item, 32787},
    {End},
    {Menu, 0, "&Help"},
    {Item, 57664},
    {End},
};
// clang-format on

constexpr int kContextMenu[] = {32863, 32864, 32865};

} // namespace

std::span<const MenuRow> MenuLayout() {
    return kLayout;
}

std::span<const int> ContextMenuCommands() {
    return kContextMenu;
}

QAction* BuildMenuBar(QMenuBar* bar, const std::function<QAction*(int)>& actionFor) {
    QVector<QMenu*> open;
    QAction* recentSpot = nullptr;
    for (const MenuRow& row : kLayout) {
        switch (row.kind) {
        case Menu:
            open.append(open.isEmpty() ? bar->addMenu(QString::fromLatin1(row.text))
                                       : open.last()->addMenu(QString::fromLatin1(row.text)));
            break;
        case End:
            open.removeLast();
            break;
        case Separator:
            open.last()->addSeparator();
            break;
        case RecentFiles:
            recentSpot = open.last()->addSeparator();
            recentSpot->setVisible(false);
            break;
        case Item: {
            QAction* action = actionFor(row.id);
            if (row.text) action->setText(action->text() + '\t' + QString::fromLatin1(row.text));
            open.last()->addAction(action);
            break;
        }
        }
    }
    return recentSpot;
}
