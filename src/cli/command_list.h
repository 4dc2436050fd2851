// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli --list, and the texts it shares with the steps that run commands.
#pragma once

#include "commands/command.h"

#include <QString>

// Prints every command of the table with its number, parameters (defaults,
// choices, where a dialog starts), availability and which pixels it changes.
void PrintCommandList();

// For a command whose parameters include required ones: "gamma=0.02..5 or
// position=0..100"; empty for any other command.
QString RequiredParamsText(const CommandDef& command);
