// SPDX-License-Identifier: GPL-3.0-or-later
// What every fuzz target needs: a quiet GUI application for text drawing, a
// host that shows nothing, and a scratch folder for files and undo backups.
#pragma once

#include "commands/command.h"

#include <QString>

// Creates the offscreen QGuiApplication once and silences Qt's messages.
void FuzzSetUp();

// A scratch folder for this process, removed at exit.
QString FuzzScratchFolder();

// Answers every question yes, accepts dialog values as given, shows nothing.
class QuietHost : public CommandHost {
  public:
    void showMessage(const QString&, const QString&) override {}
    void showWarning(const QString&) override {}
    bool confirm(const QString&) override { return true; }
    std::optional<Params> runDialog(const CommandDef&, EditContext&,
                                    const Params& values) override {
        return values;
    }
};
