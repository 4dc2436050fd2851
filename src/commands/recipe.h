// SPDX-License-Identifier: GPL-3.0-or-later
// Recipes: every history entry remembers the step that made it, and the
// steps that led to the current history position are written as a plain
// text file of lumaset-cli's step language, read back and replayed.
//
// A recipe file has one step a line: "--select SHAPE", "--select-add SHAPE",
// "--select-sub SHAPE", "--do COMMAND[:KEY=VALUE,...]", "--gesture SPEC",
// "--fg COLOUR", "--bg COLOUR", "--pen-width N" or "--alpha N". Blank lines
// and lines starting with # are ignored. The value is the rest of the line; one
// pair of quotes around it is removed.
#pragma once

#include "commands/command.h"
#include "core/bitmap.h"
#include "core/selection/selection_path.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class CLumasetDoc;

// Notes what a step starts from (history position, drawing settings and
// selection), then labels the history entry the step made, if it made one.
class StepRecorder {
  public:
    StepRecorder(const CLumasetDoc& doc, const SelectionPath& selection);
    // Labels the entry made since construction with stepLine ("--do ..."),
    // preceded by the settings in uses (see the Uses flags) and the selection
    // the step started from. A step that made no entry leaves nothing.
    void finish(CLumasetDoc& doc, const SelectionPath& selection, const QString& stepLine,
                unsigned uses);

    enum Uses : unsigned {
        UsesForeground = 1,
        UsesBackground = 2,
        UsesPenWidth = 4,
        UsesAlpha = 8
    };
    static constexpr unsigned kAllSettings = 15;

  private:
    int m_historyPos;
    // The outline as the step found it (a shared copy), written out only when
    // the step made an entry: a long traced outline costs time to write.
    SelectionPath m_selection;
    ARGB m_fg, m_bg;
    int m_penWidth, m_alpha;
};

// Runs a command through its handler and labels the history entry it makes
// with the command and the values it ran with (a dialog's accepted values,
// when it has a dialog). ExecuteCommand calls this for every enabled command.
CommandResult RunAndRecord(EditContext& context, const CommandDef& command, const Params& params);

// The recipe of the steps from the first history entry to the current one:
// a comment line naming the program's version, then one step a line. A setting
// or selection line is written only where it changes what the steps before
// left. Entries whose step is unknown (a tool stroke made in the editor) are
// left out with a comment line; skipped counts them.
QString RecipeText(const CLumasetDoc& doc, int* skipped = nullptr);

struct RecipeStep {
    QString kind; // select, select-add, select-sub, do, gesture, fg, bg, pen-width, alpha
    QString value;
    int line = 0; // 1-based line in the file
};

// Reads a recipe; gestureCheck, when given, checks a gesture's syntax and
// returns an error. On the first bad line, error is "FILE:LINE: reason" and the
// result empty. Saving and every option other than the steps are refused: a
// recipe is only ever a list of edits.
std::vector<RecipeStep>
ParseRecipe(const QByteArray& text, const QString& fileName, QString* error,
            const std::function<QString(const QString&)>& gestureCheck = {});
// Reads a recipe file (at most 16 MiB); errors as for ParseRecipe, or
// "FILE: reason" when it cannot be read.
std::vector<RecipeStep>
ReadRecipeFile(const QString& path, QString* error,
               const std::function<QString(const QString&)>& gestureCheck = {});

// Runs one step of a recipe on the context; runGesture runs a --gesture step
// (null: gestures are refused). Returns the command's result (Done for the
// other steps) and sets error when a step could not run for a reason no
// message has shown yet.
CommandResult RunRecipeStep(EditContext& context, const RecipeStep& step, QString* error,
                            const std::function<QString(const QString&)>& runGesture = {});
