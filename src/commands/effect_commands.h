// SPDX-License-Identifier: GPL-3.0-or-later
// Effect commands with a sequence of their own: Add Noise and Red Eye Remove
// change the image in place, LOMO asks its dialog first.
#pragma once

#include "commands/command.h"

CommandResult OnAddNoise(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnRedEyeRemove(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnLomo(EditContext& context, const CommandDef& command, const Params& params);
