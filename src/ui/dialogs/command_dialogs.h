// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor calls to show the engine's dialogs: the dialog of a dialog
// command, and the text tool's dialog.
#pragma once

#include "commands/command.h"

#include <QPoint>
#include <optional>

class QWidget;

// Runs the dialog of a dialog command (Blend, Brightness/Contrast, Color
// Balance, Gramma, Curve, LOMO, Resize, New), starting from values; the values
// the user accepted, or nothing on Cancel. The command then applies them, so
// the document stays untouched while the dialog is open. A command without a
// dialog gets its values back unchanged.
std::optional<Params> RunCommandDialog(QWidget* parent, const CommandDef& command,
                                       EditContext& context, const Params& values);

// The text tool's dialog at imagePoint (already clamped to the image): on
// "Add Text" the text is drawn into the document image and true is returned,
// so the text tool records its undo step; Cancel, or a text that draws
// nothing, changes nothing and returns false.
bool RunTextDialog(QWidget* parent, CLumasetDoc& doc, QPoint imagePoint);
