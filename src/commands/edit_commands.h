// SPDX-License-Identifier: GPL-3.0-or-later
// Handlers of the Select and Image menus' edit and transform commands: Delete,
// Fill, Stroke, Crop, the rotations and the flips.
#pragma once

#include "commands/command.h"

CommandResult OnDeleteSelection(EditContext& context, const CommandDef& command,
                                const Params& params);
CommandResult OnFillSelection(EditContext& context, const CommandDef& command,
                              const Params& params);
CommandResult OnStrokeSelection(EditContext& context, const CommandDef& command,
                                const Params& params);
CommandResult OnCrop(EditContext& context, const CommandDef& command, const Params& params);
// Rotate 180 (32789), 90CW (32790) and 90CCW (32791).
CommandResult OnRotate(EditContext& context, const CommandDef& command, const Params& params);
// Flip Hpeizontal (32792) and Flip Vertical (32793).
CommandResult OnFlip(EditContext& context, const CommandDef& command, const Params& params);
