// SPDX-License-Identifier: GPL-3.0-or-later
// The command table and the edit context its handlers work on. Menus, keys,
// the gallery and lumaset-cli all run commands through ExecuteCommand, so a
// command behaves the same whoever asks, and a disabled one never runs.
#pragma once

#include "core/params.h"
#include "document/host.h"

#include <QString>
#include <optional>
#include <span>

class CLumasetDoc;
class SelectionPath;
struct CommandDef;
struct EditContext;

// What a command needs of whoever runs it, beyond messages.
class CommandHost : public Host {
  public:
    // Runs the dialog of a dialog command starting from values; the values the
    // user accepted, or nothing on Cancel. lumaset-cli returns values as given.
    virtual std::optional<Params> runDialog(const CommandDef& command, EditContext& context,
                                            const Params& values) = 0;
    // Restarts the marching-ants animation of the selection outline.
    virtual void startOutlineTimer() {}
};

// Everything a command handler may touch.
struct EditContext {
    CLumasetDoc& doc;
    SelectionPath& selection; // the view's selection outline, image coordinates
    CommandHost& host;
};

enum class Owner { View, Document, Frame, Application };

enum class EnableRule {
    Always,
    NeedsSelection, // enabled only while the outline has points
    CanUndo,        // history position > 1
    CanRedo,        // history position < number of entries
    Never,          // no handler anywhere: always disabled
};

// Which pixels a command may change when there is a selection.
enum class PixelScope {
    None,         // changes no pixels of the picture by itself (tools, selection, undo)
    WholePicture, // the whole picture, whatever the selection
    Selection,    // only pixels the selection covers (everything without one)
};

enum class CommandResult {
    Done,
    Cancelled,   // a dialog was cancelled; nothing changed
    Refused,     // the command declined (its message was shown)
    BadValue,    // a parameter value was unusable (its message was shown)
    Failed,      // it ran and failed (its message was shown)
    Disabled,    // the enable rule said no; nothing ran
    Unavailable, // the command exists but is not built yet
};

using CommandHandler = CommandResult (*)(EditContext& context, const CommandDef& command,
                                         const Params& params);

struct CommandDef {
    int id;
    const char* text; // the menu text, "&" included, exactly as the menu shows it
    Owner owner;
    EnableRule enable;
    CommandHandler handler; // null: not available (yet, or at all when Never)
    ParamSpecs params = {};
    const char* alias = nullptr; // another name lumaset-cli accepts
    int tool = 0;                // tool number a tool command selects, 1..16
    bool editorOnly = false;     // needs a window or a mouse (print, open dialog, exit)
    PixelScope scope = PixelScope::None;
    bool dialog = false; // its parameters' defaults are where its dialog starts
};

// Every command: the menu, context-menu, tool and effect commands.
std::span<const CommandDef> CommandTable();
const CommandDef* FindCommand(int id);
// Looks a command up by menu text (without "&", ignoring case, spaces, "/" and
// "-"), alias or number.
const CommandDef* FindCommandByName(const QString& name);
// The menu text without "&".
QString PlainText(const CommandDef& command);

bool IsCommandEnabled(const CommandDef& command, const EditContext& context);
// Checked state of a tool command: its tool is the current one.
bool IsCommandChecked(const CommandDef& command, const EditContext& context);

// Runs a command if it is enabled; Disabled otherwise, whoever asks.
CommandResult ExecuteCommand(EditContext& context, const CommandDef& command, const Params& params);
CommandResult ExecuteCommand(EditContext& context, int id);

// The effect command a gallery button runs (ids 159 to 186), 0 for none.
int GalleryCommand(int galleryId);
// Runs a gallery button: its effect command, or for an id without one the
// message "%d is pressed".
CommandResult ExecuteGalleryButton(EditContext& context, int galleryId);
