// SPDX-License-Identifier: GPL-3.0-or-later
// A document, a selection outline and a command host in memory, for running
// commands the way the editor does, with dialog answers chosen by the test.
#pragma once

#include "commands/command.h"
#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"

#include <functional>

class TestCommandHost : public CommandHost {
  public:
    std::optional<Params> runDialog(const CommandDef& command, EditContext& context,
                                    const Params& values) override {
        ++dialogs;
        return answer ? answer(command, context, values) : std::optional<Params>(values);
    }
    void showMessage(const QString& text, const QString& detail) override {
        messages << text + "|" + detail;
    }
    void showWarning(const QString& text) override { messages << text; }
    bool confirm(const QString&) override { return true; }

    // Answers the dialogs; unset: the values come back as given (OK).
    std::function<std::optional<Params>(const CommandDef&, EditContext&, const Params&)> answer;
    QStringList messages;
    int dialogs = 0;
};

// Makes the one QGuiApplication of the test program (fonts and the clipboard
// need it), with the platform the environment names (offscreen under ctest).
void EnsureGuiApplication();

struct EditSession {
    // A document holding image, with its first history entry recorded.
    explicit EditSession(std::unique_ptr<Bitmap> image);
    CommandResult run(int commandId, const Params& values);

    TempDir backups;
    TestCommandHost host;
    CLumasetDoc doc{&host, backups.path()};
    SelectionPath selection;
    EditContext context{doc, selection, host};
};
