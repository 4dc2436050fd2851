// SPDX-License-Identifier: GPL-3.0-or-later
// The step language of lumaset-cli and of recipes: selection shapes and
// command steps read from text and written back as text.
#pragma once

#include "core/bitmap.h"
#include "core/params.h"

#include <QPainterPath>
#include <QString>

class CLumasetDoc;
class SelectionPath;
struct CommandDef;

// Sets the selection from a SHAPE (rect:X,Y,W,H, ellipse:X,Y,W,H,
// polygon:X1,Y1,..., wand:X,Y, color:X,Y, path:M X,Y L X,Y C X,Y,X,Y,X,Y ...,
// all, none) as --select (kind "select"), --select-add or --select-sub do.
// Returns an error naming the bad part, or an empty string; on error the
// selection is unchanged.
QString ApplySelectionStep(const QString& kind, const QString& shape, CLumasetDoc& doc,
                           SelectionPath& selection);
// Checks a SHAPE's syntax without a picture (wand and color points are not
// checked against the picture's size). Returns an error or an empty string.
QString CheckShapeSyntax(const QString& shape);

// The SHAPE that gives exactly this outline: the name it was selected by when
// it is unchanged since (see NameSelection), else rect, ellipse or polygon when
// one of those rebuilds it exactly, else the path: form of every element.
QString DescribeSelection(const SelectionPath& selection);
// Remembers shape as the name of the outline as it stands now (a wand click
// is kept as wand:X,Y rather than as its traced outline). Any later change
// of the outline forgets the name.
void NameSelection(const SelectionPath& selection, const QString& shape);

// Reads "COMMAND[:KEY=VALUE,...]": the command (by text, alias or number) and
// its parameters, defaults overridden. Returns an error or an empty string.
QString ParseCommandStep(const QString& spec, const CommandDef*& command, Params& params);
// "COMMAND:KEY=VALUE,..." with the command's plain text and every parameter's
// value, so the step reads the same whatever the defaults become.
QString CommandStepText(const CommandDef& command, const Params& params);

// True when a and b have the same elements with the same coordinates, exactly.
bool SameOutline(const QPainterPath& a, const QPainterPath& b);

// Colours as the step language writes them: #AARRGGBB.
QString ColourText(ARGB colour);
// Reads #RRGGBB (opaque) or #AARRGGBB; false when text is neither.
bool ParseColour(const QString& text, ARGB* colour);
