// SPDX-License-Identifier: GPL-3.0-or-later
// The sequence every image command follows: selection region, whole-image
// copy, routine from the image into the copy, install, history entry, repaint.
#pragma once

#include "commands/command.h"
#include "effects/effect_table.h"

#include <functional>
#include <memory>

class Bitmap;
class SelectionRegion;

// A routine reading source and writing destination, a fresh copy of source.
using ImageRoutine =
    std::function<void(Bitmap& source, Bitmap& destination, SelectionRegion* selection)>;

// The region a command passes its routine: built from the outline always, or
// only when the outline has points (null otherwise).
std::unique_ptr<SelectionRegion> MakeSelectionRegion(const SelectionPath& outline, MaskRule rule);

// Runs routine on the document image through the common sequence; erase says
// how the view repaints, busy shows the busy cursor while the routine runs.
CommandResult RunEffect(EditContext& context, MaskRule rule, const ImageRoutine& routine,
                        bool erase = false, bool busy = false);

// Steps 4 to 6 of the sequence, for commands that build their own result:
// the document adopts image and its size, records the history entry and
// tells the views (CLumasetDoc::AdoptImage).
void InstallResult(EditContext& context, std::unique_ptr<Bitmap> image, bool erase = false);

// The size check of every command that makes a picture of a new size (Crop,
// Resize, Rotate, New, Paste): within the picture limit it returns Done;
// beyond it the command is refused, before anything is allocated, with a
// message naming the command and the size.
CommandResult CheckPictureSize(EditContext& context, const CommandDef& command, qint64 width,
                               qint64 height);
// Tells, in one line, that memory for a width x height result could not be had.
CommandResult ReportAllocationFailure(EditContext& context, const CommandDef& command, qint64 width,
                                      qint64 height);
