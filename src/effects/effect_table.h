// SPDX-License-Identifier: GPL-3.0-or-later
// The effect table: every effect command's number, menu text, routine,
// selection rule and parameters. The command table, the gallery and
// lumaset-cli --list all read it.
#pragma once

#include "core/bitmap.h"
#include "core/params.h"

class SelectionRegion;

// When the command builds a selection region for the routine.
enum class MaskRule {
    IfSelected, // only when the view has a selection; otherwise none is passed
    Always,     // always, an empty outline giving an empty region
};

// Runs an effect routine from source into destination (a fresh whole-image copy
// of source) with the command's parameters. selection may be null.
using EffectRunner = void (*)(const Bitmap& source, Bitmap& destination,
                              const SelectionRegion* selection, const Params& params);

struct EffectDef {
    int id;
    const char* text; // menu text, exactly as the menu shows it
    MaskRule mask;
    EffectRunner run;  // null while the routine is not built yet
    ParamSpecs params; // the routine's parameter specs (kParamSpecs of its struct), overridable
                       // from lumaset-cli
    bool busyCursor = false;
    bool wholePicture = false; // changes the whole picture even with a selection
};

std::span<const EffectDef> EffectTable();
// The row with that command number, or null.
const EffectDef* FindEffect(int id);
