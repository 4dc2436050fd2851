// SPDX-License-Identifier: GPL-3.0-or-later
// CTrueColorToolBar: the tool palette's toolbar, with full-colour images for
// the normal, hot and disabled states and optional drop-down buttons.
#pragma once

#include <QToolBar>
#include <QVector>

class QMenu;

class CTrueColorToolBar : public QToolBar {
    Q_OBJECT
  public:
    explicit CTrueColorToolBar(const QString& title, QWidget* parent = nullptr);

    // Gives every button (its action's data is the command number) its
    // full-colour image at buttonWidth pixels, with the hot and disabled
    // images when asked. False, at the first button without an image, when
    // an image is missing.
    bool LoadTrueColorToolBar(int buttonWidth, bool hot = true, bool disabled = true);

    // Makes the button of command id open menu below it; its commands go
    // wherever menu's actions are connected. A button without an entry is an
    // ordinary button.
    void AddDropDownButton(int commandId, QMenu* menu);

  private:
    struct DropDownEntry {
        int commandId;
        QMenu* menu;
    };
    QVector<DropDownEntry> m_dropDowns;
};
