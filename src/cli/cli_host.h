// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's host: messages go to stderr as one line each, dialogs
// are answered by the parameters given on the command line.
#pragma once

#include "commands/command.h"

class CliHost : public CommandHost {
  public:
    void showMessage(const QString& text, const QString& detail) override;
    void showWarning(const QString& text) override;
    bool confirm(const QString& question) override;
    std::optional<Params> runDialog(const CommandDef& command, EditContext& context,
                                    const Params& values) override;

    // When set, confirmations are answered yes (--force).
    bool force = false;
    // Set when a question was answered no (saving over a damaged file
    // without --force), so a refused save is told from a failed one.
    bool refused = false;
};

// Prints one line "lumaset-cli: TEXT" on stderr.
void PrintError(const QString& text);
