// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing and running a lumaset-cli command line.
#pragma once

#include <QStringList>

// Exit statuses.
enum ExitCode { ExitDone = 0, ExitUsage = 1, ExitFile = 2, ExitRefused = 3 };

// Runs the command line (without the program name) and returns the exit status.
int RunCommandLine(const QStringList& args);
