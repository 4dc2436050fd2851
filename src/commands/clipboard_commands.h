// SPDX-License-Identifier: GPL-3.0-or-later
// Copy and Paste through the system clipboard, and the clipboard picture's
// size that the New File dialog proposes.
#pragma once

#include "commands/command.h"

#include <QImage>
#include <QSize>
#include <optional>

// Copy (57634): the selection's bounding rectangle cut to the image, or the
// whole image without a selection, goes on the clipboard as an image and as
// PNG (alpha kept). No history entry. Unavailable without a windowing system.
CommandResult OnCopy(EditContext& context, const CommandDef& command, const Params& params);
// Paste (57637): the clipboard picture is drawn source-over at (0, 0) on the
// image, cut to the image's size, with a history entry. Nothing offered:
// nothing drawn, no history entry, the modified flag left alone.
CommandResult OnPaste(EditContext& context, const CommandDef& command, const Params& params);

// The picture on the clipboard (PNG preferred, so alpha survives), or a null
// image when none is offered or there is no windowing system.
QImage ClipboardImage();
// The clipboard picture's size, when it holds one.
std::optional<QSize> ClipboardImageSize();
